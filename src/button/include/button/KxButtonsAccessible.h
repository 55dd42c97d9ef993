#pragma once
// How kxButtons_H shows itself to assistive technology (screen readers and
// the like, through QAccessible).
//
// - Role by Mode: push button, check box, option (radio) button.
// - Name: the caption as it is drawn: "&" marks dropped ("&&" is one "&"),
//   line breaks as spaces. A name set with setAccessibleName() wins.
// - States: focusable / focused, pressed while the held flag is set,
//   checkable and checked (Value) in the check and option modes, unavailable
//   when disabled, invisible when the button lies wholly outside its
//   window's visible area.
// - One action of its own, "Press": what the Space key does, delivered as a
//   Space press and release to the button, so the same events are raised in
//   the same order. It runs from the event loop, after the caller has had its
//   answer: a click may open a modal window.
// - Relations: the box the button acts on ("controller for"), besides the
//   frame that labels it.

#include <QAccessibleWidget>

class kxButtons_H;

class KxButtonsAccessible : public QAccessibleWidget
{
public:
    explicit KxButtonsAccessible(kxButtons_H *button);

    static QString nameFromCaption(const QString &caption);

    // Records that `button` acts on `target` (the text box whose text it
    // sends); shown as the relation "controller for".
    static void addControlled(kxButtons_H *button, QWidget *target);

    // Tells assistive technology which buttons of `window` lie outside its
    // visible area and which inside. Runs by itself when a window is resized
    // once the state of one of its buttons has been read.
    static void visibleAreaChanged(QWidget *window);

    // Hooks of the control: its caption (name) or Value (checked) changed.
    static void captionChanged(kxButtons_H *button);
    static void valueChanged(kxButtons_H *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match = QAccessible::AllRelations) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    kxButtons_H *button() const;
};
