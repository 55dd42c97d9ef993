#include "FakeDirectory.h"

#include <echolink/native/DirectoryClient.h>
#include <echolink/native/DirectoryProtocol.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

using namespace echolink::native;
using directory::Result;

Q_DECLARE_METATYPE(directory::Result)

namespace {

QByteArray fieldOf(const QByteArray &request, const QByteArray &name)
{
    for (const QByteArray &line : request.split('\n')) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    }
    return {};
}

const QByteArray kChallenge = "LOGIN-RESULT\nresult: challenge\nchallenge: abc123\n";
// hex(MD5("SECRET" + "abc123")), computed outside this code.
const QByteArray kHashOfSecret = "99058a011029b3193173df3eb3015f24";

DirectorySettings settingsFor(quint16 port)
{
    DirectorySettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.request.callsign = "ZZ9XQ";
    s.request.clientVersion = "Radiosala 0.1";
    s.request.location = "Lisboa";
    s.request.swTag = "Radiosala";
    s.password = "secret";
    s.stepTimeoutMs = 5000;
    return s;
}

} // namespace

class tst_NativeDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<directory::Result>(); }
    void requestFormat();
    void parsesReplies_data();
    void parsesReplies();
    void loginResults_data();
    void loginResults();
    void serverAbsentOrSilent();
};

void tst_NativeDirectory::requestFormat()
{
    directory::LoginRequest r;
    r.callsign = "ZZ9XQ";
    r.clientVersion = "Radiosala 0.1";
    r.location = "A location much longer than thirty characters";
    r.localTime = "23:05";
    r.swTag = "Radiosala\nstatus: BUSY"; // cannot add a line of its own
    QCOMPARE(directory::buildLoginRequest(r),
             QByteArray("-LOGIN\ncallsign: ZZ9XQ\nstatus: ONLINE\nrtp-port: 5198\nrtcp-port: 5199\n"
                        "client-version: Radiosala 0.1\nlocation: A location much longer than th\n"
                        "local-time: 23:05\nsw-tag: Radiosala?status: BUSY\n\n"));
}

void tst_NativeDirectory::parsesReplies_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Result>("result");
    QTest::addColumn<QByteArray>("challenge");

    QTest::newRow("challenge") << kChallenge << true << Result::Challenge << QByteArray("abc123");
    QTest::newRow("success, CRLF") << QByteArray("LOGIN-RESULT\r\nresult: success\r\n") << true << Result::Success << QByteArray();
    // The other result words are read in loginResults, through the client.
    QTest::newRow("unknown word") << QByteArray("LOGIN-RESULT\nresult: maybe\n") << true << Result::Unknown << QByteArray();

    const auto refused = [](const char *name, const QByteArray &answer) {
        QTest::newRow(name) << answer << false << Result::Unknown << QByteArray();
    };
    refused("old-style OK", "OK 2.6\n");
    refused("empty", QByteArray());
    refused("no result", "LOGIN-RESULT\nchallenge: x\n");
    refused("challenge without value", "LOGIN-RESULT\nresult: challenge\n");
    refused("line without colon", "LOGIN-RESULT\nresult success\n");
    refused("huge challenge", "LOGIN-RESULT\nresult: challenge\nchallenge: " + QByteArray(5000, 'x'));
}

void tst_NativeDirectory::parsesReplies()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, valid);
    QFETCH(Result, result);
    QFETCH(QByteArray, challenge);
    QString error;
    const auto reply = directory::parseLoginReply(answer, &error);
    QCOMPARE(reply.has_value(), valid);
    if (reply) {
        QCOMPARE(reply->result, result);
        QCOMPARE(reply->challenge, challenge);
    } else {
        QVERIFY(!error.isEmpty());
    }
}

void tst_NativeDirectory::loginResults_data()
{
    QTest::addColumn<QByteArray>("secondAnswer");
    QTest::addColumn<Result>("result");

    QTest::newRow("success") << QByteArray("LOGIN-RESULT\nresult: success\n") << Result::Success;
    QTest::newRow("bad-password") << QByteArray("LOGIN-RESULT\nresult: bad-password\n") << Result::BadPassword;
    QTest::newRow("barred") << QByteArray("LOGIN-RESULT\nresult: barred\n") << Result::Barred;
    QTest::newRow("not-validated") << QByteArray("LOGIN-RESULT\nresult: not-validated\n") << Result::NotValidated;
    QTest::newRow("bad-data") << QByteArray("LOGIN-RESULT\nresult: bad-data\n") << Result::BadData;
    QTest::newRow("closed without answer") << QByteArray() << Result::Unknown;
    QTest::newRow("challenge again") << kChallenge << Result::Unknown;
}

void tst_NativeDirectory::loginResults()
{
    QFETCH(QByteArray, secondAnswer);
    QFETCH(Result, result);
    FakeDirectory server({kChallenge, secondAnswer});
    DirectoryClient client(settingsFor(server.port()));
    QSignalSpy finished(&client, &DirectoryClient::loginFinished);
    client.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().at(0).value<Result>(), result);
    QVERIFY(!finished.first().at(1).toString().isEmpty());
    client.stop();

    const QList<QByteArray> requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(fieldOf(requests[0], "callsign"), QByteArray("ZZ9XQ"));
    QCOMPARE(fieldOf(requests[0], "status"), QByteArray("ONLINE"));
    QCOMPARE(fieldOf(requests[0], "hashed-password"), QByteArray());
    QCOMPARE(fieldOf(requests[1], "hashed-password"), kHashOfSecret);
    for (const QByteArray &request : requests)
        QVERIFY(!request.contains("secret") && !request.contains("SECRET"));
}

void tst_NativeDirectory::serverAbsentOrSilent()
{
    quint16 port = 0;
    {
        QTcpServer probe; // a port that nobody listens on once probe is gone
        QVERIFY(probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        port = probe.serverPort();
    }
    DirectoryClient client(settingsFor(port));
    QSignalSpy finished(&client, &DirectoryClient::loginFinished);
    client.login();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().at(0).value<Result>(), Result::Unknown);
    QVERIFY(finished.first().at(1).toString().contains(QStringLiteral("inacessível")));

    // Leaving the program while the server has not answered yet.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    DirectoryClient waiting(settingsFor(silent.serverPort()));
    waiting.login();
    QTRY_VERIFY(silent.hasPendingConnections());
    QTRY_COMPARE(waiting.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
    waiting.stop();
    QVERIFY(!waiting.isBusy());
}

QTEST_GUILESS_MAIN(tst_NativeDirectory)
#include "tst_nativedirectory.moc"
