#include <bag/PropertyBag.h>

#include <QTest>

using namespace bag;

Q_DECLARE_METATYPE(bag::Value)

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void keysIgnoreCaseAndKeepTheirPlace();
    void writeWithDefault_data();
    void writeWithDefault();
    void typedReads_data();
    void typedReads();
};

void tst_PropertyBag::keysIgnoreCaseAndKeepTheirPlace()
{
    PropertyBag b;
    b.WriteProperty(QStringLiteral("CapAlign"), 0, 2);
    QCOMPARE(b.entries()[0].first, QStringLiteral("capalign"));
    QCOMPARE(b.ReadProperty(QStringLiteral("CAPALIGN"), 2), Value(0));

    // Same length one letter apart, a longer key, and the characters next
    // to the letters, which have no case: all other keys.
    QCOMPARE(b.readInt32(QStringLiteral("CapAligm"), 9), 9);
    QCOMPARE(b.readInt32(QStringLiteral("CapAlign2"), 9), 9);
    b.WriteProperty(QStringLiteral("x["), 3, 0);
    QCOMPARE(b.readInt32(QStringLiteral("x{"), 9), 9);
    QCOMPARE(b.readInt32(QStringLiteral("X["), 9), 3);

    // Keys beyond ASCII are lowered as QString does.
    b.WriteProperty(QStringLiteral("\u00C9tat"), 5, 0);
    QCOMPARE(b.readInt32(QStringLiteral("\u00E9TAT"), 0), 5);
    QCOMPARE(b.readInt32(QStringLiteral("Etat"), 9), 9);
    QVERIFY(b.contains(QStringLiteral("\u00C9TAT")));

    // A key written again keeps its place; one removed leaves the rest in order.
    b.WriteProperty(QStringLiteral("CAPALIGN"), Value::int32(20), Value::int32(0));
    QCOMPARE(b.entries()[0].first, QStringLiteral("capalign"));
    QCOMPARE(b.readInt32(QStringLiteral("capalign"), 0), 20);
    QVERIFY(b.remove(QStringLiteral("X[")));
    QCOMPARE(b.entries()[1].first, QStringLiteral("\u00E9tat"));
    QVERIFY(!b.remove(QStringLiteral("x[")));
}

void tst_PropertyBag::writeWithDefault_data()
{
    QTest::addColumn<Value>("before"); // stored before the write; empty for none
    QTest::addColumn<Value>("value");
    QTest::addColumn<Value>("defaultValue");
    QTest::addColumn<bool>("stored");

    QTest::newRow("equal to default") << Value() << Value(2) << Value(2) << false;
    QTest::newRow("differs from default") << Value() << Value(0) << Value(2) << true;
    QTest::newRow("16-bit equal to 32-bit default") << Value() << Value::int16(16) << Value(16) << false;
    QTest::newRow("Boolean True equal to -1") << Value() << Value(true) << Value::int16(-1) << false;
    QTest::newRow("Boolean True differs from False") << Value() << Value(true) << Value(false) << true;
    QTest::newRow("text equal to empty default") << Value() << Value("") << Value("") << false;
    QTest::newRow("text differs in case") << Value() << Value("OK") << Value("ok") << true;
    QTest::newRow("no default: always stored") << Value() << Value(0) << Value() << true;
    QTest::newRow("empty picture, empty default") << Value() << Value(PictureValue()) << Value(PictureValue()) << false;
    QTest::newRow("picture, empty default") << Value() << Value(PictureValue("BM")) << Value(PictureValue()) << true;
    QTest::newRow("replaces older value") << Value(5) << Value(0) << Value(2) << true;
    QTest::newRow("default removes older value") << Value(5) << Value(2) << Value(2) << false;
}

void tst_PropertyBag::writeWithDefault()
{
    QFETCH(Value, before);
    QFETCH(Value, value);
    QFETCH(Value, defaultValue);
    QFETCH(bool, stored);

    PropertyBag b;
    if (!before.isEmpty())
        b.setValue(QStringLiteral("key"), before);
    b.WriteProperty(QStringLiteral("Key"), value, defaultValue);
    QCOMPARE(b.contains(QStringLiteral("key")), stored);
    QCOMPARE(b.size(), stored ? 1 : 0);
    // Reading back gives the value written, stored or not.
    const Value back = b.ReadProperty(QStringLiteral("key"), defaultValue);
    QVERIFY(back.sameValue(value));
    if (stored)
        QCOMPARE(back, value);
}

void tst_PropertyBag::typedReads_data()
{
    QTest::addColumn<Value>("stored");
    QTest::addColumn<int>("asInt16");  // with default 111
    QTest::addColumn<int>("asInt32");  // with default 222
    QTest::addColumn<bool>("asBool");  // with default false
    QTest::addColumn<QString>("asText"); // with default "d"

    QTest::newRow("16-bit small colour") << Value::int16(192) << 192 << 192 << true << "d";
    QTest::newRow("16-bit -1 is True") << Value::int16(-1) << -1 << -1 << true << "d";
    QTest::newRow("16-bit 0 is False") << Value::int16(0) << 0 << 0 << false << "d";
    QTest::newRow("32-bit fits 16") << Value(32) << 32 << 32 << true << "d";
    QTest::newRow("32-bit system colour") << Value(0x8000000Fu) << 111 << int(0x8000000F) << true << "d";
    QTest::newRow("32-bit just past 16") << Value(32768) << 111 << 32768 << true << "d";
    QTest::newRow("Boolean True") << Value(true) << -1 << -1 << true << "d";
    QTest::newRow("Boolean False") << Value(false) << 0 << 0 << false << "d";
    QTest::newRow("text") << Value("12") << 111 << 222 << false << "12";
    QTest::newRow("font") << Value(FontValue()) << 111 << 222 << false << "d";
}

void tst_PropertyBag::typedReads()
{
    QFETCH(Value, stored);
    QFETCH(int, asInt16);
    QFETCH(int, asInt32);
    QFETCH(bool, asBool);
    QFETCH(QString, asText);

    PropertyBag b;
    b.setValue(QStringLiteral("k"), stored);
    QCOMPARE(int(b.readInt16(QStringLiteral("K"), 111)), asInt16);
    QCOMPARE(b.readInt32(QStringLiteral("K"), 222), asInt32);
    QCOMPARE(b.readBool(QStringLiteral("K"), false), asBool);
    QCOMPARE(b.readText(QStringLiteral("K"), QStringLiteral("d")), asText);
}

QTEST_GUILESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
