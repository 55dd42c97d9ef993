#include "Startup.h"

#include "ChatJournal.h"
#include "QuitSignals.h"
#include "radiosala.h"

#include <echolink/native/NativeEchoLink.h>
#include <host/app.h>
#include <host/runtimeerror.h>
#include <host/translations.h>
#include <windows/DataPaths.h>

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace startup {

namespace {

constexpr char StationKey[] = "station/kind";
constexpr char JournalKey[] = "journal/enabled";
constexpr int ErrFileNotFound = 53;
// A quit signal's orderly exit (goodbye to the conference, directory
// log-off) may take this long before the process simply ends.
constexpr int ExitDeadlineSeconds = 3;

// Answers --help and --version, or reports a usage error. The exit status,
// or -1 when the program is to run.
int answerCommandLine(const CommandLine &line, const echolink::StationKinds &kinds)
{
    if (line.help) {
        QTextStream(stdout) << helpText(kinds);
        return 0;
    }
    if (line.version) {
        QTextStream(stdout) << "radiosala " << QCoreApplication::applicationVersion() << "\n";
        return 0;
    }
    if (!line.error.isEmpty()) {
        QTextStream(stderr) << "radiosala: " << line.error << "\n" << "Tente 'radiosala --help'.\n";
        return 2;
    }
    return -1;
}

// The command line, checked against the station kinds this build has.
CommandLine readCommandLine(const QStringList &arguments, const QSettings &settings,
                            const echolink::StationKinds &stationKinds)
{
    CommandLine line = parseCommandLine(arguments, settings);
    const QStringList kinds = echolink::kindNames(stationKinds);
    if (!kinds.contains(line.backend.kind)) {
        // A remembered kind this build no longer has falls back to the default.
        if (!line.stationGiven)
            line.backend.kind = QString::fromLatin1(echolink::BackendOptions::SimKind);
        else if (line.error.isEmpty())
            line.error = QStringLiteral("tipo de estação desconhecido: \"%1\" (disponíveis: %2)")
                             .arg(line.backend.kind, kinds.join(QStringLiteral(", ")));
    }
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QSettings &settings)
{
    CommandLine line;
    line.backend.kind = settings.value(QLatin1String(StationKey), QString::fromLatin1(echolink::BackendOptions::SimKind)).toString();
    line.journal = settings.value(QLatin1String(JournalKey), true).toBool();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
            continue;
        }
        if (argument == QLatin1String("--journal") || argument == QLatin1String("--no-journal")) {
            line.journal = argument == QLatin1String("--journal");
            line.journalGiven = true;
            continue;
        }
        if (argument == QLatin1String("--version")) {
            line.version = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
            line.error = QStringLiteral("argumento inesperado: %1").arg(argument);
            return line;
        }
        QString key = argument.mid(2);
        QString value;
        if (const qsizetype eq = key.indexOf(QLatin1Char('=')); eq >= 0) {
            value = key.mid(eq + 1);
            key.truncate(eq);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            line.error = QStringLiteral("falta o valor de --%1").arg(key);
            return line;
        }
        if (key.isEmpty()) {
            line.error = QStringLiteral("opção sem nome: %1").arg(argument);
            return line;
        }
        if (key == QLatin1String("station")) {
            if (value.isEmpty()) {
                line.error = QStringLiteral("--station precisa de um tipo de estação");
                return line;
            }
            line.backend.kind = value;
            line.stationGiven = true;
        } else {
            line.backend.settings.insert(key, value);
        }
    }
    return line;
}

void rememberStation(QSettings &settings, const QString &kind)
{
    settings.setValue(QLatin1String(StationKey), kind);
}

void rememberJournal(QSettings &settings, bool on)
{
    settings.setValue(QLatin1String(JournalKey), on);
}

echolink::StationKinds stationKinds()
{
    return {echolink::simulatedStationKind(), echolink::native::nativeStationKind()};
}

