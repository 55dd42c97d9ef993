// The picture control and the window icon reader against Qt's own readers
// as oracles, and what a stretched or natural-size picture puts on screen.

#include <forms/AreaScaler.h>
#include <forms/ImageControl.h>

#include "WindowIcon.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using forms::ImageControl;

namespace {

QString stored(const char *form, const char *name)
{
    return QStringLiteral(RADIOSALA_TEST_FORMS_SOURCE_DIR "/") + QLatin1String(form) + QLatin1Char('/') + QLatin1String(name);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return f.fileName();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_imagecontrol : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void drawn_data();
    void drawn();
    void windowIcon_data();
    void windowIcon();
};

void tst_imagecontrol::load_data()
{
    QTest::addColumn<QString>("path");     // read in place; empty: `bytes` in a file of their own
    QTest::addColumn<QByteArray>("bytes"); // empty too: no file at all
    QTest::addColumn<QString>("message");  // empty: it reads
    const QByteArray banner = fileBytes(stored("radiosala", "banner.bmp"));
    QTest::newRow("banner, GDI reader") << stored("radiosala", "banner.bmp") << QByteArray() << "";
    QTest::newRow("GIF, Qt reader") << stored("radiosala", "mastro.gif") << QByteArray() << "";
    QTest::newRow("missing") << QString() << QByteArray() << "not found";
    QTest::newRow("bitmap cut short") << QString() << banner.left(40) << "cut short";
    QTest::newRow("bitmap pixels cut short") << QString() << banner.left(banner.size() / 2) << "pixels cut short";
    QTest::newRow("not a picture") << QString() << QByteArray("plain words, no picture") << "pic.dat";
}

// A picture reads as Qt's own reader reads it; one that cannot be read
// names its file and the fault, and the picture held before stays.
void tst_imagecontrol::load()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (path.isEmpty())
        path = bytes.isEmpty() ? dir.filePath(QStringLiteral("pic.dat")) : writeFile(dir, QStringLiteral("pic.dat"), bytes);
    QVERIFY(!path.isEmpty());
    ImageControl control;
    QImage before(3, 2, QImage::Format_RGB32);
    before.fill(qRgb(1, 2, 3));
    control.setPicture(before);
    QString error;
    if (message.isEmpty()) {
        QVERIFY2(control.load(path, &error), qPrintable(error));
        QVERIFY(control.picture().convertToFormat(QImage::Format_ARGB32) == QImage(path).convertToFormat(QImage::Format_ARGB32));
        return;
    }
    QVERIFY(!control.load(path, &error));
    QVERIFY2(error.contains(path) && error.contains(message), qPrintable(error));
    QVERIFY(control.picture() == before);
}

void tst_imagecontrol::drawn_data()
{
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<QSize>("size");
    QTest::newRow("stretched smaller, as in the main window") << true << QSize(233, 35);
    QTest::newRow("stretched larger") << true << QSize(300, 60);
    QTest::newRow("natural size, control larger") << false << QSize(290, 60);
}

// Stretched, the control shows the picture scaled to its size; otherwise at
// its own size from the top-left corner, the container showing around it.
void tst_imagecontrol::drawn()
{
    QFETCH(bool, stretch);
    QFETCH(QSize, size);
    QWidget parent;
    parent.resize(size + QSize(10, 10));
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    auto *control = new ImageControl(&parent);
    control->setGeometry(QRect(QPoint(5, 5), size));
    QString error;
    QVERIFY2(control->load(stored("radiosala", "banner.bmp"), &error), qPrintable(error));
    control->setStretched(stretch);
    QImage shot(parent.size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    parent.render(&shot);

    const QImage picture = control->picture().convertToFormat(QImage::Format_RGB32);
    const QImage expected = stretch ? forms::smoothlyScaled(picture, size) : picture;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QPoint in(x - 5, y - 5);
            const QRgb want = expected.rect().contains(in) ? expected.pixel(in) : qRgb(0x12, 0x34, 0x56);
            if (shot.pixel(x, y) != want) {
                shot.save(QStringLiteral("imagecontrol-drawn.png"));
                QFAIL(qPrintable(QStringLiteral("(%1, %2): %3, expected %4").arg(x).arg(y)
                                     .arg(shot.pixel(x, y), 8, 16).arg(want, 8, 16)));
            }
        }
    }
}

void tst_imagecontrol::windowIcon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("keep"); // bytes of it in a damaged copy; -1: the file itself
    const QString ico = stored("radiosala", "radiosala.ico");
    QTest::newRow("16 colours") << ico << -1;
    QTest::newRow("256 colours") << stored("Comandos", "Comandos.ico") << -1;
    QTest::newRow("missing") << stored("radiosala", "none.ico") << -1;
    QTest::newRow("empty") << ico << 0;
    QTest::newRow("directory cut short") << ico << 30;
    QTest::newRow("pixels cut short") << ico << int(fileBytes(ico).size()) - 100;
}

// The icon read as Qt's ICO reader reads it, transparency included; a
// damaged or missing one names its file.
void tst_imagecontrol::windowIcon()
{
    QFETCH(QString, path);
    QFETCH(int, keep);
    QTemporaryDir dir;
    if (keep >= 0)
        path = writeFile(dir, QStringLiteral("w.ico"), fileBytes(path).left(keep));
    QString error;
    const QIcon icon = forms::readWindowIcon(path, &error);
    if (keep >= 0 || !QFile::exists(path)) {
        QVERIFY(icon.isNull());
        QVERIFY2(error.contains(path), qPrintable(error));
        return;
    }
    QVERIFY2(!icon.isNull(), qPrintable(error));
    const QImage qt = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const QImage ours = icon.pixmap(qt.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(ours.size(), QSize(32, 32));
    QVERIFY(ours == qt);
}

QTEST_MAIN(tst_imagecontrol)
#include "tst_imagecontrol.moc"
