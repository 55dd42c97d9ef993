#pragma once

#include <echolink/Automation.h>

#include <QList>
#include <QMap>
#include <QString>

namespace echolink::testsupport {

// A fake back end for tests of code that drives an Automation: it records
// every call in order, answers IsReceiving and StationInfo from settable
// values, fails chosen operations with a chosen status, and lets the test
// raise the two events.
class RecordingAutomation : public Automation
{
    Q_OBJECT

public:
    enum class Operation { SendChatText, PTT, Reinitialize, IsReceiving, StationInfo };

    struct Call
    {
        Operation operation;
        QString text;      // SendChatText's argument
        bool value = false; // PTT's argument, or IsReceiving's answer
        bool failed = false;
        bool operator==(const Call &) const = default;
    };

    explicit RecordingAutomation(const QString &callsign = QStringLiteral("ZZ1ADM"), QObject *parent = nullptr);

    void SendChatText(const QString &text) override;
    void PTT(bool keyed) override;
    void Reinitialize() override;
    bool IsReceiving() override;
    StationInformation StationInfo() override;

    // Every call, failed ones included, in the order made.
    const QList<Call> &calls() const { return m_calls; }
    // The arguments of the SendChatText calls that succeeded.
    QStringList sentTexts() const;
    void clearCalls() { m_calls.clear(); }

    void setCallsign(const QString &callsign) { m_callsign = callsign; }
    void setReceiving(bool receiving) { m_receiving = receiving; }

    // Makes every later call of `operation` throw AutomationError(status,
    // description) until clearFailure; with `times` > 0 only that many fail.
    void setFailure(Operation operation, qint32 status = status::Fail,
                    const QString &description = QStringLiteral("Falha simulada"), int times = 0);
    void clearFailure(Operation operation);

    // Raise the events synchronously, as the UI thread would deliver them.
    void emitChatText(const QString &text) { emit ChatTextReceived(text); }
    void emitStationText(const QString &text) { emit StationTextReceived(text); }

private:
    struct Failure
    {
        qint32 status;
        QString description;
        int remaining; // 0: unlimited
    };

    void record(Call call);

    QString m_callsign;
    bool m_receiving = false;
    QList<Call> m_calls;
    QMap<Operation, Failure> m_failures;
};

} // namespace echolink::testsupport
