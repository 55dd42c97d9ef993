// Reading layout files: the stored ones against an independent reading,
// damaged and odd ones against the message they must give, and randomly
// damaged copies of the stored ones against both.

#include "FormDataOracle.h"

#include <forms/FormData.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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

// "line L, column C" of a byte offset, columns counted in characters.
QString position(const QByteArray &json, qsizetype offset)
{
    const QByteArray before = json.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2").arg(before.count('\n') + 1).arg(QString::fromUtf8(before.mid(lineStart)).size() + 1);
}

QStringList storedLayouts()
{
    QStringList paths;
    const QDir forms(QStringLiteral(RADIOSALA_TEST_FORMS_SOURCE_DIR));
    for (const QString &dir : forms.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = forms.filePath(dir + QLatin1Char('/') + dir + QStringLiteral(".json"));
        if (QFile::exists(path))
            paths << path;
    }
    return paths;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_formdata : public QObject
{
    Q_OBJECT

private slots:
    void stored_data();
    void stored();
    void layouts_data();
    void layouts();
    void escapedText();
    void damagedCopies();
};

void tst_formdata::stored_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = storedLayouts();
    QVERIFY(paths.size() >= 4);
    for (const QString &path : paths)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

// Every stored layout reads, and to what Qt's own JSON reading of it says.
void tst_formdata::stored()
{
    QFETCH(QString, path);
    const QByteArray json = fileBytes(path);
    QVERIFY(!json.isEmpty());
    const forms::FormParseResult result = forms::parseForm(json, path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(!result.form->controls.isEmpty());
    const QString diff = formdata_oracle::differences(json, *result.form);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_formdata::layouts_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message"); // empty: the layout reads
    QTest::addColumn<qsizetype>("offset"); // where the fault is named; -1: not checked

    const auto row = [](const char *name, const QByteArray &json, const char *message, qsizetype offset) {
        QTest::newRow(name) << json << QString::fromUtf8(message) << offset;
    };
    const auto at = [](const QByteArray &json, const QByteArray &marker, qsizetype plus = 0) { return json.indexOf(marker) + plus; };
    const QByteArray base(Base);
    QByteArray j;

    // Readable, though unusual.
    row("byte order mark", "\xEF\xBB\xBF" + base, "", -1);
    row("unknown keys of every type", edited("\"text\": \"x\"", "\"text\": \"x\", \"extra\": {\"a\": [1, null, true, false, \"s\", {\"b\": -1.5e3}], \"c\": {}}"), "", -1);
    row("escaped container name", edited("\"container\": \"F\"", "\"container\": \"\\u0046\""), "", -1);
    row("text with every escape", edited("\"text\": \"x\"", "\"text\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\\u0000\""), "", -1);
    row("text in raw UTF-8", edited("\"text\": \"x\"", "\"text\": \"a\xC3\xA7\xC3\xA3o \xE2\x82\xAC \xF0\x9F\x98\x80\""), "", -1);
    row("whole numbers written as decimals", edited("\"left\": 15", "\"left\": 1.5e1"), "", -1);
    // The control sits three levels deep (window, list, control).
    row("61 nested lists in a control", edited("\"text\": \"x\"", "\"z\": " + QByteArray(61, '[') + QByteArray(61, ']')), "", -1);

    // Not JSON.
    row("empty", "", "the data is empty", 0);
    row("white space only", " \n ", "the data is empty", 3);
    row("not an object", "[1, 2]", "not a JSON object", 0);
    j = base.left(base.indexOf("MS Sans") + 3);
    row("cut inside a string", j, "unterminated string", at(j, "\"MS"));
    j = base.left(base.indexOf("\"controls\""));
    row("cut between members", j, "unexpected end of the data inside an object", j.size());
    j = base.left(base.lastIndexOf(']'));
    row("cut inside the list", j, "unexpected end of the data inside a list", j.size());
    j = edited("\"height\": 10}", "\"height\": 10,}");
    row("comma before '}'", j, "a key in double quotes expected", at(j, ",}", 1));
    j = edited("\"x\"}\n ]", "\"x\"},\n ]");
    row("comma before ']'", j, "a value expected after ','", at(j, "},\n ]", 4));
    j = edited("\"top\": 30", "\"top\" 30");
    row("missing colon", j, "':' expected", at(j, "\"top\" 30", 6));
    j = edited("\"top\": 30,", "\"top\": 30");
    row("missing comma", j, "',' or '}' expected", at(j, "\"top\": 30", 10));
    j = edited("\"kind\": \"frame\"", "'kind': \"frame\"");
    row("single quotes", j, "a key in double quotes expected", at(j, "'kind'"));
    j = edited("\"top\": 30", "\"top\": tru");
    row("misspelt word", j, "unknown word", at(j, "tru"));
    j = base + "x";
    row("text after the document", j, "unexpected text after the end", base.size());
    j = base + QByteArray(1, '\0');
    row("NUL after the document", j, "NUL byte after the end", base.size());
    j = edited("\"top\": 30", QByteArray("\"top\": \0", 8));
    row("NUL instead of a value", j, "NUL byte where a value", at(j, QByteArray("\"top\": \0", 8), 7));
    j = edited("\"text\": \"x\"", "\"z\": " + QByteArray(62, '[') + QByteArray(62, ']'));
    row("62 nested lists in a control", j, "nested deeper than 64 levels", at(j, "[[") + 61);
    j = edited("\"x\"}\n ]", "\"x\"}" + QByteArrayView(", {}").toByteArray().repeated(4095) + "\n ]");
    row("4097 controls", j, "more than 4096 controls", at(j, "{}") + 4094 * 4);
    j = edited("\"top\": 30", "\"top\": 30, \"top\": 31");
    row("key given twice", j, "'top' is given twice", at(j, "\"top\": 31"));

    // Strings.
    const auto text = [](const QByteArray &inner) { return edited("\"text\": \"x\"", "\"text\": \"a" + inner + "\""); };
    row("unknown escape", j = text("\\q"), "unknown escape", at(j, "\\q"));
    row("short \\u", j = text("\\u12"), "four hex digits", at(j, "\\u"));
    row("\\u with a letter beyond F", j = text("\\u12G4"), "four hex digits", at(j, "\\u"));
    row("high surrogate alone", j = text("\\ud83d"), "high surrogate without a low one", at(j, "\\u"));
    row("high surrogate before a letter", j = text("\\ud83d\\u0041"), "high surrogate without a low one", at(j, "\\u"));
    row("low surrogate alone", j = text("\\ude00"), "low surrogate without a high one", at(j, "\\u"));
    row("raw tab", j = text("\tb"), "control character", at(j, "\t"));
    row("raw NUL", j = text(QByteArray("\0b", 2)), "NUL byte in a string", at(j, QByteArray("\0", 1)));
    row("UTF-8 overlong", j = text("\xC0\x80"), "invalid UTF-8", at(j, "\xC0"));
    row("UTF-8 surrogate", j = text("\xED\xA0\x80"), "invalid UTF-8", at(j, "\xED"));
    row("UTF-8 sequence cut", j = text("\xC3"), "invalid UTF-8", at(j, "\xC3"));
    row("UTF-8 stray continuation", j = text("\x80"), "invalid UTF-8", at(j, "\x80"));
    row("UTF-8 above U+10FFFF", j = text("\xF4\x90\x80\x80"), "invalid UTF-8", at(j, "\xF4"));
    row("UTF-8 outside a string", j = edited("\"top\": 30", "\"top\": \xC3\xA9"), "unexpected character", at(j, "\xC3"));

    // Numbers.
    const auto top = [](const QByteArray &number) { return edited("\"top\": 30", "\"top\": " + number); };
    row("leading zero", j = top("030"), "leading zero", at(j, "030"));
    row("minus alone", j = top("-"), "invalid number", at(j, "-"));
    row("point without digits", j = top("3."), "digits expected after '.'", at(j, "3."));
    row("exponent without digits", j = top("3e+"), "digits expected in the exponent", at(j, "3e"));
    row("plus sign", j = top("+3"), "unexpected character", at(j, "+3"));
    row("too large for a double", j = top("1e400"), "number out of range", at(j, "1e400"));
    row("too small for a double", j = top("1e-400"), "number out of range", at(j, "1e-400"));
    row("beyond a billion", j = top("1e10"), "'top' is not a whole number", at(j, "1e10"));
    row("twenty digits", j = top("12345678901234567890"), "'top' is not a whole number", at(j, "1234"));
    row("negative size", j = edited("\"width\": 45", "\"width\": -45"), "negative size", at(j, "-45"));

    // The layout's own rules, with the place named.
    j = edited(", \"height\": 60", "");
    row("missing key names its object", j, "control 1 (T): 'height' is missing", at(j, "{\"name\": \"T\""));
    j = edited("\"size\": 8.25}", "\"size\": 8.25, \"bold\": \"yes\"}");
    row("bold not true or false", j, "'font': 'bold' is not true or false", at(j, "\"yes\""));
    j = edited("\"height\": 60", "\"height\": 60, \"backColor\": \"0x 12\"");
    row("colour with a space", j, "'backColor' is not a colour", at(j, "\"0x 12\""));
    row("colour with 0x twice", edited("\"height\": 60", "\"height\": 60, \"foreColor\": \"0x0x12\""), "'foreColor' is not a colour", -1);
    row("colour of nine digits", edited("\"height\": 60", "\"height\": 60, \"backColor\": \"0x123456789\""), "'backColor' is not a colour", -1);
    j = edited("\"kind\": \"textbox\"", "\"kind\": \"image\", \"picture\": \"a\\u0000b\"");
    row("file name with a NUL", j, "plain name", at(j, "\"a\\u"));
    j = edited("{\"name\": \"F\"", "5, {\"name\": \"F\"");
    row("control not an object", j, "control 0: not an object", at(j, "5, {"));
    j = edited("\"name\": \"T\"", "\"name\": \"\\u0046\"");
    row("escaped name used twice", j, "used twice", at(j, "\"\\u0046\""));
}

void tst_formdata::layouts()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    QFETCH(qsizetype, offset);
    const forms::FormParseResult result = forms::parseForm(json, QStringLiteral("w.json"));
    if (message.isEmpty()) {
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QString diff = formdata_oracle::differences(json, *result.form);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        return;
    }
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(QLatin1String("w.json: ")) && result.error.contains(message), qPrintable(result.error));
    if (offset >= 0)
        QVERIFY2(result.error.contains(position(json, offset)), qPrintable(result.error + QStringLiteral(" / expected ") + position(json, offset)));
}

