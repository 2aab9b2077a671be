#include "qt/text_box_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

#include "qt/geometry.h"
#include "qt/system_colors.h"

namespace vb::qtview {

namespace {

QWidget* MakeWidget(const forms::TextBox& box, QWidget* parent) {
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
        multi_ = static_cast<QTextEdit*>(Widget());
        flushTimer_ = std::make_unique<QTimer>();
        flushTimer_->setSingleShot(true);
        flushTimer_->setInterval(0);
        QObject::connect(flushTimer_.get(), &QTimer::timeout, [this] { FlushAppends(); });
        multi_->setAcceptRichText(false);
        multi_->document()->setDocumentMargin(1);
        multi_->setTabChangesFocus(true);
        QObject::connect(multi_, &QTextEdit::textChanged, multi_, [this] {
            if (updating_) return;
            box_.SetTextFromView(FromWidgetText(multi_->document()->toRawText()));
            appends_.Shown(box_.CurrentText().size());
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
    if (multi_ && box_.GrowsToShowEveryLine()) {
        const forms::VerticalSpan span =
            forms::GrownAboutCentre({rect.y(), rect.height()}, DocumentHeight(rect.width()));
        rect.setRect(rect.x(), span.top, rect.width(), span.height);
    }
    Widget()->setGeometry(rect);
}

int TextBoxView::DocumentHeight(int width) {
    // Laying the document out again reports a change of its contents; that is not typing.
    const QScopedValueRollback updating(updating_, true);
    QTextDocument* document = multi_->document();
    const int frame = multi_->frameWidth();
    document->setTextWidth(width - 2 * frame);
    return static_cast<int>(std::ceil(document->size().height())) + 2 * frame;
}

void TextBoxView::ShowText() {
    const QScopedValueRollback updating(updating_, true);
    const QString shown = ToWidgetText(box_.Text(), multi_ != nullptr);
    if (multi_) {
        multi_->setPlainText(shown);
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
    if (!multi_) return line_->setText(line_->text() + ToWidgetText(added, false));
    QTextCursor cursor(multi_->document());
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
    if (multi_) {
        FlushAppends();  // an editable box has no text waiting
        multi_->setReadOnly(box_.Locked());
        // Nobody can undo in a box the user cannot edit: without the stack, the text the
        // program appends (a log of 200,000 lines) is held once, not again as undo steps.
        multi_->setUndoRedoEnabled(!box_.Locked());
        if (box_.Locked())
            multi_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
        const bool horizontal = box_.ShowsHorizontalBar();
        multi_->setVerticalScrollBarPolicy(box_.ShowsVerticalBar() ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
        multi_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
        multi_->setLineWrapMode(horizontal ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
        ApplyAlignment();
    } else {
        line_->setReadOnly(box_.Locked());
        line_->setAlignment(ToQt(box_.Alignment()) | Qt::AlignVCenter);
    }
}

void TextBoxView::ApplyAlignment() {
    const QScopedValueRollback updating(updating_, true);
    QTextCursor cursor(multi_->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(ToQt(box_.Alignment()));
    cursor.mergeBlockFormat(format);
}

}  // namespace vb::qtview
