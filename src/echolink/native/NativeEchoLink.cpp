#include <echolink/native/NativeEchoLink.h>

#include <echolink/native/Cp1252.h>

#include <texts/SystemReason.h>

#include <QFile>
#include <QSettings>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace echolink::native {

namespace {

constexpr const char *kClientVersion = "Radiosala 0.1";
// Leaves room for the rest of an exit that must end within 3 s.
constexpr int kLogOffTimeoutMs = 2000;
constexpr qsizetype kMaxName = 240;   // NAME holds 255 bytes, 15 go to the callsign
constexpr qsizetype kMaxInfo = 2048;

[[noreturn]] void badOption(const QString &description)
{
    throw AutomationError(status::InvalidArgument, description);
}

// "HOST[:PORT]"; the port is a base port whose successor must exist too.
std::pair<QString, quint16> hostAndPort(const QString &value, quint16 defaultPort, const char *option)
{
    QString host = value.trimmed();
    quint16 port = defaultPort;
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && host.indexOf(QLatin1Char(':')) == colon) {
        bool ok = false;
        const uint parsed = host.mid(colon + 1).toUInt(&ok);
        if (!ok || parsed == 0 || parsed >= 65535)
            badOption(QStringLiteral("Porta inválida em --%1 \"%2\".").arg(QLatin1String(option), value));
        port = quint16(parsed);
        host.truncate(colon);
    }
    if (host.isEmpty())
        badOption(QStringLiteral("Falta o endereço em --%1 (HOST[:PORTA]).").arg(QLatin1String(option)));
    return {host, port};
}

QByteArray readPassword(const BackendOptions &options)
{
    const QString file = options.value(QString::fromLatin1(NativeOptions::PasswordFileKey));
    if (!file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            badOption(QStringLiteral("Não foi possível ler o arquivo da senha \"%1\": %2").arg(file, texts::fileReason(f)));
        QByteArray password = f.readLine(1024);
        while (password.endsWith('\n') || password.endsWith('\r'))
            password.chop(1);
        if (password.isEmpty())
            badOption(QStringLiteral("O arquivo da senha \"%1\" está vazio.").arg(file));
        return password;
    }
    const QByteArray password = qgetenv(NativeOptions::PasswordVariable);
    if (password.isEmpty()) {
        badOption(QStringLiteral("O início de sessão no diretório precisa da senha: --password-file ARQUIVO "
                                 "ou a variável de ambiente %1.")
                      .arg(QLatin1String(NativeOptions::PasswordVariable)));
    }
    return password;
}

} // namespace

