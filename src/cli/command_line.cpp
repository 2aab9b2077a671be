#include "cli/command_line.h"

#include <limits>
#include <string_view>

#include "codec/decimal.h"
#include "codec/utf8.h"

namespace vb::cli {

namespace {

// The options that take a text, and the field each fills.
struct TextOption {
    std::string_view name;
    std::optional<std::string> CommandLine::*field;
};
constexpr TextOption kTextOptions[] = {
    {"server", &CommandLine::server},    {"title", &CommandLine::title},
    {"source", &CommandLine::source},    {"pages", &CommandLine::pages},
    {"per-page", &CommandLine::perPage}, {"target", &CommandLine::target},
    {"replace", &CommandLine::replace},  {"log", &CommandLine::log},
};

// The options that take no value, and the field each sets.
struct FlagOption {
    std::string_view name;
    bool CommandLine::*field;
};
constexpr FlagOption kFlagOptions[] = {
    {"write-out", &CommandLine::writeOut}, {"yes", &CommandLine::yes},
    {"quiet", &CommandLine::quiet},        {"version", &CommandLine::version},
    {"publish", &CommandLine::publish},    {"dry-run", &CommandLine::dryRun},
};

// One argument taken apart: the option's name and, when written into it, its value.
struct Argument {
    std::string name;
    std::optional<std::string> value;
};

std::optional<Argument> Split(const std::string& arg, bool slashForms) {
    if (arg.size() > 2 && arg.starts_with("--")) {
        const std::size_t equals = arg.find('=');
        if (equals == std::string::npos) return Argument{arg.substr(2), std::nullopt};
        return Argument{arg.substr(2, equals - 2), arg.substr(equals + 1)};
    }
    if (slashForms && arg.size() > 1 && arg[0] == '/') {
        const std::size_t colon = arg.find_first_of(":=");
        const std::string name = codec::utf8::AsciiLower(arg.substr(1, colon - 1));
        if (colon == std::string::npos) return Argument{name, std::nullopt};
        return Argument{name, arg.substr(colon + 1)};
    }
    if (arg == "-h" || arg == "-?") return Argument{"help", std::nullopt};
    return std::nullopt;
}

std::optional<std::uint32_t> ParseSeed(const std::string& text) {
    const auto seed = codec::DecimalNumber(text, std::numeric_limits<std::uint32_t>::max());
    if (!seed) return {};
    return static_cast<std::uint32_t>(*seed);
}

ParsedCommandLine Refuse(const std::string& ja, const std::string& arg, const std::string& en) {
    return {std::nullopt, ja + ": " + arg + " (" + en + ")"};
}

// The options that end the parsing with nothing else to do.
bool IsHelp(const Argument& option, bool slashForms) {
    return option.name == "help" || (slashForms && option.name == "?");
}

}  // namespace

bool IsCommandLineRun(const std::vector<std::string>& args, bool slashForms) {
    for (const auto& arg : args) {
        if (arg == "--") return false;
        // Read in every form and letter case: "--WRITE-OUT", or "/write-out" on Linux, is
        // the command line's to refuse (status 2), not a window's to open without a display.
        const std::optional<Argument> option = Split(arg, true);
        if (!option) continue;
        // On Windows no file handed over looks like an option ("/x", "--x"): a mistyped
        // one is the command line's to refuse, not a window's to open where a scheduled
        // task would wait for it for ever.
        if (slashForms) return true;
        const std::string name = codec::utf8::AsciiLower(option->name);
        if (name == "help" || name == "?" || name == "seed") return true;
        for (const auto& flag : kFlagOptions)
            if (flag.name == name) return true;
        for (const auto& text : kTextOptions)
            if (text.name == name) return true;
    }
    return false;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, bool slashForms) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            // The end of the options; the program takes no other arguments.
            if (i + 1 < args.size())
                return Refuse("不明な引数です", args[i + 1], "unknown argument");
            break;
        }
        const std::optional<Argument> option = Split(arg, slashForms);
        if (!option) return Refuse("不明な引数です", arg, "unknown argument");
        if (IsHelp(*option, slashForms)) {
            line.help = true;
            return {line, {}};
        }
        bool* flag = nullptr;
        for (const auto& candidate : kFlagOptions)
            if (candidate.name == option->name) flag = &(line.*(candidate.field));
        if (flag) {
            if (option->value) return Refuse("値をとらないオプションです", arg, "takes no value");
            if (*flag) return Refuse("オプションが二度あります", arg, "given twice");
            *flag = true;
            continue;
        }
        const TextOption* text = nullptr;
        for (const auto& candidate : kTextOptions)
            if (candidate.name == option->name) text = &candidate;
        if (!text && option->name != "seed")
            return Refuse("不明なオプションです", arg, "unknown option");

        std::optional<std::string> value = option->value;
        if (!value && i + 1 < args.size()) value = args[++i];
        if (!value) return Refuse("値がありません", arg, "needs a value");
        if (text) {
            if (line.*(text->field)) return Refuse("オプションが二度あります", arg, "given twice");
            line.*(text->field) = *value;
            continue;
        }
        if (line.seed) return Refuse("オプションが二度あります", arg, "given twice");
        line.seed = ParseSeed(*value);
        if (!line.seed)
            return Refuse("シードは 0 から 4294967295 までの整数です", *value,
                          "the seed is a whole number from 0 to 4294967295");
    }
    // Named as the user's system writes them: the .com's own are /write-out …
    const std::string dash = slashForms ? "/" : "--";
    if (!line.writeOut && !line.publish && !line.version)
        return {std::nullopt, dash + "write-out か " + dash + "publish がありません (" + dash +
                                  "write-out or " + dash + "publish is missing)"};
    if (line.dryRun && !line.publish)
        return {std::nullopt, dash + "dry-run は " + dash + "publish と使います (" + dash +
                                  "dry-run goes with " + dash + "publish)"};
    return {line, {}};
}

