#include <echolink/native/Cp1252.h>
#include <echolink/native/GsmCodec.h>
#include <echolink/native/StationPackets.h>

#include <Mutator.h>

#include <QtTest>

#include <cmath>

using namespace echolink::native;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A literal with its embedded NULs.
template<std::size_t N>
QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// A conference's SDES assembled item by item, independently of the builder:
// receiver report, SDES header, items, END, alignment and the pad count.
QByteArray conferenceSdes(const QByteArray &name, const QByteArray &tool)
{
    QByteArray items;
    items += char(1) + QByteArray(1, char(8)) + "CALLSIGN";
    items += char(2) + QByteArray(1, char(name.size())) + name;
    items += char(6) + QByteArray(1, char(tool.size())) + tool;
    items += char(0);
    while ((8 + 8 + items.size()) % 4)
        items += char(0);
    items += hex("00000004");
    const int words = (8 + items.size()) / 4 - 1;
    return hex("c0c9000100000000e1ca") + char(words >> 8) + char(words & 0xff) + hex("00000000") + items;
}

} // namespace

class tst_NativeWire : public QObject
{
    Q_OBJECT

private slots:
    void matchesCaptures();
    void parsesControl_data();
    void parsesControl();
    void splitsText_data();
    void splitsText();
    void cp1252();
    void audioPackets_data();
    void audioPackets();
    void gsmRoundTrip();
    void mutatedPacketsAreHarmless();
};

void tst_NativeWire::matchesCaptures()
{
    const QByteArray captured = hex(
        "c0c9000100000000e1ca001500000000010843414c4c5349474e02145a5a39585120202020"
        "202020202020416c706861030843414c4c5349474e0408313233343536373806084532203320"
        "313231080601503531393808030144300000000004");
    wire::StationDescription station{"ZZ9XQ", "Alpha", "12345678", "E2 3 121"};
    QCOMPARE(wire::buildConnectSdes(station).toHex(), captured.toHex());
    QCOMPARE(wire::buildBye().toHex(), hex("c0c9000100000000e1cb000400000000076a616e3230303200000004").toHex());
    QCOMPARE(wire::buildText("ZZ9XQ>.users\r").toHex(), QByteArray("6f4e444154415a5a3958513e2e75736572730d00"));
}

void tst_NativeWire::parsesControl_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("kind"); // 0 SDES, 1 BYE, -1 refused
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("text"); // TOOL of an SDES, reason of a BYE

    QTest::newRow("conference idle")
        << conferenceSdes("*CONFCALL* (Conference  [1/8]) CONF", "thebridge V 1.09") << 0
        << QByteArray("*CONFCALL* (Conference  [1/8]) CONF") << QByteArray("thebridge V 1.09");
    QTest::newRow("conference with talker")
        << conferenceSdes("*CONFCALL* (ZZ9ZZ Beta) CONF", "tb") << 0
        << QByteArray("*CONFCALL* (ZZ9ZZ Beta) CONF") << QByteArray("tb");
    QTest::newRow("our own connect")
        << wire::buildConnectSdes({"ZZ9XQ", "Alpha", "12345678", "X"}) << 0
        << QByteArray("ZZ9XQ          Alpha") << QByteArray("X");
    QTest::newRow("conference bans us")
        << hex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye" << 1 << QByteArray() << QByteArray("Bye Bye");
    QTest::newRow("our own bye") << wire::buildBye() << 1 << QByteArray() << QByteArray("jan2002");

    const auto refused = [](const char *name, const QByteArray &datagram) {
        QTest::newRow(name) << datagram << -1 << QByteArray() << QByteArray();
    };
    const QByteArray good = conferenceSdes("*CONFCALL* (Conference  [1/8]) CONF", "tb");
    const auto patched = [&](qsizetype at, int byte) {
        QByteArray d = good;
        d[at] = char(byte);
        return d;
    };

    refused("empty", QByteArray());
    refused("three bytes", hex("c0c900"));
    refused("receiver report only", hex("c0c9000100000000"));
    refused("length past the end", patched(11, good[11] + 1)); // one word more than is there
    refused("truncated by one byte", good.left(good.size() - 1));
    refused("pad count too large", patched(good.size() - 1, 0x7f));
    refused("pad count zero", patched(good.size() - 1, 0));
    refused("item past the packet", patched(16 + 10 + 1, 0xf0)); // NAME's length
    refused("missing chunk", patched(8, 0xe2)); // two chunks announced, one present
    refused("text datagram", wire::buildText("CONF x"));
    refused("bye reason past the end", hex("c0c9000100000000c1cb00033a75acab09") + "Bye Bye");
    refused("bye with too many sources", hex("c0c9000100000000c5cb00033a75acab07") + "Bye Bye");
}

