#pragma once

// The window's own texts around a publish (the publish's log lines are its own).
namespace vb::ui {

// How often the window's timer takes a running publish's news: the log and the bar follow
// the publish within this many milliseconds.
inline constexpr int kPublishNewsInterval = 100;

inline constexpr const char* kPublishStopping = "公開を中止しています。";
// The box after a publish that found a certificate the system does not trust. The host, the
// certificate's names and its pin follow on lines of their own, then kTrustQuestion.
inline constexpr const char* kUntrustedCertificate =
    "サーバーの証明書を、システムが信頼していません。";
inline constexpr const char* kCertificateHost = "ホスト: ";
inline constexpr const char* kCertificateNames = "証明書の名前: ";
inline constexpr const char* kCertificatePin = "公開鍵のピン: ";
inline constexpr const char* kTrustQuestion =
    "この証明書を信頼して設定ﾌｧｲﾙに書き込み、もう一度公開しますか？";
inline constexpr const char* kTrustSaveFailed = "設定ﾌｧｲﾙに証明書を書き込めませんでした。";

}  // namespace vb::ui
