#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace forms {

// The line control: a one-pixel line between two points of its container.
// The widget covers the line's bounding box; the points are kept in the
// container's coordinates.
class LineControl : public QWidget
{
    Q_OBJECT

public:
    explicit LineControl(QWidget *parent = nullptr);

    void setLine(QPoint from, QPoint to);
    QPoint from() const { return m_from; }
    QPoint to() const { return m_to; }
    void setColor(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from, m_to;
    QColor m_colour = Qt::black;
};

} // namespace forms