std::string HelpText(bool slashForms) {
    // On Windows the name without extension finds VornackBuilder.com, which waits for the run.
    const std::string program = slashForms ? kProgramName : std::string("./") + kProgramName;
    const auto status = [](int code, const char* meaning) {
        std::string number = std::to_string(code);
        return "  " + number + std::string(4 - number.size(), ' ') + meaning + "\n";
    };
    return "使い方 (usage): " + program +
           " --write-out [--yes] [--publish] [オプション (options)]\n"
           "               " +
           program + " --publish [--dry-run] [--server NAME] [--log FILE] [--quiet]\n" +
           "               " + program +
           " --help | --version\n"
           "\n"
           "設定ファイルのとおりに書き出しをします。ウィンドウは開きません。\n"
           "Runs the write-out as the settings file describes it, without the window.\n"
           "--publish は出力フォルダのページをサーバーへ送ります (FTPS、設定ファイルの\n"
           "[Publish サーバー名])。このプログラムが送ったファイルだけを置き換え、削除します。\n"
           "--publish puts the output folder's pages on the server (FTPS, the settings file's\n"
           "[Publish <server>]); it replaces and deletes only files it sent itself.\n"
           "\n"
           "  --write-out       書き出す; これか --publish が要る (write out; this or --publish\n"
           "                    is required)\n"
           "  --yes             出力フォルダをカラにしてよい (confirms emptying the output "
           "folder;\n"
           "                    なければ何もしないで終わる / without it nothing is touched)\n"
           "  --publish         サーバーへ公開する; --write-out とならその書き出しが終わってから\n"
           "                    (publishes; with --write-out only after it finished)\n"
           "  --dry-run         公開の予定を表示し、サーバーは変えない\n"
           "                    (prints the publish's plan, changes nothing on the server)\n"
           "  --server NAME     設定ファイルのサーバー名 (a server of the settings file)\n"
           "  --title TEXT      設定ファイルのページタイトル (a title of the settings file)\n"
           "  --source DIR      ソースパス (the source folder)\n"
           "  --pages N         作成ページ数 (pages to make)\n"
           "  --per-page N      ソース数/１ページ (sources per page)\n"
           "  --target TEXT     置換対象 (the word to replace)\n"
           "  --replace TEXT    置換文字列 (its replacement)\n"
           "  --seed N          選び方とページ名を固定する; ログの seed= の数で同じページになる\n"
           "                    (fixes the picks and page names; the seed= of a log repeats "
           "that run)\n"
           "  --log FILE        ログを FILE に追記する (appends the log to FILE)\n"
           "  --quiet           成功したら何も表示しない (prints nothing when the run succeeds)\n"
           "  --version         バージョン (the version)\n"
           "  --help, -h        この説明 (this help)\n"
           "  --                オプションの終わり (ends the options)\n" +
           (slashForms ? std::string("\n/write-out /yes /server:NAME /log:FILE /version /? の形も"
                                     "使えます (the /name and /name:value forms work too).\n")
                       : std::string()) +
           "\n"
           "終了コード (exit status):\n" +
           status(kExitSuccess, "完了 (finished)") +
           status(kExitWriteFailure,
                  "書き出し中の失敗、またはサーバーが公開の一歩を断った (ディスクがいっぱい\n"
                  "      など) (a failure while writing, or the server refused a step of the\n"
                  "      publish, such as a full disk)") +
           status(kExitBadCommandLine, "コマンドラインの誤り (a bad command line)") +
           status(kExitRefused,
                  "拒否された作業、設定ファイルがない、または --yes なし\n"
                  "      (a refused job, no readable settings file, or no --yes)") +
           status(kExitCannotReach, "サーバーに接続できない (the server cannot be reached)") +
           status(kExitBusy,
                  "別の書き出しか公開が同じサーバーに実行中、サーバーが混んでいる、または\n"
                  "      公開の途中で切れた: あとでやり直す (another write-out or publish holds\n"
                  "      the server's folder, the server is busy or cut the publish off: try\n"
                  "      again later)") +
           status(
               kExitNotSecure,
               "TLS がない、または信頼できない証明書: 証明書を信頼するなら、表示される\n"
               "      Certificate=sha256//… の行を設定ファイルに加える (no TLS, or an untrusted\n"
               "      certificate: to trust it, add the Certificate= line shown)") +
           status(kExitLoginRefused, "ログインを断られた (the login was refused)") +
           (slashForms ? std::string()
                       : status(kExitInterrupted,
                                "公開を Ctrl+C で止めた (SIGTERM なら 143): サイトは欠けていない\n"
                                "      (a publish stopped by Ctrl+C, 143 by SIGTERM: the site "
                                "is whole)")) +
           status(kExitLogLost,
                  "書き出したがログを書けなかった (pages written, the log not all written)") +
           (slashForms ? std::string()
                       : status(kExitTerminated,
                                "シグナルで終了 (ended by SIGTERM; 130 SIGINT, 129 SIGHUP)")) +
           (slashForms ? "  VornackBuilder.com から (from VornackBuilder.com):\n" +
                             status(kExitCannotStart,
                                    "VornackBuilder.exe を起動できない (cannot start it)") +
                             status(kExitInterrupted, "Ctrl+C で中断 (ended by Ctrl+C)")
                       : std::string()) +
           "\n"
           "例 (example): " +
           program +
           (slashForms ? " /write-out /yes /pages:50 /log:write-out.log\n"
                       : " --write-out --yes --pages 50 --log write-out.log\n") +
           "               " + program +
           (slashForms ? " /write-out /yes /publish /quiet /log:write-out.log\n"
                       : " --write-out --yes --publish --quiet --log write-out.log\n");
}

}  // namespace vb::cli
