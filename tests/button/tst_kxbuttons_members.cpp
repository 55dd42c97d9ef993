// The control's members: validation, reported keys and their order, the
// design-mode messages, access keys, and the hover-colour locks.

#include "ButtonTestSupport.h"

#include <host/app.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>

#include <QAccessible>
#include <QTest>

using namespace buttontest;

class tst_KxButtonsMembers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusedValuesChangeNothing_data();
    void refusedValuesChangeNothing();
    void acceptedChangesReportInOrder_data();
    void acceptedChangesReportInOrder();
    void designMessages_data();
    void designMessages();
    void accessKeyFromCaption_data();
    void accessKeyFromCaption();
    void fontNameInAnsiCodePage_data();
    void fontNameInAnsiCodePage();
    void hoverColorLocks_data();
    void hoverColorLocks();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsMembers::init()
{
    host::App::setTitle(QStringLiteral("Radiosala"));
}

void tst_KxButtonsMembers::cleanup()
{
    m_form.reset();
}

void tst_KxButtonsMembers::refusedValuesChangeNothing_data()
{
    QTest::addColumn<bool>("design");
    QTest::addColumn<Action>("action");

    auto row = [](const char *name, bool design, Action a) { QTest::newRow(name) << design << a; };
    row("ButtonStyle 0", false, [](kxButtons_H &b) { b.ButtonStyle(0); });
    row("ButtonStyle 3", false, [](kxButtons_H &b) { b.ButtonStyle(3); });
    row("Mode 3", false, [](kxButtons_H &b) { b.Mode(3); });
    row("Mode -1", false, [](kxButtons_H &b) { b.Mode(-1); });
    row("CaptionAlign 3", false, [](kxButtons_H &b) { b.CaptionAlign(3); });
    row("CaptionStyle -1", false, [](kxButtons_H &b) { b.CaptionStyle(-1); });
    row("ButtonShape 7", false, [](kxButtons_H &b) { b.ButtonShape(7); });
    row("PictureAlign 6", false, [](kxButtons_H &b) { b.PictureAlign(6); });
    row("PictureSize 5", false, [](kxButtons_H &b) { b.PictureSize(5); });
    row("PictureSize -1", false, [](kxButtons_H &b) { b.PictureSize(-1); });
    row("GradientMode 5", false, [](kxButtons_H &b) { b.GradientMode(5); });
    row("Enabled unchanged", false, [](kxButtons_H &b) { b.Enabled(true); });
    row("ForeColor unchanged", false, [](kxButtons_H &b) { b.ForeColor(b.ForeColor()); });
    row("HoverForeColor unchanged", false, [](kxButtons_H &b) { b.HoverForeColor(b.HoverForeColor()); });
    row("HoverBackColor unchanged", false, [](kxButtons_H &b) { b.HoverBackColor(b.HoverBackColor()); });
    row("Value True on command button, run", false, [](kxButtons_H &b) { b.Value(true); });
    row("ResetDefaultColors in run mode", false, [](kxButtons_H &b) { b.ResetDefaultColors(true); });
    row("ResetDefaultColors False", true, [](kxButtons_H &b) { b.ResetDefaultColors(false); });
}

void tst_KxButtonsMembers::refusedValuesChangeNothing()
{
    QFETCH(bool, design);
    QFETCH(Action, action);
    kxButtons_H *b = formWithButton(m_form, !design);
    b->ForeColor(RGB(1, 2, 3)); // something to keep
    b->clearChangedProperties();
    const QVariantMap before = snapshot(*b);
    host::MsgBoxRecorder boxes;

    action(*b);

    QCOMPARE(snapshot(*b), before);
    QCOMPARE(b->changedProperties(), QStringList());
    QCOMPARE(boxes.calls().size(), 0);
}

