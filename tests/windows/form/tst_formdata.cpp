// Reading layout files: every field of one layout against its hand-read
// values, damaged and odd ones against the message they must give. The stored
// layouts are read by the suites that open their windows; randomly damaged
// layouts are left to fuzz_formdata.

#include <forms/FormData.h>

#include <QTest>

namespace {

const char Base[] = "{\"name\": \"w\", \"width\": 100, \"clientWidth\": 90, \"clientHeight\": 90,\n"
                    " \"font\": {\"face\": \"MS Sans Serif\", \"size\": 8.25},\n"
                    " \"controls\": [\n"
                    "  {\"name\": \"F\", \"kind\": \"frame\", \"container\": \"w\", \"left\": 0, \"top\": 0, \"width\": 10, \"height\": 10},\n"
                    "  {\"name\": \"T\", \"kind\": \"textbox\", \"container\": \"F\", \"left\": 15, \"top\": 30, \"width\": 45, \"height\": 60, \"text\": \"x\"}\n"
                    " ]}\n";

QByteArray edited(const QByteArray &from, const QByteArray &to)
{
    QByteArray json(Base);
    const qsizetype at = json.indexOf(from);
    Q_ASSERT_X(at >= 0, "edited", from.constData());
    return json.replace(at, from.size(), to);
}

// Where a fault at a byte offset is named: "line L, column C (offset O)",
// columns counted in characters.
QString position(const QByteArray &json, qsizetype offset)
{
    const QByteArray before = json.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2 (offset %3)")
        .arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.mid(lineStart)).size() + 1)
        .arg(offset);
}

} // namespace

class tst_formdata : public QObject
{
    Q_OBJECT

private slots:
    void fields();
    void layouts_data();
    void layouts();
};

