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
    bool version = false;
    QString error;                 // a usage error, for stderr
    bool stationGiven = false;     // --station was on the command line
    echolink::BackendOptions backend;
    bool journal = true;           // keep the chat journal
    bool journalGiven = false;     // --journal or --no-journal was on the command line
};

// Reads the arguments (without the program name). "--station KIND" picks the
// back end; every other "--key value" or "--key=value" is a back-end option
// and passes unchanged to the back end's factory, so new kinds bring their
// own options. Without --station the kind remembered in `settings` is used,
// and "sim" when none is. "--journal" and "--no-journal" (no value) switch
// the chat journal on and off; without either, the choice remembered in
// `settings` holds, and the journal is on when there is none.
CommandLine parseCommandLine(const QStringList &arguments, const QSettings &settings);

// Remember the kind, and the journal's switch, for the next start.
void rememberStation(QSettings &settings, const QString &kind);
void rememberJournal(QSettings &settings, bool on);

// The kinds of station this program knows: the simulated conference and
// the native link.
echolink::StationKinds stationKinds();

QString helpText(const echolink::StationKinds &kinds);

// Where the main window's stored data is, on the program's data search
// path (windows::DataPaths). Empty when no folder of it has the window.
QString formsDirectory(const QString &formName);

// Runs the program; returns its exit status.
int run(int argc, char **argv);

} // namespace startup
