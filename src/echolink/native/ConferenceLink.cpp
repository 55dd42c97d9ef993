#include <echolink/native/ConferenceLink.h>

#include <echolink/native/AudioPath.h>
#include <echolink/native/Cp1252.h>
#include <echolink/native/GsmCodec.h>

#include <texts/SystemReason.h>

#include <QHostInfo>
#include <QPointer>
#include <QUdpSocket>

namespace echolink::native {

namespace {

constexpr qsizetype kPcmPerPacket = wire::FramesPerPacket * wire::GsmFrameSamples * 2;
// No datagram on this network comes near this; larger ones are dropped
// rather than parsed in part.
constexpr qint64 kMaxDatagram = 8192;

} // namespace

ConferenceLink::ConferenceLink(LinkSettings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_readBuffer(kMaxDatagram + 1, Qt::Uninitialized)
    , m_codec(std::make_unique<GsmCodec>())
{
    m_connectPacket = wire::buildConnectSdes(m_settings.station);
    m_keepAlive.setInterval(m_settings.timing.keepAliveMs);
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(m_settings.timing.answerTimeoutMs);
    m_lossTimer.setSingleShot(true);
    m_lossTimer.setInterval(m_settings.timing.lossTimeoutMs);
    m_txTimer.setInterval(m_settings.timing.audioIntervalMs);
    m_txTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_keepAlive, &QTimer::timeout, this, &ConferenceLink::sendConnect);
    connect(&m_answerTimer, &QTimer::timeout, this, &ConferenceLink::answerTimedOut);
    connect(&m_lossTimer, &QTimer::timeout, this, &ConferenceLink::lossTimedOut);
    connect(&m_txTimer, &QTimer::timeout, this, &ConferenceLink::sendAudio);
}

ConferenceLink::~ConferenceLink()
{
    close();
}

bool ConferenceLink::open(QString *error)
{
    Q_ASSERT_X(!m_open, "ConferenceLink::open", "already open");
    auto *data = new QUdpSocket(this);
    auto *control = new QUdpSocket(this);
    const quint16 ports[2] = {m_settings.localPort, quint16(m_settings.localPort + 1)};
    QUdpSocket *sockets[2] = {data, control};
    for (int i = 0; i < 2; ++i) {
        if (!sockets[i]->bind(m_settings.bindAddress, ports[i], QAbstractSocket::DontShareAddress)) {
            if (error) {
                *error = QStringLiteral("Não foi possível abrir a porta UDP %1 no endereço %2: %3. "
                                        "Outro programa EchoLink está usando as portas %4 e %5? "
                                        "Feche-o ou escolha outro endereço local com --bind.")
                             .arg(ports[i])
                             .arg(m_settings.bindAddress.toString(), texts::socketReason(*sockets[i]))
                             .arg(ports[0])
                             .arg(ports[1]);
            }
            delete data;
            delete control;
            return false;
        }
    }
    m_data = data;
    m_control = control;
    connect(m_data, &QUdpSocket::readyRead, this, [this] { drain(m_data); });
    connect(m_control, &QUdpSocket::readyRead, this, [this] { drain(m_control); });
    if (m_settings.useAudioDevices)
        m_audio = new AudioPath(this);
    m_open = true;

    QHostAddress literal;
    if (literal.setAddress(m_settings.conferenceHost))
        m_conference = literal;
    startConnecting();
    return true;
}

void ConferenceLink::close()
{
    if (!m_open)
        return;
    setTransmitting(false);
    sendBye();
    m_keepAlive.stop();
    m_answerTimer.stop();
    m_lossTimer.stop();
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    m_open = false;
}

void ConferenceLink::reconnect()
{
    if (!m_open)
        return;
    sendBye();
    startConnecting();
}

void ConferenceLink::startConnecting()
{
    m_lossTimer.stop();
    m_byeReason.clear();
    setState(State::Connecting);
    m_keepAlive.start();
    m_answerTimer.start();
    if (m_conference.isNull())
        resolve();
    else
        sendConnect();
}

void ConferenceLink::resolve()
{
    if (m_lookupId >= 0)
        return;
    m_lookupId = QHostInfo::lookupHost(m_settings.conferenceHost, this, [this](const QHostInfo &info) {
        m_lookupId = -1;
        for (const QHostAddress &address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                m_conference = address;
                m_lookupError.clear();
                sendConnect();
                return;
            }
        }
        m_lookupError = info.error() != QHostInfo::NoError
                            ? info.errorString()
                            : QStringLiteral("sem endereço IPv4");
    });
}