void tst_KxButtonsMembers::acceptedChangesReportInOrder_data()
{
    QTest::addColumn<Action>("setup");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("reported");
    QTest::addColumn<QVariantMap>("expected");

    const Action none = [](kxButtons_H &) {};
    auto row = [](const char *name, Action setup, Action a, QStringList keys, QVariantMap expected) {
        QTest::newRow(name) << setup << a << keys << expected;
    };
    row("ButtonStyle 2", none, [](kxButtons_H &b) { b.ButtonStyle(2); }, {"BackStyle"}, {{"ButtonStyle", 2}});
    row("Mode check", none, [](kxButtons_H &b) { b.Mode(1); }, {"Mode"}, {{"Mode", 1}});
    row("Mode command from selected check", [](kxButtons_H &b) { b.Mode(1); b.Value(true); },
        [](kxButtons_H &b) { b.Mode(0); }, {"Value", "Mode"}, {{"Mode", 0}, {"Value", false}});
    row("Mode check from selected option keeps Value",
        [](kxButtons_H &b) { b.Mode(2); b.Value(true); }, [](kxButtons_H &b) { b.Mode(1); }, {"Mode"},
        {{"Mode", 1}, {"Value", true}});
    row("Value True again on check", [](kxButtons_H &b) { b.Mode(1); b.Value(true); },
        [](kxButtons_H &b) { b.Value(true); }, {"Value"}, {{"Value", true}});
    row("CaptionStyle with caption", none, [](kxButtons_H &b) { b.CaptionStyle(1); }, {"CapStyle"},
        {{"CaptionStyle", 1}});
    row("ButtonShape 3 forces centre", [](kxButtons_H &b) { b.CaptionAlign(0); },
        [](kxButtons_H &b) { b.ButtonShape(3); }, {"CapAlign", "Shape"},
        {{"ButtonShape", 3}, {"CaptionAlign", 2}});
    row("ButtonShape 3 already centred", none, [](kxButtons_H &b) { b.ButtonShape(3); }, {"Shape"},
        {{"ButtonShape", 3}});
    row("PictureAlign 5 forces centre", [](kxButtons_H &b) { b.CaptionAlign(1); },
        [](kxButtons_H &b) { b.PictureAlign(5); }, {"CapAlign", "ImgAlign"},
        {{"PictureAlign", 5}, {"CaptionAlign", 2}});
    row("CaptionAlign 0 under top image without picture", [](kxButtons_H &b) { b.PictureAlign(4); },
        [](kxButtons_H &b) { b.CaptionAlign(0); }, {"CapAlign"}, {{"CaptionAlign", 0}});
    row("PictureSize 2", none, [](kxButtons_H &b) { b.PictureSize(2); }, {"ImgSize"}, {{"PictureSize", 32}});
    row("Picture sets image size 16", none, [](kxButtons_H &b) { b.Picture(iconPicture()); }, {"Image"},
        {{"PictureSize", 16}});
    row("Enabled False", none, [](kxButtons_H &b) { b.Enabled(false); }, {"Enabled"}, {{"Enabled", false}});
    row("FontStyle 6", none, [](kxButtons_H &b) { b.FontStyle(6); }, {"Font"}, {{"FontStyle", 6}});
    row("FontStyle 1 is regular", [](kxButtons_H &b) { b.FontStyle(14); },
        [](kxButtons_H &b) { b.FontStyle(1); }, {"Font"}, {{"FontStyle", 0}});
    row("MouseIcon sets custom pointer", none, [](kxButtons_H &b) { b.MouseIcon(iconPicture()); },
        {"mPointer", "mIcon"}, {{"MousePointer", 99}});
    row("MousePointer", none, [](kxButtons_H &b) { b.MousePointer(11); }, {"mPointer"}, {{"MousePointer", 11}});
    row("ForeColor follows into hover", none, [](kxButtons_H &b) { b.ForeColor(0xFF); },
        {"cFHover", "cFore"}, {{"ForeColor", 0xFFu}, {"HoverForeColor", 0xFFu}, {"HoverColorLocks", 0}});
    row("BackColor RGB follows into hover", none, [](kxButtons_H &b) { b.BackColor(0xC0C0C0); },
        {"cBHover", "cBack"}, {{"BackColor", 0xC0C0C0u}, {"HoverBackColor", 0xC0C0C0u}, {"HoverColorLocks", 0}});
    row("BackColor system colour raises the back lock", [](kxButtons_H &b) { b.BackColor(0xC0C0C0); },
        [](kxButtons_H &b) { b.BackColor(0x8000000F); }, {"cBHover", "cBack"},
        {{"BackColor", quint32(RGB(212, 208, 200))}, {"HoverBackColor", 0x8000000Fu}, {"HoverColorLocks", 1}});
    row("GradientColor with gradient moves hover", [](kxButtons_H &b) { b.GradientMode(2); },
        [](kxButtons_H &b) { b.GradientColor(0x00FF00); }, {"cGradient"},
        {{"HoverBackColor", 0x00FF00u}, {"HoverColorLocks", 0}});
    row("HoverColorLocks 0", [](kxButtons_H &b) { b.HoverForeColor(0xFF); },
        [](kxButtons_H &b) { b.HoverColorLocks(0); }, {"cBHover", "cFHover", "LockHover"},
        {{"HoverColorLocks", 0}, {"HoverForeColor", quint32(0x80000012)}});
    row("ResetDefaultColors in design mode",
        [](kxButtons_H &b) {
            static_cast<host::Form *>(b.parentWidget())->setUserMode(false);
            b.BackColor(0x123456);
            b.ForeColor(0xFF);
            b.GradientColor(0xFF00);
            b.GradientMode(3);
            b.HoverForeColor(0xFF0000);
        },
        [](kxButtons_H &b) { b.ResetDefaultColors(true); },
        {"cFore", "cGradient", "Gradient", "cBHover", "cFHover", "LockHover", "cGradient", "cBack"},
        {{"BackColor", 0x8000000Fu}, {"ForeColor", 0x80000012u}, {"GradientColor", 0x8000000Fu}, {"GradientMode", 0},
         {"HoverColorLocks", 0}, {"HoverBackColor", 0x8000000Fu}, {"HoverForeColor", 0x80000012u}});
}

