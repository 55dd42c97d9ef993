#pragma once

#include <echolink/Automation.h>

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace echolink {

// Which station to drive and how. The main window fills it from its command
// line and saved settings: `--station <kind>` gives `kind`, and every other
// back-end option `--<key> <value>` goes into `settings` under `<key>`.
//
// Keys of the simulated conference (kind "sim"):
//   "sim-password"  the conference's admin password for ".admin <pw>"
//                   (default: BackendOptions::DefaultSimPassword)
//   "sim-seed"      unsigned integer seeding the simulated stations' behaviour
//                   (default: 1); the same seed replays the same session
//   "sim-callsign"  the administrator's own callsign (default "ZZ1ADM")
struct BackendOptions
{
    static constexpr const char *SimKind = "sim";
    static constexpr const char *SimPasswordKey = "sim-password";
    static constexpr const char *SimSeedKey = "sim-seed";
    static constexpr const char *SimCallsignKey = "sim-callsign";
    static constexpr const char *DefaultSimPassword = "radiosala";
    static constexpr const char *DefaultSimCallsign = "ZZ1ADM";

    QString kind = QString::fromLatin1(SimKind);
    QMap<QString, QString> settings;

    QString value(const QString &key, const QString &defaultValue = {}) const
    {
        return settings.value(key, defaultValue);
    }
};

// Makes a back end from options, or throws AutomationError naming what could
// not be reached or what option is wrong.
using BackendFactory = std::function<std::unique_ptr<Automation>(const BackendOptions &)>;

// Registers (or replaces) the factory for a station kind. The simulated
// conference "sim" is always registered. Call at start-up, before
// createAutomation; not thread-safe.
void registerBackend(const QString &kind, BackendFactory factory);
// The kinds that can be created, sorted.
QStringList registeredBackends();
// Creates the back end for options.kind. An unknown kind throws
// AutomationError with status::ClassNotRegistered.
std::unique_ptr<Automation> createAutomation(const BackendOptions &options);

} // namespace echolink
