#include "qt/text_box_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <cmath>
#include <type_traits>

#include "qt/geometry.h"
#include "qt/system_colors.h"

namespace vb::qtview {

namespace {

// A multi-line box that scrolls (the log) is a QPlainTextEdit, which lays out only the lines
// it shows: a 200,000-line log takes a third of the memory a QTextEdit's layout of every line
// does. One without scroll bars grows to show all of its few lines and may be centred: a
// QTextEdit, whose document reports its height in pixels.
bool IsPlain(const forms::TextBox& box) { return box.MultiLine() && box.ShowsVerticalBar(); }

QWidget* MakeWidget(const forms::TextBox& box, QWidget* parent) {
    if (IsPlain(box)) return new QPlainTextEdit(parent);
    if (box.MultiLine()) return new QTextEdit(parent);
    return new QLineEdit(parent);
}

Qt::Alignment ToQt(forms::Alignment a) {
    switch (a) {
        case forms::Alignment::Right:
            return Qt::AlignRight;
        case forms::Alignment::Center:
            return Qt::AlignHCenter;
        case forms::Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

TextBoxView::TextBoxView(forms::TextBox& box, QWidget* parent)
    : ControlView(box, MakeWidget(box, parent)), box_(box) {
    if (box.MultiLine()) {
        if (IsPlain(box)) {
            plain_ = static_cast<QPlainTextEdit*>(Widget());
        } else {
            rich_ = static_cast<QTextEdit*>(Widget());
            rich_->setAcceptRichText(false);
        }
        flushTimer_ = std::make_unique<QTimer>();
        flushTimer_->setSingleShot(true);
        flushTimer_->setInterval(0);
        QObject::connect(flushTimer_.get(), &QTimer::timeout, [this] { FlushAppends(); });
        OnMultiLine([this](auto* edit) {
            document_ = edit->document();
            document_->setDocumentMargin(1);
            edit->setTabChangesFocus(true);
            using Edit = std::remove_pointer_t<decltype(edit)>;
            QObject::connect(edit, &Edit::textChanged, edit, [this] {
                if (updating_) return;
                box_.SetTextFromView(FromWidgetText(document_->toRawText()));
                appends_.Shown(box_.CurrentText().size());
            });
        });
    } else {
        line_ = static_cast<QLineEdit*>(Widget());
        QObject::connect(line_, &QLineEdit::textEdited, line_, [this](const QString& typed) {
            QString text = typed;
            text.remove(QLatin1Char('\r'));
            text.remove(QLatin1Char('\n'));
            if (text != typed) {
                const QScopedValueRollback updating(updating_, true);
                const int cursor = line_->cursorPosition();
                line_->setText(text);
                line_->setCursorPosition(std::min<int>(cursor, text.size()));
            }
            box_.SetTextFromView(text.toStdString());
            appends_.Shown(box_.CurrentText().size());
        });
    }
}

TextBoxView::~TextBoxView() = default;

QString TextBoxView::ToWidgetText(const std::string& text, bool multiLine) {
    QString shown = QString::fromStdString(text);
    if (multiLine) {
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    } else {
        shown.remove(QLatin1Char('\r'));
        shown.remove(QLatin1Char('\n'));
    }
    return shown;
}

std::string TextBoxView::FromWidgetText(const QString& text) {
    QString plain = text;
    // The document separates paragraphs (and soft breaks) with characters of its own.
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    plain.replace(QChar::LineSeparator, QLatin1Char('\n'));
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return plain.toStdString();
}

void TextBoxView::RefreshOwn() {
    ApplyAppearance();
    ShowText();
}

void TextBoxView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Text) ShowText();
    if (change == forms::Change::TextAppended) AppendToWidget();
    if (change == forms::Change::Appearance) ApplyAppearance();
}

void TextBoxView::ApplyGeometry() {
    QRect rect = PixelRect(box_);
    if (rich_ && box_.GrowsToShowEveryLine()) {
        const forms::VerticalSpan span =
            forms::GrownAboutCentre({rect.y(), rect.height()}, DocumentHeight(rect.width()));
        rect.setRect(rect.x(), span.top, rect.width(), span.height);
    }
    Widget()->setGeometry(rect);
}

int TextBoxView::DocumentHeight(int width) {
    // Laying the document out again reports a change of its contents; that is not typing.
    const QScopedValueRollback updating(updating_, true);
    const int frame = rich_->frameWidth();
    document_->setTextWidth(width - 2 * frame);
    return static_cast<int>(std::ceil(document_->size().height())) + 2 * frame;
}

void TextBoxView::ShowText() {
    const QScopedValueRollback updating(updating_, true);
    const QString shown = ToWidgetText(box_.Text(), document_ != nullptr);
    if (document_) {
        OnMultiLine([&](auto* edit) { edit->setPlainText(shown); });
        ApplyAlignment();
        ApplyGeometry();
    } else {
        line_->setText(shown);
        line_->setCursorPosition(0);
    }
    appends_.Shown(box_.CurrentText().size());
}

void TextBoxView::AppendToWidget() {
    using Step = forms::AppendBatch::Step;
    const Step step = appends_.Appended(box_);
    if (step == Step::ShowWhole) ShowText();
    if (step == Step::InsertNow || (step == Step::InsertLater && !flushTimer_)) FlushAppends();
    if (step == Step::InsertLater && flushTimer_) flushTimer_->start();
}

void TextBoxView::FlushAppends() {
    const std::string added = appends_.Take();
    if (added.empty()) return;
    const QScopedValueRollback updating(updating_, true);
    if (!document_) return line_->setText(line_->text() + ToWidgetText(added, false));
    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToWidgetText(added, true));
    appends_.Inserted();
}

void TextBoxView::ApplyAppearance() {
    QWidget* w = Widget();
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, ResolveColor(box_.BackColor(), QApplication::palette(w)));
    w->setPalette(palette);
    w->setFocusPolicy(box_.TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    if (document_) {
        FlushAppends();  // an editable box has no text waiting
        OnMultiLine([this](auto* edit) {
            edit->setReadOnly(box_.Locked());
            // Nobody can undo in a box the user cannot edit: without the stack, the text the
            // program appends (a log of 200,000 lines) is held once, not again as undo steps.
            edit->setUndoRedoEnabled(!box_.Locked());
            if (box_.Locked())
                edit->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
            const bool horizontal = box_.ShowsHorizontalBar();
            edit->setVerticalScrollBarPolicy(box_.ShowsVerticalBar() ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
            edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
            using Edit = std::remove_pointer_t<decltype(edit)>;
            edit->setLineWrapMode(horizontal ? Edit::NoWrap : Edit::WidgetWidth);
        });
        ApplyAlignment();
    } else {
        line_->setReadOnly(box_.Locked());
        line_->setAlignment(ToQt(box_.Alignment()) | Qt::AlignVCenter);
    }
}

void TextBoxView::ApplyAlignment() {
    const QScopedValueRollback updating(updating_, true);
    if (plain_) {
        // The plain layout takes its alignment from the document's option, not the blocks'.
        QTextOption option = document_->defaultTextOption();
        option.setAlignment(ToQt(box_.Alignment()));
        document_->setDefaultTextOption(option);
        return;
    }
    QTextCursor cursor(document_);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(ToQt(box_.Alignment()));
    cursor.mergeBlockFormat(format);
}

}  // namespace vb::qtview
