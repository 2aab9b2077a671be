// The design of the main window, checked by what it must keep whatever the numbers: every
// control visible in the client area, none covering another, the tab order running down the
// fields, one access key per command of a menu.
#include <algorithm>
#include <set>

#include "forms/errors.h"
#include "forms/line.h"
#include "forms/menu.h"
#include "forms/timer.h"
#include "window_fixture.h"

namespace vb::test {
namespace {

// Controls drawn as a rectangle of their own (not the timer, not the line under the menu).
std::vector<forms::Control*> Boxes(ui::frmVornack& w) {
    std::vector<forms::Control*> out;
    for (forms::Control* c : w.Controls())
        if (!dynamic_cast<forms::Timer*>(c) && !dynamic_cast<forms::Line*>(c)) out.push_back(c);
    return out;
}

bool Overlap(const forms::Control& a, const forms::Control& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() &&
           a.Top() < b.Top() + b.Height() && b.Top() < a.Top() + a.Height();
}

TEST_F(WindowTest, EveryControlLiesInsideTheClientArea) {
    auto& w = Window();
    for (const forms::Control* c : Boxes(w))
        EXPECT_TRUE(c->Left() >= 0 && c->Top() >= 0 && c->Width() > 0 && c->Height() > 0 &&
                    c->Left() + c->Width() <= w.ClientWidth() &&
                    c->Top() + c->Height() <= w.ClientHeight())
            << c->Name() << c->Index();
}

// The advertisement text stands where the browser shows once a page has come.
TEST_F(WindowTest, NoTwoControlsOverlap) {
    auto& w = Window();
    const auto boxes = Boxes(w);
    const std::set<const forms::Control*> placeholder{&w.wbCM, &w.txtCM};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            if (std::set<const forms::Control*>{boxes[i], boxes[j]} != placeholder)
                EXPECT_FALSE(Overlap(*boxes[i], *boxes[j]))
                    << boxes[i]->Name() << boxes[i]->Index() << " / " << boxes[j]->Name();
}

// Tab walks the fields from the top down; the first one has the focus when the window opens.
TEST_F(WindowTest, TabOrderRunsDownTheFields) {
    auto& w = Window();
    std::vector<const forms::Control*> fields;
    for (const forms::Control* c : w.Controls())
        if (c->TabStop() &&
            (dynamic_cast<const forms::TextBox*>(c) || dynamic_cast<const forms::ComboBox*>(c)))
            fields.push_back(c);
    ASSERT_GT(fields.size(), 1u);
    std::sort(fields.begin(), fields.end(),
              [](auto* a, auto* b) { return a->TabIndex() < b->TabIndex(); });
    EXPECT_EQ(fields.front(), &w.txtSrcPath);
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
        EXPECT_NE(fields[i]->TabIndex(), fields[i + 1]->TabIndex()) << fields[i]->Name();
        EXPECT_LT(fields[i]->Top(), fields[i + 1]->Top()) << fields[i]->Name();
    }
}

TEST_F(WindowTest, EveryMenuCommandHasAnAccessKeyOfItsOwnInItsMenu) {
    auto& w = Window();
    auto checkUnique = [](const std::vector<forms::Menu*>& menus, const std::string& where) {
        std::set<std::string> keys;
        for (const forms::Menu* m : menus) {
            if (m->IsSeparator()) continue;
            const std::string key = m->AccessKey();
            EXPECT_FALSE(key.empty()) << m->Caption();
            EXPECT_TRUE(keys.insert(key).second) << key << " twice in " << where;
        }
    };
    ASSERT_FALSE(w.Menus().empty());
    checkUnique(w.Menus(), "the menu bar");
    for (const forms::Menu* menu : w.Menus()) checkUnique(menu->Items(), menu->Caption());
}

TEST_F(WindowTest, TheUserTypesOnlyIntoTheJobFields) {
    auto& w = Window();
    EXPECT_TRUE(w.txtSrcNum.Locked());
    EXPECT_TRUE(w.txtLog.Locked());
    EXPECT_THROW(w.cboServer.SetText("typed"), forms::PropertyNotSupported);  // list only
    EXPECT_THROW(w.cboTitle.SetText("typed"), forms::PropertyNotSupported);
}

}  // namespace
}  // namespace vb::test