void ConferenceLink::sendConnect()
{
    if (!m_open)
        return;
    if (m_conference.isNull()) {
        resolve(); // names are retried on every keep-alive tick
        return;
    }
    m_data->writeDatagram(m_connectPacket, m_conference, m_settings.conferencePort);
    m_control->writeDatagram(m_connectPacket, m_conference, quint16(m_settings.conferencePort + 1));
}

void ConferenceLink::sendBye()
{
    if (!m_open || m_conference.isNull())
        return;
    const QByteArray bye = wire::buildBye();
    m_data->writeDatagram(bye, m_conference, m_settings.conferencePort);
    m_control->writeDatagram(bye, m_conference, quint16(m_settings.conferencePort + 1));
}

void ConferenceLink::sendInfo()
{
    if (m_conference.isNull())
        return;
    m_data->writeDatagram(wire::buildText("\r" + m_settings.info), m_conference, m_settings.conferencePort);
}

bool ConferenceLink::sendChat(const QString &line, QString *error)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!m_open)
        return failed(QStringLiteral("A conexão com a conferência está fechada."));
    if (m_conference.isNull()) {
        return failed(QStringLiteral("O endereço da conferência %1 ainda não é conhecido%2.")
                          .arg(m_settings.conferenceHost,
                               m_lookupError.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_lookupError)));
    }
    // One line: a CR would split it into several at the conference and a NUL
    // would cut it short, so both (and LF) travel as spaces.
    QByteArray text = toCp1252(line);
    for (char &c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    const QByteArray datagram = wire::buildText(m_settings.station.callsign + '>' + text + '\r');
    if (m_data->writeDatagram(datagram, m_conference, m_settings.conferencePort) != datagram.size())
        return failed(QStringLiteral("Falha ao enviar para a conferência: %1").arg(texts::socketReason(*m_data)));
    return true;
}

void ConferenceLink::setTransmitting(bool on)
{
    if (on == m_txTimer.isActive())
        return;
    if (on) {
        if (m_audio)
            m_audio->startCapture();
        m_txTimer.start();
        sendAudio();
    } else {
        m_txTimer.stop();
        if (m_audio)
            m_audio->stopCapture();
    }
}

bool ConferenceLink::isTransmitting() const
{
    return m_txTimer.isActive();
}

void ConferenceLink::sendAudio()
{
    if (!m_open || m_conference.isNull())
        return;
    const QByteArray pcm = m_audio ? m_audio->takeCaptured(kPcmPerPacket) : QByteArray(kPcmPerPacket, '\0');
    const QByteArray datagram = wire::buildAudio(m_sequence++, m_codec->encode(pcm));
    m_data->writeDatagram(datagram, m_conference, m_settings.conferencePort);
}

bool ConferenceLink::isReceiving() const
{
    return m_lastAudio.isValid() && m_lastAudio.elapsed() < m_settings.timing.receivingWindowMs;
}

// The conference's own address, and one of its two ports: anything else on
// our ports is a stranger's, however much it looks like the conference.
bool ConferenceLink::fromConference(const QHostAddress &sender, quint16 senderPort) const
{
    return !m_conference.isNull() && sender.isEqual(m_conference, QHostAddress::ConvertV4MappedToIPv4)
           && (senderPort == m_settings.conferencePort || senderPort == quint16(m_settings.conferencePort + 1));
}

void ConferenceLink::scheduleDrain(QUdpSocket *socket)
{
    bool &queued = m_drainQueued[socket == m_control ? 1 : 0];
    if (queued)
        return;
    queued = true;
    QMetaObject::invokeMethod(this, [this, socket] {
        m_drainQueued[socket == m_control ? 1 : 0] = false;
        drain(socket);
    }, Qt::QueuedConnection);
}

