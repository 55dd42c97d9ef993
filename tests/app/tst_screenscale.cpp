// The main window on high-resolution screens. CTest runs this suite at scale
// 2 on two offscreen screens, the second at three quarters of the first's
// ratio: 1.5.

#include "radiosala.h"

#include <button/testsupport/KxButtonsProbe.h>

#include <forms/AreaScaler.h>
#include <forms/ImageControl.h>
#include <forms/Label.h>
#include <host/form.h>

#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

QScreen *screenOfScale(double ratio)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == ratio)
            return screen;
    return nullptr;
}

// The window on the screen of that scale, once it has followed.
bool moveToScale(QWidget &window, double ratio)
{
    QScreen *screen = screenOfScale(ratio);
    if (!screen)
        return false;
    window.move(screen->geometry().topLeft() + QPoint(10, 10));
    return QTest::qWaitFor([&] { return window.devicePixelRatioF() == ratio; });
}

// What the screen shows of a widget, in device pixels.
QImage onScreen(QWidget &window, QWidget *widget)
{
    QImage shown = window.grab(QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size())).toImage()
                       .convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    return shown;
}

} // namespace

class tst_screenscale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void captionDrawnAtDeviceResolution();
    void ellipticRegionDecidesClicksToTheDevicePixel_data();
    void ellipticRegionDecidesClicksToTheDevicePixel();
    void bannerScaledOnceFromItsSource();
    void buttonAsKxrenderDrawsIt_data();
    void buttonAsKxrenderDrawsIt();
    void largeLabelTextAsQtDrawsIt_data();
    void largeLabelTextAsQtDrawsIt();

private:
    radiosala m_window{QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala")};
};

void tst_screenscale::initTestCase()
{
    QVERIFY2(m_window.isLoaded(), qPrintable(m_window.loadError()));
    QVERIFY(screenOfScale(2.0) && screenOfScale(1.5));
    m_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    QVERIFY(moveToScale(m_window, 2.0));
    // The client area in device pixels: 448 x 568 at scale 1.
    QCOMPARE(m_window.grab().size(), QSize(896, 1136));
}

void tst_screenscale::captionDrawnAtDeviceResolution()
{
    kxButtons_H *button = m_window.button(QStringLiteral("abre"));
    const QImage shown = onScreen(m_window, button);
    const KxButtonsProbe probe(*button);
    const RECT caption = probe.captionRect();
    const std::int32_t face = probe.faceColor();
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(probe.memDC(), OBJ_FONT), sizeof font, &font);
    QCOMPARE(font.lfHeight, -24); // 9 points: 20 x 9 / 7.5 twips per pixel
    QCOMPARE(GetDeviceCaps(probe.memDC(), LOGPIXELSY), 192);
    const QRgb faceRgb = qRgb(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF);
    // 2 x 2 blocks are the layout pixels: a caption drawn at 96 dpi and
    // blown up fills each one with a single colour.
    int blocks = 0;
    int uniform = 0;
    for (int y = caption.top & ~1; y + 1 < caption.bottom; y += 2) {
        for (int x = caption.left & ~1; x + 1 < caption.right; x += 2) {
            const QRgb p[4] = {shown.pixel(x, y), shown.pixel(x + 1, y), shown.pixel(x, y + 1),
                               shown.pixel(x + 1, y + 1)};
            if (std::all_of(p, p + 4, [&](QRgb c) { return c == faceRgb; }))
                continue;
            ++blocks;
            uniform += std::all_of(p, p + 4, [&](QRgb c) { return c == p[0]; });
        }
    }
    QVERIFY(blocks > 20);
    QVERIFY2(2 * uniform < blocks, qPrintable(QStringLiteral("%1 of %2 uniform").arg(uniform).arg(blocks)));
}

void tst_screenscale::ellipticRegionDecidesClicksToTheDevicePixel_data()
{
    // A 63 x 43 button (945 x 645 twips): twips / TwipsPerPixel, halves to even.
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("device");
    QTest::newRow("scale 2") << 2.0 << QSize(126, 86);
    QTest::newRow("scale 1.5: 94.5 x 64.5") << 1.5 << QSize(94, 64);
}