void tst_KxButtonsMembers::acceptedChangesReportInOrder()
{
    QFETCH(Action, setup);
    QFETCH(Action, action);
    QFETCH(QStringList, reported);
    QFETCH(QVariantMap, expected);
    kxButtons_H *b = formWithButton(m_form);
    setup(*b);
    b->clearChangedProperties();
    host::MsgBoxRecorder boxes;

    action(*b);

    QCOMPARE(b->changedProperties(), reported);
    const QVariantMap now = snapshot(*b);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(now.value(it.key()).toLongLong(), it.value().toLongLong());
    QCOMPARE(boxes.calls().size(), 0);
}

void tst_KxButtonsMembers::designMessages_data()
{
    QTest::addColumn<Action>("setup");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("reported");

    const Action none = [](kxButtons_H &) {};
    QTest::newRow("Value on command button")
        << none << Action([](kxButtons_H &b) { b.Value(true); })
        << QStringLiteral("This property is not applicable for command button modes.") << QString()
        << QStringList();
    QTest::newRow("left caption under top image")
        << Action([](kxButtons_H &b) { b.Picture(iconPicture()); b.PictureAlign(4); })
        << Action([](kxButtons_H &b) { b.CaptionAlign(0); })
        << QStringLiteral("When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned")
        << QString() << QStringList();
    QTest::newRow("focus rectangle on default button")
        << Action([](kxButtons_H &b) {
               static_cast<host::Form *>(b.parentWidget())->setDefaultControl(&b);
           })
        << Action([](kxButtons_H &b) { b.ShowFocusRect(false); })
        << QStringLiteral("The focus rectangle may appear on default buttons ONLY while in design mode, \r\nbut will not appear when the form is running.")
        << QString() << QStringList{"Focus"};
    QTest::newRow("bitmap as mouse icon")
        << none << Action([](kxButtons_H &b) { b.MouseIcon(bitmapPicture()); })
        << host::standardErrorDescription(host::ErrInvalidPropertyValue)
        << QStringLiteral("Select .ico Or .cur Files Only") << QStringList();
}

void tst_KxButtonsMembers::designMessages()
{
    QFETCH(Action, setup);
    QFETCH(Action, action);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QStringList, reported);

    for (bool design : {true, false}) {
        kxButtons_H *b = formWithButton(m_form, !design);
        setup(*b);
        const QVariantMap before = snapshot(*b);
        b->clearChangedProperties();
        host::MsgBoxRecorder boxes;

        action(*b);

        if (design) {
            QCOMPARE(boxes.calls().size(), 1);
            QCOMPARE(boxes.calls().at(0).prompt, text);
            QCOMPARE(boxes.calls().at(0).style, int(host::vbInformation));
            QCOMPARE(boxes.calls().at(0).title, title.isEmpty() ? QStringLiteral("Radiosala") : title);
            QCOMPARE(b->changedProperties(), reported);
        } else {
            QCOMPARE(boxes.calls().size(), 0);
        }
        if (reported.isEmpty())
            QCOMPARE(snapshot(*b), before);
        m_form.reset();
    }
}

void tst_KxButtonsMembers::accessKeyFromCaption_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name"); // what a screen reader says: the caption as drawn

    QTest::newRow("ampersand before first letter") << QString() << QStringLiteral("&Derrubar") << QStringLiteral("D")
                                                   << QStringLiteral("Derrubar");
    QTest::newRow("last ampersand wins") << QString() << QStringLiteral("&a && &Sair") << QStringLiteral("S")
                                         << QStringLiteral("a & Sair");
    QTest::newRow("doubled ampersand still yields a key") << QString() << QStringLiteral("A&&B") << QStringLiteral("B")
                                                          << QStringLiteral("A&B");
    QTest::newRow("trailing ampersand empties it") << QStringLiteral("&Mute") << QStringLiteral("Mute&") << QString()
                                                   << QStringLiteral("Mute&");
    QTest::newRow("no ampersand keeps the old key") << QStringLiteral("&Mute") << QStringLiteral(" Mute||chat ")
                                                    << QStringLiteral("M") << QStringLiteral("Mute chat");
}

void tst_KxButtonsMembers::accessKeyFromCaption()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, key);
    QFETCH(QString, name);
    kxButtons_H *b = formWithButton(m_form);
    if (!first.isEmpty())
        b->Caption(first);
    b->Caption(second);
    QCOMPARE(b->AccessKeys(), key);
    QCOMPARE(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name), name);
}

