// Input as the host delivers it from Qt events: the order of raised events, the
// flags after each step, hover tracking by the 50 ms timer, focus, access keys.

#include "ButtonTestSupport.h"

#include <host/window.h>
#include <host/testsupport/HostHooks.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace buttontest;

namespace {

// The input flags that are set, as "held hover pressed tracking".
QString flagsOf(kxButtons_H *b)
{
    KxButtonsProbe p(*b);
    QStringList on;
    const bool flags[] = {(p.stateBits() & kxButtons_H::kHeldFlag) != 0, (p.stateBits() & kxButtons_H::kHoverFlag) != 0,
                          bool(p.pressedLook()), bool(p.tracking())};
    for (int i = 0; i < 4; ++i)
        if (flags[i])
            on << QStringList{"held", "hover", "pressed", "tracking"}.at(i);
    return on.join(u' ');
}

void sendKey(QWidget *w, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             bool autoRepeat = false)
{
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent e(type, key, mods, text, autoRepeat);
    QApplication::sendEvent(w, &e);
}

void pointAt(QWidget *w, QPoint local)
{
    host::setCursorPosForTesting(w->mapToGlobal(local));
}

// A mouse move delivered straight to the widget (Qt drops window-system
// moves that repeat the last position, which consecutive tests do), with the
// test cursor there too.
void moveTo(QWidget *w, QPoint local, Qt::MouseButtons held = Qt::NoButton)
{
    pointAt(w, local);
    QMouseEvent e(QEvent::MouseMove, QPointF(local), w->mapToGlobal(QPointF(local)), Qt::NoButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class tst_KxButtonsInput : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_form = makeForm();
        m_form->move(100, 100);
        m_form->activateWindow();
        pointAt(m_form.get(), QPoint(300, 250)); // away from every button
    }
    void cleanup()
    {
        m_form.reset();
        host::clearCursorPosForTesting();
    }

    void clicksByButton_data();
    void clicksByButton();
    void spaceHeldAutoRepeatsAndClicksOnce_data();
    void spaceHeldAutoRepeatsAndClicksOnce();
    void optionFocusAndArrows();
    void enterAndEscapeAsAccessKeys_data();
    void enterAndEscapeAsAccessKeys();
    void tabOrderAndFocusLook();
    void doubleClicks_data();
    void doubleClicks();
    void hoverEdges_data();
    void hoverEdges();
    void hoverExitOnTimerTick_data();
    void hoverExitOnTimerTick();
    void dragOutAndBackInWhileHeld();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsInput::clicksByButton_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("valueBefore");
    QTest::addColumn<Qt::MouseButton>("qtButton");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("valueAfter");

    QTest::newRow("command left") << 0 << false << Qt::LeftButton
                                  << QStringList{"MouseDown 1 0", "MouseUp 1 0", "Click Value=False"} << false;
    QTest::newRow("command right") << 0 << false << Qt::RightButton << QStringList{"MouseDown 2 0", "MouseUp 2 0"}
                                   << false;
    QTest::newRow("check middle") << 1 << false << Qt::MiddleButton << QStringList{"MouseDown 4 0", "MouseUp 4 0"}
                                  << false;
    QTest::newRow("check toggles on") << 1 << false << Qt::LeftButton
                                      << QStringList{"MouseDown 1 0", "MouseUp 1 0", "Click Value=True"} << true;
    QTest::newRow("check toggles off") << 1 << true << Qt::LeftButton
                                       << QStringList{"MouseDown 1 0", "MouseUp 1 0", "Click Value=False"} << false;
    QTest::newRow("selected option stays") << 2 << true << Qt::LeftButton
                                           << QStringList{"MouseDown 1 0", "MouseUp 1 0"} << true;
}

void tst_KxButtonsInput::clicksByButton()
{
    QFETCH(int, mode);
    QFETCH(bool, valueBefore);
    QFETCH(Qt::MouseButton, qtButton);
    QFETCH(QStringList, events);
    QFETCH(bool, valueAfter);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    b->Mode(mode);
    b->Value(valueBefore);
    Recorder rec(b);
    const bool left = qtButton == Qt::LeftButton;
    bool captured = false;
    connect(b, &kxButtons_H::MouseDown, &rec, [&](std::int16_t &, std::int16_t &, float &, float &) {
        captured = GetCapture() == b->hwnd();
    });

    QTest::mousePress(b, qtButton, Qt::NoModifier, QPoint(30, 12));
    QCOMPARE(flagsOf(b), left ? QStringLiteral("held pressed") : QString());
    QCOMPARE(captured, left);
    QTest::mouseRelease(b, qtButton, Qt::NoModifier, QPoint(30, 12));

    QCOMPARE(rec.take(), events);
    QCOMPARE(b->Value(), valueAfter);
    QCOMPARE(flagsOf(b), QString());
    QCOMPARE(GetCapture(), HWND(0));
}

void tst_KxButtonsInput::spaceHeldAutoRepeatsAndClicksOnce_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("events");