void tst_NativeWire::parsesControl()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, kind);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, text);
    QString error;
    const auto packet = wire::parseControl(datagram, &error);
    QCOMPARE(bool(packet), kind >= 0);
    QCOMPARE(error.isEmpty(), kind >= 0);
    if (!packet)
        return;
    QCOMPARE(int(packet->kind == wire::ControlPacket::Kind::Bye), kind);
    if (kind == 1) {
        QCOMPARE(packet->byeReason, text);
    } else {
        QCOMPARE(packet->name, name);
        QCOMPARE(packet->tool, text);
        QCOMPARE(packet->cname, QByteArray("CALLSIGN"));
    }
}

void tst_NativeWire::splitsText_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("station");
    QTest::addColumn<QList<QByteArray>>("lines"); // chat lines, or the whole station text

    using L = QList<QByteArray>;
    QTest::newRow("station list") << bytes("oNDATACONF TESTCONF loopback [1/8]\r\rZZ9XQ Alpha\r\0") << true
                                  << L{"CONF TESTCONF loopback [1/8]\r\rZZ9XQ Alpha\r"};
    QTest::newRow("station info") << bytes("oNDATA\rZZ9ZZ Beta\rLisboa\0") << true
                                  << L{"\rZZ9ZZ Beta\rLisboa"};
    QTest::newRow("reply, two lines, trailing space kept")
        << bytes("oNDATA1. ZZ9XQ A\r2. ZZ9ZZ \r\0") << false << L{"1. ZZ9XQ A", "2. ZZ9ZZ "};
    QTest::newRow("chat without NUL") << QByteArray("oNDATAZZ9ZZ>Hi ZZ9XQ, ZZ9ZZ here\r") << false
                                      << L{"ZZ9ZZ>Hi ZZ9XQ, ZZ9ZZ here"};
    QTest::newRow("bytes after the NUL are not text")
        << bytes("oNDATAUptime: 0 minutes and 1 seconds\r\0\x01\x02\x03\x04") << false
        << L{"Uptime: 0 minutes and 1 seconds"};
    QTest::newRow("empty line before the end is a line")
        << QByteArray("oNDATAZZ9XQ\t127.0.0.2\tE\r\r") << false << L{"ZZ9XQ\t127.0.0.2\tE", ""};
    QTest::newRow("no final CR") << QByteArray("oNDATAYour wish is my command.") << false
                                 << L{"Your wish is my command."};
    QTest::newRow("empty text") << bytes("oNDATA\0") << false << L{};
    QTest::newRow("CONF only further in is chat") << QByteArray("oNDATA*CONF*>ZZ9ZZ you have timed out!\r")
                                                  << false << L{"*CONF*>ZZ9ZZ you have timed out!"};
}

void tst_NativeWire::splitsText()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, station);
    QFETCH(QList<QByteArray>, lines);
    const auto text = wire::parseText(datagram);
    QVERIFY(text);
    QCOMPARE(wire::isStationText(*text), station);
    if (station)
        QCOMPARE(QList<QByteArray>{*text}, lines);
    else
        QCOMPARE(wire::chatLines(*text), lines);
}

void tst_NativeWire::cp1252()
{
    const QByteArray encoded("\x80 \xe7\xe3o \x93ol\xe1\x94 \x81", 13);
    const QString text = fromCp1252(encoded);
    QCOMPARE(text, QString::fromUtf8("€ ção “olá” \u0081"));
    QCOMPARE(toCp1252(text), encoded);
    QCOMPARE(toCp1252(QString::fromUtf8("日本")), QByteArray("??"));
}

