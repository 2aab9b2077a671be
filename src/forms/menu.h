#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace vb::forms {

// A menu of the menu bar or an item of a menu. The caption marks its access key with "&"
// ("&&" is a literal ampersand); the caption "-" makes a separator. Menus do not own their
// items.
class Menu {
  public:
    explicit Menu(std::string name, std::string caption = {});
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return name_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsSeparator() const { return caption_ == "-"; }
    // The character after the first single "&" (UTF-8), or "" when there is none.
    std::string AccessKey() const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Adds an item at the end; the item's ParentMenu becomes this menu.
    void AddItem(Menu& item);
    const std::vector<Menu*>& Items() const { return items_; }
    Menu* ParentMenu() const { return parentMenu_; }

    // Raised by the view when the item is chosen.
    std::function<void()> Click;
    void RaiseClick() {
        if (Click) Click();
    }

    void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }

  private:
    void Notify(Change change) const {
        CheckWindowThread("a menu");
        if (observer_) observer_(change);
    }

    std::string name_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<Menu*> items_;
    Menu* parentMenu_ = nullptr;
    std::function<void(Change)> observer_;
};

// The access key of a caption: the character after the first "&" that is not part of "&&".
std::string AccessKeyOf(const std::string& caption);
// The caption as shown: single "&" removed, "&&" shown as "&".
std::string CaptionWithoutAccessMarks(const std::string& caption);

}  // namespace vb::forms