    const QStringList down{"KeyDown 32 0", "KeyPress 32", "KeyDown 32 0", "KeyPress 32", "KeyDown 32 0",
                           "KeyPress 32"};
    QTest::newRow("command: Click then KeyUp") << 0 << down + QStringList{"Click Value=False", "KeyUp 32 0"};
    QTest::newRow("check: KeyUp then Click") << 1 << down + QStringList{"KeyUp 32 0", "Click Value=True"};
    QTest::newRow("option: KeyUp then Click") << 2 << down + QStringList{"KeyUp 32 0", "Click Value=True"};
}

void tst_KxButtonsInput::spaceHeldAutoRepeatsAndClicksOnce()
{
    QFETCH(int, mode);
    QFETCH(QStringList, events);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    b->Mode(mode);
    b->setFocus();
    Recorder rec(b);

    sendKey(b, QEvent::KeyPress, Qt::Key_Space);
    // The pointer is elsewhere: held and pressed, the hover flag cleared again.
    QCOMPARE(flagsOf(b), QStringLiteral("held pressed"));
    // Repeats come as release and press pairs; the repeated release is no KeyUp.
    for (int i = 0; i < 2; ++i) {
        sendKey(b, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, true);
        sendKey(b, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, true);
    }
    QCOMPARE(flagsOf(b), QStringLiteral("held pressed"));
    sendKey(b, QEvent::KeyRelease, Qt::Key_Space);

    QCOMPARE(rec.take(), events);
    QCOMPARE(flagsOf(b), QString());
}

void tst_KxButtonsInput::optionFocusAndArrows()
{
    kxButtons_H *a = addButton(m_form.get(), QStringLiteral("Option1"));
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Option2"));
    b->move(8, 40);
    a->Mode(2);
    b->Mode(2);
    Recorder recA(a), recB(b);

    // Focus entering a group with nothing selected selects.
    a->setFocus();
    QTRY_VERIFY(a->hasFocus());
    QCOMPARE(recA.take(), QStringList{"Click Value=True"});

    sendKey(a, QEvent::KeyPress, Qt::Key_Down);
    QCOMPARE(recA.take(), QStringList()); // no KeyDown for arrows
    QTRY_VERIFY(b->hasFocus());           // the posted key moved the focus
    sendKey(b, QEvent::KeyRelease, Qt::Key_Down);
    // An option button reached with an arrow selects itself; no KeyUp.
    QCOMPARE(recB.take(), QStringList{"Click Value=True"});
    QCOMPARE(a->Value(), false);

    // Focus entering a group with a member selected selects nothing.
    a->setFocus();
    QTRY_VERIFY(a->hasFocus());
    QCOMPARE(recA.take(), QStringList());
    QCOMPARE(b->Value(), true);

    sendKey(a, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    sendKey(a, QEvent::KeyRelease, Qt::Key_Shift);
    const QStringList shiftEvents = recA.take();
    QCOMPARE(shiftEvents.size(), 1); // KeyDown only
    QVERIFY(shiftEvents.at(0).startsWith(QLatin1String("KeyDown 16 ")));
}

void tst_KxButtonsInput::enterAndEscapeAsAccessKeys_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("Enter on command") << 0 << Qt::Key_Return << QStringList{"Click Value=False"};
    QTest::newRow("Escape on command") << 0 << Qt::Key_Escape << QStringList{"Click Value=False"};
    QTest::newRow("Enter on check") << 1 << Qt::Key_Return << QStringList();
    QTest::newRow("Escape on option") << 2 << Qt::Key_Escape << QStringList();
}

