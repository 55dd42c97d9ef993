// The animation decoder against Qt's own GIF reader as the oracle: the stored
// animations, and small files made here for what they do not use
// (interlacing, transparency, local colours, part-frames, disposals), plus
// damaged files.

#include <forms/AnimatedGif.h>
#include <forms/GifDecoder.h>

#include <Mutator.h>
#include <Pictures.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QElapsedTimer>

using forms::GifDecoder;
using pictures::Frame;

namespace {

QByteArray storedFile(const char *name)
{
    QFile f(QStringLiteral(RADIOSALA_TEST_FORMS_SOURCE_DIR "/radiosala/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QList<QRgb> Colours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(250, 250, 10), qRgb(9, 8, 7)};

QList<quint8> pattern(QSize size, int seed)
{
    QList<quint8> v;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            v.append(quint8((x * 7 + y * 3 + seed) % 5));
    return v;
}

struct Decoded
{
    QList<QImage> frames;
    QList<int> delays;
    int loops = 0;
    QString error;
};

Decoded decodeOurs(const QByteArray &bytes)
{
    Decoded d;
    GifDecoder decoder;
    if (!decoder.open(bytes, &d.error))
        return d;
    QImage image;
    int delay = 0;
    while (decoder.readFrame(&image, &delay, &d.error)) {
        d.frames.append(image);
        d.delays.append(delay);
    }
    d.loops = decoder.loopCount();
    return d;
}

Decoded decodeQt(const QByteArray &bytes)
{
    Decoded d;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    d.loops = reader.loopCount();
    buffer.seek(0);
    QImage image;
    while (reader.read(&image)) {
        d.frames.append(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)); // as ours
        d.delays.append(reader.nextImageDelay());
    }
    return d;
}

} // namespace

class tst_gifdecoder : public QObject
{
    Q_OBJECT

private slots:
    void sameAsQt_data();
    void sameAsQt();
    void damaged_data();
    void damaged();
    void hugeFrameRefused();
    void shortFrameKeepsTheRest_data();
    void shortFrameKeepsTheRest();
    void playsItsRepeats_data();
    void playsItsRepeats();
};

void tst_gifdecoder::sameAsQt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("frames");

    QTest::newRow("stored mastro.gif") << storedFile("mastro.gif") << 10;
    QTest::newRow("stored onda.gif") << storedFile("onda.gif") << 19;

    const QSize canvas(23, 19);
    Frame full{QRect(QPoint(), canvas), pattern(canvas, 0)};
    full.delay = 4;
    Frame part{QRect(5, 3, 9, 11), pattern(QSize(9, 11), 2)};
    part.delay = 12;

    Frame interlaced = full;
    interlaced.interlaced = true;
    Frame partInterlaced = part;
    partInterlaced.interlaced = true;
    QTest::newRow("interlaced") << pictures::gif(canvas, Colours, {interlaced, partInterlaced}, 0) << 2;

    Frame see = part;
    see.transparent = 1;
    QTest::newRow("transparent index keeps what is below")
        << pictures::gif(canvas, Colours, {full, see, part}, 3) << 3;

    Frame local = part;
    local.localColours = {qRgb(1, 2, 3), qRgb(40, 50, 60), qRgb(70, 80, 90), qRgb(100, 110, 120), qRgb(5, 5, 5)};
    QTest::newRow("local colour table") << pictures::gif(canvas, Colours, {full, local, part}, -1) << 3;

    Frame restorePrevious = part;
    restorePrevious.disposal = 3;
    Frame other{QRect(1, 1, 6, 6), pattern(QSize(6, 6), 4)};
    other.delay = 5;
    QTest::newRow("restore previous") << pictures::gif(canvas, Colours, {full, restorePrevious, other}, 0) << 3;

    Frame keep = part;
    keep.disposal = 1;
    QTest::newRow("keep") << pictures::gif(canvas, Colours, {full, keep, other}, 0) << 3;
}

void tst_gifdecoder::sameAsQt()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, frames);
    QVERIFY(!bytes.isEmpty());

    const Decoded ours = decodeOurs(bytes);
    const Decoded qt = decodeQt(bytes);
    QVERIFY2(ours.error.isEmpty(), qPrintable(ours.error));
    QCOMPARE(qt.frames.size(), frames);
    QCOMPARE(ours.frames.size(), frames);
    QCOMPARE(ours.delays, qt.delays);
    QCOMPARE(ours.loops, qt.loops);
    for (int i = 0; i < frames; ++i) {
        if (ours.frames[i] != qt.frames[i]) {
            ours.frames[i].save(QStringLiteral("gifdecoder-ours-%1.png").arg(i));
            qt.frames[i].save(QStringLiteral("gifdecoder-qt-%1.png").arg(i));
            QFAIL(qPrintable(QStringLiteral("frame %1 differs from Qt's; both written to the build folder").arg(i)));
        }
    }
}

void tst_gifdecoder::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("frames");
    QTest::newRow("mastro.gif") << storedFile("mastro.gif") << 10;
    const QSize canvas(17, 13);
    Frame f{QRect(QPoint(), canvas), pattern(canvas, 1)};
    f.interlaced = true;
    QTest::newRow("made") << pictures::gif(canvas, {qRgb(1, 1, 1), qRgb(2, 2, 2)}, {f, f}, 2) << 2;
}

