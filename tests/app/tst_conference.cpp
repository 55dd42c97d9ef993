// The main window driving the simulated conference, as a user would: each
// row types into a box (when it names one), presses a button and looks for
// the conference's answer in the chat box. Rows run in order in one session.

#include "radiosala.h"

#include <button/kxButtons_H.h>
#include <echolink/SimulatedAutomation.h>
#include <forms/MultiLineTextBox.h>
#include <forms/ShapeControl.h>

#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QTest>

using echolink::ManualClock;
using echolink::SimulatedAutomation;

class tst_conference : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replies_data();
    void replies();
    void attributesFollowMuteAndKick();
    void stationsAndReceiving();
    void cleanupTestCase();

private:
    // Lets the simulated time pass and the posted events arrive.
    void pass(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 100) {
            m_clock->advance(100);
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }

    ManualClock *m_clock = nullptr;
    std::unique_ptr<SimulatedAutomation> m_echo;
    std::unique_ptr<radiosala> m_window;
};

void tst_conference::initTestCase()
{
    SimulatedAutomation::Settings settings;
    settings.password = QStringLiteral("s3nha");
    settings.seed = 5;
    auto clock = std::make_unique<ManualClock>();
    m_clock = clock.get();
    m_echo = std::make_unique<SimulatedAutomation>(settings, std::move(clock));
    m_window = std::make_unique<radiosala>(QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala"));
    QVERIFY2(m_window->isLoaded(), qPrintable(m_window->loadError()));
    m_window->Timer1->stop();
    m_window->Form_Load(*m_echo);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Radiosala por ZZ9XQ para ") + m_echo->StationInfo().Callsign);
    pass(1000);
}

void tst_conference::replies_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("answer"); // lines that must appear, in order
    QTest::addColumn<QString>("silent");     // a line that must not appear

    QTest::newRow("busy before log-in: silence") << "" << "" << "ocupado" << QStringList{} << "The conference is busy.";
    QTest::newRow("wrong password: silence") << "Text3" << "errada" << "admin" << QStringList{} << "Your wish is my command.";
    QTest::newRow("log-in") << "Text3" << "s3nha" << "admin" << QStringList{"Your wish is my command."} << "";
    QTest::newRow("users") << "" << "" << "usuarios" << QStringList{"1. "} << "";
    QTest::newRow("version") << "" << "" << "versao" << QStringList{"thebridge V 1.09"} << "";
    QTest::newRow("uptime") << "" << "" << "servidor_ativo" << QStringList{"Uptime: "} << "";
    QTest::newRow("busy") << "" << "" << "ocupado" << QStringList{"The conference is busy."} << "";
    QTest::newRow("available") << "" << "" << "desocupado" << QStringList{"The conference is available."} << "";
    QTest::newRow("mute chat") << "" << "" << "mute_chat" << QStringList{"chat text muted."} << "";
    QTest::newRow("unmute chat") << "" << "" << "unmute_chat" << QStringList{"chat text unmuted."} << "";
    QTest::newRow("mute unknown") << "Text4" << "ZZ8QQ" << "muta" << QStringList{"No ZZ8QQ found."} << "";
    QTest::newRow("ban") << "Text6" << "ZZ8QQ" << "banir" << QStringList{"ZZ8QQ banned"} << "";
    QTest::newRow("ban list") << "" << "" << "banidos" << QStringList{"banned users:", "ZZ8QQ -"} << "";
    QTest::newRow("unban") << "Text6" << "ZZ8QQ" << "Desbanir" << QStringList{"ZZ8QQ removed from the banned list."} << "";
    QTest::newRow("empty ban list") << "" << "" << "banidos" << QStringList{"The banned list is empty."} << "";
    QTest::newRow("kick unknown") << "Text7" << "ZZ8QQ" << "derrubar" << QStringList{"ZZ8QQ not found"} << "";
    QTest::newRow("bulletins") << "" << "" << "lista" << QStringList{"Sorry, no bulletins are available at this time."} << "";
    QTest::newRow("stat") << "" << "" << "kxButtons_H1" << QStringList{"Uptime: ", "Users: "} << "";
    QTest::newRow("show ip") << "" << "" << "kxButtons_H2" << QStringList{"\t"} << "";
}

