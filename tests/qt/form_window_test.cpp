#include "qt/form_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTextDocument>
#include <climits>

#include "forms/screen.h"
#include "qt/event_pump.h"
#include "qt/timer_view.h"
#include "sample_form.h"
#include "winutil/fun_giving_hand_cursor.h"
#include "winutil/fun_line_write_3d.h"

namespace vb::qtview {
namespace {

class FormWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        forms::GetScreen().SetGeometry(1024, 768, 15, 15, {0, 0, 1024, 768});
        window = std::make_unique<FormWindow>(form);
        window->ShowForm();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class W>
    W* widget(const forms::Control& c) {
        W* w = qobject_cast<W*>(window->WidgetFor(c));
        EXPECT_NE(w, nullptr) << c.Name();
        return w;
    }

    QImage GrabClient() { return window->ClientArea()->grab().toImage(); }

    test::SampleForm form;
    std::unique_ptr<FormWindow> window;
};

TEST_F(FormWindowTest, EveryControlSitsAtItsTwipsPositionInPixels) {
    struct Expect {
        const forms::Control* control;
        QRect rect;
    };
    const Expect windowed[] = {
        {&form.txtSrcPath, QRect(110, 10, 383, 20)},  // 1650, 150, 5745, 300 twips
        {&form.cboServer, QRect(110, 30, 383, 20)},
        {&form.pbrProcess, QRect(110, 50, 383, 20)},
        {&form.txtLog, QRect(110, 70, 383, 100)},
    };
    for (const Expect& e : windowed) {
        QWidget* w = window->WidgetFor(*e.control);
        ASSERT_NE(w, nullptr) << e.control->Name();
        EXPECT_EQ(w->geometry(), e.rect) << e.control->Name();
        EXPECT_EQ(w->parentWidget(), window->ClientArea()) << e.control->Name();
        EXPECT_TRUE(w->isVisible()) << e.control->Name();
    }
    // Labels stand at their place and may grow so that this font's caption is not cut.
    const Expect labels[] = {
        {&form.lblGuide[0], QRect(10, 14, 56, 12)},
        {&form.lblGuide[2], QRect(12, 74, 21, 12)},
        {&form.lblUrl, QRect(110, 180, 114, 12)},
    };
    for (const Expect& e : labels) {
        auto* label = qobject_cast<QLabel*>(window->WidgetFor(*e.control));
        ASSERT_NE(label, nullptr) << e.control->Name();
        EXPECT_EQ(label->pos(), e.rect.topLeft()) << e.control->Name();
        EXPECT_GE(label->width(), e.rect.width()) << e.control->Name();
        EXPECT_GE(label->height(), e.rect.height()) << e.control->Name();
        EXPECT_GE(label->width(), label->sizeHint().width()) << e.control->Name();
        EXPECT_TRUE(label->isVisible()) << e.control->Name();
    }
    EXPECT_EQ(window->ClientArea()->size(), QSize(505, 200));
    EXPECT_EQ(window->WidgetFor(form.tmrStep), nullptr);
}

TEST_F(FormWindowTest, TheMenuBarKeepsAccessKeysAndRunsClicks) {
    const QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), QString("操作(&O)"));
    EXPECT_EQ(top[1]->text(), QString("ﾍﾙﾌﾟ(&H)"));
    const QList<QAction*> items = top[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString("書き出し(&W)"));
    EXPECT_TRUE(items[1]->isSeparator());

    int clicks = 0;
    form.mnuGo.Click = [&] { ++clicks; };
    items[0]->trigger();
    EXPECT_EQ(clicks, 1);
    form.mnuGo.SetCaption("書き出し(&G)");
    EXPECT_EQ(items[0]->text(), QString("書き出し(&G)"));
}

TEST_F(FormWindowTest, AnAccessKeyThatReachesAFieldOpensItsMenuInsteadOfTyping) {
    QLineEdit* edit = widget<QLineEdit>(form.txtSrcPath);
    edit->setFocus();
    // While another window is active the menu bar's shortcut does not match, and the key
    // goes on to the field, as when it comes before the window is active for Qt.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(edit, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(window->menuBar()->activeAction(), window->menuBar()->actions()[0]);
    window->menuBar()->actions()[0]->menu()->close();
}

