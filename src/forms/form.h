#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace vb::forms {

class Menu;

// Why a form is being unloaded, as its QueryUnload handler is told.
enum class UnloadMode {
    ControlMenu = 0,  // the user closed the window (close box, system menu)
    FromCode = 1,     // the program unloaded the form
    AppWindows = 2,   // the session is ending (log off, shut down)
};

// Units of a container's coordinate system.
enum ScaleModes : int {
    kScaleUser = 0,
    kScaleTwips = 1,
    kScalePoints = 2,
    kScalePixels = 3,
    kScaleCharacters = 4,
    kScaleInches = 5,
    kScaleMillimeters = 6,
    kScaleCentimeters = 7,
};

// Space the window frame takes around the client area, in twips: borders, caption and (in
// top) the menu bar. Only the view knows the real values once the window is shown.
struct FrameExtents {
    int left = 60;
    int top = 645;
    int right = 60;
    int bottom = 60;
};

// A top-level window of the form layer. It holds its controls in design order (the order a
// walk over "every control of the form" visits them) and its geometry in twips.
//
// Left, Top, Width and Height are the outer window (frame included); ClientWidth and
// ClientHeight are the client area the controls sit in, below the menu bar. Setting the
// outer size resizes the client area by the same amount.
//
// Every coordinate the layer holds is in twips. ScaleMode is kept for code that saves and
// restores it; the layer does not rescale coordinates for other modes.
class Form {
  public:
    // The thread that makes a form becomes the window's thread (forms/window_thread.h).
    explicit Form(std::string name) : name_(std::move(name)) { BindWindowThread(); }
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Registers a control of this form (the form does not own it). The control is placed on
    // top of the z-order.
    void AddControl(Control& control);
    const std::vector<Control*>& Controls() const { return controls_; }

    // The z-order, from the back to the front.
    const std::vector<Control*>& ZOrderList() const { return zOrder_; }
    // Moves a control of this form to the front or to the back (Control::ZOrder calls this).
    void MoveInZOrder(Control& control, bool toFront);

    // Outer geometry in twips. A negative size is refused with InvalidPropertyValue.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return clientWidth_ + frame_.left + frame_.right; }
    int Height() const { return clientHeight_ + frame_.top + frame_.bottom; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);

    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);

    const FrameExtents& Frame() const { return frame_; }
    // The view reports the real frame once the window is shown; the client area stays.
    void SetFrameFromView(const FrameExtents& frame) { frame_ = frame; }
    // The user moved the window.
    void SetPositionFromView(int left, int top) {
        left_ = left;
        top_ = top;
    }

    // 0 to 7; anything else is refused with InvalidPropertyValue.
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode);

    // Membership of the top-most band of windows, which stay above ordinary windows.
    bool TopMost() const { return topMost_; }
    void SetTopMost(bool topMost);
    // Asks the window to become the active window.
    void Activate();

    // The menu bar's menus, left to right (the form does not own them).
    void AddMenu(Menu& menu);
    const std::vector<Menu*>& Menus() const { return menus_; }

    // Raised once when the form is about to be unloaded, whatever the reason; setting
    // cancel keeps the form.
    std::function<void(bool& cancel, UnloadMode mode)> QueryUnload;

    // Unloads the form: runs QueryUnload and, unless it cancels, marks the form unloaded and
    // tells the view to close the window. Returns true when the form is (now) unloaded; a
    // second call does nothing more.
    bool Unload(UnloadMode mode = UnloadMode::FromCode);
    bool IsUnloaded() const { return unloaded_; }

    // The view's hook for form-level changes (caption, geometry, top-most flag, ...).
    void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }
    // The view's hook for controls added after it was built (loaded family elements).
    void SetControlAddedObserver(std::function<void(Control&)> observer) {
        controlAdded_ = std::move(observer);
    }

  protected:
    void Notify(Change change) const {
        CheckWindowThread("a form");
        if (observer_) observer_(change);
    }

  private:
    std::string name_;
    std::string caption_;
    std::vector<Control*> controls_;
    std::vector<Control*> zOrder_;
    std::vector<Menu*> menus_;
    int left_ = 0, top_ = 0;
    int clientWidth_ = 0, clientHeight_ = 0;
    FrameExtents frame_;
    int scaleMode_ = kScaleTwips;
    bool topMost_ = false;
    bool unloading_ = false;
    bool unloaded_ = false;
    std::function<void(Change)> observer_;
    std::function<void(Control&)> controlAdded_;
};

}  // namespace vb::forms
