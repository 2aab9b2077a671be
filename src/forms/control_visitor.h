#pragma once

namespace vb::forms {

class ComboBox;
class Label;
class Line;
class ProgressBar;
class Shape;
class TextBox;
class Timer;
class WebBrowser;

// One function for each kind of control the layer knows; Control::Accept calls the one of
// its own kind. A view makes its control views with one, so a new kind of control does not
// build until every view has a case for it.
class ControlVisitor {
  public:
    virtual ~ControlVisitor() = default;
    virtual void Visit(TextBox& control) = 0;
    virtual void Visit(ComboBox& control) = 0;
    virtual void Visit(Label& control) = 0;
    virtual void Visit(ProgressBar& control) = 0;
    virtual void Visit(Line& control) = 0;
    virtual void Visit(Shape& control) = 0;
    virtual void Visit(Timer& control) = 0;
    virtual void Visit(WebBrowser& control) = 0;
};

}  // namespace vb::forms
