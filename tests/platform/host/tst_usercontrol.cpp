// The user-control host: input, keys, ambient properties, pointer, surface,
// extender, errors out of handlers and tear-down.

#include <Pictures.h>

#include <host/form.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>
#include <host/usercontrol.h>
#include <host/window.h>

#include <gdi/bridge.h>
#include <gdi/testsupport/GdiHooks.h>

#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QtTest>

namespace {

class Probe : public host::UserControl
{
public:
    using host::UserControl::UserControl;
    ~Probe() override { terminate(); }

    QStringList log;
    int *terminationsOutside = nullptr; // still readable once the control is gone
    QSize surfaceAtResize;
    std::function<void()> onPaint;
    bool throwOnClick = false;

    // Logs the event's name and arguments, separated by spaces.
    template<typename... Args>
    void note(const char *name, const Args &...args)
    {
        QStringList words{QLatin1String(name)};
        (words << ... << QVariant(args).toString());
        log << words.join(u' ');
    }

    void UserControl_MouseDown(int &Button, int &Shift, float &X, float &Y) override
    {
        note("MouseDown", Button, Shift, X, Y);
    }
    void UserControl_MouseUp(int &Button, int &Shift, float &X, float &Y) override
    {
        note("MouseUp", Button, Shift, X, Y);
    }
    void UserControl_MouseMove(int &Button, int &Shift, float &X, float &Y) override
    {
        note("MouseMove", Button, Shift, X, Y);
    }
    void UserControl_Click() override
    {
        log << QStringLiteral("Click");
        if (throwOnClick)
            throw host::RuntimeError(91, host::standardErrorDescription(91));
    }
    void UserControl_DblClick() override { log << QStringLiteral("DblClick"); }
    void UserControl_KeyDown(int &KeyCode, int &Shift) override { note("KeyDown", KeyCode, Shift); }
    void UserControl_KeyPress(int &KeyAscii) override { note("KeyPress", KeyAscii); }
    void UserControl_KeyUp(int &KeyCode, int &Shift) override { note("KeyUp", KeyCode, Shift); }
    void UserControl_AccessKeyPress(int &KeyAscii) override { note("AccessKeyPress", KeyAscii); }
    void UserControl_AmbientChanged(const QString &PropertyName) override { note("AmbientChanged", PropertyName); }
    void UserControl_Resize() override
    {
        surfaceAtResize = surfaceImage().size();
        log << QStringLiteral("Resize %1x%2").arg(width()).arg(height());
    }
    void UserControl_Paint() override
    {
        if (onPaint)
            onPaint();
    }
    void UserControl_Terminate() override
    {
        if (terminationsOutside)
            ++*terminationsOutside;
    }
};

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    const HBRUSH brush = CreateSolidBrush(color);
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

} // namespace

class tst_UserControl : public QObject
{
    Q_OBJECT

private slots:
    void mouseSequence_data()
    {
        // A script of mouse events: p(ress) r(elease) d(ouble click), button
        // L/R/M, position; modifiers with +S / +C / +A. "e" gives the control
        // an elliptic window region.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("left click") << "p L 10 5; r L 10 5"
                                    << QStringList{"MouseDown 1 0 10 5", "MouseUp 1 0 10 5", "Click"};
        QTest::newRow("right click still clicks: the control filters it")
            << "p R 3 4; r R 3 4" << QStringList{"MouseDown 2 0 3 4", "MouseUp 2 0 3 4", "Click"};
        QTest::newRow("middle button with Shift, Ctrl and Alt")
            << "p M 1 1 +S+C+A; r M 1 1 +S+C+A" << QStringList{"MouseDown 4 7 1 1", "MouseUp 4 7 1 1", "Click"};
        QTest::newRow("released outside: no click")
            << "p L 10 5; r L -4 50" << QStringList{"MouseDown 1 0 10 5", "MouseUp 1 0 -4 50"};
        QTest::newRow("released outside the window region: no click")
            << "e; p L 20 10; r L 1 1" << QStringList{"MouseDown 1 0 20 10", "MouseUp 1 0 1 1"};
        QTest::newRow("released on the right edge pixel clicks")
            << "p L 10 5; r L 39 5" << QStringList{"MouseDown 1 0 10 5", "MouseUp 1 0 39 5", "Click"};
        QTest::newRow("double click: DblClick instead of the second press, no click; then clicks again")
            << "p L 10 5; r L 10 5; d L 10 5; r L 10 5; p L 10 5; r L 10 5"
            << QStringList{"MouseDown 1 0 10 5", "MouseUp 1 0 10 5", "Click", "DblClick", "MouseUp 1 0 10 5",
                           "MouseDown 1 0 10 5", "MouseUp 1 0 10 5", "Click"};
    }