QString helpText(const echolink::StationKinds &kinds)
{
    QStringList others = echolink::kindNames(kinds);
    others.removeAll(QString::fromLatin1(echolink::BackendOptions::SimKind));
    QString text = QStringLiteral(
        "Uso: radiosala [--station TIPO] [--CHAVE VALOR ...]\n"
        "\n"
        "Painel de controle de uma sala de conferência TheBridge através de uma\n"
        "estação EchoLink.\n"
        "\n"
        "  --help                  mostra este texto\n"
        "  --version               mostra a versão do programa\n"
        "  --station TIPO          a estação a ser usada (lembrada para as próximas vezes);\n"
        "                          \"sim\", a conferência simulada, é o padrão\n"
        "  --no-journal            deixa de gravar o diário do CHAT (lembrado)\n"
        "  --journal               volta a gravar o diário do CHAT (padrão)\n"
        "\n"
        "Diário do CHAT: cada linha recebida (<) ou enviada (>) é gravada na hora,\n"
        "com o horário, em $XDG_DATA_HOME/radiosala/chat/AAAA-MM-DD.txt (sem\n"
        "XDG_DATA_HOME, em ~/.local/share/radiosala/chat/). Aqui:\n"
        "  %3\n"
        "\n"
        "Opções da conferência simulada (--station sim):\n"
        "  --sim-password SENHA    a senha de administração da sala (\"%1\")\n"
        "  --sim-seed N            semente dos acontecimentos simulados (1)\n"
        "  --sim-callsign INDICATIVO  o indicativo da própria estação (\"%2\")\n"
        "\n")
        .arg(QLatin1String(echolink::BackendOptions::DefaultSimPassword),
             QLatin1String(echolink::BackendOptions::DefaultSimCallsign), ChatJournal::defaultFolder());
    if (others.isEmpty()) {
        text += QStringLiteral("Nenhum outro tipo de estação está disponível nesta instalação.\n");
    } else {
        text += QStringLiteral("Outros tipos de estação disponíveis: %1.\n"
                               "Suas opções \"--CHAVE VALOR\" passam sem mudança para a estação escolhida.\n")
                    .arg(others.join(QStringLiteral(", ")));
    }
    return text;
}

QString formsDirectory(const QString &formName)
{
    return forms::findFormDirectory(formName, windows::DataPaths::forProgram().formsFolders());
}

int run(int argc, char **argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Radiosala"));
    QCoreApplication::setApplicationName(QStringLiteral("radiosala"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RADIOSALA_VERSION));

    const echolink::StationKinds kinds = stationKinds();

    // The command line is read before the application object, which needs a
    // display, so that --help, --version and a usage error work without one.
    // Qt's own options (-platform, -style, ...) leave the arguments only when
    // that object is made: until then an argument with a single dash may be
    // one of them, and an error about it waits for the second reading.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool qtOptions = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString &a) {
        return a.size() > 1 && a.startsWith(QLatin1Char('-')) && !a.startsWith(QLatin1String("--"))
               && a != QLatin1String("-h");
    });
    QSettings settings;
    CommandLine line = readCommandLine(arguments, settings, kinds);
    if (line.help || line.version || !qtOptions || line.error.isEmpty()) {
        if (const int status = answerCommandLine(line, kinds); status >= 0)
            return status;
    }

    QApplication app(argc, argv);
    host::installToolkitTranslations();
    host::App::setTitle(QStringLiteral("radiosala"));
    if (qtOptions) {
        line = readCommandLine(app.arguments().mid(1), settings, kinds);
        if (const int status = answerCommandLine(line, kinds); status >= 0)
            return status;
    }

    if (line.journalGiven)
        rememberJournal(settings, line.journal);
    // Made before the window, which refers to it, so that it outlives it.
    std::unique_ptr<ChatJournal> journal;
    if (line.journal)
        journal = std::make_unique<ChatJournal>(ChatJournal::defaultFolder());

    // The window and its controls first, as the forms runtime creates them.
    const QString directory = formsDirectory(QStringLiteral("radiosala"));
    if (directory.isEmpty()) {
        host::raiseRuntimeError(ErrFileNotFound, QStringLiteral("Os dados da janela (forms/radiosala/radiosala.json) não foram encontrados junto ao programa nem na pasta de dados instalada."));
        return 1;
    }
    auto window = std::make_unique<radiosala>(directory);
    if (!window->isLoaded()) {
        host::raiseRuntimeError(ErrFileNotFound, window->loadError());
        return 1;
    }

    // A logout, `kill` or Ctrl+C leaves the way SAIR does, so that the
    // conference and the directory hear the station's goodbye.
    QuitSignals quitSignals(ExitDeadlineSeconds);
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, window.get(), [&window] {
        window->encerra_Click();
        // Also out of any dialog's loop, and whatever the window decided.
        QCoreApplication::exit(0);
    });

    // Then its load handler: the automation object first; if it cannot be
    // made, the run-time error report ends the program before the window
    // is shown.
    std::unique_ptr<echolink::Automation> echo;
    try {
        echo = echolink::createAutomation(kinds, line.backend);
    } catch (const echolink::AutomationError &e) {
        host::raiseRuntimeError(e.status(), e.description());
        return 1;
    }
    if (line.stationGiven)
        rememberStation(settings, line.backend.kind);

    window->setJournal(journal.get());
    window->Form_Load(*echo);
    window->show();
    const int status = app.exec();
    window.reset(); // before the link it refers to
    echo.reset();   // the goodbye: PTT released, BYE, directory log-off
    // After a quit signal the status tells which one, as a shell reports it.
    return quitSignals.received() != 0 ? 128 + quitSignals.received() : status;
}

} // namespace startup