// Reads at most one budget of datagrams, then lets the event loop run before
// the next pass, so a flood cannot keep the window from painting or reacting.
//
// Every pass reads at least once, and stops only when a read finds the queue
// empty: QUdpSocket announces nothing more after a readyRead that no read
// followed, which happens whenever a queued pass has already emptied the
// queue that the readyRead was about. A read, even one that finds nothing,
// re-arms it.
void ConferenceLink::drain(QUdpSocket *socket)
{
    if (!m_open)
        return;
    QPointer<ConferenceLink> self(this);
    for (int n = 0; n < m_settings.datagramsPerPass; ++n) {
        QHostAddress sender;
        quint16 senderPort = 0;
        // One byte more than any datagram we take: a datagram that fills it
        // is too large and is dropped instead of parsed in part.
        const qint64 size = socket->readDatagram(m_readBuffer.data(), kMaxDatagram + 1, &sender, &senderPort);
        if (size < 0)
            return; // nothing left; the next datagram is announced again
        if (size > kMaxDatagram || !fromConference(sender, senderPort)) {
            ++m_ignored;
            continue;
        }
        ++m_handled;
        const QByteArray datagram(m_readBuffer.constData(), size);
        if (socket == m_control)
            handleControl(datagram);
        else
            handleData(datagram);
        if (!self || !m_open) // a receiver of our signals closed or deleted the link
            return;
    }
    scheduleDrain(socket);
}

void ConferenceLink::handleData(const QByteArray &datagram)
{
    if (const auto audio = wire::parseAudio(datagram)) {
        m_lastAudio.start();
        if (m_audio && m_audio->hasOutput())
            m_audio->play(m_codec->decode(audio->frames));
        return;
    }
    const auto text = wire::parseText(datagram);
    if (!text) {
        ++m_ignored;
        return;
    }
    if (wire::isStationText(*text)) {
        emit stationTextReceived(fromCp1252(*text));
        return;
    }
    QPointer<ConferenceLink> self(this);
    const QList<QByteArray> lines = wire::chatLines(*text);
    for (const QByteArray &line : lines) {
        emit chatLineReceived(fromCp1252(line));
        if (!self)
            return;
    }
}

void ConferenceLink::handleControl(const QByteArray &datagram)
{
    const auto packet = wire::parseControl(datagram);
    if (!packet) {
        ++m_ignored;
        return;
    }
    if (packet->kind == wire::ControlPacket::Kind::Bye) {
        // A conference says goodbye only to a station it has banned.
        m_byeReason = packet->byeReason;
        m_lossTimer.stop();
        m_answerTimer.stop();
        setState(State::Refused);
        return;
    }
    m_conferenceName = packet->name;
    m_lossTimer.start();
    m_answerTimer.stop();
    if (m_state != State::Connected) {
        setState(State::Connected);
        sendInfo();
    }
}

void ConferenceLink::answerTimedOut()
{
    if (m_state == State::Connecting)
        setState(State::NoAnswer);
}

void ConferenceLink::lossTimedOut()
{
    if (m_state == State::Connected)
        setState(State::Lost);
}

void ConferenceLink::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

QString ConferenceLink::stateDescription() const
{
    const QString &host = m_settings.conferenceHost;
    const QString call = QString::fromLatin1(m_settings.station.callsign);
    switch (m_state) {
    case State::Connecting:
        return QStringLiteral("Conectando à conferência %1…").arg(host);
    case State::Connected:
        return QStringLiteral("Conectado à conferência %1.").arg(host);
    case State::NoAnswer: {
        QString text;
        if (m_conference.isNull()) {
            text = QStringLiteral("A conferência %1 não foi encontrada (%2).")
                       .arg(host, m_lookupError.isEmpty() ? QStringLiteral("endereço ainda não resolvido") : m_lookupError);
        } else {
            text = QStringLiteral("A conferência %1 não responde: pode estar ocupada ou cheia, ou o indicativo %2 "
                                  "não está validado ou sem sessão iniciada no diretório EchoLink.")
                       .arg(host, call);
        }
        if (!m_noAnswerHint.isEmpty())
            text += QStringLiteral(" (%1)").arg(m_noAnswerHint);
        return text + QStringLiteral(" Tentando de novo.");
    }
    case State::Lost:
        return QStringLiteral("Conexão com a conferência %1 perdida: sem sinal há %2 s. Tentando de novo.")
            .arg(host)
            .arg(m_settings.timing.lossTimeoutMs / 1000);
    case State::Refused:
        return QStringLiteral("A conferência %1 recusou a estação %2 (\"%3\").")
            .arg(host, call, fromCp1252(m_byeReason));
    }
    return {};
}

} // namespace echolink::native
