#include <host/screenscale.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace host {

namespace {

// A layout position times the ratio lands a hair below a whole device pixel
// when the position came from that pixel divided by the ratio; the slack
// keeps it in its own pixel.
constexpr double Slack = 1e-6;

int pixelHolding(double device)
{
    return int(std::floor(device + Slack));
}

double ratioOf(const QScreen *screen)
{
    return screen ? screen->devicePixelRatio() : 1.0;
}

} // namespace

ScreenScale::ScreenScale(double devicePixelRatio)
    : m_ratio(devicePixelRatio > 0 ? devicePixelRatio : 1.0)
{
}

ScreenScale ScreenScale::of(const QWidget *widget)
{
    return ScreenScale(widget ? widget->devicePixelRatioF() : ratioOf(QGuiApplication::primaryScreen()));
}

ScreenScale ScreenScale::at(QPointF globalLayout)
{
    const QScreen *screen = QGuiApplication::screenAt(globalLayout.toPoint());
    return ScreenScale(ratioOf(screen ? screen : QGuiApplication::primaryScreen()));
}

int ScreenScale::twipsToPixels(double twips) const
{
    return int(std::nearbyint(twips / twipsPerPixel()));
}

int ScreenScale::devicePixels(int layoutPixels) const
{
    return int(std::nearbyint(layoutPixels * m_ratio));
}

QPoint ScreenScale::devicePixelAt(QPointF layout) const
{
    return QPoint(pixelHolding(layout.x() * m_ratio), pixelHolding(layout.y() * m_ratio));
}

QRegion ScreenScale::layoutCover(const QRegion &device) const
{
    if (isUnscaled())
        return device;
    QRegion cover;
    for (const QRect &r : device) {
        const int left = int(std::floor(r.x() / m_ratio + Slack));
        const int top = int(std::floor(r.y() / m_ratio + Slack));
        const int right = int(std::ceil((r.x() + r.width()) / m_ratio - Slack));
        const int bottom = int(std::ceil((r.y() + r.height()) / m_ratio - Slack));
        cover += QRect(left, top, right - left, bottom - top);
    }
    return cover;
}

QPoint globalDevicePixel(QPointF globalLayout)
{
    return ScreenScale::at(globalLayout).devicePixelAt(globalLayout);
}

QPointF globalLayoutPoint(QPoint globalDevice)
{
    // The screen whose layout area the point lands in at that screen's ratio.
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QPointF layout = QPointF(globalDevice) / screen->devicePixelRatio();
        if (screen->geometry().contains(layout.toPoint()))
            return layout;
    }
    return QPointF(globalDevice) / ratioOf(QGuiApplication::primaryScreen());
}

} // namespace host