// A frame far larger than any canvas, in a small one: refused with a fault
// before anything is allocated for it (found by fuzzing).
void tst_gifdecoder::hugeFrameRefused()
{
    const QSize canvas(4, 4);
    Frame small{QRect(QPoint(), canvas), pattern(canvas, 0)};
    QByteArray bytes = pictures::gif(canvas, {qRgb(1, 1, 1)}, {small, small}, 0);
    // The second frame's descriptor (after the header, the colour table, the
    // repeat extension and the first frame): its width and height become 60000.
    const qsizetype first = 13 + 768 + 19;
    const qsizetype at = bytes.indexOf("\x21\xF9", first + 1) + 8;
    QCOMPARE(bytes.at(at), char(0x2C));
    bytes[at + 5] = char(0x60);
    bytes[at + 6] = char(0xEA);
    bytes[at + 7] = char(0x60);
    bytes[at + 8] = char(0xEA);
    const Decoded d = decodeOurs(bytes);
    QCOMPARE(d.frames.size(), 1);
    QVERIFY2(d.error.contains(QLatin1String("frame 60000 x 60000 is too large")), qPrintable(d.error));
}

void tst_gifdecoder::shortFrameKeepsTheRest_data()
{
    QTest::addColumn<int>("transparent");
    QTest::addColumn<bool>("interlaced");
    QTest::newRow("opaque whole rows") << -1 << false;
    QTest::newRow("see-through") << 2 << false;
    QTest::newRow("interlaced") << -1 << true;
}

// A frame whose codes end early (an end code after part of its pixels)
// changes only the pixels it reached; the rest shows the frame before.
void tst_gifdecoder::shortFrameKeepsTheRest()
{
    QFETCH(int, transparent);
    QFETCH(bool, interlaced);
    const QSize canvas(13, 9);
    Frame first{QRect(QPoint(), canvas), pattern(canvas, 0)};
    Frame second{QRect(QPoint(), canvas), pattern(canvas, 3)};
    second.transparent = transparent;
    second.interlaced = interlaced;
    const int reached = 50; // of 117, in stored order
    QByteArray bytes = pictures::gif(canvas, Colours, {first, second}, 0);
    // Rebuild the second frame's code stream from its first pixels only.
    QList<quint8> stored;
    const QList<int> storedRows = pictures::storedRows(canvas.height(), interlaced);
    for (int y : storedRows)
        stored.append(second.indices.mid(qsizetype(y) * canvas.width(), canvas.width()));
    const QByteArray whole = pictures::lzwLiterals(stored);
    const qsizetype at = bytes.lastIndexOf(whole);
    QVERIFY(at > 0);
    bytes.replace(at, whole.size(), pictures::lzwLiterals(stored.mid(0, reached)));

    const Decoded d = decodeOurs(bytes);
    QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
    QCOMPARE(d.frames.size(), 2);
    const QImage &image = d.frames[1];
    for (int i = 0; i < canvas.width() * canvas.height(); ++i) {
        const int y = storedRows[i / canvas.width()];
        const int x = i % canvas.width();
        const quint8 mine = second.indices[y * canvas.width() + x];
        const quint8 before = first.indices[y * canvas.width() + x];
        const bool shown = i < reached && mine != transparent;
        QCOMPARE(image.pixel(x, y), Colours[shown ? mine : before]);
    }
}

// Every shortened copy and seeded random corruptions: no crash, no frame
// the whole file would not have, and a fault always names where it is.
void tst_gifdecoder::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, frames);
    QVERIFY(!bytes.isEmpty());
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        const Decoded d = decodeOurs(bytes.left(n));
        QVERIFY(d.frames.size() <= frames);
        if (n < 13)
            QVERIFY2(d.error.startsWith(QLatin1String("offset ")), qPrintable(d.error));
    }
    mutator::run({bytes}, 7, 300, [](const QByteArray &copy) {
        const Decoded d = decodeOurs(copy);
        for (const QImage &image : d.frames)
            QCOMPARE(image.size(), d.frames.first().size());
        QVERIFY2(d.error.isEmpty() || d.error.startsWith(QLatin1String("offset ")), qPrintable(d.error));
    });
}

void tst_gifdecoder::playsItsRepeats_data()
{
    QTest::addColumn<int>("loops"); // as stored; -1 without the extension
    QTest::addColumn<int>("passes");
    QTest::newRow("no repeat count: once") << -1 << 1;
    QTest::newRow("two repeats: three passes") << 2 << 3;
}

// The control plays the passes the file asks for, then stays on the last
// frame.
void tst_gifdecoder::playsItsRepeats()
{
    QFETCH(int, loops);
    QFETCH(int, passes);
    const QSize canvas(8, 6);
    QList<Frame> frames;
    for (int i = 0; i < 3; ++i) {
        Frame f{QRect(QPoint(), canvas), pattern(canvas, i)};
        f.delay = 2;
        frames.append(f);
    }
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a.gif")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pictures::gif(canvas, Colours, frames, loops));
    file.close();

    forms::AnimatedGif gif;
    gif.resize(16, 12);
    QString error;
    QVERIFY2(gif.load(file.fileName(), &error), qPrintable(error));
    QElapsedTimer clock;
    clock.start();
    gif.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gif));
    QTRY_VERIFY_WITH_TIMEOUT(!gif.isPlaying(), 5000);
    QCOMPARE(gif.currentFrame(), 2);
    // Every frame but the last of every pass was shown for its 20 ms (coarse
    // timers may fire up to 5% early).
    const qint64 shortest = (passes * 3 - 1) * 20 * 95 / 100;
    QVERIFY2(clock.elapsed() >= shortest, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
}

QTEST_MAIN(tst_gifdecoder)
#include "tst_gifdecoder.moc"