TEST_F(FormWindowTest, TypingReachesTheModelAndCodeReachesTheWidgetWithoutEcho) {
    QLineEdit* edit = widget<QLineEdit>(form.txtSrcPath);
    edit->setFocus();
    QTest::keyClicks(edit, "C:\\src");
    EXPECT_EQ(form.txtSrcPath.Text(), "C:\\src");

    // A single-line field shows no line breaks; the control keeps them, so no echo came back.
    form.txtSrcPath.SetText("a\r\nb");
    EXPECT_EQ(edit->text(), QString("ab"));
    EXPECT_EQ(form.txtSrcPath.Text(), "a\r\nb");

    form.txtLog.SetLocked(false);
    QPlainTextEdit* log = widget<QPlainTextEdit>(form.txtLog);
    form.txtLog.SetText("");
    log->setReadOnly(false);
    log->setFocus();
    QTest::keyClicks(log, "x");
    QTest::keyClick(log, Qt::Key_Return);
    QTest::keyClicks(log, "y");
    EXPECT_EQ(form.txtLog.Text(), "x\r\ny");
}

TEST_F(FormWindowTest, AppendedLogLinesAreAppendedToTheWidget) {
    QPlainTextEdit* log = widget<QPlainTextEdit>(form.txtLog);
    form.txtLog.SetText("実行中でありんす。\r\n");
    // An append adds characters at the end and removes none; copying the whole text again
    // would remove what was there.
    int removed = 0, lowestPosition = INT_MAX, insertions = 0;
    QObject::connect(log->document(), &QTextDocument::contentsChange, log,
                     [&](int position, int charsRemoved, int charsAdded) {
                         removed += charsRemoved;
                         lowestPosition = std::min(lowestPosition, position);
                         if (charsAdded > 0) ++insertions;
                     });
    form.txtLog.AppendText("1ページ目\r\n");
    form.txtLog.AppendText("完了しますた。\r\n");
    QApplication::processEvents();
    EXPECT_EQ(log->toPlainText(), QString("実行中でありんす。\n1ページ目\n完了しますた。\n"));
    EXPECT_EQ(removed, 0);
    EXPECT_GE(lowestPosition, 9);
    EXPECT_EQ(form.txtLog.Text(), "実行中でありんす。\r\n1ページ目\r\n完了しますた。\r\n");

    // A burst of lines with no events in between (a write-out's warnings) goes into the
    // read-only log in a few insertions, not one a line, and all of it arrives.
    insertions = 0;
    QString expected = log->toPlainText();
    for (int i = 0; i < 500; ++i) {
        form.txtLog.AppendText("警告\r\n");
        expected += "警告\n";
    }
    QApplication::processEvents();
    EXPECT_EQ(log->toPlainText(), expected);
    EXPECT_LT(insertions, 50);
    EXPECT_EQ(removed, 0);
}

TEST_F(FormWindowTest, AnEditableMultiLineBoxTakesEachAppendAtOnce) {
    QPlainTextEdit* log = widget<QPlainTextEdit>(form.txtLog);
    form.txtLog.SetLocked(false);
    form.txtLog.SetText("a\r\n");
    form.txtLog.AppendText("b\r\n");
    form.txtLog.AppendText("c");
    EXPECT_EQ(log->toPlainText(), QString("a\nb\nc"));
}

TEST_F(FormWindowTest, ListsFollowTheModelAndTheUsersChoiceReachesIt) {
    QComboBox* combo = widget<QComboBox>(form.cboServer);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    form.cboServer.SetListIndex(1);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(form.cboServer.ListIndex(), 0);
    form.cboServer.Clear();
    EXPECT_EQ(combo->count(), 0);
}

TEST_F(FormWindowTest, TheProgressBarShowsValueOutOfMax) {
    QProgressBar* bar = widget<QProgressBar>(form.pbrProcess);
    form.pbrProcess.SetValue(25);
    EXPECT_EQ(bar->value(), 2500);
    form.pbrProcess.SetValue(1);
    form.pbrProcess.SetMax(3);
    EXPECT_EQ(bar->value(), 3333);
}

TEST_F(FormWindowTest, TheEtchedLinePairSitsOnePixelApartInShadowAndHighlight) {
    qtview::QtEventPump pump;
    winutil::SetMenuLine(form.lnMenu, pump);
    ASSERT_NE(window->WidgetFor(form.lnMenu[1]), nullptr);
    QApplication::processEvents();
    const QImage image = GrabClient();
    const QPalette palette = QApplication::palette();
    const QColor shadow = palette.color(QPalette::Active, QPalette::Dark);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Light);
    ASSERT_NE(shadow, highlight);
    for (int x : {0, 1, 250, image.width() - 1}) {
        EXPECT_EQ(image.pixel(x, 0), shadow.rgb()) << x;
        EXPECT_EQ(image.pixel(x, 1), highlight.rgb()) << x;
        EXPECT_NE(image.pixel(x, 2), highlight.rgb()) << x;
    }
}

