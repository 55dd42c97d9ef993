#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

namespace forms {

// The shape control in its circle form: a circle as large as the smaller side
// of the control, centred, with a one-pixel black border and an opaque fill.
//
// A shape that signals something by its colour can be given the meaning of
// each colour; assistive technology then reads the meaning of the current
// colour as the shape's name and value (see ShapeAccessible).
class ShapeControl : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeControl(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    // Repaints even when the colour is unchanged (every set counts).
    void setFillColor(const QColor &colour);

    void setColourMeaning(const QColor &colour, const QString &meaning);
    // The meaning of the current fill colour; empty when it has none.
    QString meaning() const;
    // Its place among the meanings in the order they were given; -1 for none.
    int meaningIndex() const;
    int meaningCount() const { return int(m_meanings.size()); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill = Qt::white;
    QList<QPair<QRgb, QString>> m_meanings;
};

} // namespace forms
