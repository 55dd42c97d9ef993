#include <forms/ShapeControl.h>

#include "ShapeAccessible.h"

#include <host/accessibility.h>
#include <host/screenscale.h>

#include <QPainter>

#include <algorithm>

namespace forms {

ShapeControl::ShapeControl(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    host::installAccessibleInterface<ShapeAccessible, ShapeControl>();
}

void ShapeControl::setFillColor(const QColor &colour)
{
    const QString before = meaning();
    m_fill = colour;
    update();
    if (meaning() != before)
        ShapeAccessible::meaningChanged(this);
}

void ShapeControl::setColourMeaning(const QColor &colour, const QString &meaning)
{
    const QString before = this->meaning();
    auto entry = std::find_if(m_meanings.begin(), m_meanings.end(),
                              [&](const auto &e) { return e.first == colour.rgb(); });
    if (entry != m_meanings.end())
        entry->second = meaning;
    else
        m_meanings.append({colour.rgb(), meaning});
    if (this->meaning() != before)
        ShapeAccessible::meaningChanged(this);
}

QString ShapeControl::meaning() const
{
    const int index = meaningIndex();
    return index < 0 ? QString() : m_meanings.at(index).second;
}

int ShapeControl::meaningIndex() const
{
    for (qsizetype i = 0; i < m_meanings.size(); ++i) {
        if (m_meanings.at(i).first == m_fill.rgb())
            return int(i);
    }
    return -1;
}

void ShapeControl::paintEvent(QPaintEvent *)
{
    // In device pixels: the outline is one pixel wide at every scale.
    const host::ScreenScale scale = host::ScreenScale::of(this);
    const int w = scale.devicePixels(width());
    const int h = scale.devicePixels(height());
    const int side = qMin(w, h);
    if (side <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!scale.isUnscaled())
        painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));
    const QRectF circle((w - side) / 2.0 + 0.5, (h - side) / 2.0 + 0.5, side - 1, side - 1);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(circle);
}

} // namespace forms
