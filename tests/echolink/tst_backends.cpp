#include <echolink/Backends.h>
#include <echolink/SimulatedAutomation.h>
#include <echolink/testsupport/RecordingAutomation.h>

#include <QTest>

using namespace echolink;
using testsupport::RecordingAutomation;

class tst_Backends : public QObject
{
    Q_OBJECT

private slots:
    void simIsTheDefaultKind();
    void createFailures_data();
    void createFailures();
    void registeredKindIsCreated();
};

void tst_Backends::simIsTheDefaultKind()
{
    BackendOptions options;
    options.settings.insert(QString::fromLatin1(BackendOptions::SimCallsignKey), QStringLiteral("zz2xy"));
    std::unique_ptr<Automation> automation = createAutomation({simulatedStationKind()}, options);
    QVERIFY(qobject_cast<SimulatedAutomation *>(automation.get()));
    QCOMPARE(automation->StationInfo().Callsign, QStringLiteral("ZZ2XY"));
    QVERIFY(!automation->IsReceiving());
}

void tst_Backends::createFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<qint32>("status");
    QTest::addColumn<QString>("named");

    QTest::newRow("unknown kind") << "radio" << "" << "" << status::ClassNotRegistered << "radio";
    QTest::newRow("seed not a number") << "sim" << "sim-seed" << "12a" << status::InvalidArgument << "12a";
    QTest::newRow("negative seed") << "sim" << "sim-seed" << "-3" << status::InvalidArgument << "-3";
    QTest::newRow("callsign with blank") << "sim" << "sim-callsign" << "ZZ1 AB" << status::InvalidArgument << "ZZ1 AB";
    QTest::newRow("mistyped option") << "sim" << "sim-pasword" << "x" << status::InvalidArgument << "--sim-pasword";
    QTest::newRow("empty callsign") << "sim" << "sim-callsign" << "" << status::InvalidArgument << "Indicativo";
}

void tst_Backends::createFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(qint32, status);
    QFETCH(QString, named);

    BackendOptions options;
    options.kind = kind;
    if (!key.isEmpty())
        options.settings.insert(key, value);
    try {
        createAutomation({simulatedStationKind()}, options);
        QFAIL("no error");
    } catch (const AutomationError &error) {
        QCOMPARE(error.status(), status);
        QVERIFY2(error.description().contains(named), qPrintable(error.description()));
        QCOMPARE(QString::fromUtf8(error.what()), error.description());
    }
}

void tst_Backends::registeredKindIsCreated()
{
    BackendOptions seen;
    const StationKinds kinds{
        simulatedStationKind(),
        {QStringLiteral("recording"),
         [&seen](const BackendOptions &options) {
             seen = options;
             return std::make_unique<RecordingAutomation>(options.value(QStringLiteral("call")));
         }},
        // A factory that gives nothing back is reported, not returned.
        {QStringLiteral("nothing"), [](const BackendOptions &) { return std::unique_ptr<Automation>(); }},
    };
    QCOMPARE(kindNames(kinds), QStringList({"nothing", "recording", "sim"}));
    BackendOptions options;
    options.kind = QStringLiteral("recording");
    options.settings.insert(QStringLiteral("call"), QStringLiteral("ZZ3AA"));
    std::unique_ptr<Automation> automation = createAutomation(kinds, options);
    QCOMPARE(seen.settings, options.settings);
    QCOMPARE(automation->StationInfo().Callsign, QStringLiteral("ZZ3AA"));
    options.kind = QStringLiteral("nothing");
    QVERIFY_THROWS_EXCEPTION(AutomationError, createAutomation(kinds, options));
}

QTEST_GUILESS_MAIN(tst_Backends)
#include "tst_backends.moc"
