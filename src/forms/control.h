#pragma once

#include <functional>
#include <memory>
#include <string>

#include "forms/window_thread.h"

// The base of every control of the form layer. Controls are plain objects holding the
// properties the program reads and writes; a view (the Qt window, or nothing in tests)
// observes them through one change callback and draws them.
namespace vb::forms {

class ControlVisitor;
class Form;
struct Picture;

// What changed, so a view redraws only that.
enum class Change {
    Text,          // the whole text was replaced
    TextAppended,  // text was added at the end (the view appends instead of copying)
    Caption,
    Visible,
    Enabled,
    Geometry,
    Items,       // list items
    ItemAdded,   // one list item added at the end (the view adds it, not the whole list)
    ListIndex,   // list selection
    Progress,    // progress bar maximum or value
    Appearance,  // colours, styles, line ends
    Pointer,     // mouse pointer or icon
    ZOrder,
    Navigate,  // a web browser was told to navigate
    Interval,  // a timer's interval
    TopMost,   // a form entered or left the top-most band
    Activate,  // a form asks to be activated
    Unloaded,  // a form was unloaded; its window goes
};

class Control {
  public:
    // index is the element's index within a control family, -1 for a single control.
    explicit Control(std::string name, int index = -1);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Type name as the program asks for it ("TextBox", "Line", ...).
    virtual const char* TypeName() const = 0;
    // Calls the visitor's function for this kind of control. Every kind has its own, so a
    // kind the views do not draw does not build.
    virtual void Accept(ControlVisitor& visitor) = 0;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }

    Form* Parent() const { return parent_; }
    void SetParent(Form* form) { parent_ = form; }
    // The control that holds this one; nullptr means the form itself.
    Control* Container() const { return container_; }
    void SetContainer(Control* container);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Geometry in twips, relative to the container.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetLeft(int v);
    virtual void SetTop(int v);
    virtual void SetWidth(int v);
    virtual void SetHeight(int v);
    void Move(int left, int top, int width, int height);

    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int v) { tabIndex_ = v; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }

    // Mouse pointer kind (0 default, 99 custom from MouseIcon) and the custom picture.
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int kind);
    const std::shared_ptr<const Picture>& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::shared_ptr<const Picture> picture);

    // The Text property; controls without one refuse with PropertyNotSupported.
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);
    // Whether SetText would take this text, so a caller that skips such controls asks first
    // instead of catching the refusal.
    virtual bool AcceptsText(const std::string& /*text*/) const { return false; }

    // Moves the control within the z-order of its form: 0 to the front, 1 to the back.
    // Any other position is refused with InvalidPropertyValue.
    void ZOrder(int position = 0);

    // A new element of this control's family: a copy of this control with the given index,
    // hidden, in the same container. Kinds that cannot be loaded at run time refuse with
    // PropertyNotSupported.
    virtual std::unique_ptr<Control> LoadCopy(int index) const;

    // Raised by the view when the focus moves from this control to another control of the
    // same window (not to a menu, a message box or another program).
    std::function<void()> LostFocus;

    // The view's hook. One observer per control.
    void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }

  protected:
    // Every change a view may draw passes here: the window's thread's check stands here.
    void Notify(Change change) const {
        CheckWindowThread(TypeName());
        if (observer_) observer_(change);
    }
    // Copies what a loaded element takes over from the element it is made from: container,
    // geometry, enabled state, tab stop and pointer. Name, index, visibility, parent and
    // observer stay as they are.
    void CopyCommonFrom(const Control& other);

  private:
    std::string name_;
    int index_;
    Form* parent_ = nullptr;
    Control* container_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int tabIndex_ = 0;
    bool tabStop_ = true;
    int mousePointer_ = 0;
    std::shared_ptr<const Picture> mouseIcon_;
    std::function<void(Change)> observer_;
};

}  // namespace vb::forms
