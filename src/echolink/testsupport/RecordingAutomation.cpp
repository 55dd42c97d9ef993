#include <echolink/testsupport/RecordingAutomation.h>

namespace echolink::testsupport {

RecordingAutomation::RecordingAutomation(const QString &callsign, QObject *parent)
    : Automation(parent)
    , m_callsign(callsign)
{
}

void RecordingAutomation::setFailure(Operation operation, qint32 status, const QString &description, int times)
{
    m_failures.insert(operation, Failure{status, description, times});
}

void RecordingAutomation::clearFailure(Operation operation)
{
    m_failures.remove(operation);
}

// Records the call, then throws if the operation is set to fail.
void RecordingAutomation::record(Call call)
{
    const auto it = m_failures.find(call.operation);
    call.failed = it != m_failures.end();
    m_calls << call;
    if (!call.failed)
        return;
    const Failure failure = *it;
    if (failure.remaining > 0 && --it->remaining == 0)
        m_failures.erase(it);
    throw AutomationError(failure.status, failure.description);
}

void RecordingAutomation::SendChatText(const QString &text)
{
    record({Operation::SendChatText, text});
}

void RecordingAutomation::PTT(bool keyed)
{
    record({Operation::PTT, {}, keyed});
}

void RecordingAutomation::Reinitialize()
{
    record({Operation::Reinitialize, {}});
}

bool RecordingAutomation::IsReceiving()
{
    record({Operation::IsReceiving, {}, m_receiving});
    return m_receiving;
}

StationInformation RecordingAutomation::StationInfo()
{
    record({Operation::StationInfo, m_callsign});
    return StationInformation{m_callsign};
}

QStringList RecordingAutomation::sentTexts() const
{
    QStringList texts;
    for (const Call &call : m_calls) {
        if (call.operation == Operation::SendChatText && !call.failed)
            texts << call.text;
    }
    return texts;
}

} // namespace echolink::testsupport
