#include <forms/Label.h>

#include "LabelAccessible.h"

#include <host/accessibility.h>

#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>

#include <cmath>

namespace forms {

namespace {

// Qt's painter keeps the glyphs of a font up to this size in device pixels;
// bigger ones it fills from their outlines at every paint, which for a title
// costs more than all the window's other text.
constexpr int LargestCachedGlyph = 64;

bool isWhole(QPointF p)
{
    return p.x() == std::floor(p.x()) && p.y() == std::floor(p.y());
}

} // namespace

Label::Label(QWidget *parent)
    : QLabel(parent)
{
    host::installAccessibleInterface<LabelAccessible, Label>();
}

void Label::paintEvent(QPaintEvent *event)
{
    if (!paintKeptText())
        QLabel::paintEvent(event);
}

// Plain text without frame, margin, indent or access key is one call of the
// style's drawItemText into the contents rectangle: the call Qt's label
// makes. That call goes once into a transparent image at device resolution,
// kept by everything it depends on, and the image is copied 1:1; the
// composed pixels are those of a direct draw. (Qt's own fill of big glyphs
// shifts their edges by a few levels once the same face has been drawn at
// another size, as the buttons' captions do; the image keeps the first.)
// Whatever else, or a position between device pixels (where the text would
// be placed to the fraction), Qt's label paints.
bool Label::paintKeptText()
{
    const qreal ratio = devicePixelRatioF();
    if (QFontInfo(font()).pixelSize() * ratio <= LargestCachedGlyph || text().isEmpty()
        || textFormat() != Qt::PlainText || frameShape() != QFrame::NoFrame || margin() != 0 || indent() > 0
        || (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable))
        || (buddy() && text().contains(u'&')) || !isEnabled())
        return false;
    QStyleOption option;
    option.initFrom(this);
    const QBrush brush = option.palette.brush(foregroundRole());
    if (brush.style() != Qt::SolidPattern)
        return false;
    const QRect area = contentsRect();
    QPainter painter(this);
    const QTransform device = painter.deviceTransform();
    const QPointF deviceAt = QPointF(area.topLeft()) * ratio;
    if (device.type() > QTransform::TxScale || device.m11() != ratio || device.m22() != ratio
        || !isWhole(device.map(QPointF(0, 0))) || !isWhole(deviceAt)) {
        return false;
    }

    const Qt::LayoutDirection direction = text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int flags = QStyle::visualAlignment(direction, alignment()) | Qt::TextExpandTabs
                      | (wordWrap() ? Qt::TextWordWrap : 0)
                      | (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    const QString key = QStringLiteral("forms::Label %1 %2 %3 %4 %5x%6 %7 %8 %9")
                            .arg(font().key(), brush.color().name(QColor::HexArgb))
                            .arg(flags)
                            .arg(style()->name())
                            .arg(area.width())
                            .arg(area.height())
                            .arg(ratio)
                            .arg(logicalDpiY())
                            .arg(text());
    QPixmap kept;
    if (!QPixmapCache::find(key, &kept)) {
        QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        // The font's pixel size comes from the image's resolution: the label's.
        image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        image.fill(Qt::transparent);
        QPainter onImage(&image);
        onImage.setFont(font());
        style()->drawItemText(&onImage, QRect(QPoint(0, 0), area.size()), flags, option.palette, true, text(),
                              foregroundRole());
        onImage.end();
        image.setDevicePixelRatio(1);
        kept = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, kept);
    }
    // The painter counts in device pixels: a plain copy.
    painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.drawPixmap(deviceAt, kept);
    return true;
}

} // namespace forms