NativeSettings nativeSettingsFrom(const BackendOptions &options)
{
    auto option = [&options](const char *key) { return options.value(QString::fromLatin1(key)); };
    NativeSettings settings;
    LinkSettings &link = settings.link;

    if (options.settings.contains(QStringLiteral("password"))) {
        badOption(QStringLiteral("A senha do diretório não é aceita na linha de comando: use --password-file ARQUIVO "
                                 "ou a variável de ambiente %1.").arg(QLatin1String(NativeOptions::PasswordVariable)));
    }
    const QString conference = option(NativeOptions::ConferenceKey);
    if (conference.trimmed().isEmpty())
        badOption(QStringLiteral("Falta a conferência: --conference HOST[:PORTA]."));
    std::tie(link.conferenceHost, link.conferencePort) = hostAndPort(conference, 5198, NativeOptions::ConferenceKey);

    // The callsign is also the chat prefix "CALL>" and ends at the first
    // space of NAME, so it can hold neither; a leading '*' would make the
    // station look like a conference.
    const QString callsign = option(NativeOptions::CallsignKey);
    static const QRegularExpression callsignPattern(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9/-]{0,9}$"));
    if (!callsignPattern.match(callsign).hasMatch()) {
        badOption(QStringLiteral("Indicativo inválido \"%1\": --callsign precisa de 1 a 10 letras, algarismos, "
                                 "'-' ou '/'.").arg(callsign));
    }
    link.station.callsign = callsign.toLatin1();

    // A NAME that contains "CONF" makes the conference treat the station as
    // another conference, under which its commands are not taken.
    const QByteArray name = toCp1252(option(NativeOptions::NameKey)).left(kMaxName);
    if (name.contains("CONF"))
        badOption(QStringLiteral("O nome não pode conter \"CONF\": a conferência tomaria a estação por outra conferência."));
    link.station.name = name;
    link.station.phone = QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0').toUpper();
    link.station.tool = kClientVersion;

    const QString bind = option(NativeOptions::BindKey);
    if (!bind.isEmpty() && !link.bindAddress.setAddress(bind))
        badOption(QStringLiteral("Endereço local inválido em --bind: \"%1\".").arg(bind));

    QString info = option(NativeOptions::InfoKey);
    if (info.isEmpty())
        info = QStringLiteral("Radiosala");
    info.replace(QLatin1String("\r\n"), QLatin1String("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    info.remove(QChar(0));
    link.info = toCp1252(info).left(kMaxInfo);

    const QString directory = option(NativeOptions::DirectoryKey);
    if (!directory.isEmpty()) {
        DirectorySettings dir;
        std::tie(dir.host, dir.port) = hostAndPort(directory, 5200, NativeOptions::DirectoryKey);
        dir.request.callsign = link.station.callsign;
        dir.request.rtpPort = link.localPort;
        dir.request.rtcpPort = quint16(link.localPort + 1);
        dir.request.clientVersion = kClientVersion;
        QString location = option(NativeOptions::LocationKey);
        if (location.isEmpty())
            location = QStringLiteral("Radiosala");
        dir.request.location = location.toLatin1();
        dir.request.swTag = "Radiosala";
        dir.password = readPassword(options);
        settings.directory = std::move(dir);
    }
    return settings;
}

NativeEchoLink::NativeEchoLink(NativeSettings settings, QObject *parent)
    : Automation(parent)
    , m_link(std::make_unique<ConferenceLink>(std::move(settings.link)))
{
    connect(m_link.get(), &ConferenceLink::chatLineReceived, this, &Automation::ChatTextReceived);
    connect(m_link.get(), &ConferenceLink::stationTextReceived, this, &Automation::StationTextReceived);
    QString error;
    if (!m_link->open(&error))
        throw AutomationError(status::ServerUnavailable, error);
    if (settings.directory) {
        m_directory = std::make_unique<DirectoryClient>(std::move(*settings.directory));
        connect(m_directory.get(), &DirectoryClient::loginFinished, this,
                [this](directory::Result result, const QString &message) {
                    m_link->setNoAnswerHint(result == directory::Result::Success ? QString() : message);
                });
        m_directory->start();
    }
}

NativeEchoLink::~NativeEchoLink()
{
    m_link->close();
    if (m_directory)
        m_directory->logOff(kLogOffTimeoutMs);
}

void NativeEchoLink::SendChatText(const QString &text)
{
    QString error;
    if (!m_link->sendChat(text, &error))
        throw AutomationError(status::ServerUnavailable, error);
}

void NativeEchoLink::PTT(bool keyed)
{
    m_link->setTransmitting(keyed);
}

void NativeEchoLink::Reinitialize()
{
    m_link->reconnect();
    if (m_directory)
        m_directory->login();
}

bool NativeEchoLink::IsReceiving()
{
    switch (m_link->state()) {
    case ConferenceLink::State::Connecting:
    case ConferenceLink::State::Connected:
        return m_link->isReceiving();
    case ConferenceLink::State::NoAnswer:
    case ConferenceLink::State::Lost:
    case ConferenceLink::State::Refused:
        break;
    }
    throw AutomationError(status::Disconnected, m_link->stateDescription());
}

StationInformation NativeEchoLink::StationInfo()
{
    return StationInformation{QString::fromLatin1(m_link->settings().station.callsign)};
}

StationKind nativeStationKind()
{
    return {QString::fromLatin1(NativeOptions::Kind), [](const BackendOptions &given) {
        // Options not given this time come from the last run that worked, so
        // that "radiosala" alone rejoins the same conference. The password
        // is never among them.
        static const char *const remembered[] = {
            NativeOptions::ConferenceKey, NativeOptions::CallsignKey, NativeOptions::NameKey,
            NativeOptions::BindKey,       NativeOptions::InfoKey,     NativeOptions::LocationKey,
            NativeOptions::DirectoryKey,  NativeOptions::PasswordFileKey,
        };
        BackendOptions options = given;
        QSettings stored;
        stored.beginGroup(QString::fromLatin1(NativeOptions::Kind));
        for (const char *key : remembered) {
            const QString k = QString::fromLatin1(key);
            if (!options.settings.contains(k) && stored.contains(k))
                options.settings.insert(k, stored.value(k).toString());
        }
        auto automation = std::make_unique<NativeEchoLink>(nativeSettingsFrom(options));
        for (const char *key : remembered) {
            const QString k = QString::fromLatin1(key);
            if (options.settings.contains(k))
                stored.setValue(k, options.settings.value(k));
        }
        return std::unique_ptr<Automation>(std::move(automation));
    }};
}

} // namespace echolink::native