void tst_KxButtonsInput::enterAndEscapeAsAccessKeys()
{
    QFETCH(int, mode);
    QFETCH(Qt::Key, key);
    QFETCH(QStringList, events);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    auto *other = new QLineEdit(m_form.get()); // takes no Enter or Escape itself
    other->move(8, 40);
    other->show();
    b->Mode(mode);
    if (key == Qt::Key_Return)
        m_form->setDefaultControl(b);
    else
        m_form->setCancelControl(b);
    other->setFocus();
    Recorder rec(b);

    QTRY_VERIFY(other->hasFocus());
    sendKey(other, QEvent::KeyPress, key);
    QCOMPARE(rec.take(), events);
    QCOMPARE(b->Value(), false);
}

void tst_KxButtonsInput::tabOrderAndFocusLook()
{
    QList<kxButtons_H *> b;
    for (int i = 0; i < 3; ++i) {
        b << addButton(m_form.get(), QStringLiteral("Command%1").arg(i + 1));
        b.last()->move(8, 8 + 32 * i);
    }
    auto isDefault = [](kxButtons_H *x) {
        return (KxButtonsProbe(*x).stateBits() & kxButtons_H::kDefaultFlag) != 0;
    };
    b[0]->setFocus();
    QTRY_VERIFY(b[0]->hasFocus());
    QVERIFY(isDefault(b[0]));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_VERIFY(b[1]->hasFocus());
    QVERIFY(isDefault(b[1]));
    QVERIFY(!isDefault(b[0]));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_VERIFY(b[0]->hasFocus());
    QVERIFY(isDefault(b[0]) && !isDefault(b[1]));

    // Enter goes to the focused button.
    Recorder rec(b[0]);
    QTest::keyClick(b[0], Qt::Key_Return);
    const QStringList enter = rec.take();
    QCOMPARE(enter.value(0), QStringLiteral("Click Value=False"));
    QVERIFY(!enter.contains(QStringLiteral("KeyDown 13 0"))); // the press is the access key

    // Another button's access key, alone, clicks it while this one has focus,
    // unless this button's own KeyPress handler swallows the character.
    b[1]->Caption(QStringLiteral("&Derrubar"));
    Recorder other(b[1]);
    QTest::keyClick(b[0], Qt::Key_D);
    QCOMPARE(other.take(), QStringList{"Click Value=False"});
    QVERIFY(!rec.take().contains(QStringLiteral("Click Value=False")));
    connect(b[0], &kxButtons_H::KeyPress, this, [](std::int16_t &k) { k = 0; });
    QTest::keyClick(b[0], Qt::Key_D);
    QCOMPARE(other.take(), QStringList());
}

void tst_KxButtonsInput::doubleClicks_data()
{
    QTest::addColumn<Qt::MouseButton>("qtButton");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("pressedAfter");

    QTest::newRow("left") << Qt::LeftButton
                          << QStringList{"MouseDown 1 0", "MouseUp 1 0", "Click Value=False", "DoubleClick 1",
                                         "MouseDown 1 0"}
                          << true;
    QTest::newRow("after right release")
        << Qt::RightButton << QStringList{"MouseDown 2 0", "MouseUp 2 0", "DoubleClick 2", "MouseDown 1 0"} << false;
}

void tst_KxButtonsInput::doubleClicks()
{
    QFETCH(Qt::MouseButton, qtButton);
    QFETCH(QStringList, events);
    QFETCH(bool, pressedAfter);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    Recorder rec(b);
    const QPoint at(30, 12);
    pointAt(b, at);

    QTest::mousePress(b, qtButton, Qt::NoModifier, at);
    QTest::mouseRelease(b, qtButton, Qt::NoModifier, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), b->mapToGlobal(QPointF(at)), qtButton, qtButton,
                    Qt::NoModifier);
    QApplication::sendEvent(b, &dbl);

    QStringList got = rec.take();
    got.removeAll(QStringLiteral("MouseOnButton True"));
    QCOMPARE(got, events);
    KxButtonsProbe p(*b);
    QCOMPARE(p.pressedLook(), pressedAfter);
    QCOMPARE(GetCapture() == b->hwnd(), pressedAfter);
    QCOMPARE(p.lastButton(), std::int16_t(pressedAfter ? -1 : 2));

    QTest::mouseRelease(b, qtButton, Qt::NoModifier, at);
    QVERIFY(!p.pressedLook());
    QCOMPARE(GetCapture(), HWND(0));
}