// Every key lands in its field.
void tst_formdata::fields()
{
    const QByteArray json = "{\"name\": \"w\", \"caption\": \"Janela\", \"width\": 100, \"clientWidth\": 90, \"clientHeight\": 80,"
                            " \"icon\": \"w.ico\", \"backColor\": \"0xC0FFFF\", \"font\": {\"face\": \"Arial\", \"size\": 9.75, \"bold\": true},"
                            " \"controls\": [{\"name\": \"L\", \"kind\": \"line\", \"container\": \"w\", \"x1\": 1, \"y1\": 2, \"x2\": 3, \"y2\": 4},"
                            " {\"name\": \"B\", \"kind\": \"button\", \"container\": \"w\", \"left\": 5, \"top\": 6, \"width\": 7, \"height\": 8,"
                            "  \"tabIndex\": 3, \"caption\": \"C\\u00e7\", \"text\": \"no\", \"font\": {\"face\": \"Times New Roman\", \"size\": 12},"
                            "  \"backColor\": \"0x1\", \"foreColor\": \"0xff\", \"fillColor\": \"0xAbCdEf12\", \"alignment\": \"center\", \"multiLine\": true,"
                            "  \"scrollBars\": \"vertical\", \"border\": \"single\", \"stretch\": true, \"interval\": 250, \"enabled\": false,"
                            "  \"value\": 2, \"bag\": \"b.bag\"}]}";
    const forms::FormParseResult result = forms::parseForm(json, QStringLiteral("w.json"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const forms::FormData &f = *result.form;
    QCOMPARE(f.caption, QStringLiteral("Janela"));
    QCOMPARE(QList<int>({f.width, f.clientWidth, f.clientHeight}), QList<int>({100, 90, 80}));
    QCOMPARE(f.icon, QStringLiteral("w.ico"));
    QCOMPARE(f.backColor, 0xC0FFFFu);
    QCOMPARE(f.font, (forms::FontSpec{QStringLiteral("Arial"), 9.75, true}));
    const forms::ControlData &l = f.controls.at(0);
    QCOMPARE(l.kind, forms::ControlKind::Line);
    QCOMPARE(QList<int>({l.left, l.top, l.x2, l.y2, l.width, l.height}), QList<int>({1, 2, 3, 4, 0, 0}));
    QVERIFY(!l.tabIndex && !l.font && !l.backColor && !l.centred && l.enabled);
    const forms::ControlData &b = f.controls.at(1);
    QCOMPARE(b.kind, forms::ControlKind::Button);
    QCOMPARE(b.container, QStringLiteral("w"));
    QCOMPARE(QList<int>({b.left, b.top, b.width, b.height, *b.tabIndex}), QList<int>({5, 6, 7, 8, 3}));
    QCOMPARE(b.text, QStringLiteral("C\u00e7"));
    QCOMPARE(b.font, (forms::FontSpec{QStringLiteral("Times New Roman"), 12, false}));
    QCOMPARE(QList<quint32>({*b.backColor, *b.foreColor, *b.fillColor}), QList<quint32>({0x1, 0xFF, 0xABCDEF12}));
    QVERIFY(b.centred && b.multiLine && b.verticalScrollBar && b.singleBorder && b.stretch && !b.enabled);
    QCOMPARE(QList<int>({b.interval, b.value}), QList<int>({250, 2}));
    QCOMPARE(b.file, QStringLiteral("b.bag"));
}

void tst_formdata::layouts_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message"); // empty: the layout reads

    const auto row = [](const char *name, const QByteArray &json, const char *message) {
        QTest::newRow(name) << json << QString::fromUtf8(message);
    };
    const QByteArray base(Base);

    // Readable, though unusual.
    row("byte order mark", "\xEF\xBB\xBF" + base, "");
    row("unknown keys of every type", edited("\"text\": \"x\"", "\"text\": \"x\", \"extra\": {\"a\": [1, null, true, \"s\", {\"b\": -1.5e3}]}"), "");
    row("escaped container name", edited("\"container\": \"F\"", "\"container\": \"\\u0046\""), "");
    row("whole numbers written as decimals", edited("\"left\": 15", "\"left\": 1.5e1"), "");

    // Not JSON: the place is named.
    const auto syntax = [](const char *name, const QByteArray &json, qsizetype offset) {
        QTest::newRow(name) << json << QStringLiteral("w.json: ") + position(json, offset) + QStringLiteral(": ");
    };
    syntax("empty", "", 0);
    syntax("cut inside the list", base.left(base.lastIndexOf(']')), base.lastIndexOf(']'));
    syntax("text after the document", base + "x", base.size());
    row("invalid UTF-8", edited("\"text\": \"x\"", "\"text\": \"\xC0\x80\""), "w.json: line 5, column ");
    row("not an object", "[1, 2]", "the layout is not a JSON object");

    // The layout's own rules, with the file and the control named.
    row("4097 controls", edited("\"x\"}\n ]", "\"x\"}" + QByteArrayView(", {}").toByteArray().repeated(4095) + "\n ]"), "w.json: more than 4096 controls");
    row("missing key", edited(", \"height\": 60", ""), "w.json: control 1 (T): 'height' is missing");
    row("not a string", edited("\"text\": \"x\"", "\"text\": 5"), "control 1 (T): 'text' is not a string");
    row("fractional twips", edited("\"left\": 15", "\"left\": 15.5"), "control 1 (T): 'left' is not a whole number");
    row("beyond a billion", edited("\"top\": 30", "\"top\": 1e10"), "'top' is not a whole number");
    row("negative size", edited("\"width\": 45", "\"width\": -45"), "control 1 (T): negative size");
    row("unknown kind", edited("\"frame\"", "\"gauge\""), "w.json: control 0 (F): unknown kind \"gauge\"");
    row("unknown border", edited("\"text\": \"x\"", "\"border\": \"double\""), "unknown border \"double\"");
    row("container defined later", edited("\"container\": \"F\"", "\"container\": \"X\""), "container \"X\" is not defined before it");
    row("name used twice", edited("\"name\": \"T\"", "\"name\": \"\\u0046\""), "control 1 (F): the name is empty or used twice");
    row("control not an object", edited("{\"name\": \"F\"", "5, {\"name\": \"F\""), "w.json: control 0: not an object");
    row("bold not true or false", edited("\"size\": 8.25}", "\"size\": 8.25, \"bold\": \"yes\"}"), "w.json: 'font': 'bold' is not true or false");
    row("no font", edited("\"font\"", "\"fnt\""), "w.json: 'font' is missing");
    row("window without size", edited("\"clientWidth\": 90", "\"clientWidth\": 0"), "the window needs a name and a positive size");
    row("colour with a space", edited("\"height\": 60", "\"height\": 60, \"backColor\": \"0x 12\""), "'backColor' is not a colour");
    row("colour with 0x twice", edited("\"height\": 60", "\"height\": 60, \"foreColor\": \"0x0x12\""), "'foreColor' is not a colour");
    row("colour of nine digits", edited("\"height\": 60", "\"height\": 60, \"backColor\": \"0x123456789\""), "'backColor' is not a colour");
    row("colour in words", edited("\"height\": 60", "\"height\": 60, \"backColor\": \"red\""), "'backColor' is not a colour");
    row("file name with a NUL", edited("\"kind\": \"textbox\"", "\"kind\": \"image\", \"picture\": \"a\\u0000b\""), "plain name");
    row("file outside the folder", edited("\"kind\": \"textbox\"", "\"kind\": \"image\", \"picture\": \"../x.bmp\""), "plain name");
    row("timer beyond 65535 ms", edited("\"kind\": \"textbox\"", "\"kind\": \"timer\", \"interval\": 65536"), "interval outside 0 to 65535 ms");
}

void tst_formdata::layouts()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    const forms::FormParseResult result = forms::parseForm(json, QStringLiteral("w.json"));
    if (message.isEmpty()) {
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.form->controls.size(), 2);
        QCOMPARE(result.form->controls.at(1).container, QStringLiteral("F"));
        QCOMPARE(result.form->controls.at(1).left, 15);
        return;
    }
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(QLatin1String("w.json: ")) && result.error.contains(message), qPrintable(result.error));
}

QTEST_MAIN(tst_formdata)
#include "tst_formdata.moc"
