#include "Startup.h"

#include "radiosala.h"

#ifdef RADIOSALA_HAVE_NATIVE_ECHOLINK
#include <echolink/native/NativeEchoLink.h>
#endif
#include <host/app.h>
#include <host/runtimeerror.h>
#include <windows/DataPaths.h>

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace startup {

namespace {

constexpr char StationKey[] = "station/kind";
constexpr int ErrFileNotFound = 53;

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QSettings &settings)
{
    CommandLine line;
    line.backend.kind = settings.value(QLatin1String(StationKey), QString::fromLatin1(echolink::BackendOptions::SimKind)).toString();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
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

echolink::StationKinds stationKinds()
{
    echolink::StationKinds kinds{echolink::simulatedStationKind()};
#ifdef RADIOSALA_HAVE_NATIVE_ECHOLINK
    kinds << echolink::native::nativeStationKind();
#endif
    return kinds;
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
        "  --station TIPO          a estação a usar (lembrada para as próximas vezes);\n"
        "                          \"sim\", a conferência simulada, por omissão\n"
        "\n"
        "Opções da conferência simulada (--station sim):\n"
        "  --sim-password SENHA    a senha de administração da sala (\"%1\")\n"
        "  --sim-seed N            semente dos acontecimentos simulados (1)\n"
        "  --sim-callsign INDICATIVO  o indicativo da própria estação (\"%2\")\n"
        "\n")
        .arg(QLatin1String(echolink::BackendOptions::DefaultSimPassword),
             QLatin1String(echolink::BackendOptions::DefaultSimCallsign));
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
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Radiosala"));
    QCoreApplication::setApplicationName(QStringLiteral("radiosala"));
    host::App::setTitle(QStringLiteral("radiosala"));

    const echolink::StationKinds kinds = stationKinds();
    QSettings settings;
    CommandLine line = parseCommandLine(app.arguments().mid(1), settings);
    // A remembered kind this build no longer has falls back to the default.
    if (!line.stationGiven && !echolink::kindNames(kinds).contains(line.backend.kind))
        line.backend.kind = QString::fromLatin1(echolink::BackendOptions::SimKind);
    if (line.help) {
        QTextStream(stdout) << helpText(kinds);
        return 0;
    }
    if (!line.error.isEmpty()) {
        QTextStream(stderr) << "radiosala: " << line.error << "\n" << "Tente 'radiosala --help'.\n";
        return 2;
    }

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

    window->Form_Load(*echo);
    window->show();
    const int status = app.exec();
    window.reset(); // before the link it refers to
    return status;
}

} // namespace startup
