#pragma once

#include <echolink/Automation.h>
#include <echolink/Backends.h>
#include <echolink/SimClock.h>

#include <QPointer>

#include <deque>
#include <memory>

namespace echolink {

namespace sim {
class Conference;
}

// The embedded back end: a simulated conference in the process, reached as
// if through a station. Replies and the other stations' activity are
// delivered through the event loop, one event per posted call, never from
// inside the call that caused them.
class SimulatedAutomation : public Automation
{
    Q_OBJECT

public:
    struct Settings
    {
        QString password = QString::fromLatin1(BackendOptions::DefaultSimPassword);
        quint32 seed = 1;
        QString callsign = QString::fromLatin1(BackendOptions::DefaultSimCallsign);
    };

    // Takes the clock; a null clock means a LiveClock (real time).
    explicit SimulatedAutomation(const Settings &settings, std::unique_ptr<SimClock> clock = nullptr,
                                 QObject *parent = nullptr);
    ~SimulatedAutomation() override;

    // Reads the "sim-*" keys of options (see BackendOptions); a malformed
    // value throws AutomationError with status::InvalidArgument.
    static Settings settingsFrom(const BackendOptions &options);

    void SendChatText(const QString &text) override;
    void PTT(bool keyed) override;
    void Reinitialize() override;
    bool IsReceiving() override;
    StationInformation StationInfo() override;

    SimClock *clock() const { return m_clock.get(); }
    // Events produced but not yet delivered.
    int pendingEvents() const { return int(m_pending.size()); }

private:
    void catchUp();
    void collect();
    void deliverOne();

    struct Event
    {
        bool station;
        QString text;
    };

    Settings m_settings;
    std::unique_ptr<SimClock> m_clock;
    std::unique_ptr<sim::Conference> m_conference;
    std::deque<Event> m_pending;
    bool m_deliveryPosted = false;
};

} // namespace echolink
