// Start-up: command line, remembered back end, help and the data folder.

#include "Startup.h"

#include <forms/FormLoader.h>

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Settings = QMap<QString, QString>;

class tst_startup : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void remembered();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void formsFolderOrder();
};

void tst_startup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("error");

    QTest::newRow("nothing") << QStringList{} << "sim" << Settings{} << false << "";
    QTest::newRow("sim options") << QStringList{"--station", "sim", "--sim-password", "abc 1", "--sim-seed=7"} << "sim"
                                 << Settings{{"sim-password", "abc 1"}, {"sim-seed", "7"}} << false << "";
    QTest::newRow("another kind passes its options through")
        << QStringList{"--station=echolink", "--echolink-bind", "127.0.0.2", "--echolink-conference=*ZZ0CNF*"} << "echolink"
        << Settings{{"echolink-bind", "127.0.0.2"}, {"echolink-conference", "*ZZ0CNF*"}} << false << "";
    QTest::newRow("empty value") << QStringList{"--sim-password="} << "sim" << Settings{{"sim-password", ""}} << false << "";
    QTest::newRow("help") << QStringList{"--help"} << "sim" << Settings{} << true << "";
    QTest::newRow("value missing") << QStringList{"--sim-seed"} << "sim" << Settings{} << false << "falta o valor de --sim-seed";
    QTest::newRow("positional") << QStringList{"radiosala.txt"} << "sim" << Settings{} << false << "argumento inesperado";
    QTest::newRow("empty station") << QStringList{"--station="} << "sim" << Settings{} << false << "--station";
}

void tst_startup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, kind);
    QFETCH(Settings, settings);
    QFETCH(bool, help);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QSettings stored(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    const startup::CommandLine line = startup::parseCommandLine(arguments, stored);
    QCOMPARE(line.help, help);
    if (!error.isEmpty()) {
        QVERIFY2(line.error.contains(error), qPrintable(line.error));
        return;
    }
    QCOMPARE(line.error, QString());
    QCOMPARE(line.backend.kind, kind);
    QCOMPARE(line.backend.settings, settings);
}

// The station kind and the journal switch are remembered; given again, the
// command line wins.
void tst_startup::remembered()
{
    QTemporaryDir dir;
    QSettings stored(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    QVERIFY(startup::parseCommandLine({}, stored).journal); // on by default
    startup::rememberStation(stored, QStringLiteral("echolink"));
    startup::CommandLine line = startup::parseCommandLine({"--no-journal", "--sim-seed", "3"}, stored);
    QCOMPARE(line.backend.kind, QStringLiteral("echolink"));
    QVERIFY(!line.stationGiven);
    QVERIFY(!line.journal && line.journalGiven);
    QCOMPARE(line.backend.settings, (Settings{{"sim-seed", "3"}})); // a switch takes no value
    startup::rememberJournal(stored, line.journal);

    line = startup::parseCommandLine({QStringLiteral("--station"), QStringLiteral("sim")}, stored);
    QCOMPARE(line.backend.kind, QStringLiteral("sim"));
    QVERIFY(line.stationGiven);
    QVERIFY(!line.journal);
    QVERIFY(startup::parseCommandLine({"--journal"}, stored).journal);
}

void tst_startup::answersWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // how stdout, or stderr on an error, begins

    QTest::newRow("help") << QStringList{"--help"} << 0 << "Uso: radiosala";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "radiosala " RADIOSALA_VERSION "\n";
    QTest::newRow("unknown station") << QStringList{"--station", "nenhuma"} << 2
                                     << "radiosala: tipo de estação desconhecido: \"nenhuma\"";
}

// The program itself with no display to open a window on.
void tst_startup::answersWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(RADIOSALA_TEST_PROGRAM), arguments);
    QVERIFY(program.waitForFinished());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable(err));
    QCOMPARE(program.exitCode(), status);
    const QString text = status == 0 ? QString::fromUtf8(program.readAllStandardOutput()) : err;
    QVERIFY2(text.startsWith(output), qPrintable(text));
}

void tst_startup::formsFolderOrder()
{
    QTemporaryDir first, second;
    const QString stored = QStringLiteral(RADIOSALA_TEST_FORMS_DIR);
    // A folder without the layout is passed over; the first one with it wins.
    QCOMPARE(forms::findFormDirectory(QStringLiteral("radiosala"), {first.path(), stored, second.path()}),
             QDir(stored + QStringLiteral("/radiosala")).absolutePath());
    QVERIFY(QDir(second.path()).mkpath(QStringLiteral("radiosala")));
    QFile copy(second.filePath(QStringLiteral("radiosala/radiosala.json")));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.close();
    QCOMPARE(forms::findFormDirectory(QStringLiteral("radiosala"), {first.path(), second.path(), stored}),
             QDir(second.filePath(QStringLiteral("radiosala"))).absolutePath());
    QCOMPARE(forms::findFormDirectory(QStringLiteral("radiosala"), {first.path()}), QString());
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
