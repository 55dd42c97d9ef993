#include <forms/FrameControl.h>

#include <gdi/gdi.h>
#include <host/olecolor.h>

#include <QPainter>

namespace forms {

namespace {

// Space kept clear on each side of the caption where it interrupts the edge.
constexpr int CaptionGap = 2;

} // namespace

FrameControl::FrameControl(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{
    setFlat(false);
}

int FrameControl::edgeTop() const
{
    return fontMetrics().height() / 2;
}

void FrameControl::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    const int top = edgeTop();
    if (w < 2 || h - top < 2)
        return;
    QPainter painter(this);
    const QColor shadow = host::toQColor(GetSysColor(COLOR_BTNSHADOW));
    const QColor light = host::toQColor(GetSysColor(COLOR_BTNHIGHLIGHT));

    // The caption's extent along the top edge; the edge is not drawn there.
    int gapLeft = w;
    int gapRight = w;
    const QString caption = title();
    QRect captionRect;
    if (!caption.isEmpty()) {
        const QFontMetrics metrics = fontMetrics();
        const int textWidth = metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&')));
        captionRect = QRect(CaptionLeft, 0, std::min(textWidth, std::max(0, w - CaptionLeft)), metrics.height());
        gapLeft = CaptionLeft - CaptionGap;
        gapRight = captionRect.right() + 1 + CaptionGap;
    }

    // Outer shadow rectangle (0, top) - (w-2, h-2), then the highlight one
    // pixel right and down, so each edge reads as a groove.
    auto horizontal = [&](int y, int x0, int x1, const QColor &colour) {
        // x0..x1 inclusive, less the caption's gap on the top edges.
        if (y <= top + 1) {
            if (x0 < gapLeft)
                painter.fillRect(QRect(x0, y, std::min(x1 + 1, gapLeft) - x0, 1), colour);
            if (x1 >= gapRight)
                painter.fillRect(QRect(std::max(x0, gapRight), y, x1 + 1 - std::max(x0, gapRight), 1), colour);
        } else {
            painter.fillRect(QRect(x0, y, x1 - x0 + 1, 1), colour);
        }
    };
    horizontal(top, 0, w - 2, shadow);
    painter.fillRect(QRect(0, top, 1, h - 1 - top), shadow);
    horizontal(h - 2, 0, w - 2, shadow);
    painter.fillRect(QRect(w - 2, top, 1, h - 1 - top), shadow);
    horizontal(top + 1, 1, w - 3, light);
    painter.fillRect(QRect(1, top + 1, 1, h - 3 - top), light);
    horizontal(h - 1, 0, w - 1, light);
    painter.fillRect(QRect(w - 1, top, 1, h - top), light);

    if (!captionRect.isEmpty()) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine,
                         caption);
    }
}

} // namespace forms
