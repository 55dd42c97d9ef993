// Loading and saving: defaults on both sides, conversions of the stored type
// conventions, the written order, and round trips through the bag stream.

#include "ButtonTestSupport.h"

#include <bag/Bag.h>
#include <host/msgbox.h>

#include <QTest>

using namespace buttontest;

Q_DECLARE_METATYPE(bag::Value)

namespace {

kxButtons_H *loadButton(QWidget *container, const bag::PropertyBag &stored, const QString &name = QStringLiteral("Command1"))
{
    auto *button = new kxButtons_H(container);
    button->setObjectName(name);
    button->setGeometry(8, 8, 73, 25);
    button->show();
    bag::PropertyBag copy = stored;
    button->UserControl_ReadProperties(copy);
    return button;
}

bag::PropertyBag through(const bag::PropertyBag &written)
{
    const bag::WriteResult w = bag::writeStream(written);
    if (!w.ok())
        qFatal("writeStream: %s", qPrintable(w.error->toString()));
    const bag::ReadResult r = bag::readStream(w.bytes);
    if (!r.ok() || !r.skipped.isEmpty())
        qFatal("readStream failed");
    return r.bag;
}

} // namespace

class tst_KxButtonsPersistence : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_form.reset(); }

    void bagWithOnlyCaptionGivesDefaults();
    void storedTypeConventions_data();
    void storedTypeConventions();
    void optionButtonsJoinAtLoadLastTrueWins();
    void writtenKeysAndDefaults_data();
    void writtenKeysAndDefaults();
    void roundTripThroughStream();
    void initPropertiesReportsInOrder();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsPersistence::bagWithOnlyCaptionGivesDefaults()
{
    m_form = makeForm();
    m_form->setBackColor(0x00336699);
    bag::PropertyBag stored;
    stored.setValue(QStringLiteral("Caption"), QStringLiteral("&Derrubar"));

    kxButtons_H *b = loadButton(m_form.get(), stored);

    QCOMPARE(b->Caption(), QStringLiteral("&Derrubar"));
    QCOMPARE(b->CaptionAlign(), 2);
    QCOMPARE(b->ButtonStyle(), 2);
    QCOMPARE(b->ShowFocusRect(), true);
    QCOMPARE(b->Mode(), 0);
    QCOMPARE(b->Value(), false);
    QCOMPARE(b->ForeColor(), 0x80000012u);
    QCOMPARE(b->GradientColor(), 0x8000000Fu);
    QCOMPARE(b->BackColor(), 0x00336699u);
    QCOMPARE(b->HoverBackColor(), 0x00336699u);
    QCOMPARE(b->HoverForeColor(), 0x80000012u);
    QCOMPARE(b->HoverColorLocks(), 0);
    QCOMPARE(b->PictureSize(), 0);
    QCOMPARE(b->Tag(), QString::number(host::hwndOf(m_form.get())));
    // Loading ends with the first draw: the surface exists and is not suspended.
    KxButtonsProbe p(*b);
    QVERIFY(p.memDC() != 0);
    QVERIFY(!p.delayDrawing());
    QCOMPARE(p.faceColor(), KxButtonsProbe::shiftColor(0x00336699, 48, true));
}