void tst_conference::replies()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QStringList, answer);
    QFETCH(QString, silent);

    m_window->Text1->setText(QString());
    if (!box.isEmpty())
        m_window->form().control<QLineEdit>(box)->setText(typed);
    emit m_window->button(button)->Click();
    pass(1500);

    const QString chat = m_window->Text1->text();
    qsizetype from = 0;
    for (const QString &line : answer) {
        const qsizetype at = chat.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("\"%1\" not in:\n%2").arg(line, chat)));
        from = at + line.size();
    }
    if (!silent.isEmpty())
        QVERIFY2(!chat.contains(silent), qPrintable(chat));
}

void tst_conference::attributesFollowMuteAndKick()
{
    auto users = [this] {
        m_window->Text1->setText(QString());
        emit m_window->button(QStringLiteral("usuarios"))->Click();
        pass(1500);
        return m_window->Text1->text();
    };
    auto press = [this](const char *name, const QString &call) {
        m_window->Text1->setText(QString());
        m_window->Text4->setText(call);
        m_window->Text7->setText(call);
        emit m_window->button(QString::fromLatin1(name))->Click();
        pass(1500);
        return m_window->Text1->text();
    };
    // Another station in the room, from the ".users" listing: "2. CALL ..."
    const QRegularExpression other(QStringLiteral("(?:^|\\n)\\d+\\. (ZZ\\w+) ([^\\r]*)\\r"));
    QString call;
    for (const QRegularExpressionMatch &m : other.globalMatch(users())) {
        if (!m.captured(2).contains(QLatin1Char('A'))) {
            call = m.captured(1);
            break;
        }
    }
    QVERIFY2(!call.isEmpty(), "no other station in the room");
    auto attributes = [&](const QString &listing) {
        const QRegularExpression line(QStringLiteral("\\d+\\. %1 ([^\\r]*)\\r").arg(call));
        return line.match(listing).captured(1);
    };

    QVERIFY(press("muta", call).contains(call + QStringLiteral(" muted.")));
    QVERIFY2(attributes(users()).contains(QLatin1Char('m')), qPrintable(call));
    QVERIFY(press("unmute", call).contains(call + QStringLiteral(" unmuted.")));
    QVERIFY(!attributes(users()).contains(QLatin1Char('m')));
    QVERIFY(press("derrubar", call).contains(call + QStringLiteral(" kicked")));
    const QString kicked = attributes(users());
    QVERIFY2(kicked.contains(QLatin1Char('M')) && kicked.contains(QLatin1Char('K')), qPrintable(kicked));
}

void tst_conference::stationsAndReceiving()
{
    // Over a few simulated minutes the station list arrives and someone talks.
    bool sawList = false, sawReceiving = false, sawIdle = false;
    for (int second = 0; second < 300 && !(sawList && sawReceiving && sawIdle); ++second) {
        pass(1000);
        m_window->Timer1_Timer();
        sawList = sawList || m_window->Label1->text().startsWith(QLatin1String("CONF"));
        const QColor fill = m_window->Shape1->fillColor();
        QVERIFY(fill == QColor(255, 0, 0) || fill == QColor(0, 255, 0));
        (fill == QColor(255, 0, 0) ? sawReceiving : sawIdle) = true;
    }
    QVERIFY(sawList);
    QVERIFY(sawReceiving);
    QVERIFY(sawIdle);
    QVERIFY(m_window->Label1->text().contains(QLatin1Char('\n')));
}

void tst_conference::cleanupTestCase()
{
    m_window.reset();
    m_echo.reset();
}

QTEST_MAIN(tst_conference)
#include "tst_conference.moc"
