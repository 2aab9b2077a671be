#include "qt/label_view.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <utility>

#include "forms/menu.h"
#include "qt/failure_report.h"
#include "qt/geometry.h"
#include "qt/system_colors.h"

namespace vb::qtview {

namespace {

class ClickableLabel : public QLabel {
  public:
    ClickableLabel(forms::Label& label, QWidget* parent) : QLabel(parent), label_(label) {}

  protected:
    // Qt delivers a double click as press, release, press, double click, release. Its second
    // release raises no Click: a double click is one Click, as on Windows, where the second
    // press of a double click is a double-click notification and no click.
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QLabel::mouseDoubleClickEvent(event);
        endsDoubleClick_ = true;
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (std::exchange(endsDoubleClick_, false)) return;
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            label_.Click)
            RunGuarded(label_.Click);
    }

  private:
    forms::Label& label_;
    bool endsDoubleClick_ = false;
};

}  // namespace

LabelView::LabelView(forms::Label& label, QWidget* parent)
    : ControlView(label, new ClickableLabel(label, parent)), label_(label) {
    qlabel_ = static_cast<QLabel*>(Widget());
    qlabel_->setTextFormat(Qt::PlainText);
    qlabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    qlabel_->setFocusPolicy(Qt::NoFocus);
}

void LabelView::RefreshOwn() {
    ApplyAppearance();
    ApplyGeometry();
}

void LabelView::ApplyGeometry() {
    QRect rect = PixelRect(label_);
    rect.setSize(rect.size().expandedTo(qlabel_->sizeHint()));
    qlabel_->setGeometry(rect);
}

void LabelView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Caption || change == forms::Change::Appearance) {
        ApplyAppearance();
        ApplyGeometry();
    }
}

void LabelView::ApplyAppearance() {
    // "&" marks an access key in captions; a label shows the caption without the marks.
    qlabel_->setText(QString::fromStdString(forms::CaptionWithoutAccessMarks(label_.Caption())));
    QPalette palette = qlabel_->palette();
    palette.setColor(QPalette::WindowText,
                     ResolveColor(label_.ForeColor(), QApplication::palette(qlabel_)));
    qlabel_->setPalette(palette);
}

}  // namespace vb::qtview
