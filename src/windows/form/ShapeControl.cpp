#include <forms/ShapeControl.h>

#include "ShapeAccessible.h"

#include <QPainter>

#include <algorithm>

namespace forms {

ShapeControl::ShapeControl(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    ShapeAccessible::install();
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
    const int side = qMin(width(), height());
    if (side <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle((width() - side) / 2.0 + 0.5, (height() - side) / 2.0 + 0.5, side - 1, side - 1);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(circle);
}

} // namespace forms
