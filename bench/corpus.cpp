#include "corpus.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

#include "codec/codec.h"
#include "platform/program_folder.h"

namespace vb::bench {

namespace {

// Sentences of the kind such sites are filled with, a few with half-width katakana,
// circled digits and ASCII, none holding the target word.
constexpr const char* kPlainSentences[] = {
    "今日はとても良い天気でした。",
    "駅前に新しくできたカフェに行ってみました。",
    "コーヒーの香りがとても印象的です。",
    "週末は家族と一緒に公園を散歩しました。",
    "最近、夜更かしが続いていて少し眠いです。",
    "仕事の帰りに本屋さんへ寄りました。",
    "新作のゲームを予約しちゃいました！",
    "料理のレシピを色々と試しています。",
    "雨の日は家で映画を観るのが一番ですね。",
    "友達からおすすめの音楽を教えてもらいました。",
    "明日は朝早くから出かける予定です。",
    "桜の季節が待ち遠しいですね。",
    "ダイエットは明日から頑張ります（笑）",
    "ブログの更新が遅れてすみません。",
    "コメントありがとうございます！",
    "ﾗﾝｷﾝｸﾞに参加しています。ﾎﾟﾁｯとお願いします。",
    "価格は1,980円（税込）でした。",
    "①～③の手順で設定すれば完了です。",
    "Posted by admin at 12:34 | Comments (3)",
    "「いいね」と思ったら、ぜひブックマークしてください。",
    "今月のおすすめ商品は <b>限定品</b> です。",
    "ＵＲＬを間違えないように注意しましょう。",
    "とりあえず、今日はここまで。",
    "詳しい使い方は次回の記事で紹介する予定です。",
};

// Sentences that carry the target word.
constexpr const char* kTargetSentences[] = {
    "ヴォルナックの新しい記事を書きました。",
    "詳しくはヴォルナックで検索してみてください。",
    "ヴォルナックのおすすめ商品はこちら。",
    "みんなヴォルナックが大好きです！",
};

class Draw {
  public:
    explicit Draw(std::uint32_t seed) : rng_(seed) {}
    std::size_t Below(std::size_t n) { return rng_() % n; }
    bool OneIn(std::size_t n) { return Below(n) == 0; }

  private:
    std::mt19937 rng_;
};

// One line of one to three sentences, without its line break.
std::string Line(Draw& draw, bool withTarget) {
    std::string line;
    const std::size_t sentences = 1 + draw.Below(3);
    const std::size_t targetAt = withTarget ? draw.Below(sentences) : sentences;
    for (std::size_t i = 0; i < sentences; ++i) {
        if (i == targetAt)
            line += kTargetSentences[draw.Below(std::size(kTargetSentences))];
        else
            line += kPlainSentences[draw.Below(std::size(kPlainSentences))];
    }
    return line;
}

// The cp932 bytes of one source file of about the given size.
std::string SourceBytes(Draw& draw, std::size_t size, bool withTarget, bool brTags) {
    const std::string lineEnd = brTags ? "<br>\r\n" : "\r\n";
    std::string bytes;
    for (bool first = true; bytes.size() < size; first = false) {
        if (!first) bytes += lineEnd;
        // The first line always names the target; later lines now and then.
        bytes += codec::cp932::Encode(Line(draw, withTarget && (first || draw.OneIn(5))));
    }
    if (draw.OneIn(2)) bytes += "\r\n";  // some files end with a line break, some do not
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

Corpus WriteCorpus(const std::string& folder, const CorpusShape& shape, std::uint32_t seed) {
    std::filesystem::create_directories(folder);
    Corpus corpus;
    corpus.Folder = folder;
    Draw draw(seed);
    for (int i = 1; i <= shape.Files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "neta%04d.txt", i);
        const std::string path = platform::JoinPath(folder, name);
        const std::size_t size = shape.MinBytes + draw.Below(shape.MaxBytes - shape.MinBytes + 1);
        const bool withTarget = i % shape.EveryNthLacksTarget != 0;
        const std::string bytes = SourceBytes(draw, size, withTarget, draw.OneIn(20));
        WriteFile(path, bytes);
        corpus.TotalBytes += bytes.size();
        if (!withTarget) corpus.LackingTarget.insert(path);
    }
    return corpus;
}

std::string PageTitle() { return "ヴォルナックで毎日がもっと楽しくなるブログ"; }

std::string TemplateText() {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
           "<html lang=\"ja\">\r\n"
           "<head>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
           "<meta name=\"keywords\" content=\"ヴォルナック,ブログ,日記,おすすめ\">\r\n"
           "<meta name=\"description\" content=\"&&TITLE&&\">\r\n"
           "<title>&&TITLE&&</title>\r\n"
           "<style type=\"text/css\">\r\n"
           "<!--\r\n"
           "body { margin: 0; background: #f4f1ea; color: #333; font-size: 14px; }\r\n"
           "#header { background: #4a6d8c; color: #fff; padding: 12px 20px; }\r\n"
           "#header h1 { margin: 0; font-size: 20px; }\r\n"
           "#menu { float: left; width: 180px; padding: 10px; }\r\n"
           "#menu li { list-style: none; margin-bottom: 6px; }\r\n"
           "#main { margin-left: 210px; padding: 10px 20px; line-height: 1.7; "
           "background: #fff; }\r\n"
           "#footer { clear: both; text-align: center; font-size: 12px; padding: 8px; }\r\n"
           "a { color: #2a5db0; }\r\n"
           "-->\r\n"
           "</style>\r\n"
           "</head>\r\n"
           "<body>\r\n"
           "<div id=\"header\"><h1>&&TITLE&&</h1></div>\r\n"
           "<div id=\"menu\">\r\n"
           "<ul>\r\n"
           "<li><a href=\"index.html\">トップページ</a></li>\r\n"
           "<li><a href=\"index.html#new\">新着記事</a></li>\r\n"
           "<li><a href=\"index.html#rank\">人気ランキング</a></li>\r\n"
           "<li><a href=\"index.html#link\">リンク集</a></li>\r\n"
           "</ul>\r\n"
           "</div>\r\n"
           "<div id=\"main\">\r\n"
           "&&BODY&&\r\n"
           "</div>\r\n"
           "<div id=\"footer\">Copyright (C) ヴォルナック愛好会 All Rights Reserved.</div>\r\n"
           "</body>\r\n"
           "</html>\r\n";
}

}  // namespace vb::bench
