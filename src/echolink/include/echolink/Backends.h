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

// A kind of station and how to make one. The program's start-up holds the
// list of the kinds it was built with.
struct StationKind
{
    QString name;
    BackendFactory create;
};
using StationKinds = QList<StationKind>;

// The simulated conference, kind "sim".
StationKind simulatedStationKind();
// The names of `kinds`, sorted.
QStringList kindNames(const StationKinds &kinds);
// Creates the back end for options.kind from `kinds`. An unknown kind throws
// AutomationError with status::ClassNotRegistered.
std::unique_ptr<Automation> createAutomation(const StationKinds &kinds, const BackendOptions &options);

} // namespace echolink
