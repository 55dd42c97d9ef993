// Animations and pictures prepared on another thread (read, decoded, scaled
// for the control) show exactly what loading them on the spot shows, also
// when the control's size has changed since; and their faults are the same.

#include <forms/AnimatedGif.h>
#include <forms/ImageControl.h>

#include <QImage>
#include <QTest>

#include <thread>

using forms::AnimatedGif;
using forms::ImageControl;

namespace {

QString stored(const char *name)
{
    return QStringLiteral(RADIOSALA_TEST_FORMS_SOURCE_DIR "/radiosala/") + QLatin1String(name);
}

// Loads `file` into two controls of size `size`: one from what a worker
// prepared for `preparedFor`, one on the spot. Both succeed or fail alike,
// with the same message, and show the same.
template <class Control>
void compareLoads(const QString &file, QSize preparedFor, QSize size)
{
    Control prepared, direct;
    for (Control *c : {&prepared, &direct}) {
        if constexpr (std::is_same_v<Control, ImageControl>)
            c->setStretched(true);
        c->resize(size);
    }
    typename Control::Prepared ready;
    std::thread worker([&] { ready = Control::prepare(file, preparedFor); });
    worker.join();
    QString preparedError, directError;
    const bool loaded = prepared.load(std::move(ready), &preparedError);
    QCOMPARE(direct.load(file, &directError), loaded);
    QCOMPARE(preparedError, directError);
    if (!loaded) {
        QVERIFY2(preparedError.contains(file), qPrintable(preparedError));
        return;
    }
    if constexpr (std::is_same_v<Control, ImageControl>)
        QVERIFY(prepared.picture() == direct.picture());
    QVERIFY(prepared.grab().toImage() == direct.grab().toImage());
}

} // namespace

class tst_PreparedLoad : public QObject
{
    Q_OBJECT

private slots:
    void sameAsDirect_data()
    {
        QTest::addColumn<bool>("animation"); // else a stretched picture
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("preparedFor");
        QTest::addColumn<QSize>("control");
        QTest::newRow("mast, as laid out") << true << stored("mastro.gif") << QSize(33, 49) << QSize(33, 49);
        QTest::newRow("wave, as laid out") << true << stored("onda.gif") << QSize(96, 48) << QSize(96, 48);
        QTest::newRow("wave, control resized since") << true << stored("onda.gif") << QSize(96, 48) << QSize(140, 60);
        QTest::newRow("wave, prepared for no size") << true << stored("onda.gif") << QSize() << QSize(96, 48);
        QTest::newRow("wave at its own size") << true << stored("onda.gif") << QSize(280, 120) << QSize(280, 120);
        QTest::newRow("banner, as laid out") << false << stored("banner.bmp") << QSize(233, 35) << QSize(233, 35);
        QTest::newRow("banner, control resized since") << false << stored("banner.bmp") << QSize(233, 35) << QSize(300, 40);
        QTest::newRow("animation missing") << true << stored("no-such-file.gif") << QSize(20, 20) << QSize(20, 20);
        QTest::newRow("animation not a GIF") << true << stored("banner.bmp") << QSize(20, 20) << QSize(20, 20);
        QTest::newRow("picture missing") << false << stored("no-such-file.bmp") << QSize() << QSize(20, 20);
    }

    void sameAsDirect()
    {
        QFETCH(bool, animation);
        QFETCH(QString, file);
        QFETCH(QSize, preparedFor);
        QFETCH(QSize, control);
        if (animation)
            compareLoads<AnimatedGif>(file, preparedFor, control);
        else
            compareLoads<ImageControl>(file, preparedFor, control);
    }
};

QTEST_MAIN(tst_PreparedLoad)
#include "tst_preparedload.moc"