void tst_screenscale::ellipticRegionDecidesClicksToTheDevicePixel()
{
    QFETCH(double, scale);
    QFETCH(QSize, device);
    host::Form form;
    form.resize(120, 80);
    auto *button = new kxButtons_H(&form);
    button->UserControl_InitProperties();
    button->setGeometry(10, 8, 63, 43);
    button->ButtonShape(4);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(moveToScale(form, scale));
    const QRegion region = *host::windowRegion(button);
    QCOMPARE(region.boundingRect(), QRect(QPoint(0, 0), device));
    QSignalSpy clicks(button, &kxButtons_H::Click);
    const auto click = [&](QPoint pixel) {
        // The centre of the device pixel, in the window's layout pixels.
        const QPointF at = QPointF(button->pos()) + (QPointF(pixel) + QPointF(0.5, 0.5)) / scale;
        const QPointF global = QPointF(form.mapToGlobal(QPoint(0, 0))) + at;
        for (const auto &[type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                           std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
            QMouseEvent event(type, at, at, global, Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(form.windowHandle(), &event);
        }
    };
    // The outer pixels of every row and the pixels just outside them.
    for (int y = 0; y < device.height(); ++y) {
        int left = 0;
        while (left < device.width() && !region.contains(QPoint(left, y)))
            ++left;
        int right = device.width() - 1;
        while (right >= 0 && !region.contains(QPoint(right, y)))
            --right;
        for (const QPoint pixel : {QPoint(left - 1, y), QPoint(left, y), QPoint(right, y), QPoint(right + 1, y)}) {
            const qsizetype before = clicks.size();
            click(pixel);
            QVERIFY2(clicks.size() - before == (region.contains(pixel) ? 1 : 0),
                     qPrintable(QStringLiteral("device pixel %1, %2").arg(pixel.x()).arg(pixel.y())));
        }
    }
}

void tst_screenscale::bannerScaledOnceFromItsSource()
{
    auto *banner = m_window.findChild<forms::ImageControl *>(QStringLiteral("Image1"));
    const QImage shown = onScreen(m_window, banner);
    QCOMPARE(shown.size(), banner->size() * 2);
    QCOMPARE(shown, forms::smoothlyScaled(banner->picture(), shown.size()).convertToFormat(QImage::Format_RGB32));
}

void tst_screenscale::buttonAsKxrenderDrawsIt_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("scale 2") << 2.0;
    QTest::newRow("moved to a screen of scale 1.5") << 1.5;
}

void tst_screenscale::buttonAsKxrenderDrawsIt()
{
    QFETCH(double, scale);
    QVERIFY(moveToScale(m_window, scale));
    kxButtons_H *button = m_window.button(QStringLiteral("abre"));
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("abre.png"));
    QProcess kxrender;
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    kxrender.setProcessEnvironment(env);
    kxrender.start(QStringLiteral(KXRENDER_PATH),
                   {QStringLiteral("--bag"), QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala/abre.bag"),
                    QStringLiteral("--size"), QStringLiteral("%1x%2").arg(button->width()).arg(button->height()),
                    QStringLiteral("--container-back"), QString::number(button->Ambient().BackColor),
                    QStringLiteral("--scale"), QString::number(scale), QStringLiteral("--out"), png});
    QVERIFY(kxrender.waitForFinished(60000));
    QCOMPARE(kxrender.exitCode(), 0);
    const QImage drawn(png);
    const QImage shown = onScreen(m_window, button);
    QCOMPARE(shown.size(), drawn.size());
    QCOMPARE(button->ScaleWidth(), float(drawn.width()));
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            differing += qAlpha(drawn.pixel(x, y)) == 255 && shown.pixel(x, y) != (drawn.pixel(x, y) | 0xFF000000u);
    if (differing) {
        shown.save(QStringLiteral("screenscale-shown.png"));
        drawn.save(QStringLiteral("screenscale-kxrender.png"));
    }
    QCOMPARE(differing, 0);
}

void tst_screenscale::largeLabelTextAsQtDrawsIt_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<int>("inset");
    QTest::newRow("scale 2, centred") << 2.0 << Qt::Alignment(Qt::AlignHCenter) << 0;
    QTest::newRow("scale 2, tabs expanded") << 2.0 << Qt::Alignment(Qt::AlignLeft) << 0;
    QTest::newRow("scale 1.5, half a device pixel in") << 1.5 << Qt::Alignment(Qt::AlignLeft) << 1;
}

// Text above the painter's glyph cache is copied from a kept image: it shows
// what Qt's own label draws, each time in the label's own colour.
void tst_screenscale::largeLabelTextAsQtDrawsIt()
{
    QFETCH(double, scale);
    QFETCH(Qt::Alignment, alignment);
    QFETCH(int, inset);
    QWidget window;
    window.resize(300, 240);
    forms::Label ours(&window);
    QLabel qt(&window);
    QFont font = m_window.findChild<forms::Label *>(QStringLiteral("Label9"))->font();
    font.setPixelSize(48);
    for (QLabel *label : {static_cast<QLabel *>(&ours), &qt}) {
        label->setGeometry(8, label == &qt ? 120 : 4, 280, 110);
        label->setContentsMargins(inset, inset, 0, 0);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(alignment | Qt::AlignTop);
        label->setText(QStringLiteral("Controle\tde Radiosala"));
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(moveToScale(window, scale));
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::blue)}) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::WindowText, colour);
        window.setPalette(palette);
        QCOMPARE(onScreen(window, &ours), onScreen(window, &qt));
    }
}

QTEST_MAIN(tst_screenscale)
#include "tst_screenscale.moc"
