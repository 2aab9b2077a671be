#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace vb::forms {

// A top-level window of the form layer. It holds its controls in design order (the order a
// walk over "every control of the form" visits them) and its geometry in twips.
class Form {
public:
    explicit Form(std::string name) : name_(std::move(name)) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Registers a control of this form (the form does not own it).
    void AddControl(Control& control);
    const std::vector<Control*>& Controls() const { return controls_; }

    // The view's hook for form-level changes (caption, geometry, top-most flag, ...).
    void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }

protected:
    void Notify(Change change) const {
        if (observer_) observer_(change);
    }

private:
    std::string name_;
    std::string caption_;
    std::vector<Control*> controls_;
    std::function<void(Change)> observer_;
};

}  // namespace vb::forms
