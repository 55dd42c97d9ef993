// The system's reasons in our messages: real failures of files and sockets
// come out in Portuguese, whatever the locale and the toolkit's language.

#include <texts/SystemReason.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

class tst_SystemReason : public QObject
{
    Q_OBJECT

private slots:
    void fileFailures_data();
    void fileFailures();
    void addressInUse();
};

void tst_SystemReason::fileFailures_data()
{
    QTest::addColumn<QString>("path"); // relative to a fresh folder
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such folder") << "falta/arquivo.txt" << int(QIODevice::ReadOnly) << "Arquivo ou pasta inexistente";
    QTest::newRow("disk full") << "/dev/full" << int(QIODevice::WriteOnly) << "Disco cheio";
}

void tst_SystemReason::fileFailures()
{
    QFETCH(QString, path);
    QFETCH(int, mode);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QFile file(QDir(dir.path()).filePath(path));
    bool ok = file.open(QIODevice::OpenMode(mode));
    if (ok) // opened: the failure comes with writing
        ok = file.write(QByteArray(8192, 'x')) == 8192 && file.flush();
    QVERIFY(!ok);
    QCOMPARE(texts::fileReason(file), reason);
}

void tst_SystemReason::addressInUse()
{
    QUdpSocket first, second;
    QVERIFY(first.bind(QHostAddress(QStringLiteral("127.0.15.1")), 0, QAbstractSocket::DontShareAddress));
    QVERIFY(!second.bind(QHostAddress(QStringLiteral("127.0.15.1")), first.localPort(),
                         QAbstractSocket::DontShareAddress));
    QCOMPARE(texts::socketReason(second), QStringLiteral("Endereço já em uso"));
}

QTEST_GUILESS_MAIN(tst_SystemReason)
#include "tst_systemreason.moc"
