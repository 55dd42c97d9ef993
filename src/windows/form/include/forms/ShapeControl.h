#pragma once

#include <QColor>
#include <QWidget>

namespace forms {

// The shape control in its circle form: a circle as large as the smaller side
// of the control, centred, with a one-pixel black border and an opaque fill.
class ShapeControl : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeControl(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    // Repaints even when the colour is unchanged (every set counts).
    void setFillColor(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill = Qt::white;
};

} // namespace forms
