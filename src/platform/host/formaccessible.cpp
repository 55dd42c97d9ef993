#include "formaccessible.h"

#include <host/accessibility.h>
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

} // namespace

void installFormAccessibility()
{
    installAccessibleInterface<FormAccessible, Form>();
}

} // namespace host
