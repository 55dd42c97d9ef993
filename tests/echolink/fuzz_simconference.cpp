// libFuzzer target: drives the simulated conference with arbitrary lines,
// clock steps, PTT and reconnects, and checks what it hands the station.
#include "sim/Conference.h"

#include <cstdint>
#include <cstdlib>

using echolink::sim::Conference;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    Conference::Settings settings;
    settings.password = QStringLiteral("pw");
    settings.seed = quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
    settings.localCallsign = QStringLiteral("ZZ1ADM");
    settings.localName = QStringLiteral("Radiosala");
    settings.startedAt = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    Conference conference(settings);

    qint64 now = 0;
    size_t i = 4;
    const auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const uint8_t op = next();
        switch (op % 6) {
        case 0:
            now += qint64(next()) * 1'000 + qint64(next()) * 10;
            conference.advanceTo(now);
            break;
        case 1:
            conference.setLocalTransmitting(now, next() & 1);
            break;
        case 2:
            conference.reconnectLocal(now);
            break;
        case 3:
            conference.receiveLine(now, QStringLiteral(".admin pw"));
            break;
        default: {
            const size_t length = next();
            QString line = op % 6 == 4 ? QStringLiteral(".") : QString();
            for (size_t k = 0; k < length && i < size; ++k)
                line += QChar(char16_t(next())); // every Latin-1 character, controls included
            conference.receiveLine(now, line);
            break;
        }
        }
        if (conference.isLocalReceiving() && !conference.isLocalConnected())
            std::abort();
        for (const Conference::Output &out : conference.takeOutputs()) {
            if (out.kind == Conference::Output::Kind::Station && !out.text.isEmpty()
                && !out.text.startsWith(QLatin1String("CONF *ZZ0SALA* ")))
                std::abort();
        }
    }
    return 0;
}
