#pragma once

#include <echolink/Backends.h>

#include <QString>
#include <QStringList>

class QSettings;

// The program's start-up: the kinds of station, command line, remembered
// back end, the stored window's data folder, and the run itself.
namespace startup {

struct CommandLine
{
    bool help = false;
    QString error;                 // a usage error, for stderr
    bool stationGiven = false;     // --station was on the command line
    echolink::BackendOptions backend;
};

// Reads the arguments (without the program name). "--station KIND" picks the
// back end; every other "--key value" or "--key=value" is a back-end option
// and passes unchanged to the back end's factory, so new kinds bring their
// own options. Without --station the kind remembered in `settings` is used,
// and "sim" when none is.
CommandLine parseCommandLine(const QStringList &arguments, const QSettings &settings);

// Remembers the kind for the next start.
void rememberStation(QSettings &settings, const QString &kind);

// The kinds of station this program was built with: the simulated
// conference, and the native link where it is built.
echolink::StationKinds stationKinds();

QString helpText(const echolink::StationKinds &kinds);

// Where the main window's stored data is, on the program's data search
// path (windows::DataPaths). Empty when no folder of it has the window.
QString formsDirectory(const QString &formName);

// Runs the program; returns its exit status.
int run(int argc, char **argv);

} // namespace startup
