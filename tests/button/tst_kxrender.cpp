// kxrender end to end: argument errors, the PNG's alpha by window region,
// the JSON it prints, and a bag written by one run read by the next.

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run kxrender(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KXRENDER_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QJsonObject json(const Run &r)
{
    return QJsonDocument::fromJson(r.out).object();
}

} // namespace

class tst_KxRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void invalidArgumentsFail_data();
    void invalidArgumentsFail();
    void jsonReportsLayoutColoursAndMessages();
    void writtenBagReadsBack();

private:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    QTemporaryDir m_dir;
};

void tst_KxRender::invalidArgumentsFail_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("no --out") << QStringList{"--set", "Caption=x"} << QStringLiteral("--out");
    QTest::newRow("unknown member") << QStringList{"--set", "Colour=1", "--out", "x.png"} << QStringLiteral("Colour");
    QTest::newRow("bad number") << QStringList{"--set", "Mode=two", "--out", "x.png"} << QStringLiteral("two");
    QTest::newRow("bad state") << QStringList{"--state", "hover,fuzzy", "--out", "x.png"} << QStringLiteral("fuzzy");
    QTest::newRow("missing bag") << QStringList{"--bag", "/nonexistent/b.bag", "--out", "x.png"}
                                 << QStringLiteral("/nonexistent/b.bag");
    QTest::newRow("pointer the host refuses") << QStringList{"--set", "MousePointer=50", "--out", "x.png"}
                                              << QStringLiteral("380");
    QTest::newRow("bad font") << QStringList{"--font", "Arial", "--out", "x.png"} << QStringLiteral("Arial");
}

void tst_KxRender::invalidArgumentsFail()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mentions);
    const Run r = kxrender(args);
    QVERIFY(r.exitCode > 0);
    QVERIFY2(QString::fromUtf8(r.err).contains(mentions), r.err.constData());
}

void tst_KxRender::jsonReportsLayoutColoursAndMessages()
{
    const Run r = kxrender({"--design", "--container-back", "0x00FFFFFF", "--set", "BackColor=0xC8C8C8",
                            "--set", "ButtonShape=4", "--set", "Value=True", "--set", "Caption=&Sair", "--state",
                            "hover", "--size", "40x20", "--out", path("j.png"), "--json"});
    QCOMPARE(r.exitCode, 0);
    // The PNG's alpha follows the window region.
    const QImage img(path("j.png"));
    QCOMPARE(img.size(), QSize(40, 20));
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0); // outside the ellipse
    QCOMPARE(qAlpha(img.pixel(20, 10)), 255);
    QCOMPARE(qAlpha(img.pixel(0, 10)), 255); // the ellipse's left end
    const QJsonObject o = json(r);
    QCOMPARE(o["face_left"].toInt(), 0);
    QCOMPARE(o["face_right"].toInt(), 40);
    QCOMPARE(o["face_colour"].toString(), QStringLiteral("0xFAF8F8"));
    const QJsonObject m = o["members"].toObject();
    QCOMPARE(m["Value"].toBool(), false);
    QCOMPARE(m["BackColor"].toString(), QStringLiteral("0x00C8C8C8"));
    QCOMPARE(m.size(), 24);
    QCOMPARE(o["messages"].toArray(),
             (QJsonArray{"This property is not applicable for command button modes."}));
    QCOMPARE(o["reported"].toArray().last().toString(), QStringLiteral("Caption"));
    QCOMPARE(o["image_rect"].toArray(), (QJsonArray{6, 6, 0, 0}));
}

void tst_KxRender::writtenBagReadsBack()
{
    const QString bagFile = path("b.bag");
    const Run first = kxrender({"--set", "Mode=2", "--set", "Value=True", "--set", "Caption=Mute||chat",
                                "--set", "GradientMode=3", "--set", "GradientColor=0x8000000D", "--font",
                                "Arial,12,italic", "--out", path("a.png"), "--write-bag", bagFile, "--json"});
    QCOMPARE(first.exitCode, 0);
    const Run second = kxrender({"--bag", bagFile, "--out", path("b.png"), "--json"});
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(json(second)["members"].toObject(), json(first)["members"].toObject());
    QCOMPARE(QImage(path("b.png")), QImage(path("a.png")));
}

QTEST_MAIN(tst_KxRender)
#include "tst_kxrender.moc"
