#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "forms/append_batch.h"
#include "forms/guarded_call.h"
#include "forms/progress_bar.h"
#include "forms/screen.h"
#include "forms/text_box.h"

namespace vb::forms {
namespace {

std::string reported;
void Remember(const std::string& description) { reported = description; }

TEST(GuardedCall, ReportsWhatAHandlerThrows) {
    reported.clear();
    RunGuarded([] {}, Remember, "unexpected");
    EXPECT_EQ(reported, "");
    RunGuarded([] { throw std::runtime_error("ディスクがいっぱいです。"); }, Remember,
               "unexpected");
    EXPECT_EQ(reported, "ディスクがいっぱいです。");
    RunGuarded([] { throw 42; }, Remember, "unexpected");
    EXPECT_EQ(reported, "unexpected");
}

TEST(ProgressScale, RoundsValueOutOfMaxToTheNearestStep) {
    const struct {
        float value, max;
        int scaled;
    } cases[] = {{0, 100, 0},     {25, 100, 2500}, {100, 100, 10000}, {1, 3, 3333}, {2, 3, 6667},
                 {0.5f, 1, 5000}, {7, 7, 10000},   {1, 40000, 0},     {3, 40000, 1}};
    for (const auto& c : cases) {
        ProgressBar bar("bar");
        bar.SetMax(c.max);
        bar.SetValue(c.value);
        EXPECT_EQ(bar.ScaledValue(), c.scaled) << c.value << "/" << c.max;
    }
}

TEST(PointerShapes, DefaultIsNoneAndACustomPointerNeedsItsPicture) {
    EXPECT_EQ(ShapeOfPointer(kPointerDefault, true), PointerShape::Default);
    EXPECT_EQ(ShapeOfPointer(kPointerCustom, true), PointerShape::Picture);
    EXPECT_EQ(ShapeOfPointer(kPointerCustom, false), PointerShape::Arrow);
    EXPECT_EQ(ShapeOfPointer(15, false), ShapeOfPointer(5, false));
    EXPECT_EQ(ShapeOfPointer(4, false), PointerShape::Arrow);
}

TEST(AppendBatch, ALogTakesABurstInOneInsertionAndOtherBoxesEachAppend) {
    using Step = AppendBatch::Step;
    TextBox log("txtLog");
    log.SetMultiLine(true);
    log.SetLocked(true);
    AppendBatch batch;
    log.AppendText("1\r\n");
    EXPECT_EQ(batch.Appended(log), Step::InsertNow);
    EXPECT_EQ(batch.Take(), "1\r\n");
    log.AppendText("2\r\n");
    EXPECT_EQ(batch.Appended(log), Step::InsertLater);
    log.AppendText("3\r");
    EXPECT_EQ(batch.Appended(log), Step::Wait);
    EXPECT_EQ(batch.Take(), "2\r\n3\r");
    log.AppendText("\n");
    EXPECT_EQ(batch.Appended(log), Step::ShowWhole);  // a CR LF pair split between appends

    TextBox field("txtTitle");
    batch.Shown(0);
    field.AppendText("a");
    EXPECT_EQ(batch.Appended(field), Step::InsertNow);
    field.AppendText("b");
    EXPECT_EQ(batch.Appended(field), Step::InsertNow);
    EXPECT_EQ(batch.Take(), "ab");
}

std::chrono::steady_clock::time_point g_now;
std::chrono::steady_clock::time_point FakeNow() { return g_now; }

TEST(AppendBatch, TheMoreAnInsertionCostsTheLongerTheLogWaitsForTheNext) {
    using namespace std::chrono_literals;
    using Step = AppendBatch::Step;
    TextBox log("txtLog");
    log.SetMultiLine(true);
    log.SetLocked(true);
    AppendBatch batch(&FakeNow);
    log.AppendText("1\r\n");
    ASSERT_EQ(batch.Appended(log), Step::InsertNow);
    batch.Take();
    g_now += 50ms;  // a widget holding much text
    batch.Inserted();
    g_now += 2 * AppendBatch::kBatch;
    log.AppendText("2\r\n");
    EXPECT_EQ(batch.Appended(log), Step::InsertLater);
    g_now += Pacing::kPauseForCost * 50ms;
    log.AppendText("3\r\n");
    EXPECT_EQ(batch.Appended(log), Step::InsertNow);
    EXPECT_EQ(batch.Take(), "2\r\n3\r\n");
    g_now += 50ms;
    batch.Inserted();

    // The log cleared for the next run: what inserting into the old text cost holds no more.
    log.SetText("");
    batch.Shown(0);
    log.AppendText("4\r\n");
    EXPECT_EQ(batch.Appended(log), Step::InsertNow);
}

}  // namespace
}  // namespace vb::forms