void tst_KxButtonsPersistence::storedTypeConventions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bag::Value>("stored");
    QTest::addColumn<QString>("member");
    QTest::addColumn<qlonglong>("expected");

    QTest::newRow("Boolean as 16-bit -1") << QStringLiteral("value") << bag::Value(qint16(-1)) << QStringLiteral("Value") << 1LL;
    QTest::newRow("Boolean as type 11 False") << QStringLiteral("focus") << bag::Value(false) << QStringLiteral("ShowFocusRect") << 0LL;
    QTest::newRow("small colour as 16-bit") << QStringLiteral("cback") << bag::Value(qint16(192)) << QStringLiteral("BackColor") << 192LL;
    QTest::newRow("system colour as 32-bit") << QStringLiteral("cfore") << bag::Value(quint32(0x80000008)) << QStringLiteral("ForeColor")
                                             << 0x80000008LL;
    QTest::newRow("hover back kept against back colour") << QStringLiteral("cbhover") << bag::Value(65535)
                                                        << QStringLiteral("HoverBackColor") << 65535LL;
    QTest::newRow("hover locks") << QStringLiteral("lockhover") << bag::Value(3) << QStringLiteral("HoverColorLocks") << 3LL;
    QTest::newRow("image size in pixels") << QStringLiteral("imgsize") << bag::Value(qint16(32)) << QStringLiteral("PictureSize") << 32LL;
    QTest::newRow("odd image size kept") << QStringLiteral("imgsize") << bag::Value(qint16(20)) << QStringLiteral("PictureSize") << 20LL;
    QTest::newRow("shape as 32-bit") << QStringLiteral("shape") << bag::Value(5) << QStringLiteral("ButtonShape") << 5LL;
    QTest::newRow("key case ignored") << QStringLiteral("CAPSTYLE") << bag::Value(qint16(2)) << QStringLiteral("CaptionStyle") << 2LL;
    QTest::newRow("BackStyle 0 becomes 2") << QStringLiteral("backstyle") << bag::Value(0) << QStringLiteral("ButtonStyle") << 2LL;
    QTest::newRow("BackStyle 7 becomes 2") << QStringLiteral("backstyle") << bag::Value(7) << QStringLiteral("ButtonStyle") << 2LL;
    QTest::newRow("BackStyle 9 stays") << QStringLiteral("backstyle") << bag::Value(9) << QStringLiteral("ButtonStyle") << 9LL;
    // The colour reset that comes with it acts only in design mode.
    QTest::newRow("BackStyle 0 keeps the colours when running") << QStringLiteral("backstyle") << bag::Value(0)
                                                                 << QStringLiteral("BackColor") << 0x123456LL;
    QTest::newRow("icon without pointer: pointer 0") << QStringLiteral("micon")
                                                     << bag::Value(bag::PictureValue(pictures::icon(32, qRgb(1, 2, 3))))
                                                     << QStringLiteral("MousePointer") << 0LL;
}

void tst_KxButtonsPersistence::storedTypeConventions()
{
    QFETCH(QString, key);
    QFETCH(bag::Value, stored);
    QFETCH(QString, member);
    QFETCH(qlonglong, expected);
    m_form = makeForm();
    bag::PropertyBag b;
    b.setValue(QStringLiteral("Mode"), bag::Value(1)); // a check button may hold True
    b.setValue(QStringLiteral("cBack"), bag::Value(0x123456));
    b.setValue(key, stored);

    kxButtons_H *button = loadButton(m_form.get(), through(b));

    QCOMPARE(snapshot(*button).value(member).toLongLong(), expected);
}

void tst_KxButtonsPersistence::optionButtonsJoinAtLoadLastTrueWins()
{
    m_form = makeForm();
    bag::PropertyBag selected;
    selected.setValue(QStringLiteral("Mode"), bag::Value(qint16(2)));
    selected.setValue(QStringLiteral("Value"), bag::Value(true));

    kxButtons_H *a = loadButton(m_form.get(), selected, QStringLiteral("Option1"));
    kxButtons_H *b = loadButton(m_form.get(), selected, QStringLiteral("Option2"));
    const HWND form = host::hwndOf(m_form.get());

    QCOMPARE(int(GetPropA(form, "kx_OptCount")), 2);
    QCOMPARE(GetPropA(form, "kx_Obj1"), reinterpret_cast<HANDLE>(a));
    QCOMPARE(GetPropA(form, "kx_Obj2"), reinterpret_cast<HANDLE>(b));
    QCOMPARE(a->Value(), false);
    QCOMPARE(b->Value(), true);
}

void tst_KxButtonsPersistence::writtenKeysAndDefaults_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<qlonglong>("value");

    const Action none = [](kxButtons_H &) {};
    QTest::newRow("centred caption stores no CapAlign") << none << QStringLiteral("capalign") << false << 0LL;
    QTest::newRow("left caption stores 0")
        << Action([](kxButtons_H &b) { b.CaptionAlign(0); }) << QStringLiteral("capalign") << true << 0LL;
    QTest::newRow("Mode always") << none << QStringLiteral("mode") << true << 0LL;
    QTest::newRow("Value always") << none << QStringLiteral("value") << true << 0LL;
    QTest::newRow("cBack always") << none << QStringLiteral("cback") << true << 0x8000000FLL;
    QTest::newRow("hover back equal to back not stored") << none << QStringLiteral("cbhover") << false << 0LL;
    QTest::newRow("hover back differing stored")
        << Action([](kxButtons_H &b) { b.HoverBackColor(0xFF); }) << QStringLiteral("cbhover") << true << 0xFFLL;
    QTest::newRow("image size in pixels")
        << Action([](kxButtons_H &b) { b.PictureSize(2); }) << QStringLiteral("imgsize") << true << 32LL;
    QTest::newRow("pointer as stored")
        << Action([](kxButtons_H &b) { b.MousePointer(11); }) << QStringLiteral("mpointer") << true << 11LL;
    QTest::newRow("disabled") << Action([](kxButtons_H &b) { b.Enabled(false); }) << QStringLiteral("enabled") << true << 0LL;
}

