// The kxbag tool as a user runs it: exit statuses, output, files written.
#include <bag/BagStream.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

const QByteArray Icon32 = QByteArray::fromHex("000001000100202000000100200028000000160000000000") + QByteArray(64, '\x11');

const char Listing[] =
    "caption      text        \"Ver lista de comandos \"\n"
    "cback        int16       192\n"
    "cgradient    int32       0x8000000F\n"
    "font         font        \"Times New Roman\" 9pt weight 700 charset 0 bold\n"
    "image        picture     icon 32x32 \"image.ico\"\n"
    "none         picture     empty\n";

} // namespace

class tst_KxBag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void makeDumpGetExtract();
    void failures_data();
    void failures();

private:
    Run kxbag(const QStringList &args, const QByteArray &input = {});
    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    void write(const char *name, const QByteArray &bytes);
    QByteArray read(const char *name);

    std::unique_ptr<QTemporaryDir> m_dir;
};

Run tst_KxBag::kxbag(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.setWorkingDirectory(m_dir->path());
    p.start(QStringLiteral(KXBAG_PATH), args);
    p.write(input);
    p.closeWriteChannel();
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void tst_KxBag::write(const char *name, const QByteArray &bytes)
{
    QFile f(path(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray tst_KxBag::read(const char *name)
{
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void tst_KxBag::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    write("listing.txt", Listing);
    write("image.ico", Icon32);
}

void tst_KxBag::makeDumpGetExtract()
{
    const Run made = kxbag({"make", "listing.txt", "-o", "bag.bin"});
    QCOMPARE(made.status, 0);
    QVERIFY(made.err.isEmpty());
    const Run dumped = kxbag({"dump", "bag.bin"});
    QCOMPARE(dumped.status, 0);
    QCOMPARE(dumped.out, QString::fromUtf8(Listing));

    // --hex: the entry lines gain their offsets, and each entry's raw bytes follow.
    const Run hex = kxbag({"dump", "--hex", "bag.bin"});
    QCOMPARE(hex.status, 0);
    QVERIFY2(hex.out.startsWith(QStringLiteral("00000000: header signature 0x0000B293 length ")), qPrintable(hex.out));
    QVERIFY(hex.out.contains(QStringLiteral("\n00000008: caption      text        \"Ver lista de comandos \"\n"
                                            "          08 00 07 00 ad 1a 15 a3 ")));

    // A listing read from stdin, relative pictures then resolve from the working directory.
    QCOMPARE(kxbag({"make", "-", "-o", "stdin.bin"}, Listing).status, 0);
    QCOMPARE(read("stdin.bin"), read("bag.bin"));

    // One value, and a picture back as its file.
    const Run got = kxbag({"get", "bag.bin", "CGradient"});
    QCOMPARE(got.status, 0);
    QCOMPARE(got.out, QStringLiteral("0x8000000F\n"));
    QCOMPARE(kxbag({"extract", "bag.bin", "Image", "-o", "out.ico"}).status, 0);
    QCOMPARE(read("out.ico"), Icon32);
}

void tst_KxBag::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // a part of stderr

    QTest::newRow("no command") << QStringList{} << 2 << "no command";
    QTest::newRow("unknown command") << QStringList{"show", "bag.bin"} << 2 << "unknown command";
    QTest::newRow("-o without a name") << QStringList{"make", "listing.txt", "-o"} << 2 << "-o needs";
    QTest::newRow("dump missing file") << QStringList{"dump", "nope.bin"} << 3 << "cannot read nope.bin";
    QTest::newRow("get absent key") << QStringList{"get", "bag.bin", "mode"} << 1 << "no key \"mode\"";
    QTest::newRow("extract a number") << QStringList{"extract", "bag.bin", "cback", "-o", "out"} << 3 << "not a picture";
    QTest::newRow("extract empty picture") << QStringList{"extract", "bag.bin", "none", "-o", "out"} << 3 << "empty picture";
    QTest::newRow("make over an existing file") << QStringList{"make", "bad.txt", "-o", "bag.bin"} << 3 << "line 2, column 10";
    QTest::newRow("dump damaged stream") << QStringList{"dump", "damaged.bin"} << 3 << "offset 4 ";
    QTest::newRow("dump skips an entry") << QStringList{"dump", "hash.bin"} << 3 << "key hash mismatch at offset 12";
    QTest::newRow("get from a damaged entry") << QStringList{"get", "hash.bin", "caption"} << 3 << "damaged entry";
}

void tst_KxBag::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);

    QCOMPARE(kxbag({"make", "listing.txt", "-o", "bag.bin"}).status, 0);
    const QByteArray good = read("bag.bin");
    QVERIFY(!good.isEmpty());
    write("bad.txt", "k int32 1\nk2 int16 99999\n");
    write("damaged.bin", good.chopped(4));
    QByteArray hash = good;
    hash[12] = char(hash[12] ^ 1);
    write("hash.bin", hash);

    const Run r = kxbag(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    // Nothing is written on failure, and an existing output stays as it was.
    QVERIFY(!QFile::exists(path("out")));
    QCOMPARE(read("bag.bin"), good);
}

QTEST_GUILESS_MAIN(tst_KxBag)
#include "tst_kxbag.moc"
