// Option groups kept in window properties of the container window.

#include "ButtonTestSupport.h"

#include <host/window.h>
#include <host/testsupport/HostHooks.h>

#include <QFrame>
#include <QTest>

using namespace buttontest;

namespace {

HANDLE addr(const kxButtons_H *b)
{
    return reinterpret_cast<HANDLE>(b);
}

QList<HANDLE> groupSlots(QWidget *container)
{
    const HWND h = host::hwndOf(container);
    QList<HANDLE> out;
    const int count = int(GetPropA(h, "kx_OptCount"));
    for (int i = 1; i <= count; ++i)
        out << GetPropA(h, QByteArray("kx_Obj" + QByteArray::number(i)).constData());
    return out;
}

kxButtons_H *addOption(QWidget *container, const QString &name)
{
    kxButtons_H *b = addButton(container, name);
    b->Mode(2);
    return b;
}

QList<bool> values(const QList<kxButtons_H *> &buttons)
{
    QList<bool> out;
    for (auto *b : buttons)
        out << b->Value();
    return out;
}

} // namespace

class tst_KxButtonsGroups : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_form.reset(); }

    void joiningSelectingAndLeaving();
    void twoContainersAreIndependent();
    void destroyedMemberLeavesTheOthersAlone();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsGroups::joiningSelectingAndLeaving()
{
    m_form = makeForm();
    QList<kxButtons_H *> b{addOption(m_form.get(), "Option1"), addOption(m_form.get(), "Option2"),
                           addOption(m_form.get(), "Option3")};
    QCOMPARE(groupSlots(m_form.get()), (QList<HANDLE>{addr(b[0]), addr(b[1]), addr(b[2])}));

    b[0]->Value(true);
    b[2]->Value(true);
    QCOMPARE(values(b), (QList<bool>{false, false, true}));
    // The deselected member reported its change.
    b[0]->clearChangedProperties();
    b[1]->Value(true);
    QCOMPARE(values(b), (QList<bool>{false, true, false}));
    QCOMPARE(b[0]->changedProperties(), QStringList{"Value"});

    // A selected check button joining the group deselects the others.
    auto *check = addButton(m_form.get(), "Check1");
    check->Mode(1);
    check->Value(true);
    check->Mode(2);
    QCOMPARE(values(b << check), (QList<bool>{false, false, false, true}));
    QCOMPARE(groupSlots(m_form.get()), (QList<HANDLE>{addr(b[0]), addr(b[1]), addr(b[2]), addr(check)}));

    // Leaving from the middle shifts the slots; the last to leave removes them.
    const HWND form = host::hwndOf(m_form.get());
    const int properties = host::livePropertyCount(); // kx_OptCount and four slots
    b[1]->Mode(1);
    QCOMPARE(groupSlots(m_form.get()), (QList<HANDLE>{addr(b[0]), addr(b[2]), addr(check)}));
    QCOMPARE(GetPropA(form, "kx_Obj4"), HANDLE(0));
    b[0]->Mode(0);
    b[2]->Mode(1);
    check->Mode(1);
    QCOMPARE(GetPropA(form, "kx_OptCount"), HANDLE(0));
    QCOMPARE(GetPropA(form, "kx_Obj1"), HANDLE(0));
    QCOMPARE(host::livePropertyCount(), properties - 5); // removed, not left at 0
}

void tst_KxButtonsGroups::twoContainersAreIndependent()
{
    m_form = makeForm();
    auto *frame1 = new QFrame(m_form.get());
    auto *frame2 = new QFrame(m_form.get());
    frame1->setGeometry(0, 0, 200, 100);
    frame2->setGeometry(0, 120, 200, 100);
    frame1->show();
    frame2->show();
    QList<kxButtons_H *> b{addOption(frame1, "Option1"), addOption(frame1, "Option2"),
                           addOption(frame2, "Option3"), addOption(frame2, "Option4")};

    b[0]->Value(true);
    b[2]->Value(true);
    b[3]->Value(true);
    QCOMPARE(values(b), (QList<bool>{true, false, false, true}));
    QCOMPARE(groupSlots(frame1).size(), 2);
    QCOMPARE(groupSlots(frame2).size(), 2);
    QCOMPARE(groupSlots(m_form.get()).size(), 0);
}

void tst_KxButtonsGroups::destroyedMemberLeavesTheOthersAlone()
{
    m_form = makeForm();
    auto *a = addOption(m_form.get(), "Option1");
    auto *b = addOption(m_form.get(), "Option2");
    auto *c = addOption(m_form.get(), "Option3");
    b->Value(true);
    a->clearChangedProperties();

    delete b; // its group still lives on the form

    // Tear-down selects nothing: the other members are not touched.
    QCOMPARE(values({a, c}), (QList<bool>{false, false}));
    QCOMPARE(a->changedProperties(), QStringList());
    QCOMPARE(groupSlots(m_form.get()), (QList<HANDLE>{addr(a), addr(c)}));
    // Selecting another member walks the group: no stored address may be dead.
    c->Value(true);
    a->Value(true);
    QCOMPARE(values({a, c}), (QList<bool>{true, false}));
    // Destroying the form with its members clears the container's group.
    const int before = host::livePropertyCount();
    m_form.reset();
    QVERIFY(host::livePropertyCount() < before);
}

QTEST_MAIN(tst_KxButtonsGroups)
#include "tst_kxbuttons_groups.moc"
