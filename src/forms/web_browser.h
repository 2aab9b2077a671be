#pragma once

#include <functional>
#include <optional>
#include <string>

#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// The browser object a navigation completed in: the control's own page, or a frame in it.
// Its document's title may be unreadable (no document yet, a frame of another origin, an
// error page standing in for a failed load): HasDocumentTitle says so, and DocumentTitle
// then throws DocumentUnavailable.
class BrowserObject {
  public:
    virtual ~BrowserObject() = default;
    virtual bool HasDocumentTitle() const = 0;
    virtual std::string DocumentTitle() const = 0;
    // The address the navigation reached.
    virtual std::string LocationURL() const = 0;
};

// Why a title cannot be read when the browser holds no document; nobody shows it, the
// program only learns that the read failed.
inline constexpr const char* kNoDocument = "ドキュメントがありません。";

// A browser object as seen when its navigation completed: the title read then, or the
// reason it could not be read.
class CompletedNavigation : public BrowserObject {
  public:
    static CompletedNavigation WithTitle(std::string url, std::string title);
    static CompletedNavigation Unreadable(std::string url, std::string reason);

    bool HasDocumentTitle() const override { return title_.has_value(); }
    std::string DocumentTitle() const override;
    std::string LocationURL() const override { return url_; }

  private:
    CompletedNavigation(std::string url, std::optional<std::string> title, std::string reason);

    std::string url_;
    std::optional<std::string> title_;
    std::string reason_;
};

// An embedded web browser. Navigate records the address and asks the view to load it; the
// view raises NavigateComplete2 after each completed navigation of the page and of each of
// its frames.
class WebBrowser : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "WebBrowser"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    void Navigate(const std::string& url);
    // The address of the last Navigate, "" before the first.
    const std::string& LocationRequested() const { return locationRequested_; }

    std::function<void(const BrowserObject& browser, const std::string& url)> NavigateComplete2;
    void RaiseNavigateComplete2(const BrowserObject& browser, const std::string& url) {
        if (NavigateComplete2) NavigateComplete2(browser, url);
    }

  private:
    std::string locationRequested_;
};

}  // namespace vb::forms
