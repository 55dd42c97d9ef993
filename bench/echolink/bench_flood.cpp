// The native link under a flood from a stranger. One thread floods the
// station's two ports on loopback with random datagrams (0 to 512 bytes) at
// a fixed rate; another plays the conference, answering as a conference does
// (its SDES every second) and sending a numbered chat line every 100 ms. The
// link runs on the main thread beside a 10 ms timer that stands for the
// window. Prints:
//   flood_datagrams_per_s=  the rate the flooder achieved
//   flood_chat_delay_ms=    99th percentile of the chat lines' delay
//                           ("lost" when more than 1 % never arrived)
//   ui_stall_ms=            the longest gap between two ticks of the timer
// Goal at 20,000 datagrams/s: chat delay < 250 ms and UI stall < 50 ms.
//
//   bench_flood [datagrams_per_s] [seconds]     (defaults: 20000 10)

#include <echolink/native/NativeEchoLink.h>
#include <echolink/native/StationPackets.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace echolink;
using namespace echolink::native;
using Clock = std::chrono::steady_clock;

namespace {

const QHostAddress kConference(QStringLiteral("127.0.13.31"));
const QHostAddress kStation(QStringLiteral("127.0.13.32"));
const QHostAddress kStranger(QStringLiteral("127.0.13.33"));
constexpr quint16 kBasePort = 25398;
constexpr int kChatIntervalMs = 100;

double msSince(Clock::time_point t0, Clock::time_point t1)
{
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

bool bindOrSay(QUdpSocket &socket, const QHostAddress &address, quint16 port)
{
    if (socket.bind(address, port, QAbstractSocket::DontShareAddress))
        return true;
    std::fprintf(stderr, "cannot bind UDP %s:%u: %s\n", qPrintable(address.toString()), port,
                 qPrintable(socket.errorString()));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rate = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const int lines = seconds * 1000 / kChatIntervalMs;

    BackendOptions options;
    options.kind = QStringLiteral("echolink");
    options.settings = {{QStringLiteral("conference"), QStringLiteral("%1:%2").arg(kConference.toString()).arg(kBasePort)},
                        {QStringLiteral("callsign"), QStringLiteral("ZZ9XQ")},
                        {QStringLiteral("bind"), kStation.toString()}};
    NativeSettings settings = nativeSettingsFrom(options);
    settings.link.useAudioDevices = false;
    settings.link.localPort = kBasePort;
    std::unique_ptr<NativeEchoLink> link;
    try {
        link = std::make_unique<NativeEchoLink>(std::move(settings));
    } catch (const AutomationError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }

    // Send times of the conference's lines, by number; read when each arrives.
    std::vector<std::atomic<Clock::rep>> sentAt(static_cast<size_t>(lines));
    std::vector<double> delays(size_t(lines), -1);
    std::atomic<bool> stop{false};
    std::atomic<bool> conferenceReady{false};
    std::atomic<long> flooded{0};

    std::thread conference([&] {
        QUdpSocket data, control;
        if (!bindOrSay(data, kConference, kBasePort) || !bindOrSay(control, kConference, kBasePort + 1))
            std::exit(1);
        const QByteArray sdes = wire::buildConnectSdes({"*CONFCALL*", "(Conference  [1/8]) CONF", "00000000", "bench"});
        control.writeDatagram(sdes, kStation, kBasePort + 1);
        conferenceReady = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the flood is under way
        const Clock::time_point start = Clock::now();
        for (int n = 0; n < lines && !stop; ++n) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(n * kChatIntervalMs));
            if (n % 10 == 0)
                control.writeDatagram(sdes, kStation, kBasePort + 1);
            sentAt[size_t(n)] = Clock::now().time_since_epoch().count();
            data.writeDatagram(wire::buildText("ZZ9ZZ>" + QByteArray::number(n) + '\r'), kStation, kBasePort);
        }
    });

    std::thread flooder([&] {
        QUdpSocket socket;
        if (!bindOrSay(socket, kStranger, 0))
            std::exit(1);
        QRandomGenerator random(20000);
        std::vector<QByteArray> junk;
        for (int i = 0; i < 256; ++i) {
            QByteArray d(random.bounded(513), Qt::Uninitialized);
            for (char &c : d)
                c = char(random.bounded(256));
            junk.push_back(d);
        }
        while (!conferenceReady)
            std::this_thread::yield();
        const Clock::time_point start = Clock::now();
        long sent = 0;
        while (!stop) {
            const long due = long(msSince(start, Clock::now()) * rate / 1000);
            for (; sent < due; ++sent)
                socket.writeDatagram(junk[size_t(sent) % junk.size()], kStation, quint16(kBasePort + sent % 2));
            flooded = sent;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    QObject::connect(link.get(), &Automation::ChatTextReceived, [&](const QString &line) {
        bool ok = false;
        const int n = line.mid(6).toInt(&ok);
        if (!ok || n < 0 || n >= lines)
            return;
        const Clock::time_point sent{Clock::duration(sentAt[size_t(n)].load())};
        delays[size_t(n)] = msSince(sent, Clock::now());
    });

    // The window's stand-in: a 10 ms timer whose ticks must keep coming.
    double stall = 0;
    Clock::time_point lastTick = Clock::now();
    QTimer ui;
    ui.setTimerType(Qt::PreciseTimer);
    ui.setInterval(10);
    QObject::connect(&ui, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        stall = std::max(stall, msSince(lastTick, now));
        lastTick = now;
    });

    const Clock::time_point begin = Clock::now();
    QTimer::singleShot(500, [&] { // the flood is running; measure from here
        lastTick = Clock::now();
        stall = 0;
        ui.start();
    });
    // The conference's last line goes out 500 + lines * 100 ms after the
    // start; a second more lets it arrive.
    QTimer::singleShot(500 + lines * kChatIntervalMs + 1000, [&] { app.quit(); });
    app.exec();
    const double elapsed = msSince(begin, Clock::now());
    stop = true;
    conference.join();
    flooder.join();

    std::vector<double> arrived;
    for (const double d : delays) {
        if (d >= 0)
            arrived.push_back(d);
    }
    std::sort(arrived.begin(), arrived.end());
    const size_t p99 = size_t(lines * 99 / 100); // the rank among all lines sent
    std::printf("chat_lines_sent=%d chat_lines_arrived=%zu ignored=%llu\n", lines, arrived.size(),
                static_cast<unsigned long long>(link->link().datagramsIgnored()));
    std::printf("flood_datagrams_per_s=%.0f\n", flooded.load() * 1000.0 / elapsed);
    if (p99 < arrived.size())
        std::printf("flood_chat_delay_ms=%.2f\n", arrived[p99]);
    else
        std::printf("flood_chat_delay_ms=lost\n");
    std::printf("ui_stall_ms=%.2f\n", stall);
    return 0;
}
