#include "formaccessible.h"

#include <host/form.h>

#include <QAccessibleWidget>

namespace host {

namespace {

// A Form that is a window has the window role (its name is its title, as for
// any Qt window); one placed inside another widget is a client area. The role
// is read on every query: a form becomes a dialog of its owner only after it
// was built.
class FormAccessible : public QAccessibleWidget
{
public:
    explicit FormAccessible(QWidget *form) : QAccessibleWidget(form, QAccessible::Client) {}

    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
    }
};

QAccessibleInterface *formFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("host::Form") && object && object->isWidgetType())
        return new FormAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installFormAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(formFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace host