void tst_KxButtonsPersistence::writtenKeysAndDefaults()
{
    QFETCH(Action, action);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(qlonglong, value);
    kxButtons_H *b = formWithButton(m_form);
    action(*b);
    bag::PropertyBag written;
    b->UserControl_WriteProperties(written);
    const bag::PropertyBag back = through(written);

    QCOMPARE(back.contains(key), present);
    QVERIFY(back.contains(QStringLiteral("font")));
    if (present) {
        const bag::Value v = *back.value(key);
        const qlonglong got = v.type() == bag::VarType::Boolean ? (*v.toBool() ? -1 : 0)
                                                                : qlonglong(quint32(*v.toInt32()));
        QCOMPARE(got, value);
    }
}

void tst_KxButtonsPersistence::roundTripThroughStream()
{
    // Every key but "BackStyle" (only its default is accepted) away from its
    // writing default: all are written, in a fixed order, and read back.
    m_form = makeForm(false);
    kxButtons_H *a = addButton(m_form.get(), QStringLiteral("Option1"));
    auto font = std::make_shared<host::StdFont>(QStringLiteral("Times New Roman"), 9);
    font->setBold(true);
    font->setUnderline(true);
    a->Font(font);
    a->Caption(QStringLiteral("Ver lista||de comandos"));
    a->CaptionAlign(1);
    a->ButtonShape(2);
    a->ForeColor(0x10);
    a->HoverColorLocks(3);
    a->HoverForeColor(0x000080FF);
    a->HoverBackColor(0x30);
    a->ShowFocusRect(false);
    a->GradientColor(0x8000000D);
    a->GradientMode(4);
    a->CaptionStyle(2);
    a->Mode(2);
    a->Value(true);
    a->PictureAlign(1);
    a->Picture(bitmapPicture(20, 10));
    a->PictureSize(1); // 24 pixels, next to the write default of 16
    a->Enabled(false);
    a->BackColor(0x00C0C0C0);
    a->MouseIcon(iconPicture(16));
    a->MousePointer(2);
    const QVariantMap original = snapshot(*a);
    a->clearChangedProperties();

    bag::PropertyBag written;
    a->UserControl_WriteProperties(written);

    QStringList keys;
    for (const auto &entry : written.entries())
        keys << entry.first;
    QCOMPARE(keys, (QStringList{"caption", "capalign", "shape", "font", "cfore", "cfhover",
                                "cbhover", "focus", "lockhover", "cgradient", "gradient", "capstyle", "mode",
                                "value", "imgalign", "image", "imgsize", "enabled", "cback", "mpointer",
                                "micon"}));
    // Writing changes nothing in the control.
    QCOMPARE(snapshot(*a), original);
    QCOMPARE(a->changedProperties(), QStringList());

    kxButtons_H *b = loadButton(m_form.get(), through(written), QStringLiteral("Option2"));
    QCOMPARE(snapshot(*b), original);
    QCOMPARE(KxButtonsProbe(*b).pictureWidth(), 20);
    QCOMPARE(KxButtonsProbe(*b).pictureHeight(), 10);
}

void tst_KxButtonsPersistence::initPropertiesReportsInOrder()
{
    m_form = makeForm(false);
    m_form->setBackColor(0x00445566);
    auto *b = new kxButtons_H(m_form.get());
    b->setObjectName(QStringLiteral("kxButtons1"));
    b->UserControl_InitProperties();

    QCOMPARE(b->changedProperties(),
             (QStringList{"BackStyle", "Caption", "CapAlign", "Focus", "cFHover", "cBHover"}));
    QCOMPARE(b->Caption(), QStringLiteral("kxButtons1"));
    QCOMPARE(b->BackColor(), 0x8000000Fu);
    QCOMPARE(b->GradientColor(), 0u);
    QCOMPARE(b->HoverBackColor(), 0x8000000Fu);
    QCOMPARE(KxButtonsProbe(*b).containerBackColor(), 0x00445566);
    QCOMPARE(KxButtonsProbe(*b).imageSize(), std::int16_t(0));
}

QTEST_MAIN(tst_KxButtonsPersistence)
#include "tst_kxbuttons_persistence.moc"
