#include <echolink/Backends.h>
#include <echolink/SimulatedAutomation.h>
#include <echolink/testsupport/RecordingAutomation.h>

#include <QSignalSpy>
#include <QTest>

using namespace echolink;
using testsupport::RecordingAutomation;

class tst_Backends : public QObject
{
    Q_OBJECT

private slots:
    void variantBooleans();
    void simIsTheDefaultKind();
    void createFailures_data();
    void createFailures();
    void registeredKindIsCreated();
    void recordingFailsChosenOperations();
};

void tst_Backends::variantBooleans()
{
    QCOMPARE(toVariantBool(true), VariantBool(-1));
    QCOMPARE(toVariantBool(false), VariantBool(0));
    QVERIFY(fromVariantBool(1));   // any non-zero value is true
    QVERIFY(fromVariantBool(-1));
    QVERIFY(!fromVariantBool(0));
}

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

void tst_Backends::recordingFailsChosenOperations()
{
    RecordingAutomation fake;
    QSignalSpy chat(&fake, &Automation::ChatTextReceived);
    fake.setFailure(RecordingAutomation::Operation::SendChatText, status::Disconnected, QStringLiteral("caiu"), 1);
    try {
        fake.SendChatText(QStringLiteral(".users"));
        QFAIL("no error");
    } catch (const AutomationError &error) {
        QCOMPARE(error.status(), status::Disconnected);
        QCOMPARE(error.description(), QStringLiteral("caiu"));
    }
    fake.SendChatText(QStringLiteral(".uptime")); // the one failure is used up
    fake.setFailure(RecordingAutomation::Operation::PTT);
    QVERIFY_THROWS_EXCEPTION(AutomationError, fake.PTT(true));
    QVERIFY_THROWS_EXCEPTION(AutomationError, fake.PTT(false));
    fake.clearFailure(RecordingAutomation::Operation::PTT);
    fake.PTT(true);
    fake.setReceiving(true);
    QVERIFY(fake.IsReceiving());

    using Call = RecordingAutomation::Call;
    using Op = RecordingAutomation::Operation;
    const QList<Call> expected{
        {Op::SendChatText, QStringLiteral(".users"), false, true},
        {Op::SendChatText, QStringLiteral(".uptime"), false, false},
        {Op::PTT, {}, true, true},
        {Op::PTT, {}, false, true},
        {Op::PTT, {}, true, false},
        {Op::IsReceiving, {}, true, false},
    };
    QCOMPARE(fake.calls(), expected);
    QCOMPARE(fake.sentTexts(), QStringList{QStringLiteral(".uptime")});

    fake.emitChatText(QStringLiteral("a"));
    QCOMPARE(chat.size(), 1);
}

QTEST_GUILESS_MAIN(tst_Backends)
#include "tst_backends.moc"
