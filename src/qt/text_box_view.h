#pragma once

#include "forms/text_box.h"
#include "qt/control_view.h"

class QLineEdit;
class QTextEdit;

namespace vb::qtview {

// A text box as a QLineEdit (single line) or a QTextEdit (multi-line). The control's Text
// keeps CR LF; the widget shows plain line breaks. Typing updates the control without the
// change coming back; code setting Text replaces the widget's text without echoing;
// appended text is appended to the widget. Tab leaves a multi-line box, and line breaks
// pasted into a single-line box are dropped.
class TextBoxView : public ControlView {
public:
    TextBoxView(forms::TextBox& box, QWidget* parent);

    // Conversions between the control's text and the widget's.
    static QString ToWidgetText(const std::string& text, bool multiLine);
    static std::string FromWidgetText(const QString& text);

protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

private:
    void ShowText();
    void AppendToWidget();
    void ApplyAppearance();
    void ApplyAlignment();

    forms::TextBox& box_;
    QLineEdit* line_ = nullptr;
    QTextEdit* multi_ = nullptr;
    std::size_t shownLength_ = 0;  // bytes of Text the widget shows
    bool updating_ = false;
};

}  // namespace vb::qtview
