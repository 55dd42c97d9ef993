#include <forms/Announcer.h>

#include <host/accessibility.h>

#include <QAccessibleWidget>

namespace forms {

namespace {

// The notification as assistive technology sees it: its name is the latest
// message. The widget itself is never shown; each message is raised as the
// notification appearing.
class AnnouncerAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(Announcer *announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<Announcer *>(widget())->message();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    host::installAccessibleInterface<AnnouncerAccessible, Announcer>();
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void Announcer::announce(const QString &message)
{
    if (!QAccessible::isActive())
        return;
    m_message = message;
    QAccessibleEvent name(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace forms
