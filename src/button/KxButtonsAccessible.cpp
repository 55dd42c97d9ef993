#include <button/KxButtonsAccessible.h>

#include <button/kxButtons_H.h>
#include <host/accessibility.h>
#include <host/form.h>


#include <QKeySequence>
#include <QPointer>

namespace {

const char *const kControlsProperty = "kxAccessibleControls";
using Targets = QList<QPointer<QWidget>>;

// Watches a window's size: a narrower window may hide buttons without
// hiding them as Qt knows it (they lie outside the client area).
class VisibleAreaWatcher : public QObject
{
public:
    explicit VisibleAreaWatcher(QWidget *window) : QObject(window)
    {
        setObjectName(QLatin1String(kWatcherName));
        window->installEventFilter(this);
    }
    static constexpr const char *kWatcherName = "kxVisibleAreaWatcher";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == parent())
            KxButtonsAccessible::visibleAreaChanged(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

KxButtonsAccessible::KxButtonsAccessible(kxButtons_H *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

QString KxButtonsAccessible::nameFromCaption(const QString &caption)
{
    // "||" is drawn as a line break, before the "&" marks are looked at.
    QString lines = caption;
    lines.replace(QLatin1String("||"), QLatin1String("\n"));
    return host::withoutAccessMarks(lines);
}

void KxButtonsAccessible::addControlled(kxButtons_H *button, QWidget *target)
{
    Targets targets = button->property(kControlsProperty).value<Targets>();
    targets.append(target);
    button->setProperty(kControlsProperty, QVariant::fromValue(targets));
}

void KxButtonsAccessible::visibleAreaChanged(QWidget *window)
{
    if (!QAccessible::isActive())
        return; // runs on every resize; nobody to tell
    const auto buttons = window->findChildren<kxButtons_H *>();
    for (kxButtons_H *b : buttons) {
        if (!b->isVisible() || b->window() != window)
            continue;
        QAccessibleEvent event(b, host::isOutOfView(b) ? QAccessible::ObjectHide : QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&event);
    }
}

void KxButtonsAccessible::captionChanged(kxButtons_H *button)
{
    if (!QAccessible::isActive())
        return; // each button's caption is set as it is read; nobody to tell
    QAccessibleEvent event(button, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void KxButtonsAccessible::valueChanged(kxButtons_H *button)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

kxButtons_H *KxButtonsAccessible::button() const
{
    return static_cast<kxButtons_H *>(widget());
}

QAccessible::Role KxButtonsAccessible::role() const
{
    switch (button()->Mode()) {
    case kxButtons_H::CheckButton:
        return QAccessible::CheckBox;
    case kxButtons_H::OptionButton:
        return QAccessible::RadioButton;
    default:
        return QAccessible::Button;
    }
}

QAccessible::State KxButtonsAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    kxButtons_H *b = button();
    // Whoever reads the state hears of its changes from here on, in the
    // window the button is in now.
    QWidget *window = b->window();
    if (!window->findChild<QObject *>(QLatin1String(VisibleAreaWatcher::kWatcherName), Qt::FindDirectChildrenOnly))
        new VisibleAreaWatcher(window);
    if (host::isOutOfView(b)) {
        s.invisible = true;
        s.offscreen = true;
    }
    if (b->m_input.stateBits & kxButtons_H::kHeldFlag)
        s.pressed = true;
    if (b->Mode() != kxButtons_H::CommandButton) {
        s.checkable = true;
        s.checked = b->Value();
    }
    return s;
}

QString KxButtonsAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: {
        const QString set = widget()->accessibleName();
        return set.isEmpty() ? nameFromCaption(button()->Caption()) : set;
    }
    case QAccessible::Accelerator: {
        const QString key = button()->AccessKeys();
        return key.size() == 1 ? QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.at(0).toUpper().unicode())))
                                     .toString(QKeySequence::NativeText)
                               : QString();
    }
    default:
        return QAccessibleWidget::text(t);
    }
}

QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
KxButtonsAccessible::relations(QAccessible::Relation match) const
{
    auto rels = QAccessibleWidget::relations(match);
    if (match & QAccessible::Controlled) {
        const Targets targets = widget()->property(kControlsProperty).value<Targets>();
        for (const QPointer<QWidget> &target : targets) {
            if (QAccessibleInterface *iface = target ? QAccessible::queryAccessibleInterface(target) : nullptr)
                rels.append({iface, QAccessible::Controlled});
        }
    }
    return rels;
}

QStringList KxButtonsAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << pressAction();
    return names + QAccessibleWidget::actionNames();
}

void KxButtonsAccessible::doAction(const QString &actionName)
{
    if (actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    host::pressLikeSpaceKey(widget());
}

QStringList KxButtonsAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction()) {
        const QString key = text(QAccessible::Accelerator);
        return key.isEmpty() ? QStringList() : QStringList(key);
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