// One hand-written expectation for decoding, beside the comparison with Qt.
void tst_formdata::escapedText()
{
    const QByteArray json = edited("\"text\": \"x\"", "\"text\": \"\\u00c7a\\r\\n\\ud83d\\ude00\\\"\xC3\xA3\"");
    const forms::FormParseResult result = forms::parseForm(json, QStringLiteral("w.json"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const char16_t expected[] = {0x00C7, u'a', u'\r', u'\n', 0xD83D, 0xDE00, u'"', 0x00E3};
    QCOMPARE(result.form->controls.at(1).text, QString::fromUtf16(expected, std::size(expected)));
}

// Copies of the stored layouts with random bytes changed, removed or added:
// nothing crashes, every fault names the file, whatever reads also reads
// through Qt to the same values, and what Qt cannot read is refused.
void tst_formdata::damagedCopies()
{
    static const char significant[] = "{}[],:\"\\ 0123456789-+.eEtfnu\x80\xC3\xED\xF4";
    QRandomGenerator random(20261207);
    int accepted = 0, refused = 0;
    for (const QString &path : storedLayouts()) {
        const QByteArray original = fileBytes(path);
        QVERIFY(!original.isEmpty());
        for (int round = 0; round < 400; ++round) {
            QByteArray json = original;
            const int edits = 1 + random.bounded(3);
            for (int e = 0; e < edits && !json.isEmpty(); ++e) {
                const qsizetype where = random.bounded(json.size());
                const char c = significant[random.bounded(int(sizeof significant) - 1)];
                switch (random.bounded(4)) {
                case 0: json[where] = c; break;
                case 1: json.remove(where, 1 + random.bounded(4)); break;
                case 2: json.insert(where, c); break;
                default: json.truncate(where); break;
                }
            }
            const forms::FormParseResult result = forms::parseForm(json, QStringLiteral("copy.json"));
            QJsonParseError qtError;
            QJsonDocument::fromJson(json, &qtError);
            if (result.ok()) {
                ++accepted;
                QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
                const QString diff = formdata_oracle::differences(json, *result.form);
                QVERIFY2(diff.isEmpty(), qPrintable(diff + QStringLiteral("\n") + QString::fromUtf8(json)));
            } else {
                ++refused;
                QVERIFY2(result.error.startsWith(QLatin1String("copy.json: ")), qPrintable(result.error));
            }
            if (qtError.error != QJsonParseError::NoError)
                QVERIFY2(!result.ok(), qPrintable(QString::fromUtf8(json)));
        }
    }
    // The damage must sometimes leave a readable layout, or the comparison
    // above would never run.
    QVERIFY(accepted > 20);
    QVERIFY(refused > 20);
}

QTEST_MAIN(tst_formdata)
#include "tst_formdata.moc"
