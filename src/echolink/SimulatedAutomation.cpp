#include <echolink/SimulatedAutomation.h>

#include "sim/Conference.h"

#include <QRegularExpression>

namespace echolink {

SimulatedAutomation::SimulatedAutomation(const Settings &settings, std::unique_ptr<SimClock> clock, QObject *parent)
    : Automation(parent)
    , m_settings(settings)
    , m_clock(clock ? std::move(clock) : std::make_unique<LiveClock>())
{
    Q_ASSERT_X(!settings.callsign.isEmpty(), "SimulatedAutomation", "a station needs a callsign");
    sim::Conference::Settings conference;
    conference.password = settings.password;
    conference.seed = settings.seed;
    conference.localCallsign = settings.callsign;
    conference.localName = QStringLiteral("Radiosala");
    conference.startedAt = m_clock->startedAt();
    m_conference = std::make_unique<sim::Conference>(conference);
    connect(m_clock.get(), &SimClock::advanced, this, &SimulatedAutomation::catchUp);
    collect();
}

SimulatedAutomation::~SimulatedAutomation() = default;

SimulatedAutomation::Settings SimulatedAutomation::settingsFrom(const BackendOptions &options)
{
    Settings settings;
    // A mistyped option would otherwise be dropped without a word (a password never set).
    for (auto it = options.settings.cbegin(); it != options.settings.cend(); ++it) {
        const QString &key = it.key();
        if (key.startsWith(QLatin1String("sim-")) && key != QLatin1String(BackendOptions::SimPasswordKey)
            && key != QLatin1String(BackendOptions::SimSeedKey) && key != QLatin1String(BackendOptions::SimCallsignKey)) {
            throw AutomationError(status::InvalidArgument,
                                  QStringLiteral("Op\u00e7\u00e3o desconhecida da sala simulada: --%1").arg(key));
        }
    }
    if (options.settings.contains(QLatin1String(BackendOptions::SimPasswordKey)))
        settings.password = options.value(QLatin1String(BackendOptions::SimPasswordKey));
    if (options.settings.contains(QLatin1String(BackendOptions::SimSeedKey))) {
        const QString text = options.value(QLatin1String(BackendOptions::SimSeedKey));
        bool ok = false;
        const uint seed = text.trimmed().toUInt(&ok);
        if (!ok) {
            throw AutomationError(status::InvalidArgument,
                                  QStringLiteral("Semente inv\u00e1lida para a sala simulada: \"%1\"").arg(text));
        }
        settings.seed = seed;
    }
    if (options.settings.contains(QLatin1String(BackendOptions::SimCallsignKey))) {
        const QString call = options.value(QLatin1String(BackendOptions::SimCallsignKey)).trimmed().toUpper();
        if (call.isEmpty() || call.size() > 10 || call.contains(QLatin1Char(' '))) {
            throw AutomationError(status::InvalidArgument,
                                  QStringLiteral("Indicativo inv\u00e1lido para a sala simulada: \"%1\"").arg(call));
        }
        settings.callsign = call;
    }
    return settings;
}

void SimulatedAutomation::catchUp()
{
    m_conference->advanceTo(m_clock->elapsed());
    collect();
}

void SimulatedAutomation::collect()
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (sim::Conference::Output &out : m_conference->takeOutputs()) {
        if (out.kind == sim::Conference::Output::Kind::Station) {
            m_pending.push_back({true, std::move(out.text)});
            continue;
        }
        // Chat arrives one line per event, even when a quoted text held line breaks.
        for (const QString &line : out.text.split(lineBreak))
            m_pending.push_back({false, line});
    }
    if (!m_pending.empty() && !m_deliveryPosted) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(this, &SimulatedAutomation::deliverOne, Qt::QueuedConnection);
    }
}

void SimulatedAutomation::deliverOne()
{
    m_deliveryPosted = false;
    if (m_pending.empty())
        return;
    const Event event = std::move(m_pending.front());
    m_pending.pop_front();
    // Post the next one first: a slot may open a nested event loop or delete us.
    if (!m_pending.empty()) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(this, &SimulatedAutomation::deliverOne, Qt::QueuedConnection);
    }
    if (event.station)
        emit StationTextReceived(event.text);
    else
        emit ChatTextReceived(event.text);
}

void SimulatedAutomation::SendChatText(const QString &text)
{
    catchUp();
    m_conference->receiveLine(m_clock->elapsed(), text);
    collect();
}

void SimulatedAutomation::PTT(bool keyed)
{
    catchUp();
    m_conference->setLocalTransmitting(m_clock->elapsed(), keyed);
    collect();
}

void SimulatedAutomation::Reinitialize()
{
    catchUp();
    m_conference->reconnectLocal(m_clock->elapsed());
    collect();
}

bool SimulatedAutomation::IsReceiving()
{
    catchUp();
    return m_conference->isLocalReceiving();
}

StationInformation SimulatedAutomation::StationInfo()
{
    return StationInformation{m_settings.callsign};
}

} // namespace echolink