TEST_F(FormWindowTest, TheLinkLabelShowsTheHandWithItsHotSpot) {
    winutil::SetHandCursor("CURSOR_HAND", 2, form.lblUrl);
    QWidget* label = window->WidgetFor(form.lblUrl);
    const QCursor cursor = label->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(6, 2));
    const QImage black = cursor.bitmap().toImage();
    const QImage drawn = cursor.mask().toImage();
    ASSERT_EQ(black.size(), QSize(32, 32));
    // A set bit of a bitmap is Qt::color1, black.
    auto set = [](const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    // Under the finger tip: drawn and white; the tip's outline: drawn and black.
    EXPECT_TRUE(set(drawn, 6, 2));
    EXPECT_FALSE(set(black, 6, 2));
    EXPECT_TRUE(set(drawn, 6, 1));
    EXPECT_TRUE(set(black, 6, 1));
    EXPECT_FALSE(set(drawn, 30, 30));
    EXPECT_FALSE(set(drawn, 6, 0));
    // Other controls keep the default pointer.
    EXPECT_FALSE(window->WidgetFor(form.txtSrcPath)->testAttribute(Qt::WA_SetCursor));
}

TEST_F(FormWindowTest, ClickingALabelRaisesItsClick) {
    int clicks = 0;
    form.lblUrl.Click = [&] { ++clicks; };
    QWidget* label = window->WidgetFor(form.lblUrl);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // A double click, as the system delivers it to the window, is one Click more.
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       label->mapTo(window.get(), label->rect().center()));
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormWindowTest, FocusLossIsReportedOnlyForMovesBetweenControlsOfTheWindow) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int comboLost = 0;
    form.cboServer.LostFocus = [&] { ++comboLost; };
    window->WidgetFor(form.cboServer)->setFocus();

    // Another window takes the focus, then gives it back: no move between controls.
    QLineEdit other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    other.setFocus();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->WidgetFor(form.cboServer)->setFocus();
    EXPECT_EQ(comboLost, 0);
    window->WidgetFor(form.txtLog)->setFocus();
    EXPECT_EQ(comboLost, 1);
}

TEST_F(FormWindowTest, ControlsLoadedLaterAreDrawnHiddenUntilShown) {
    forms::Label& loaded = static_cast<forms::Label&>(form.lblGuide.Load(3));
    QWidget* w = window->WidgetFor(loaded);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isVisible());
    loaded.SetVisible(true);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(qobject_cast<QLabel*>(w)->text(), QString("ソースパス"));
}

TEST_F(FormWindowTest, TimersRunOnQTimer) {
    auto* view = dynamic_cast<TimerView*>(window->ViewFor(form.tmrStep));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->qtimer().isActive());
    form.tmrStep.SetEnabled(true);
    EXPECT_TRUE(view->qtimer().isActive());

    int ticks = 0;
    form.tmrStep.Tick = [&] { ++ticks; };
    form.tmrStep.SetInterval(20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    form.tmrStep.SetEnabled(false);
    EXPECT_FALSE(view->qtimer().isActive());
}

TEST_F(FormWindowTest, WindowStateFollowsTheForm) {
    form.SetCaption("別の見出し");
    EXPECT_EQ(window->windowTitle(), QString("別の見出し"));
    form.SetTopMost(true);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    form.SetLeft(1500);
    form.SetTop(3000);
    EXPECT_EQ(window->pos(), QPoint(100, 200));
    form.SetClientSize(6000, 1500);
    EXPECT_EQ(window->ClientArea()->size(), QSize(400, 100));
    // The form's outer size is the window's, frame and menu bar included.
    EXPECT_EQ(form.Height(), window->frameGeometry().height() * 15);
    EXPECT_EQ(form.Width(), window->frameGeometry().width() * 15);
}

TEST_F(FormWindowTest, ClosingTheWindowAsksTheFormWhichMayKeepIt) {
    bool keep = true;
    form.QueryUnload = [&](bool& cancel, forms::UnloadMode) { cancel = keep; };
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    keep = false;
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(form.IsUnloaded());
}

TEST_F(FormWindowTest, UnloadingFromCodeClosesTheWindowWithoutAskingTwice) {
    int calls = 0;
    form.QueryUnload = [&](bool&, forms::UnloadMode mode) {
        ++calls;
        EXPECT_EQ(mode, forms::UnloadMode::FromCode);
    };
    form.mnuExit.Click = [&] { form.Unload(); };
    window->ActionFor(form.mnuExit)->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vb::qtview
