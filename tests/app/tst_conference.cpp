// The main window driving the simulated conference, as a user would: each
// command button in turn, in one session, with the conference's answer
// looked for in the chat box.

#include "radiosala.h"

#include <button/kxButtons_H.h>
#include <echolink/SimulatedAutomation.h>
#include <forms/MultiLineTextBox.h>

#include <Commands.h>

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
    pass(1000);
}

void tst_conference::replies_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("reply");
    for (const commands::Command &c : commands::all())
        QTest::newRow(c.button) << c.box << c.typed << c.button << c.reply;
}

void tst_conference::replies()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, reply);

    m_window->Text1->setText(QString());
    if (!box.isEmpty())
        m_window->form().control<QLineEdit>(box)->setText(typed);
    emit m_window->button(button)->Click();
    pass(1500);
    const QString chat = m_window->Text1->text();
    QVERIFY2(chat.contains(reply) && !chat.isEmpty(), qPrintable(chat));
}

QTEST_MAIN(tst_conference)
#include "tst_conference.moc"
