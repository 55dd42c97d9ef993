#pragma once
// Pieces that the accessible interfaces of the controls share.

#include <QAccessible>
#include <QString>

class QWidget;

namespace host {

// Registers, once per process, the accessible interface `Interface` for the
// widgets of class `Widget`. Qt asks its factories by class name, walking up
// from the object's own class, so the name must be the class's own.
template <class Interface, class Widget>
void installAccessibleInterface()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
            if (className == QLatin1String(Widget::staticMetaObject.className()))
                return new Interface(static_cast<Widget *>(object));
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}

// A caption as the user reads it: each "&" that marks the next character as
// the access key is dropped ("&&" stands for one "&", a final "&" is itself),
// and line breaks and runs of blanks become single spaces.
QString withoutAccessMarks(const QString &caption);

// The "Press" that assistive technology asks of a button: a Space key press
// and release delivered to `widget`, as the keyboard would when the widget
// has the focus, so the widget runs its own Space handling with all its
// events. It runs from the event loop, after the caller has returned: a
// click may open a modal window, and the caller (a screen reader waiting for
// its answer) must not wait for that window to close. Nothing happens to a
// disabled widget or to one behind a modal window, which no key can reach
// either.
void pressLikeSpaceKey(QWidget *widget);

} // namespace host
