#include <echolink/Backends.h>
#include <echolink/SimulatedAutomation.h>

#include <algorithm>

namespace echolink {

StationKind simulatedStationKind()
{
    return {QString::fromLatin1(BackendOptions::SimKind), [](const BackendOptions &options) -> std::unique_ptr<Automation> {
                return std::make_unique<SimulatedAutomation>(SimulatedAutomation::settingsFrom(options));
            }};
}

QStringList kindNames(const StationKinds &kinds)
{
    QStringList names;
    for (const StationKind &kind : kinds)
        names << kind.name;
    names.sort();
    return names;
}

std::unique_ptr<Automation> createAutomation(const StationKinds &kinds, const BackendOptions &options)
{
    const auto it = std::find_if(kinds.begin(), kinds.end(), [&](const StationKind &k) { return k.name == options.kind; });
    if (it == kinds.end()) {
        throw AutomationError(status::ClassNotRegistered,
                              QStringLiteral("Estação desconhecida: \"%1\" (disponíveis: %2)")
                                  .arg(options.kind, kindNames(kinds).join(QStringLiteral(", "))));
    }
    Q_ASSERT_X(it->create, "createAutomation", "a station kind needs a factory");
    std::unique_ptr<Automation> automation = it->create(options);
    if (!automation) {
        throw AutomationError(status::ServerUnavailable,
                              QStringLiteral("Não foi possível conectar à estação \"%1\"").arg(options.kind));
    }
    return automation;
}

} // namespace echolink
