#include <bag/BagListing.h>
#include <bag/BagStream.h>

#include <QTest>

#include <map>

using namespace bag;

namespace {

const QByteArray Icon32 = QByteArray::fromHex("000001000100202000000100200028000000160000000000");
const QByteArray Bitmap16x8 = QByteArray::fromHex("424d000000000000000036000000280000001000000008000000010018");

PictureLoader loaderFor(std::map<QString, QByteArray> files)
{
    return [files](const QString &path, QString *error) -> std::optional<QByteArray> {
        const auto it = files.find(path);
        if (it == files.end()) {
            *error = QStringLiteral("no such file");
            return std::nullopt;
        }
        return it->second;
    };
}

// Every type, every font option, text needing each escape.
const char FullListing[] =
    "caption      text        \"Sess\xc3\xa3o \\\"1\\\"\\t\\\\ \\u0007\\uD800 \xf0\x9f\x93\xbb\"\n"
    "capalign     int32       0\n"
    "cgradient    int32       0x8000000F\n"
    "negative     int32       -65535\n"
    "beyond       int32       0xFFFE0001\n"
    "imgsize      int16       -32768\n"
    "focus        bool        False\n"
    "enabled      bool        True\n"
    "font         font        \"Times New Roman\" 9pt weight 700 charset 0 bold\n"
    "font2        font(13)    \"\\\"Odd\\\" \xe2\x82\xac\" 8.25pt weight 400 charset 238 version 2 italic underline "
    "strikethrough other 0xF0\n"
    "image        picture     icon 32x32 \"image.ico\"\n"
    "micon        picture(13) bitmap 16x8 \"micon.bmp\"\n"
    "none         picture     empty\n"
    "blob         picture     unknown 6 bytes \"blob.bin\"\n"
    "\"odd key\"    text        \"\"\n";

} // namespace

class tst_BagListing : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void pictureForms();
    void errors_data();
    void errors();
};

void tst_BagListing::roundTrip()
{
    const auto loader = loaderFor({{"image.ico", Icon32}, {"micon.bmp", Bitmap16x8}, {"blob.bin", "GIF89a"}});
    const QString listing = QString::fromUtf8(FullListing);
    const ListingResult parsed = parseListing(listing, loader);
    QVERIFY2(parsed.ok(), qPrintable(parsed.error ? parsed.error->toString() : QString()));
    QCOMPARE(parsed.bag.size(), 15);

    const PropertyBag &b = parsed.bag;
    QCOMPARE(b.readText("caption", {}), QStringLiteral("Sess\u00e3o \"1\"\t\\ \u0007") + QChar(0xD800)
                                             + QStringLiteral(" \U0001F4FB"));
    QCOMPARE(b.readInt32("cgradient", 0), int(0x8000000F));
    const FontValue f2 = b.readFont("font2", {});
    QCOMPARE(f2.name, QStringLiteral("\"Odd\" \u20ac"));
    QCOMPARE(f2.size, 82500u);
    QCOMPARE(f2.attributes, quint8(0xFE));
    QCOMPARE(b.readPicture("image").data(), Icon32);

    // Through a stream and back to text: the same listing, line for line.
    const ReadResult r = readStream(writeStream(b).bytes);
    QVERIFY(r.ok());
    QString printed;
    for (const auto &e : r.entries)
        printed += formatListingLine(e.key, e.value) + QLatin1Char('\n');
    QCOMPARE(printed, listing);

    // Saved by an editor: a byte-order mark and CR LF line ends change nothing.
    QString edited = QChar(0xFEFF) + listing;
    edited.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const ListingResult reparsed = parseListing(edited, loader);
    QVERIFY(reparsed.ok());
    QCOMPARE(reparsed.bag, b);
}

