#include "qt/graphic_views.h"

#include <QApplication>
#include <QPainter>

#include "qt/geometry.h"
#include "qt/system_colors.h"

namespace vb::qtview {

namespace {

Qt::PenStyle PenStyleOf(int borderStyle) {
    switch (borderStyle) {
        case forms::kBorderTransparent:
            return Qt::NoPen;
        case forms::kBorderDash:
            return Qt::DashLine;
        case forms::kBorderDot:
            return Qt::DotLine;
        case forms::kBorderDashDot:
            return Qt::DashDotLine;
        case forms::kBorderDashDotDot:
            return Qt::DashDotDotLine;
        default:
            return Qt::SolidLine;
    }
}

QPen PenOf(const forms::Bordered& b, const QWidget* w) {
    QPen pen(ResolveColor(b.BorderColor(), QApplication::palette(w)));
    pen.setWidth(b.BorderWidth());
    pen.setStyle(PenStyleOf(b.BorderStyle()));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// A widget that paints a graphical control and lets the mouse through to what lies below.
class GraphicWidget : public QWidget {
  public:
    GraphicWidget(QWidget* parent, std::function<void(QPainter&, QWidget&)> paint)
        : QWidget(parent), paint_(std::move(paint)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paint_(painter, *this);
    }

  private:
    std::function<void(QPainter&, QWidget&)> paint_;
};

// The line's two ends relative to the widget that covers them.
struct LocalLine {
    QRect box;
    QPoint from, to;
};

LocalLine Locate(const forms::Line& line) {
    const QPoint a = PixelStart(line);
    const QPoint b = PixelEnd(line);
    const int thickness = line.BorderWidth();
    const QPoint topLeft(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    QRect box(topLeft, QSize(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
    // A horizontal or vertical line is as thick as its pen; a slanted one needs room for
    // its last row and column too.
    box.setWidth(std::max(box.width(), thickness));
    box.setHeight(std::max(box.height(), thickness));
    if (a.x() != b.x() && a.y() != b.y()) box.adjust(0, 0, thickness, thickness);
    return {box, a - topLeft, b - topLeft};
}

void PaintLine(const forms::Line& line, QPainter& painter, QWidget& w) {
    const QPen pen = PenOf(line, &w);
    if (pen.style() == Qt::NoPen) return;
    const LocalLine local = Locate(line);
    if (local.from == local.to) return;
    const int t = line.BorderWidth();
    if (pen.style() == Qt::SolidLine &&
        (local.from.y() == local.to.y() || local.from.x() == local.to.x())) {
        // Straight solid lines are filled pixel-exact.
        const QRect run =
            local.from.y() == local.to.y()
                ? QRect(0, local.from.y(), std::abs(local.to.x() - local.from.x()), t)
                : QRect(local.from.x(), 0, t, std::abs(local.to.y() - local.from.y()));
        painter.fillRect(run, pen.color());
        return;
    }
    painter.setPen(pen);
    painter.drawLine(local.from, local.to);
}

void PaintShape(const forms::Shape& shape, QPainter& painter, QWidget& w) {
    const QPen pen = PenOf(shape, &w);
    if (pen.style() == Qt::NoPen) return;
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int t = shape.BorderWidth();
    QRect box = w.rect().adjusted(t / 2, t / 2, -(t + 1) / 2, -(t + 1) / 2);
    const int kind = shape.Kind();
    if (kind == forms::kShapeSquare || kind == forms::kShapeCircle ||
        kind == forms::kShapeRoundedSquare) {
        const int side = std::min(box.width(), box.height());
        box = QRect(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    }
    switch (kind) {
        case forms::kShapeOval:
        case forms::kShapeCircle:
            painter.drawEllipse(box);
            break;
        case forms::kShapeRoundedRectangle:
        case forms::kShapeRoundedSquare:
            painter.drawRoundedRect(box, 12, 12, Qt::RelativeSize);
            break;
        default:
            painter.drawRect(box);
            break;
    }
}

}  // namespace

LineView::LineView(forms::Line& line, QWidget* parent)
    : ControlView(line, new GraphicWidget(
                            parent, [&line](QPainter& p, QWidget& w) { PaintLine(line, p, w); })) {}

void LineView::ApplyGeometry() {
    Widget()->setGeometry(Locate(static_cast<const forms::Line&>(Control())).box);
    Widget()->update();
}

void LineView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Appearance) {
        ApplyGeometry();  // the pen's width shapes the box
        Widget()->update();
    }
}

ShapeView::ShapeView(forms::Shape& shape, QWidget* parent)
    : ControlView(shape, new GraphicWidget(parent, [&shape](QPainter& p, QWidget& w) {
                      PaintShape(shape, p, w);
                  })) {}

void ShapeView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Appearance || change == forms::Change::Geometry)
        Widget()->update();
}

}  // namespace vb::qtview
