#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vb::cli {
namespace {

// Texts a value may be: blanks, the separators the parser looks for, dashes and slashes
// that look like options, Japanese, nothing at all.
const std::vector<std::string> kValues = {
    "",      " ",      "beta.example", "a=b",          "c:\\src",
    "--yes", "/pages", "-5",           "ヴォルナック", "<a href='x'>y</a>"};

using Field = std::optional<std::string> CommandLine::*;
const std::vector<std::pair<std::string, Field>> kTextFields = {
    {"server", &CommandLine::server},    {"title", &CommandLine::title},
    {"source", &CommandLine::source},    {"pages", &CommandLine::pages},
    {"per-page", &CommandLine::perPage}, {"target", &CommandLine::target},
    {"replace", &CommandLine::replace},  {"log", &CommandLine::log}};

// One option written in one of the forms a user may type.
std::vector<std::string> Written(std::string name, const std::optional<std::string>& value,
                                 bool slashForms, std::mt19937& rng) {
    const int form = static_cast<int>(rng() % (slashForms ? 4 : 2));
    if (form >= 2 && rng() % 2) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    const std::string prefix = form < 2 ? "--" : "/";
    if (!value) return {prefix + name};
    if (form % 2 == 0) return {prefix + name, *value};
    return {prefix + name + (form == 1 ? "=" : ":") + *value};
}

TEST(CommandLineTest, EveryOptionInEveryFormRoundTrips) {
    std::mt19937 rng(27);
    for (int round = 0; round < 2000; ++round) {
        const bool slashForms = round % 2;
        CommandLine line;
        line.writeOut = true;
        line.yes = rng() % 2;
        line.quiet = rng() % 2;
        std::vector<std::vector<std::string>> options = {Written("write-out", {}, slashForms, rng)};
        if (line.yes) options.push_back(Written("yes", {}, slashForms, rng));
        if (line.quiet) options.push_back(Written("quiet", {}, slashForms, rng));
        for (const auto& [name, field] : kTextFields) {
            if (rng() % 2) continue;
            line.*field = kValues[rng() % kValues.size()];
            options.push_back(Written(name, line.*field, slashForms, rng));
        }
        if (rng() % 2) {
            line.seed = static_cast<std::uint32_t>(rng());
            options.push_back(Written("seed", std::to_string(*line.seed), slashForms, rng));
        }
        std::shuffle(options.begin(), options.end(), rng);
        std::vector<std::string> args;
        for (const auto& option : options) args.insert(args.end(), option.begin(), option.end());
        if (rng() % 2) args.push_back("--");

        const ParsedCommandLine parsed = ParseCommandLine(args, slashForms);
        ASSERT_TRUE(parsed.line) << parsed.error << " round " << round;
        EXPECT_EQ(*parsed.line, line) << "round " << round;
    }
}

TEST(CommandLineTest, EveryBadArgumentIsRefusedNamingIt) {
    const std::vector<std::vector<std::string>> refused = {
        {},                                          // no --write-out
        {"--yes"},                                   // no --write-out
        {"--write-out", "--bogus"},                  // unknown option
        {"--write-out", "job.ini"},                  // a bare argument
        {"/write-out"},                              // the slash forms are Windows' alone
        {"--write-out", "--yes=1"},                  // a flag with a value
        {"--write-out", "--write-out"},              // twice
        {"--write-out", "--seed", "1", "--seed=1"},  // twice
        {"--write-out", "--seed", "-1"},             // the seed is 0 .. 2^32-1, digits only
        {"--write-out", "--seed", "4294967296"},
        {"--write-out", "--seed", "12a"},
        {"--write-out", "--seed", " 1"},
        {"--write-out", "--seed", "0x10"},
        {"--write-out", "--seed="},
        {"--write-out", "--", "--yes"},  // nothing is an option after "--"
    };
    for (const auto& args : refused) {
        const ParsedCommandLine parsed = ParseCommandLine(args, false);
        EXPECT_FALSE(parsed.line) << testing::PrintToString(args);
        EXPECT_FALSE(parsed.error.empty());
    }
    // Each option that takes a value refuses to end the line without one, and twice.
    for (const auto& [name, field] : kTextFields) {
        EXPECT_FALSE(ParseCommandLine({"--write-out", "--" + name}, false).line) << name;
        EXPECT_FALSE(ParseCommandLine({"--write-out", "/" + name}, true).line) << name;
        const auto twice =
            ParseCommandLine({"--write-out", "--" + name, "a", "--" + name + "=b"}, false);
        EXPECT_FALSE(twice.line) << name;
        EXPECT_NE(twice.error.find("--" + name + "=b"), std::string::npos) << twice.error;
    }
}

TEST(CommandLineTest, HelpWinsWhereverItStands) {
    for (const auto& help : {"--help", "-h", "/?", "/HELP"}) {
        const auto parsed = ParseCommandLine({"--pages", "5", help, "--bogus"}, true);
        ASSERT_TRUE(parsed.line) << help;
        EXPECT_TRUE(parsed.line->help);
    }
    // Every option the parser takes is listed in the help.
    const std::string text = HelpText(false);
    for (const auto& [name, field] : kTextFields)
        EXPECT_NE(text.find("--" + name), std::string::npos);
    for (const auto& flag : {"--yes", "--quiet", "--version", "-h", "--", "--publish", "--dry-run"})
        EXPECT_NE(text.find(flag), std::string::npos) << flag;
}

// The program's own options make a command-line run wherever they stand, and on Windows any
// option at all; anything else (a file handed over by the desktop, a toolkit's options, what
// follows "--") opens the window.
TEST(CommandLineTest, OnlyTheProgramsOwnOptionsMakeACommandLineRun) {
    const std::vector<std::string> window[] = {{}, {"C:\\Users\\u\\a.txt"}, {"--", "--write-out"}};
    for (const auto& args : window)
        for (const bool slashForms : {false, true})
            EXPECT_FALSE(IsCommandLineRun(args, slashForms)) << testing::PrintToString(args);
    const std::vector<std::string> linuxWindow[] = {{"/home/u/ソース/a.txt"},
                                                    {"-platform", "offscreen", "--style=fusion"}};
    for (const auto& args : linuxWindow) {
        EXPECT_FALSE(IsCommandLineRun(args, false)) << testing::PrintToString(args);
        EXPECT_TRUE(IsCommandLineRun(args, true)) << testing::PrintToString(args);
    }
    // Options without an action, and a mistyped action on Windows, are refused (status 2):
    // a scheduled task never waits for a window nobody sees.
    EXPECT_TRUE(IsCommandLineRun({"--yes", "--pages", "5"}, false));
    EXPECT_TRUE(IsCommandLineRun({"/dry-run"}, true));
    EXPECT_TRUE(IsCommandLineRun({"/pubish"}, true));
    EXPECT_FALSE(ParseCommandLine({"/pubish"}, true).line);
    // Refused in the forms the user's system writes.
    EXPECT_EQ(ParseCommandLine({"/dry-run"}, true).error.rfind("/write-out か /publish", 0), 0u);
    EXPECT_EQ(ParseCommandLine({"--yes"}, false).error.rfind("--write-out か --publish", 0), 0u);
    for (const char* own :
         {"--write-out", "--help", "-h", "-?", "--version", "--write-out=1", "--publish"}) {
        EXPECT_TRUE(IsCommandLineRun({"a.txt", own}, false)) << own;
        EXPECT_TRUE(IsCommandLineRun({"a.txt", own}, true)) << own;
    }
    // The Windows forms on Linux too, there to be refused as a bad command line.
    for (const char* own : {"/write-out", "/?", "/VERSION", "/Help"}) {
        EXPECT_TRUE(IsCommandLineRun({own}, true)) << own;
        EXPECT_TRUE(IsCommandLineRun({own}, false)) << own;
    }
    const auto version = ParseCommandLine({"/version"}, true);
    ASSERT_TRUE(version.line);
    EXPECT_TRUE(version.line->version);
}

// Ctrl+C through VornackBuilder.com: a publish that stopped by itself keeps its status, even a
// 0 when it ended first; a run ended at once or by the launcher reports 130.
TEST(CommandLineTest, TheLauncherReportsTheRunsOwnStatusUnlessCtrlCEndedIt) {
    EXPECT_EQ(LauncherStatus(false, true, 77), 77);
    EXPECT_EQ(LauncherStatus(true, true, 130), 130);
    EXPECT_EQ(LauncherStatus(true, true, 0), 0);
    EXPECT_EQ(LauncherStatus(true, true, 0xC000013AUL), kExitInterrupted);
    EXPECT_EQ(LauncherStatus(true, false, 1), kExitInterrupted);
}

}  // namespace
}  // namespace vb::cli
