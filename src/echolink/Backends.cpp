#include <echolink/Backends.h>
#include <echolink/SimulatedAutomation.h>

#include <map>

namespace echolink {

namespace {

using Registry = std::map<QString, BackendFactory>;

Registry &registry()
{
    // The process's one table of station kinds; the simulated conference is always there.
    static Registry factories = {
        {QString::fromLatin1(BackendOptions::SimKind),
         [](const BackendOptions &options) -> std::unique_ptr<Automation> {
             return std::make_unique<SimulatedAutomation>(SimulatedAutomation::settingsFrom(options));
         }},
    };
    return factories;
}

} // namespace

void registerBackend(const QString &kind, BackendFactory factory)
{
    Q_ASSERT_X(!kind.isEmpty() && factory, "registerBackend", "a kind needs a name and a factory");
    registry()[kind] = std::move(factory);
}

QStringList registeredBackends()
{
    QStringList kinds;
    for (const auto &entry : registry())
        kinds << entry.first;
    return kinds;
}

std::unique_ptr<Automation> createAutomation(const BackendOptions &options)
{
    const auto it = registry().find(options.kind);
    if (it == registry().end()) {
        throw AutomationError(status::ClassNotRegistered,
                              QStringLiteral("Estação desconhecida: \"%1\" (disponíveis: %2)")
                                  .arg(options.kind, registeredBackends().join(QStringLiteral(", "))));
    }
    std::unique_ptr<Automation> automation = it->second(options);
    if (!automation) {
        throw AutomationError(status::ServerUnavailable,
                              QStringLiteral("Não foi possível conectar à estação \"%1\"").arg(options.kind));
    }
    return automation;
}

} // namespace echolink
