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

template <class Prepared, class Make>
Prepared onWorker(Make make)
{
    Prepared prepared;
    std::thread worker([&] { prepared = make(); });
    worker.join();
    return prepared;
}

QImage shown(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_PreparedLoad : public QObject
{
    Q_OBJECT

private slots:
    void animation_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("preparedFor");
        QTest::addColumn<QSize>("control");
        QTest::newRow("mast, as laid out") << stored("mastro.gif") << QSize(33, 49) << QSize(33, 49);
        QTest::newRow("wave, as laid out") << stored("onda.gif") << QSize(96, 48) << QSize(96, 48);
        QTest::newRow("wave, control resized since") << stored("onda.gif") << QSize(96, 48) << QSize(140, 60);
        QTest::newRow("wave, prepared for no size") << stored("onda.gif") << QSize() << QSize(96, 48);
        QTest::newRow("wave at its own size") << stored("onda.gif") << QSize(280, 120) << QSize(280, 120);
    }

    void animation()
    {
        QFETCH(QString, file);
        QFETCH(QSize, preparedFor);
        QFETCH(QSize, control);
        AnimatedGif prepared, direct;
        prepared.resize(control);
        direct.resize(control);
        QString error;
        QVERIFY(prepared.load(onWorker<AnimatedGif::Prepared>([&] { return AnimatedGif::prepare(file, preparedFor); }),
                              &error));
        QVERIFY(direct.load(file, &error));
        QCOMPARE(prepared.naturalSize(), direct.naturalSize());
        QVERIFY(shown(prepared) == shown(direct));
    }

    void picture_data()
    {
        QTest::addColumn<QSize>("preparedFor");
        QTest::addColumn<QSize>("control");
        QTest::newRow("banner, as laid out") << QSize(233, 35) << QSize(233, 35);
        QTest::newRow("banner, control resized since") << QSize(233, 35) << QSize(300, 40);
    }

    void picture()
    {
        QFETCH(QSize, preparedFor);
        QFETCH(QSize, control);
        const QString file = stored("banner.bmp");
        ImageControl prepared, direct;
        for (ImageControl *c : {&prepared, &direct}) {
            c->setStretched(true);
            c->resize(control);
        }
        QString error;
        QVERIFY(prepared.load(onWorker<ImageControl::Prepared>([&] { return ImageControl::prepare(file, preparedFor); }),
                              &error));
        QVERIFY(direct.load(file, &error));
        QVERIFY(prepared.picture() == direct.picture());
        QVERIFY(shown(prepared) == shown(direct));
    }

    void faults()
    {
        const QString missing = stored("no-such-file.gif");
        const QString notGif = stored("banner.bmp");
        for (const QString &file : {missing, notGif}) {
            AnimatedGif prepared, direct;
            QString preparedError, directError;
            QVERIFY(!prepared.load(AnimatedGif::prepare(file, QSize(20, 20)), &preparedError));
            QVERIFY(!direct.load(file, &directError));
            QCOMPARE(preparedError, directError);
            QVERIFY(preparedError.contains(file));
        }
        ImageControl prepared, direct;
        QString preparedError, directError;
        QVERIFY(!prepared.load(ImageControl::prepare(stored("no-such-file.bmp")), &preparedError));
        QVERIFY(!direct.load(stored("no-such-file.bmp"), &directError));
        QCOMPARE(preparedError, directError);
        QVERIFY(preparedError.contains(QLatin1String("no-such-file.bmp")));
    }
};

QTEST_MAIN(tst_PreparedLoad)
#include "tst_preparedload.moc"
