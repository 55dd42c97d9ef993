#include <forms/LineControl.h>

#include <host/screenscale.h>

#include <QPainter>

namespace forms {

LineControl::LineControl(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::setLine(QPoint from, QPoint to)
{
    m_from = from;
    m_to = to;
    setGeometry(QRect(from, to).normalized().adjusted(0, 0, 1, 1));
    update();
}

void LineControl::setColor(const QColor &colour)
{
    m_colour = colour;
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, 1));
    const host::ScreenScale scale = host::ScreenScale::of(this);
    if (scale.isUnscaled()) {
        painter.drawLine(m_from - pos(), m_to - pos());
        return;
    }
    // One device pixel wide, between the device pixels of the two points.
    const auto device = [&](QPoint p) {
        return QPoint(scale.devicePixels(p.x() - x()), scale.devicePixels(p.y() - y()));
    };
    painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));
    painter.drawLine(device(m_from), device(m_to));
}

} // namespace forms
