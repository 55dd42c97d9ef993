#include <forms/FrameControl.h>

#include <gdi/gdi.h>
#include <host/olecolor.h>
#include <host/screenscale.h>

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
    const host::ScreenScale scale = host::ScreenScale::of(this);
    if (width() < 2 || height() - edgeTop() < 2)
        return;
    QPainter painter(this);

    // The caption first (the toolkit's text, in layout pixels): where it
    // ends is where the top edge resumes.
    int gapLeft = width();
    int gapRight = width();
    const QString caption = title();
    if (!caption.isEmpty()) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        QRect drawn;
        painter.drawText(QRect(CaptionLeft, 0, std::max(0, width() - CaptionLeft), fontMetrics().height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine, caption, &drawn);
        gapLeft = CaptionLeft - CaptionGap;
        gapRight = std::min(drawn.right(), width() - 1) + 1 + CaptionGap;
    }

    // The edges in device pixels, one pixel wide at every scale.
    const int w = scale.devicePixels(width());
    const int h = scale.devicePixels(height());
    const int top = scale.devicePixels(edgeTop());
    gapLeft = scale.devicePixels(gapLeft);
    gapRight = scale.devicePixels(gapRight);
    if (!scale.isUnscaled())
        painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));

    // The outer shadow rectangle (0, top) - (w-2, h-2), then the highlight
    // one pixel right and down, so each edge reads as a groove. The two top
    // edges leave out the caption's gap. Filled rather than stroked: fills
    // are far cheaper through the widget's clip.
    const QColor shadow = host::toQColor(GetSysColor(COLOR_BTNSHADOW));
    const QColor light = host::toQColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    auto topEdge = [&](int y, int x0, int x1, const QColor &colour) {
        if (x0 < gapLeft)
            painter.fillRect(QRect(QPoint(x0, y), QPoint(std::min(x1, gapLeft - 1), y)), colour);
        if (x1 >= gapRight)
            painter.fillRect(QRect(QPoint(std::max(x0, gapRight), y), QPoint(x1, y)), colour);
    };
    topEdge(top, 0, w - 2, shadow);
    painter.fillRect(QRect(QPoint(0, top), QPoint(0, h - 2)), shadow);
    painter.fillRect(QRect(QPoint(0, h - 2), QPoint(w - 2, h - 2)), shadow);
    painter.fillRect(QRect(QPoint(w - 2, top), QPoint(w - 2, h - 2)), shadow);
    topEdge(top + 1, 1, w - 3, light);
    painter.fillRect(QRect(QPoint(1, top + 1), QPoint(1, h - 3)), light);
    painter.fillRect(QRect(QPoint(0, h - 1), QPoint(w - 1, h - 1)), light);
    painter.fillRect(QRect(QPoint(w - 1, top), QPoint(w - 1, h - 1)), light);
}

} // namespace forms