void tst_KxButtonsInput::hoverEdges_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("inside");
    // The button is 73 x 25; its right and bottom edges count as inside.
    QTest::newRow("on the right and bottom edges") << QPoint(73, 25) << true;
    QTest::newRow("past the right edge") << QPoint(74, 10) << false;
    QTest::newRow("past the bottom edge") << QPoint(10, 26) << false;
    QTest::newRow("left of the button") << QPoint(-1, 10) << false;
}

void tst_KxButtonsInput::hoverEdges()
{
    QFETCH(QPoint, at);
    QFETCH(bool, inside);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    Recorder rec(b);
    moveTo(b, at);
    QCOMPARE(rec.take(), inside ? QStringList{"MouseOnButton True"} : QStringList());
    QCOMPARE(KxButtonsProbe(*b).tracking(), inside);
}

void tst_KxButtonsInput::hoverExitOnTimerTick_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("pointer gone without a move reaching the button") << 0;
    QTest::newRow("pointer on a bevel pixel, inside the widget") << 1;
    QTest::newRow("a window covers the button") << 2;
}

void tst_KxButtonsInput::hoverExitOnTimerTick()
{
    QFETCH(int, how);
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    Recorder rec(b);
    const int timers = host::liveTimerCount();
    QElapsedTimer clock;
    qint64 leftAfter = -1;
    connect(b, &kxButtons_H::MouseOnButton, b, [&](bool &on) {
        if (!on)
            leftAfter = clock.elapsed();
    });

    clock.start();
    moveTo(b, QPoint(40, 10));
    QCOMPARE(rec.take(), (QStringList{"MouseOnButton True"}));
    QCOMPARE(flagsOf(b), QStringLiteral("hover tracking"));
    QCOMPARE(host::liveTimerCount(), timers + 1);

    QWidget cover;
    if (how == 0) {
        pointAt(m_form.get(), QPoint(300, 250));
    } else if (how == 1) {
        pointAt(b, QPoint(1, 0));
    } else {
        cover.setGeometry(QRect(b->mapToGlobal(QPoint(0, 0)) - QPoint(10, 10), QSize(200, 100)));
        cover.show();
        cover.activateWindow();
    }
    QTRY_COMPARE(rec.log, (QStringList{"MouseOnButton False"}));
    QCOMPARE(flagsOf(b), QString());
    // The timer is gone, so no second False can follow.
    QCOMPARE(host::liveTimerCount(), timers);
    QCOMPARE(rec.log.size(), 1);
    // Its first tick, 50 ms after the entry, found the pointer gone.
    if (how == 0)
        QVERIFY2(leftAfter >= 45 && leftAfter < 400, qPrintable(QString::number(leftAfter)));
}

void tst_KxButtonsInput::dragOutAndBackInWhileHeld()
{
    kxButtons_H *b = addButton(m_form.get(), QStringLiteral("Command1"));
    Recorder rec(b);
    moveTo(b, QPoint(30, 12));
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    QCOMPARE(flagsOf(b), QStringLiteral("held hover pressed tracking"));

    // Out: captured moves arrive at outside positions and start nothing.
    moveTo(b, QPoint(120, 12), Qt::LeftButton);
    QTRY_VERIFY(rec.log.contains(QStringLiteral("MouseOnButton False")));
    QCOMPARE(flagsOf(b), QStringLiteral("held"));

    // Back in: pressed again.
    moveTo(b, QPoint(30, 12), Qt::LeftButton);
    QCOMPARE(flagsOf(b), QStringLiteral("held hover pressed tracking"));
    QCOMPARE(rec.take(), (QStringList{"MouseOnButton True", "MouseDown 1 0", "MouseOnButton False",
                                      "MouseOnButton True"}));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    QCOMPARE(rec.take(), (QStringList{"MouseUp 1 0", "Click Value=False"}));
}

QTEST_MAIN(tst_KxButtonsInput)
#include "tst_kxbuttons_input.moc"
