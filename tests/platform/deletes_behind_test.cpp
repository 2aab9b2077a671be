// The deletion beside other work: what its owner gets back from it, however the work ends.
#include "platform/deletes_behind.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/file_system.h"
#include "platform/system_error.h"
#include "temp_dir.h"

namespace vb::platform {
namespace {

using namespace std::chrono_literals;

// The real file service, its deletion slow and failing at will.
class SlowDeletion : public FileSystemObject {
  public:
    void DeleteMovedAside(const std::string& aside, const std::string& path) override {
        std::this_thread::sleep_for(takes);
        if (fails) throw SystemError("cannot delete " + aside);
        FileSystemObject::DeleteMovedAside(aside, path);
        deleted = true;
    }
    std::chrono::milliseconds takes{0};
    bool fails = false;
    std::atomic<bool> deleted{false};
};

class DeletesBehindTest : public testing::Test {
  protected:
    DeletesBehindTest() {
        std::filesystem::create_directories(dir / "aside/sub");
        vb::test::WriteBytes(dir / "aside/sub/old.html", "old");
    }
    vb::test::TempDir dir;
    SlowDeletion fso;
};

// Finish gives the failure once, after the wait; a second Finish has nothing more to say.
TEST_F(DeletesBehindTest, FinishThrowsTheDeletionsFailureOnce) {
    fso.fails = true;
    DeletesBehind deletion(fso);
    deletion.Start(dir / "aside", dir / "out");
    try {
        deletion.Finish();
        ADD_FAILURE() << "Finish threw nothing";
    } catch (const SystemError& failure) {
        EXPECT_EQ(std::string(failure.what()), "cannot delete " + (dir / "aside"));
    }
    EXPECT_NO_THROW(deletion.Finish());
}

// Gone before Finish (the work beside it failed): the object waits for the deletion, which
// ends its work, and drops its failure rather than end the program with it.
TEST_F(DeletesBehindTest, ItsEndWaitsForTheDeletionAndDropsItsFailure) {
    fso.takes = 300ms;
    {
        DeletesBehind deletion(fso);
        deletion.Start(dir / "aside", dir / "out");
    }
    EXPECT_TRUE(fso.deleted);
    EXPECT_FALSE(std::filesystem::exists(dir / "aside"));

    fso.fails = true;
    EXPECT_NO_THROW({
        DeletesBehind deletion(fso);
        deletion.Start(dir / "aside", dir / "out");
    });
}

// Each wait, Finish's and the end's, tells its owner again and again while it lasts.
TEST_F(DeletesBehindTest, AWaitCallsBackWhileItLasts) {
    fso.takes = 5 * DeletesBehind::kPulse;
    for (const bool finish : {true, false}) {
        SCOPED_TRACE(finish ? "Finish" : "end");
        std::filesystem::create_directories(dir / "aside");
        int called = 0;
        {
            DeletesBehind deletion(fso, [&] { ++called; });
            deletion.Start(dir / "aside", dir / "out");
            if (finish) deletion.Finish();
        }
        EXPECT_GE(called, 2);
    }
}

}  // namespace
}  // namespace vb::platform