void tst_BagListing::pictureForms()
{
    // Path only; kind and size are taken from the file.
    const auto loader = loaderFor({{"pics/a.ico", Icon32}});
    const ListingResult r = parseListing(QStringLiteral("img picture \"pics/a.ico\""), loader);
    QVERIFY(r.ok());
    QCOMPARE(formatListingValue("img", *r.bag.value("img")), QStringLiteral("icon 32x32 \"img.ico\""));
    QCOMPARE(pictureFileName(QStringLiteral("a/b c"), PictureValue(Bitmap16x8)), QStringLiteral("a_b_c.bmp"));
    QCOMPARE(formatListingValue("x", Value(PictureValue("GIF89a"))), QStringLiteral("unknown 6 bytes \"x.bin\""));
}

void tst_BagListing::errors_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message"); // a part of it

    QTest::newRow("missing value") << "# c\n\nkey int32" << 3 << 10 << "missing value";
    QTest::newRow("unknown type") << "key float 1.5" << 1 << 5 << "unknown type";
    QTest::newRow("int16 too big") << "k int16 32768" << 1 << 9 << "16-bit";
    QTest::newRow("int16 hex too big") << "k int16 0x10000" << 1 << 9 << "16-bit";
    QTest::newRow("int32 too big") << "k int32 2147483648" << 1 << 9 << "32-bit";
    QTest::newRow("int32 not a number") << "k int32 12a" << 1 << 9 << "32-bit";
    QTest::newRow("unquoted text") << "k text hello" << 1 << 8 << "quoted";
    QTest::newRow("unterminated text") << "k text \"abc" << 1 << 8 << "unterminated";
    QTest::newRow("bad escape") << "k text \"a\\qb\"" << 1 << 10 << "unknown escape";
    QTest::newRow("short \\u escape") << "k text \"\\u12\"" << 1 << 9 << "four hexadecimal";
    QTest::newRow("trailing word") << "k int32 1 2" << 1 << 11 << "unexpected";
    QTest::newRow("bool as number") << "k bool -1" << 1 << 8 << "True or False";
    QTest::newRow("duplicate key, other case") << "k int32 1\nK int32 2" << 2 << 1 << "twice";
    QTest::newRow("font without size") << "f font \"Arial\"" << 1 << 15 << "missing font size";
    QTest::newRow("font size too precise") << "f font \"Arial\" 9.12345pt" << 1 << 16 << "font size";
    QTest::newRow("font unknown option") << "f font \"Arial\" 9pt heavy" << 1 << 20 << "unknown font attribute";
    QTest::newRow("font other overlaps bold") << "f font \"A\" 9pt other 0x01" << 1 << 16 << "other";
    QTest::newRow("picture file missing") << "p picture \"nope.ico\"" << 1 << 11 << "cannot read";
    QTest::newRow("picture not an image") << "p picture \"x.txt\"" << 1 << 11 << "not an icon";
    QTest::newRow("picture kind mismatch") << "p picture bitmap 32x32 \"a.ico\"" << 1 << 11 << "is icon 32x32";
    QTest::newRow("picture size mismatch") << "p picture icon 16x16 \"a.ico\"" << 1 << 11 << "is icon 32x32";
    QTest::newRow("unknown picture size mismatch") << "p picture unknown 7 bytes \"x.txt\"" << 1 << 19 << "has 4";
    QTest::newRow("unknown picture is an icon") << "p picture unknown 24 bytes \"a.ico\"" << 1 << 11 << "list it as such";
    QTest::newRow("picture size malformed") << "p picture icon 32 \"a.ico\"" << 1 << 16 << "WxH";
}

void tst_BagListing::errors()
{
    QFETCH(QString, listing);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, message);

    const ListingResult r = parseListing(listing, loaderFor({{"a.ico", Icon32}, {"x.txt", "text"}}));
    QVERIFY(!r.ok());
    QVERIFY(r.bag.isEmpty());
    QVERIFY2(r.error->message.contains(message), qPrintable(r.error->toString()));
    QCOMPARE(r.error->line, line);
    QCOMPARE(r.error->column, column);
}

QTEST_GUILESS_MAIN(tst_BagListing)
#include "tst_baglisting.moc"