void tst_NativeWire::audioPackets_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("frames"); // -1: not audio

    QByteArray frames(4 * 33, '\0');
    for (int f = 0; f < 4; ++f)
        frames[f * 33] = char(0xd0);
    QTest::newRow("four frames") << wire::buildAudio(7, frames) << 4;
    QTest::newRow("one frame") << wire::buildAudio(7, frames.left(33)) << 1;
    QTest::newRow("marker bit set") << (hex("c083") + wire::buildAudio(7, frames).mid(2)) << 4;
    QTest::newRow("header only") << wire::buildAudio(7, {}) << -1;
    QTest::newRow("partial frame") << wire::buildAudio(7, frames.left(100)) << -1;
    QTest::newRow("other payload type") << (hex("c000") + wire::buildAudio(7, frames).mid(2)) << -1;
    QTest::newRow("text") << wire::buildText("ZZ9ZZ>hi\r") << -1;
    QTest::newRow("control") << wire::buildBye() << -1;
}

void tst_NativeWire::audioPackets()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, frames);
    const auto audio = wire::parseAudio(datagram);
    QCOMPARE(audio.has_value(), frames >= 0);
    if (audio) {
        QCOMPARE(audio->frames.size(), frames * 33);
        QCOMPARE(audio->sequence, quint16(7));
    }
}

void tst_NativeWire::gsmRoundTrip()
{
    // A 500 Hz tone survives the codec with most of its energy.
    GsmCodec codec;
    QByteArray pcm(40 * 160 * 2, '\0');
    auto *samples = reinterpret_cast<qint16 *>(pcm.data());
    for (int i = 0; i < 40 * 160; ++i)
        samples[i] = qint16(8000 * std::sin(2 * M_PI * 500 * i / 8000.0));
    const QByteArray frames = codec.encode(pcm);
    QCOMPARE(frames.size(), 40 * 33);
    const QByteArray decoded = codec.decode(frames);
    QCOMPARE(decoded.size(), pcm.size());
    const auto *out = reinterpret_cast<const qint16 *>(decoded.constData());
    double in = 0, back = 0;
    for (int i = 10 * 160; i < 40 * 160; ++i) { // after the codec has settled
        in += double(samples[i]) * samples[i];
        back += double(out[i]) * out[i];
    }
    QVERIFY2(back > 0.5 * in && back < 2 * in, qPrintable(QStringLiteral("energy %1 vs %2").arg(back).arg(in)));

    // A frame without the signature decodes to silence.
    QByteArray broken = frames.left(33);
    broken[0] = 0;
    const QByteArray silence = codec.decode(broken);
    QCOMPARE(silence, QByteArray(320, '\0'));
}

void tst_NativeWire::mutatedPacketsAreHarmless()
{
    // Seeded mutations of every captured kind of datagram; under the
    // sanitizers a read outside a packet fails here.
    const QList<QByteArray> seeds = {
        wire::buildConnectSdes({"ZZ9XQ", "Alpha", "12345678", "E2 3 121"}),
        conferenceSdes("*CONFCALL* (Conference  [1/8]) CONF", "thebridge V 1.09"),
        hex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye",
        wire::buildBye(),
        bytes("oNDATACONF TESTCONF loopback [1/8]\r\rZZ9XQ Alpha\r\0"),
        wire::buildAudio(1, QByteArray(132, char(0xd0))),
    };
    int parsed = 0;
    mutator::run(seeds, 20261206, 30000, [&](const QByteArray &d) {
        const auto control = wire::parseControl(d);
        if (control) {
            ++parsed;
            QVERIFY(control->name.size() <= 255 && control->tool.size() <= 255);
        }
        if (const auto text = wire::parseText(d)) {
            QVERIFY(!text->contains('\0'));
            for (const QByteArray &line : wire::chatLines(*text))
                QVERIFY(!line.contains('\r'));
        }
        if (const auto audio = wire::parseAudio(d))
            QCOMPARE(audio->frames.size() % 33, 0);
    });
    QVERIFY(parsed > 0 || mutator::replaying()); // the mutations did not only produce garbage
}

QTEST_GUILESS_MAIN(tst_NativeWire)
#include "tst_nativewire.moc"
