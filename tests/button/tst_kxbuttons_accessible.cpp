// The button as assistive technology sees it, on an accessibility bus: "Press"
// against the Space key, and the changes the button reports as they happen.

#include "ButtonTestSupport.h"

#include <QAccessible>
#include <QTest>

using namespace buttontest;

namespace {

// The changes `g_source` reports go to `g_log`.
QStringList *g_log = nullptr;
QObject *g_source = nullptr;

void logChange(QAccessibleEvent *e)
{
    if (!g_log || e->object() != g_source)
        return;
    if (e->type() == QAccessible::StateChanged && static_cast<QAccessibleStateChangeEvent *>(e)->changedStates().checked)
        *g_log << QStringLiteral("checked reported");
    else if (e->type() == QAccessible::NameChanged || e->type() == QAccessible::ObjectShow
             || e->type() == QAccessible::ObjectHide)
        *g_log << QString::number(e->type());
}

} // namespace

class tst_KxButtonsAccessible : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QTRY_VERIFY2(QAccessible::isActive(), "no accessibility bus"); }
    void init()
    {
        m_form = makeForm();
        QAccessible::installUpdateHandler(logChange);
    }
    void cleanup()
    {
        QAccessible::installUpdateHandler(nullptr);
        g_log = nullptr;
        m_form.reset();
    }
    void pressIsTheSpaceKey_data();
    void pressIsTheSpaceKey();
    void nameAndVisibleAreaChangesAreReported();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsAccessible::pressIsTheSpaceKey_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("role");
    QTest::newRow("command: push button") << 0 << int(QAccessible::Button);
    QTest::newRow("check: check box") << 1 << int(QAccessible::CheckBox);
    QTest::newRow("option: radio button") << 2 << int(QAccessible::RadioButton);
}

// "Press" raises what the Space key raises, in the same order, the report of
// the checked state included, and only from the event loop (a click may open
// a modal window, which must not hold up the screen reader that asked).
void tst_KxButtonsAccessible::pressIsTheSpaceKey()
{
    QFETCH(int, mode);
    QFETCH(int, role);
    QStringList seen[2];
    for (int byPress = 0; byPress < 2; ++byPress) {
        kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Button%1").arg(byPress));
        b->Mode(mode);
        Recorder rec(b);
        g_log = &rec.log;
        g_source = b;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(b);
        QCOMPARE(int(iface->role()), role);
        if (byPress) {
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QVERIFY(rec.log.isEmpty());
            QTRY_VERIFY(!rec.log.isEmpty());
        } else {
            QTest::keyClick(b, Qt::Key_Space);
        }
        seen[byPress] = rec.take() << QStringLiteral("checked %1").arg(iface->state().checked);
        g_log = nullptr;
    }
    QCOMPARE(seen[1], seen[0]);
    QCOMPARE(seen[0].contains(QStringLiteral("checked reported")), mode != 0);
    QCOMPARE(seen[0].last(), QStringLiteral("checked %1").arg(mode != 0));
}

void tst_KxButtonsAccessible::nameAndVisibleAreaChangesAreReported()
{
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Right"));
    b->move(300, 8);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(b);
    QStringList log;
    g_log = &log;
    g_source = b;
    b->Caption(QStringLiteral("&Sair"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Sair"));
    QVERIFY(!iface->state().invisible);
    m_form->resize(300, 300); // the button is now wholly outside
    QTRY_VERIFY(iface->state().invisible);
    m_form->resize(301, 300);
    QTRY_VERIFY(!iface->state().invisible);
    QCOMPARE(log, (QStringList{QString::number(QAccessible::NameChanged), QString::number(QAccessible::ObjectHide),
                               QString::number(QAccessible::ObjectShow)}));
}

QTEST_MAIN(tst_KxButtonsAccessible)
#include "tst_kxbuttons_accessible.moc"
