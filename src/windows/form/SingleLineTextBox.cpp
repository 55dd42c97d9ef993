#include <forms/SingleLineTextBox.h>

#include <gdi/gdi.h>
#include <host/olecolor.h>
#include <host/screenscale.h>

#include <QKeyEvent>
#include <QPainter>

#include <limits>

namespace forms {

SingleLineTextBox::SingleLineTextBox(const QString &text, QWidget *parent)
    : QLineEdit(parent)
{
    // The style's own frame is left out: the edge below replaces it, and the
    // text keeps clear of it.
    setFrame(false);
    setTextMargins(EdgeWidth, EdgeWidth, EdgeWidth, EdgeWidth);
    // A text box takes text of any length; the line edit's own limit of
    // 32,767 characters would cut a long paste without a word. Raised while
    // the box is empty, so the text is set once and whole.
    setMaxLength(std::numeric_limits<int>::max());
    setText(text);
}

void SingleLineTextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent sideways(event->type(), event->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right, event->modifiers(),
                       event->text(), event->isAutoRepeat(), event->count());
    QLineEdit::keyPressEvent(&sideways);
    event->accept();
}

void SingleLineTextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (width() < 2 * EdgeWidth || height() < 2 * EdgeWidth)
        return;
    // The edge in device pixels: two rings one pixel wide at every scale.
    const host::ScreenScale scale = host::ScreenScale::of(this);
    const int w = scale.devicePixels(width());
    const int h = scale.devicePixels(height());
    QPainter painter(this);
    if (!scale.isUnscaled())
        painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));
    const QColor shadow = host::toQColor(GetSysColor(COLOR_BTNSHADOW));
    const QColor dark = host::toQColor(GetSysColor(COLOR_3DDKSHADOW));
    const QColor light = host::toQColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    const QColor face = host::toQColor(GetSysColor(COLOR_3DLIGHT));
    // Outer ring: shadow top-left, highlight bottom-right; inner ring: dark
    // shadow top-left, light bottom-right.
    painter.fillRect(0, 0, w - 1, 1, shadow);
    painter.fillRect(0, 1, 1, h - 2, shadow);
    painter.fillRect(0, h - 1, w, 1, light);
    painter.fillRect(w - 1, 0, 1, h - 1, light);
    painter.fillRect(1, 1, w - 3, 1, dark);
    painter.fillRect(1, 2, 1, h - 4, dark);
    painter.fillRect(1, h - 2, w - 2, 1, face);
    painter.fillRect(w - 2, 1, 1, h - 3, face);
}

} // namespace forms