void tst_KxButtonsMembers::fontNameInAnsiCodePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("faceName"); // lfFaceName, Windows-1252

    const QString a29(29, u'a');
    QTest::newRow("accented") << QStringLiteral("Fonte Ação") << QByteArray("Fonte A\xE7\xE3o");
    QTest::newRow("accent typed apart") << QStringLiteral("Ac\u0327a\u0303o") << QByteArray("A\xE7\xE3o");
    QTest::newRow("typographic quotes") << QStringLiteral("\u201CX\u201D") << QByteArray("\x93X\x94");
    QTest::newRow("cut at 31 bytes") << a29 + QStringLiteral("çéí") << a29.toLatin1() + "\xE7\xE9";
    QTest::newRow("one character beyond the code page is one byte")
        << a29 + QStringLiteral("\U0001F600bc") << a29.toLatin1() + "?b";
}

void tst_KxButtonsMembers::fontNameInAnsiCodePage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, faceName);
    kxButtons_H *b = formWithButton(m_form);
    b->Font(std::make_shared<host::StdFont>(name, 9.0));
    LOGFONTA lf{};
    QCOMPARE(GetObjectA(GetCurrentObject(KxButtonsProbe(*b).memDC(), OBJ_FONT), sizeof lf, &lf), int(sizeof lf));
    QCOMPARE(QByteArray(lf.lfFaceName), faceName);
}

void tst_KxButtonsMembers::hoverColorLocks_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("lock");
    QTest::addColumn<quint32>("hoverFore");
    QTest::addColumn<quint32>("hoverBack");

    // Start: ForeColor 0x000000, BackColor 0x808080, gradient colour 0x00FF00.
    QTest::newRow("hover fore = fore keeps lock")
        << Action([](kxButtons_H &b) { b.HoverForeColor(0); }) << 0 << 0u << 0x808080u;
    QTest::newRow("hover fore other colour, lock 1 -> 3")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(1); b.HoverForeColor(0xFF); b.ForeColor(0x10); })
        << 3 << 0xFFu << 0x808080u;
    QTest::newRow("lock 1: ForeColor still moves hover fore")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(1); b.ForeColor(0x10); }) << 1 << 0x10u << 0x808080u;
    QTest::newRow("GradientColor without a gradient leaves hover back")
        << Action([](kxButtons_H &b) { b.GradientColor(0x0000FF); }) << 0 << 0u << 0x808080u;
    QTest::newRow("hover back other, lock 2 -> 3")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(2); b.HoverBackColor(0x0000FF); }) << 3 << 0u << 0xFFu;
    QTest::newRow("hover back other, later BackColor does not follow")
        << Action([](kxButtons_H &b) { b.HoverBackColor(0x0000FF); b.BackColor(0x202020); })
        << 1 << 0u << 0xFFu;
    QTest::newRow("locks 0 with gradient takes gradient colour")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(3); b.GradientMode(1); b.HoverColorLocks(0); })
        << 0 << 0u << 0x00FF00u;
    QTest::newRow("GradientMode 0 with lock 2 takes BackColor")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(2); b.GradientMode(3); b.GradientMode(0); })
        << 2 << 0u << 0x808080u;
    QTest::newRow("GradientMode with lock 1 leaves hover back")
        << Action([](kxButtons_H &b) { b.HoverBackColor(0x111111); b.GradientMode(3); })
        << 1 << 0u << 0x111111u;
    QTest::newRow("lock outside 0..3 freezes both")
        << Action([](kxButtons_H &b) { b.HoverColorLocks(7); b.ForeColor(0x22); b.BackColor(0x333333); b.HoverForeColor(0x44); })
        << 7 << 0x44u << 0x808080u;
}

void tst_KxButtonsMembers::hoverColorLocks()
{
    QFETCH(Action, action);
    QFETCH(int, lock);
    QFETCH(quint32, hoverFore);
    QFETCH(quint32, hoverBack);
    kxButtons_H *b = formWithButton(m_form);
    b->ForeColor(0);
    b->GradientColor(0x00FF00);
    b->BackColor(0x808080);
    QCOMPARE(b->HoverColorLocks(), 0);

    action(*b);

    QCOMPARE(b->HoverColorLocks(), lock);
    QCOMPARE(b->HoverForeColor(), hoverFore);
    QCOMPARE(b->HoverBackColor(), hoverBack);
    // The painter's hover face always follows the hover back colour.
    KxButtonsProbe p(*b);
    QCOMPARE(p.hoverFaceColor(),
             KxButtonsProbe::shiftColor(p.convertSysColor(std::int32_t(hoverBack)), 48, true));
}

QTEST_MAIN(tst_KxButtonsMembers)
#include "tst_kxbuttons_members.moc"
