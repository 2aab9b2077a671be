#include "cli/command_line.h"

#include <limits>
#include <string_view>

#include "platform/decimal.h"
#include "platform/utf8.h"

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
    {"replace", &CommandLine::replace},
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
        const std::string name = platform::utf8::AsciiLower(arg.substr(1, colon - 1));
        if (colon == std::string::npos) return Argument{name, std::nullopt};
        return Argument{name, arg.substr(colon + 1)};
    }
    if (arg == "-h" || arg == "-?") return Argument{"help", std::nullopt};
    return std::nullopt;
}

std::optional<std::uint32_t> ParseSeed(const std::string& text) {
    const auto seed = platform::DecimalNumber(text, std::numeric_limits<std::uint32_t>::max());
    if (!seed) return {};
    return static_cast<std::uint32_t>(*seed);
}

ParsedCommandLine Refuse(const std::string& ja, const std::string& arg, const std::string& en) {
    return {std::nullopt, ja + ": " + arg + " (" + en + ")"};
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, bool slashForms) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::optional<Argument> option = Split(arg, slashForms);
        if (!option) return Refuse("不明な引数です", arg, "unknown argument");
        if (option->name == "help" || (slashForms && option->name == "?")) {
            line.help = true;
            return {line, {}};
        }
        bool* flag = option->name == "write-out" ? &line.writeOut
                     : option->name == "yes"     ? &line.yes
                                                 : nullptr;
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
    if (!line.writeOut) return {std::nullopt, "--write-out がありません (--write-out is missing)"};
    return {line, {}};
}

std::string HelpText(bool slashForms) {
    // On Windows the name without extension finds VornackBuilder.com, which waits for the run.
    const std::string program = "VornackBuilder";
    return "使い方 (usage): " + program +
           " --write-out [--yes] [オプション (options)]\n"
           "\n"
           "設定ファイルのとおりに書き出しをします。ウィンドウは開きません。\n"
           "Runs the write-out as the settings file describes it, without the window.\n"
           "\n"
           "  --write-out       書き出す (write out; required)\n"
           "  --yes             出力フォルダをカラにしてよい (confirms emptying the output "
           "folder;\n"
           "                    なければ何もしないで終わる / without it nothing is touched)\n"
           "  --server NAME     設定ファイルのサーバー名 (a server of the settings file)\n"
           "  --title TEXT      設定ファイルのページタイトル (a title of the settings file)\n"
           "  --source DIR      ソースパス (the source folder)\n"
           "  --pages N         作成ページ数 (pages to make)\n"
           "  --per-page N      ソース数/１ページ (sources per page)\n"
           "  --target TEXT     置換対象 (the word to replace)\n"
           "  --replace TEXT    置換文字列 (its replacement)\n"
           "  --seed N          選び方とページ名を固定する (fixes the picks and page names)\n"
           "  --help            この説明 (this help)\n" +
           (slashForms ? std::string("\n/write-out /yes /server:NAME の形も使えます"
                                     " (the /name and /name:value forms work too).\n")
                       : std::string()) +
           "\n"
           "終了コード (exit status):\n"
           "  " +
           std::to_string(kExitSuccess) +
           "  完了 (finished)\n"
           "  " +
           std::to_string(kExitWriteFailure) +
           "  書き出し中の失敗 (a failure while writing)\n"
           "  " +
           std::to_string(kExitBadCommandLine) +
           "  コマンドラインの誤り (a bad command line)\n"
           "  " +
           std::to_string(kExitRefused) +
           "  拒否された作業、または --yes なし (a refused job, or no --yes)\n"
           "\n"
           "例 (example): " +
           program + " --write-out --yes --server beta.example --pages 500\n";
}

}  // namespace vb::cli
