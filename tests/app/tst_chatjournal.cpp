// The chat journal: its lines, its files, its failures, and a process killed
// while chat arrives.

#include "ChatJournal.h"
#include "radiosala.h"

#include <button/kxButtons_H.h>
#include <echolink/testsupport/RecordingAutomation.h>
#include <forms/MultiLineTextBox.h>
#include <host/msgbox.h>
#include <texts/SystemReason.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using echolink::testsupport::RecordingAutomation;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A fixed clock a test moves by hand.
struct TestClock
{
    QDateTime now{QDate(2026, 12, 6), QTime(21, 4, 17)};
    ChatJournal::Clock clock() { return [this] { return now.toSecsSinceEpoch(); }; }
};

// The main window on a fake link, copying its chat to `journal`.
struct Window
{
    RecordingAutomation echo;
    radiosala window{QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala")};
    explicit Window(ChatJournal &journal)
    {
        window.Timer1->stop();
        window.setJournal(&journal);
        window.Form_Load(echo);
    }
    void send(const QString &text)
    {
        window.Text2->setText(text);
        emit window.button(QStringLiteral("envia_texto"))->Click();
    }
};

// The child of killedWhileChatArrives: shows and sends lines until killed,
// telling its parent the number of each line once it is on the screen.
int runChild(const QString &folder)
{
    ChatJournal journal(folder);
    Window w(journal);
    w.window.show();
    for (int i = 0;; ++i) {
        if (i % 2)
            w.echo.emitChatText(QStringLiteral("ZZ9ZZ>recebida %1").arg(i));
        else
            w.send(QStringLiteral("enviada %1").arg(i));
        QApplication::processEvents();
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}

} // namespace

class tst_chatjournal : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void changeOfDay();
    void unwritableFolder();
    void killedWhileChatArrives();
};

void tst_chatjournal::lines_data()
{
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("received") << false << "Kicked ZZ1AB" << QByteArray("21:04:17 < Kicked ZZ1AB\n");
    QTest::newRow("sent") << true << ".kick ZZ1AB" << QByteArray("21:04:17 > .kick ZZ1AB\n");
    QTest::newRow("accents in UTF-8") << false << "ZZ9ZZ>Reunião às 9h" << QByteArray("21:04:17 < ZZ9ZZ>Reuni\xc3\xa3o \xc3\xa0s 9h\n");
    QTest::newRow("empty line") << true << "" << QByteArray("21:04:17 > \n");
    QTest::newRow("a line per line of the text")
        << false << "um\r\ndois\rtrês\nquatro\r\n" << QByteArray("21:04:17 < um\n21:04:17 < dois\n21:04:17 < tr\xc3\xaas\n21:04:17 < quatro\n21:04:17 < \n");
    QTest::newRow("password") << true << ".admin s3nh@ secreta" << QByteArray("21:04:17 > .admin ********\n");
    QTest::newRow("password, any case, quoted") << true << ".quote .ADMIN\tx;.users" << QByteArray("21:04:17 > .quote .admin ********\n");
    QTest::newRow("not a password") << true << ".admins" << QByteArray("21:04:17 > .admins\n");
}

void tst_chatjournal::lines()
{
    QFETCH(bool, sent);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    TestClock clock;
    const QString folder = dir.filePath(QStringLiteral("dados/radiosala/chat")); // made as needed
    {
        ChatJournal journal(folder, clock.clock());
        sent ? journal.sent(text) : journal.received(text);
        QCOMPARE(readFile(journal.fileFor(clock.now.date())), expected);
    }
    QCOMPARE(readFile(folder + QStringLiteral("/2026-12-06.txt")), expected);
}

void tst_chatjournal::changeOfDay()
{
    QTemporaryDir dir;
    TestClock clock;
    clock.now = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
    ChatJournal journal(dir.path(), clock.clock());
    journal.sent(QStringLiteral("boa noite"));
    clock.now = clock.now.addSecs(1);
    journal.received(QStringLiteral("feliz ano novo"));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("2026-12-31.txt"))), QByteArray("23:59:59 > boa noite\n"));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("2027-01-01.txt"))), QByteArray("00:00:00 < feliz ano novo\n"));
}

void tst_chatjournal::unwritableFolder()
{
    QTemporaryDir dir;
    TestClock clock;
    // A file where the folder should be stops the journal, also for root.
    const QString blocker = dir.filePath(QStringLiteral("dados"));
    const QString folder = blocker + QStringLiteral("/chat");
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    host::MsgBoxRecorder boxes;
    ChatJournal journal(folder, clock.clock());
    Window w(journal);
    w.echo.emitChatText(QStringLiteral("um"));
    w.send(QStringLiteral("dois"));
    QCOMPARE(w.window.Text1->text(), QStringLiteral("um\r\n")); // the chat goes on
    QCOMPARE(w.echo.sentTexts(), QStringList{QStringLiteral("dois")});
    QTRY_COMPARE(boxes.calls().size(), 1);
    QVERIFY2(boxes.calls().at(0).prompt.contains(QDir::toNativeSeparators(folder)), qPrintable(boxes.calls().at(0).prompt));
    QVERIFY(boxes.calls().at(0).prompt.contains(texts::systemReason(ENOTDIR)));

    // Put right, the next line writes the ones held back too.
    QVERIFY(QFile::remove(blocker));
    w.echo.emitChatText(QStringLiteral("três"));
    QCOMPARE(readFile(journal.fileFor(clock.now.date())), QByteArray("21:04:17 < um\n21:04:17 > dois\n21:04:17 < tr\xc3\xaas\n"));
    QCoreApplication::processEvents();
    QCOMPARE(boxes.calls().size(), 1);

    // Once it has worked, a new outage (a full disk) is told again.
    QTRY_VERIFY(!journal.isFailing()); // its lines synced
    clock.now = clock.now.addDays(1);
    const QString next = journal.fileFor(clock.now.date());
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), next));
    w.echo.emitChatText(QStringLiteral("quatro"));
    QTRY_COMPARE(boxes.calls().size(), 2);
    QVERIFY(QFile::remove(next));
    w.echo.emitChatText(QStringLiteral("cinco"));
    QCOMPARE(readFile(next), QByteArray("21:04:17 < quatro\n21:04:17 < cinco\n"));
}

void tst_chatjournal::killedWhileChatArrives()
{
    QTemporaryDir dir;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), dir.path()});
    QVERIFY(child.waitForStarted());
    QByteArray told;
    while (told.count('\n') < 400 && child.waitForReadyRead(30000))
        told += child.readAllStandardOutput();
    child.kill(); // SIGKILL
    QVERIFY(child.waitForFinished());
    told += child.readAllStandardOutput();
    const QList<QByteArray> numbers = told.trimmed().split('\n');
    QVERIFY2(numbers.size() >= 400, told.right(200).constData());

    QByteArray journal;
    const QStringList days = QDir(dir.path()).entryList(QDir::Files, QDir::Name); // the child may cross midnight
    for (const QString &day : days)
        journal += readFile(dir.filePath(day));
    const QList<QByteArray> lines = journal.split('\n');
    for (int i = 0; i <= numbers.last().toInt(); ++i) {
        const QByteArray expected = i % 2 ? "< ZZ9ZZ>recebida " + QByteArray::number(i) : "> enviada " + QByteArray::number(i);
        QVERIFY2(i < lines.size() && lines.at(i).mid(9) == expected, qPrintable(QStringLiteral("line %1 missing").arg(i)));
    }
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]));
    tst_chatjournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chatjournal.moc"
