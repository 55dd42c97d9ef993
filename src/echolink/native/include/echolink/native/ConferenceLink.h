#pragma once

#include <echolink/native/StationPackets.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QUdpSocket;

namespace echolink::native {

class AudioPath;
class GsmCodec;

// How long the link waits for what. Tests shorten them; the defaults are
// what a conference expects.
struct LinkTiming
{
    int keepAliveMs = 10000;      // our SDES, repeated
    int answerTimeoutMs = 15000;  // no SDES back by then: "no answer"
    int lossTimeoutMs = 30000;    // the conference's SDES stopped: lost
    int receivingWindowMs = 500;  // audio this recent means "receiving"
    int audioIntervalMs = 80;     // one 4-frame packet per interval
};

struct LinkSettings
{
    QString conferenceHost;          // name or address
    quint16 conferencePort = 5198;   // its data port; control is the next one
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 localPort = 5198;        // ours, likewise
    wire::StationDescription station;
    QByteArray info;                 // station info lines, CR-separated, 8-bit
    LinkTiming timing;
    bool useAudioDevices = true;     // false: no sound card at all (tests)
    int datagramsPerPass = 64;       // read budget before yielding to the UI
};

// A station's UDP link to one conference. Everything runs on the owning
// thread's event loop and nothing waits: sockets are read in bounded passes,
// names are resolved asynchronously, and the connection state is tracked by
// timers:
//
//   Connecting --conference SDES--> Connected --no SDES for lossTimeout--> Lost
//       |                              ^                                   |
//       +--no SDES for answerTimeout--> NoAnswer --conference SDES---------+
//
// Our SDES keeps going out every keepAlive interval in every state, so a
// conference that comes back (or starts answering) is rejoined by itself.
class ConferenceLink : public QObject
{
    Q_OBJECT

public:
    enum class State { Connecting, Connected, NoAnswer, Lost, Refused };
    Q_ENUM(State)

    explicit ConferenceLink(LinkSettings settings, QObject *parent = nullptr);
    ~ConferenceLink() override;

    // Binds both ports and starts connecting. False (with *error) when a
    // port cannot be bound; nothing is sent then.
    bool open(QString *error);
    // Says goodbye and stops. Safe to call twice.
    void close();
    // Goodbye, then connect afresh.
    void reconnect();

    // Sends one chat line as "CALL>line" CR. False (with *error) when it
    // could not be handed to the network.
    bool sendChat(const QString &line, QString *error);
    void setTransmitting(bool on);
    bool isTransmitting() const;
    // Conference audio arrived within the receiving window.
    bool isReceiving() const;

    State state() const { return m_state; }
    // A sentence for the user about the current state, with what to do.
    QString stateDescription() const;
    // Extra words for "no answer", e.g. the directory log-in's outcome.
    void setNoAnswerHint(const QString &hint) { m_noAnswerHint = hint; }
    // The conference's NAME from its last SDES.
    QByteArray conferenceName() const { return m_conferenceName; }
    const LinkSettings &settings() const { return m_settings; }

    // Counters, for tests and diagnostics.
    quint64 datagramsHandled() const { return m_handled; }
    quint64 datagramsIgnored() const { return m_ignored; }

signals:
    void chatLineReceived(const QString &line);
    void stationTextReceived(const QString &text);
    void stateChanged(echolink::native::ConferenceLink::State state);

private:
    void startConnecting();
    void resolve();
    void sendConnect();
    void sendBye();
    void sendInfo();
    void sendAudio();
    void drain(QUdpSocket *socket);
    void scheduleDrain(QUdpSocket *socket);
    void handleData(const QByteArray &datagram);
    void handleControl(const QByteArray &datagram);
    void setState(State state);
    void answerTimedOut();
    void lossTimedOut();
    bool fromConference(const QHostAddress &sender, quint16 senderPort) const;

    LinkSettings m_settings;
    QByteArray m_connectPacket;
    State m_state = State::Connecting;
    bool m_open = false;
    QHostAddress m_conference;
    int m_lookupId = -1;
    QString m_lookupError;
    QString m_noAnswerHint;
    QByteArray m_conferenceName;
    QByteArray m_byeReason;

    QUdpSocket *m_data = nullptr;
    QUdpSocket *m_control = nullptr;
    bool m_drainQueued[2] = {false, false};
    QByteArray m_readBuffer;
    QTimer m_keepAlive;
    QTimer m_answerTimer;
    QTimer m_lossTimer;
    QTimer m_txTimer;
    QElapsedTimer m_lastAudio;
    quint16 m_sequence = 0;
    quint64 m_handled = 0;
    quint64 m_ignored = 0;
    std::unique_ptr<GsmCodec> m_codec;
    AudioPath *m_audio = nullptr;
};

} // namespace echolink::native
