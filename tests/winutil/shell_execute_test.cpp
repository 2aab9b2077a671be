#include <gtest/gtest.h>

#include "platform/desktop_shell.h"
#include "winutil/api_shell_execute.h"

namespace vb::winutil {
namespace {

// A desktop that records what it is asked and answers with a set code.
class RecordingShell : public platform::DesktopShell {
  public:
    struct Call {
        std::optional<std::string> operation;
        std::string file;
        std::optional<std::string> parameters;
        std::optional<std::string> directory;
        int show;
    };
    int Execute(const std::optional<std::string>& operation, const std::string& file,
                const std::optional<std::string>& parameters,
                const std::optional<std::string>& directory, int show) override {
        calls.push_back({operation, file, parameters, directory, show});
        return answer;
    }
    bool OpenFolder(const std::string&) override { return false; }
    bool OpenAddress(const std::string&) override { return false; }

    int answer = 42;
    std::vector<Call> calls;
};

class ShellExecute : public ::testing::Test {
  protected:
    RecordingShell shell;
};

TEST_F(ShellExecute, SuccessStartsAt33) {
    const std::vector<std::pair<int, bool>> codes = {
        {0, false}, {2, false}, {31, false}, {32, false}, {33, true}, {42, true}, {-1, false}};
    for (const auto& [code, expected] : codes) {
        shell.answer = code;
        EXPECT_EQ(ExecuteFile(shell, "/opt/vb/ReadMe.txt", kShowNormal), expected) << code;
    }
}

TEST_F(ShellExecute, AbsentArgumentsStayAbsentAndAddressesPassUnchanged) {
    const std::string address = "http://vornack.example/?a=1&b=%20c";
    ExecuteFile(shell, address, kShowNormal);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, address);
    EXPECT_FALSE(shell.calls[0].operation.has_value());
    EXPECT_FALSE(shell.calls[0].parameters.has_value());
    EXPECT_FALSE(shell.calls[0].directory.has_value());
    EXPECT_EQ(shell.calls[0].show, 1);

    ExecuteFile(shell, "VornackBuilder.ini", 3, "open", "", "/opt/vb");
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].operation, std::optional<std::string>("open"));
    EXPECT_EQ(shell.calls[1].parameters, std::optional<std::string>(""));  // empty, not absent
    EXPECT_EQ(shell.calls[1].directory, std::optional<std::string>("/opt/vb"));
    EXPECT_EQ(shell.calls[1].show, 3);
}

}  // namespace
}  // namespace vb::winutil
