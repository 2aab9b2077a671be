#pragma once

// The build's own texts: validation messages, the confirmation question and the log lines.
namespace vb::builder::msg {

inline constexpr const char* kNoSrcPath = "ソースパスがないぜ？";
inline constexpr const char* kNoSources = "ソースがじぇんじぇんないぜ？";
inline constexpr const char* kNoServer = "サーバーが、えらばれてねぇよ？";
inline constexpr const char* kServerNameNotFolder = "サーバー名がフォルダ名として使えねぇよ？";
inline constexpr const char* kSrcInsideOutput = "ソースパスが出力フォルダの中だぜ？";
// The program's folder as the source folder: the pages would carry the settings file, the
// servers' passwords with it, and the program itself.
inline constexpr const char* kSrcIsProgramFolder = "ソースパスに設定ファイルとプログラムがあるぜ？";
// A source bigger than kMostSourceBytes: the text names it on the next line.
inline constexpr const char* kSourceTooBig = "ソースが大きすぎるぜ？（256MB まで）";
inline constexpr const char* kBadMakePageNum = "作成ページ数が、よくねぇよ？";
inline constexpr const char* kBadPagePerSrcNum = "ソース数/１ページが、よくねぇよ？";
inline constexpr const char* kBadReplaceTarget = "置換対象が、よくねぇよ？";
inline constexpr const char* kBadReplaceText = "置換文字列が、よくねぇよ？";
inline constexpr const char* kNoTitle = "ページタイトルが、えらばれてねぇよ？";
inline constexpr const char* kNoTemplate = "ＨＴＭＬテンプレート(template.html)がないよ。";
inline constexpr const char* kOutputFolderBusy =
    "このサーバーの出力フォルダには、別の書き出しが実行中だぜ？";
inline constexpr const char* kConfirmEmptying =
    "作成はサーバーへの出力フォルダをまずカラにするぜ？";

inline constexpr const char* kLogStarted = "実行中でありんす。\r\n";
inline constexpr const char* kLogFinished = "完了しますた。\r\n";
// The old pages moved aside could not all be deleted: the line names the folder and the
// reason; the next write-out of the server removes what stayed.
inline constexpr const char* kOldPagesLeftAside =
    "【注意】古いページを削除しきれませんでした。次の書き出しで削除します。\r\n";
// The output folder was a link: the link was removed, what it pointed to left as it was, and
// the pages go into a real folder of that name. The folder's path follows on the next line.
inline constexpr const char* kOutputWasLink =
    "【注意】出力フォルダはリンクでした。リンクだけを消して、新しいフォルダに書き出します"
    "（リンク先はそのままです）。\r\n";
inline constexpr const char* kWarnMissingTargetBefore = "【警報】";
inline constexpr const char* kWarnMissingTargetAfter = "の中に置換対象文字列がないよ！\r\n";

}  // namespace vb::builder::msg
