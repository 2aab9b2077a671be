#include "forms/web_browser.h"

#include "forms/errors.h"

namespace vb::forms {

CompletedNavigation::CompletedNavigation(std::string url, std::optional<std::string> title,
                                         std::string reason)
    : url_(std::move(url)), title_(std::move(title)), reason_(std::move(reason)) {}

CompletedNavigation CompletedNavigation::WithTitle(std::string url, std::string title) {
    return CompletedNavigation(std::move(url), std::move(title), {});
}

CompletedNavigation CompletedNavigation::Unreadable(std::string url, std::string reason) {
    return CompletedNavigation(std::move(url), std::nullopt, std::move(reason));
}

std::string CompletedNavigation::DocumentTitle() const {
    if (!title_) throw DocumentUnavailable(reason_);
    return *title_;
}

void WebBrowser::Navigate(const std::string& url) {
    locationRequested_ = url;
    Notify(Change::Navigate);
}

}  // namespace vb::forms
