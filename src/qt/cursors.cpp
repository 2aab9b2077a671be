#include "qt/cursors.h"

#include <QBitmap>
#include <QImage>

#include "forms/screen.h"

namespace vb::qtview {

namespace {

bool Bit(const std::vector<std::uint8_t>& plane, int rowBytes, int x, int y) {
    const std::size_t at = static_cast<std::size_t>(y * rowBytes + x / 8);
    return at < plane.size() && ((plane[at] >> (7 - x % 8)) & 1);
}

}  // namespace

QCursor CursorFromPicture(const forms::Picture& picture) {
    const int rowBytes = (picture.width + 7) / 8;
    // Qt's bitmap cursor: bitmap 1 = black, mask 1 = drawn.
    // Index 0 is Qt::color0 (white, clear), index 1 Qt::color1 (black, set).
    const QList<QRgb> colors = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    QImage bitmap(picture.width, picture.height, QImage::Format_MonoLSB);
    QImage mask(picture.width, picture.height, QImage::Format_MonoLSB);
    bitmap.setColorTable(colors);
    mask.setColorTable(colors);
    bitmap.fill(0);
    mask.fill(0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool drawn = !Bit(picture.andMask, rowBytes, x, y);
            const bool white = Bit(picture.xorPlane, rowBytes, x, y);
            mask.setPixel(x, y, drawn ? 1 : 0);
            bitmap.setPixel(x, y, drawn && !white ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bitmap), QBitmap::fromImage(mask), picture.hotSpotX,
                   picture.hotSpotY);
}

std::optional<QCursor> PointerCursor(int kind, const std::shared_ptr<const forms::Picture>& icon) {
    // In the order of the standard shapes.
    static constexpr Qt::CursorShape kStandard[forms::kStandardPointers] = {
        Qt::ArrowCursor,     Qt::CrossCursor,   Qt::IBeamCursor,     Qt::SizeAllCursor,
        Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor, Qt::SizeHorCursor,
        Qt::UpArrowCursor,   Qt::WaitCursor,    Qt::ForbiddenCursor, Qt::BusyCursor,
        Qt::WhatsThisCursor};
    const forms::PointerShape shape = forms::ShapeOfPointer(kind, icon != nullptr);
    if (shape == forms::PointerShape::Default) return std::nullopt;
    if (shape == forms::PointerShape::Picture) return CursorFromPicture(*icon);
    return QCursor(kStandard[static_cast<int>(shape)]);
}

}  // namespace vb::qtview
