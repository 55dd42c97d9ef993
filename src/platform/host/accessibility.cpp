#include <host/accessibility.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace host {

namespace {

bool takesKeys(const QWidget *widget)
{
    if (!widget->isEnabled())
        return false;
    const QWidget *modal = QApplication::activeModalWidget();
    if (modal == nullptr)
        return true;
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == modal)
            return true;
    }
    return false;
}

} // namespace

QString withoutAccessMarks(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text.append(caption.at(i));
    }
    return text.simplified();
}

void pressLikeSpaceKey(QWidget *widget)
{
    if (!takesKeys(widget))
        return;
    QPointer<QWidget> target(widget);
    QMetaObject::invokeMethod(
        widget, [target] {
            if (!target || !takesKeys(target))
                return;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QCoreApplication::sendEvent(target, &press);
            if (!target)
                return;
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QCoreApplication::sendEvent(target, &release);
        },
        Qt::QueuedConnection);
}

} // namespace host