    void mouseSequence()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        host::Form form;
        auto *probe = new Probe(&form);
        probe->setGeometry(0, 0, 40, 20);
        for (const QString &step : script.split(';')) {
            const QStringList p = step.trimmed().split(' ');
            if (p[0] == "e") {
                SetWindowRgn(probe->hWnd(), CreateEllipticRgn(0, 0, 41, 21), FALSE);
                continue;
            }
            const Qt::MouseButton button = p[1] == "L" ? Qt::LeftButton : p[1] == "R" ? Qt::RightButton : Qt::MiddleButton;
            Qt::KeyboardModifiers mods;
            if (p.size() > 4) {
                if (p[4].contains("+S")) mods |= Qt::ShiftModifier;
                if (p[4].contains("+C")) mods |= Qt::ControlModifier;
                if (p[4].contains("+A")) mods |= Qt::AltModifier;
            }
            const QPoint at(p[2].toInt(), p[3].toInt());
            if (p[0] == "p")
                QTest::mousePress(probe, button, mods, at);
            else if (p[0] == "r")
                QTest::mouseRelease(probe, button, mods, at);
            else
                QTest::mouseDClick(probe, button, mods, at);
        }
        QCOMPARE(probe->log.filter(QRegularExpression(QStringLiteral("^(?!MouseMove)"))), expected);
    }

    void keySequence_data()
    {
        // A key as the window system sends it (a character key carries its
        // text); modifier keys come as keys of their own.
        QTest::addColumn<int>("key");
        QTest::addColumn<char>("character");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("space") << int(Qt::Key_Space) << ' ' << 0
                               << QStringList{"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0"};
        QTest::newRow("letter") << 0 << 'a' << 0 << QStringList{"KeyDown 65 0", "KeyPress 97", "KeyUp 65 0"};
        QTest::newRow("shifted letter")
            << 0 << 'A' << int(Qt::ShiftModifier)
            << QStringList{"KeyDown 16 1", "KeyDown 65 1", "KeyPress 65", "KeyUp 65 1", "KeyUp 16 0"};
        QTest::newRow("ctrl letter gives a control character")
            << int(Qt::Key_C) << '\0' << int(Qt::ControlModifier)
            << QStringList{"KeyDown 17 2", "KeyDown 67 2", "KeyPress 3", "KeyUp 67 2", "KeyUp 17 0"};
        QTest::newRow("alt letter gives no character")
            << int(Qt::Key_X) << '\0' << int(Qt::AltModifier)
            << QStringList{"KeyDown 18 4", "KeyDown 88 4", "KeyUp 88 4", "KeyUp 18 0"};
        QTest::newRow("arrow gives no character") << int(Qt::Key_Right) << '\0' << 0
                                                  << QStringList{"KeyDown 39 0", "KeyUp 39 0"};
        QTest::newRow("escape without a cancel button") << int(Qt::Key_Escape) << '\0' << 0
                                                        << QStringList{"KeyDown 27 0", "KeyPress 27", "KeyUp 27 0"};
        QTest::newRow("enter without a default button") << int(Qt::Key_Return) << '\0' << 0
                                                        << QStringList{"KeyDown 13 0", "KeyPress 13", "KeyUp 13 0"};
    }

    void keySequence()
    {
        QFETCH(int, key);
        QFETCH(char, character);
        QFETCH(int, modifiers);
        QFETCH(QStringList, expected);
        host::Form form;
        auto *probe = new Probe(&form);
        if (key)
            QTest::keyClick(probe, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        else
            QTest::keyClick(probe, character, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(probe->log, expected);
    }

    void defaultCancelAndAccessKeys()
    {
        // (Enter and Escape reaching the default and cancel buttons from a
        // line edit: the control's input tests.)
        host::Form form;
        form.resize(300, 100);
        auto *ok = new Probe(&form);
        ok->setObjectName("ok");
        auto *cancel = new Probe(&form);
        auto *edit = new QLineEdit(&form);
        ok->setGeometry(0, 0, 50, 20);
        cancel->setGeometry(60, 0, 50, 20);
        edit->setGeometry(0, 40, 100, 20);
        ok->setAccessKeys("k");
        form.setDefaultControl(ok);
        form.setCancelControl(cancel);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        ok->log.clear();
        cancel->log.clear();
        QVERIFY(ok->Ambient().DisplayAsDefault);
        QCOMPARE(ok->Ambient().DisplayName, QString("ok"));

        // Alt + access key; on a form that closes on Escape, the cancel
        // button takes Escape first.
        QTest::keyClick(edit, Qt::Key_K, Qt::AltModifier);
        QCOMPARE(ok->log, QStringList{"AccessKeyPress 107"});
        form.setClosesOnEscape(true);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(cancel->log, QStringList{"AccessKeyPress 27"});
        QVERIFY(form.isVisible());

        // A disabled default button gets nothing.
        ok->setEnabled(false);
        ok->log.clear();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_K, Qt::AltModifier);
        QVERIFY(ok->log.isEmpty());
    }

    void postedArrowMovesFocusOnTheForm()
    {
        host::Form form;
        auto *a = new Probe(&form);
        auto *b = new Probe(&form);
        a->setGeometry(0, 0, 20, 20);
        b->setGeometry(30, 0, 20, 20);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        a->setFocus();
        QTRY_VERIFY(a->hasFocus());
        PostMessageA(host::hwndOf(&form), WM_KEYDOWN, 39, 0x004D0001);
        QTRY_VERIFY(b->hasFocus());
        PostMessageA(host::hwndOf(&form), WM_KEYDOWN, 38, 0x00480001);
        QTRY_VERIFY(a->hasFocus());
        // A typed arrow that no control took moves nothing.
        QTest::keyClick(&form, Qt::Key_Right);
        QVERIFY(a->hasFocus());
    }

    void ambientBackColorFollowsItsContainer()
    {
        host::Form form;
        auto *onForm = new Probe(&form);
        auto *frame = new QWidget(&form);
        auto *inFrame = new Probe(frame);
        auto *framed = new QWidget(&form);
        auto *inColouredFrame = new Probe(framed);
        host::setBackColorOf(framed, 0x00FF00);
        QCOMPARE(inColouredFrame->log, QStringList{"AmbientChanged BackColor"});
        inColouredFrame->log.clear();

        QCOMPARE(onForm->Ambient().BackColor, host::vbButtonFace);
        QCOMPARE(onForm->Parent().BackColor(), host::vbButtonFace);
        form.setBackColor(0x123456);
        QCOMPARE(onForm->Ambient().BackColor, host::OLE_COLOR(0x123456));
        QCOMPARE(inFrame->Ambient().BackColor, host::OLE_COLOR(0x123456)); // the frame shows the form's
        frame->setProperty("unrelated", 7); // a frame with other properties still shows the form's
        QCOMPARE(inFrame->Ambient().BackColor, host::OLE_COLOR(0x123456));
        QCOMPARE(inColouredFrame->Ambient().BackColor, host::OLE_COLOR(0x00FF00));
        QCOMPARE(inColouredFrame->Parent().BackColor(), host::OLE_COLOR(0x123456));
        QCOMPARE(onForm->log, QStringList{"AmbientChanged BackColor"});
        QCOMPARE(inFrame->log, QStringList{"AmbientChanged BackColor"});
        QVERIFY(inColouredFrame->log.isEmpty());

        form.setBackColor(0x123456); // no change, no notice
        QCOMPARE(onForm->log.size(), 1);
        host::setBackColorOf(framed, 0x0000FF);
        QCOMPARE(inColouredFrame->log, QStringList{"AmbientChanged BackColor"});
        QCOMPARE(onForm->log.size(), 1);

        QVERIFY(onForm->Ambient().UserMode);
        form.setUserMode(false);
        QVERIFY(!inFrame->Ambient().UserMode);
        QVERIFY(inFrame->log.contains("AmbientChanged UserMode"));
        QCOMPARE(inFrame->ContainerHwnd(), host::hwndOf(frame));
        inFrame->setObjectName("derrubar");
        QCOMPARE(inFrame->log.last(), QString("AmbientChanged DisplayName"));
        QCOMPARE(inFrame->Ambient().DisplayName, QString("derrubar"));
    }

    void mousePointerAndIcon()
    {
        Probe probe;
        QVERIFY_THROWS_EXCEPTION(host::RuntimeError, probe.setMousePointer(16));
        try {
            probe.setMousePointer(-1);
            QFAIL("a pointer of -1 was accepted");
        } catch (const host::RuntimeError &e) {
            QCOMPARE(e.number, 380);
            QCOMPARE(e.description, QString("Invalid property value"));
        }
        QCOMPARE(probe.MousePointer(), 0);
        probe.setMousePointer(host::vbHourglass);
        QCOMPARE(probe.cursor().shape(), Qt::WaitCursor);

        // (A bitmap refused as the icon: the control's design messages.)
        const host::StdPicturePtr cursor = host::LoadPicture(pictures::icon(16, qRgb(255, 0, 0), 2, QPoint(3, 5)));
        QVERIFY(cursor);
        probe.setMouseIcon(cursor);
        probe.setMousePointer(host::vbCustom);
        QCOMPARE(probe.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(probe.cursor().hotSpot(), QPoint(3, 5));
        QCOMPARE(probe.cursor().pixmap().toImage().pixel(8, 8), qRgb(255, 0, 0));
        probe.setMouseIcon(nullptr);
        QCOMPARE(probe.cursor().shape(), Qt::ArrowCursor); // custom without an icon: default
    }

    // The surface starts as the container and keeps what is drawn into hDC
    // across a resize. A picture left to the first paint stays owed until
    // something is drawn into hDC, by that paint or earlier.
    void surfaceShowsWhatIsDrawnAndFollowsTheSize()
    {
        const int before = gdi::liveObjectsTotal();
        {
            host::Form form;
            form.setBackColor(0x00FF00); // green container
            auto *probe = new Probe(&form);
            probe->setGeometry(10, 10, 40, 20);
            QVERIFY(!probe->isPictureOwed());
            probe->setPictureOwed();
            const HDC dc = probe->hDC(); // making the surface draws nothing
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(probe->isPictureOwed()); // nor does a paint that draws nothing
            QCOMPARE(probe->surfaceImage().pixel(5, 5), qRgb(0, 255, 0)); // starts as the container
            fill(dc, 0, 0, 40, 20, RGB(255, 0, 0));
            QVERIFY(!probe->isPictureOwed());
            // Drawing into hDC reaches the screen without a Refresh.
            QTRY_COMPARE(probe->grab().toImage().pixel(39, 19), qRgb(255, 0, 0));

            probe->resize(60, 30);
            QCOMPARE(probe->surfaceAtResize, QSize(60, 30)); // resized before the handler runs
            const QImage grown = probe->surfaceImage();
            QCOMPARE(grown.pixel(39, 19), qRgb(255, 0, 0)); // old picture kept
            QCOMPARE(grown.pixel(50, 25), qRgb(0, 255, 0)); // new area: container colour

            // What the paint handler draws is what the paint shows.
            probe->setPictureOwed();
            probe->onPaint = [probe] { fill(probe->hDC(), 0, 0, 60, 30, RGB(0, 0, 255)); };
            QCOMPARE(probe->grab().toImage().pixel(30, 15), qRgb(0, 0, 255));
            QVERIFY(!probe->isPictureOwed());
        }
        QCOMPARE(gdi::liveObjectsTotal(), before);
    }

    void extenderAndScale()
    {
        host::Form form;
        auto *probe = new Probe(&form);
        probe->resize(73, 25);
        QCOMPARE(probe->Extender().Width(), 1095.0);
        QCOMPARE(probe->Extender().Height(), 375.0);
        QCOMPARE(probe->ScaleWidth(), 73.0f);
        QCOMPARE(probe->ScaleX(78, host::vbPixels, host::vbContainerSize), 1170.0f);
        QCOMPARE(probe->ScaleX(2540), 96.0f); // one inch of HIMETRIC in pixels
        QVERIFY_THROWS_EXCEPTION(host::RuntimeError, probe->ScaleX(1, host::vbUser, host::vbPixels));

        // A hidden control is resized at once through its extender.
        probe->log.clear();
        probe->Extender().setWidth(1500);
        QCOMPARE(probe->width(), 100);
        QCOMPARE(probe->log, QStringList{"Resize 100x25"});

        form.setScaleMode(host::vbPixels);
        QCOMPARE(probe->Extender().Width(), 100.0);
        probe->Extender().setLeft(12);
        QCOMPARE(probe->x(), 12);
    }

    void runtimeErrorOutOfAHandlerIsReported()
    {
        host::RuntimeErrorRecorder errors;
        host::Form form;
        auto *probe = new Probe(&form);
        probe->resize(20, 20);
        probe->throwOnClick = true;
        QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(errors.reports().size(), 1);
        QCOMPARE(errors.reports().first().number, 91);
    }

    void modalFormCoversAndUnloadsOnlyWhenAllowed()
    {
        struct Closing : host::Form
        {
            int cancel = 1;
            QList<int> modes;
            void Form_QueryUnload(int &Cancel, int UnloadMode) override
            {
                modes << UnloadMode;
                Cancel = cancel;
            }
        };
        host::Form main;
        main.setGeometry(100, 100, 200, 100);
        auto *button = new Probe(&main);
        button->setGeometry(10, 10, 50, 20);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QPoint onButton = button->mapToGlobal(QPoint(5, 5));
        QCOMPARE(WindowFromPoint(POINT{onButton.x(), onButton.y()}), button->hWnd());

        Closing dialog;
        dialog.setGeometry(100, 100, 200, 100);
        HWND coveredBy = 0;
        bool stillOpen = false;
        QTimer::singleShot(50, &dialog, [&] {
            coveredBy = WindowFromPoint(POINT{onButton.x(), onButton.y()});
            stillOpen = !dialog.Unload() && dialog.isVisible(); // refused
            dialog.cancel = 0;
            dialog.Unload();
        });
        dialog.showModal(); // returns once the dialog has closed
        QCOMPARE(coveredBy, host::hwndOf(&dialog));
        QVERIFY(stillOpen);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.modes, (QList<int>{host::Form::vbFormCode, host::Form::vbFormCode}));
        QVERIFY(!dialog.isModal());
    }

    void terminateRunsOnceAndReleasesTheSurface()
    {
        const int before = gdi::liveObjectsTotal();
        auto *form = new host::Form;
        QPointer<Probe> probe = new Probe(form);
        int terminations = 0;
        probe->terminationsOutside = &terminations;
        probe->hDC();
        QVERIFY(gdi::liveObjectsTotal() > before);
        probe->terminate();
        QCOMPARE(terminations, 1);
        delete form; // terminates controls again: still once
        QVERIFY(!probe);
        QCOMPARE(terminations, 1);
        QCOMPARE(gdi::liveObjectsTotal(), before);
    }
};

QTEST_MAIN(tst_UserControl)
#include "tst_usercontrol.moc"
