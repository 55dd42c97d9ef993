#include <echolink/Backends.h>

#include <QTest>

using namespace echolink;

class tst_Backends : public QObject
{
    Q_OBJECT

private slots:
    void create_data();
    void create();
};

void tst_Backends::create_data()
{
    QTest::addColumn<QString>("kind"); // empty: the default
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<qint32>("status"); // 0: created
    QTest::addColumn<QString>("named"); // the station's callsign, or a part of the error

    QTest::newRow("sim by default") << "" << "sim-callsign" << "zz2xy" << 0 << "ZZ2XY";
    QTest::newRow("unknown kind, the known in order") << "radio" << "" << "" << status::ClassNotRegistered
                                                        << "\"radio\" (disponíveis: nothing, sim)";
    QTest::newRow("factory that gives nothing") << "nothing" << "" << "" << status::ServerUnavailable << "nothing";
    QTest::newRow("seed not a number") << "sim" << "sim-seed" << "12a" << status::InvalidArgument << "12a";
    QTest::newRow("negative seed") << "sim" << "sim-seed" << "-3" << status::InvalidArgument << "-3";
    QTest::newRow("callsign with blank") << "sim" << "sim-callsign" << "ZZ1 AB" << status::InvalidArgument << "ZZ1 AB";
    QTest::newRow("mistyped option") << "sim" << "sim-pasword" << "x" << status::InvalidArgument << "--sim-pasword";
    QTest::newRow("empty callsign") << "sim" << "sim-callsign" << "" << status::InvalidArgument << "Indicativo";
}

void tst_Backends::create()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(qint32, status);
    QFETCH(QString, named);

    BackendOptions options;
    if (!kind.isEmpty())
        options.kind = kind;
    if (!key.isEmpty())
        options.settings.insert(key, value);
    const StationKinds kinds{simulatedStationKind(),
                             {QStringLiteral("nothing"), [](const BackendOptions &) { return std::unique_ptr<Automation>(); }}};
    try {
        const std::unique_ptr<Automation> automation = createAutomation(kinds, options);
        QCOMPARE(status, 0);
        QCOMPARE(automation->StationInfo().Callsign, named);
    } catch (const AutomationError &error) {
        QCOMPARE(error.status(), status);
        QVERIFY2(error.description().contains(named), qPrintable(error.description()));
        QCOMPARE(QString::fromUtf8(error.what()), error.description());
    }
}

QTEST_GUILESS_MAIN(tst_Backends)
#include "tst_backends.moc"
