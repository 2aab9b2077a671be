#pragma once

#include <QString>
#include <memory>

#include "forms/append_batch.h"
#include "forms/text_box.h"
#include "qt/control_view.h"

class QLineEdit;
class QPlainTextEdit;
class QTextDocument;
class QTextEdit;
class QTimer;

namespace vb::qtview {

// A text box as a QLineEdit (single line), a QPlainTextEdit (multi-line with scroll bars) or a
// QTextEdit (multi-line without). The control's Text
// keeps CR LF; the widget shows plain line breaks. Typing updates the control without the
// change coming back; code setting Text replaces the widget's text without echoing;
// appended text is appended to the widget (to a read-only box in batches, forms::AppendBatch).
// Tab leaves a multi-line box, and line breaks pasted into a single-line box are dropped.
class TextBoxView : public ControlView {
  public:
    TextBoxView(forms::TextBox& box, QWidget* parent);
    ~TextBoxView() override;

    // Conversions between the control's text and the widget's.
    static QString ToWidgetText(const std::string& text, bool multiLine);
    static std::string FromWidgetText(const QString& text);

  protected:
    void RefreshOwn() override;
    void UpdateOwn(forms::Change change) override;
    void ApplyGeometry() override;

  private:
    // The height the multi-line widget needs to show every line at this width.
    int DocumentHeight(int width);
    void ShowText();
    void AppendToWidget();
    void FlushAppends();
    void ApplyAppearance();
    void ApplyAlignment();
    // Calls f with the multi-line widget, whichever of the two it is.
    template <class F>
    void OnMultiLine(F f) {
        if (plain_) f(plain_);
        if (rich_) f(rich_);
    }

    forms::TextBox& box_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
    QTextEdit* rich_ = nullptr;
    QTextDocument* document_ = nullptr;  // the multi-line widget's
    forms::AppendBatch appends_;
    bool updating_ = false;  // the widget changes from code: its change signals are no typing
    std::unique_ptr<QTimer> flushTimer_;  // puts pending text in at the next event-loop turn
};

}  // namespace vb::qtview
