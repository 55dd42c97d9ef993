// Start-up to the main window on screen, against a plain Qt window with the
// same number of standard widgets, in one run. Each is built and shown
// several times, alternating; the medians are compared.
// Prints startup_ratio=<radiosala / plain>; the goal is < 1.5.
//
//   bench_startup [rounds] [--scale S]

#include "ScaleArgument.h"
#include "radiosala.h"

#include <echolink/testsupport/RecordingAutomation.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString FormsDir = QStringLiteral(RADIOSALA_BENCH_FORMS_DIR "/radiosala");

void waitShown(QWidget *w)
{
    w->show();
    QApplication::processEvents();
    while (!w->windowHandle() || !w->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    // The paint that the exposure asked for.
    QApplication::processEvents();
}

// The main window from its stored data, with its 33 buttons read from their
// property bags, started and shown.
qint64 radiosalaRun()
{
    QElapsedTimer t;
    t.start();
    echolink::testsupport::RecordingAutomation echo;
    auto window = std::make_unique<radiosala>(FormsDir);
    window->Form_Load(echo);
    waitShown(window.get());
    return t.nsecsElapsed();
}

// The same count and kinds of controls from plain Qt widgets.
qint64 plainRun(int count[4])
{
    QElapsedTimer t;
    t.start();
    auto window = std::make_unique<QWidget>();
    window->resize(731, 568);
    auto *frame = new QGroupBox(QStringLiteral("Controle da Radiosala"), window.get());
    frame->setGeometry(8, 376, 433, 185);
    int y = 0;
    for (int i = 0; i < count[0]; ++i, y += 3)
        (new QPushButton(QStringLiteral("Botão %1").arg(i), frame))->setGeometry(8 + (i % 5) * 80, 24 + (i / 5) * 20, 73, 25);
    for (int i = 0; i < count[1]; ++i)
        (new QLineEdit(QStringLiteral("indicativo"), window.get()))->setGeometry(8, 8 + i * 24, 100, 23);
    for (int i = 0; i < count[2]; ++i)
        (new QLabel(QStringLiteral("Rótulo %1").arg(i), window.get()))->setGeometry(460, 8 + i * 20, 200, 20);
    for (int i = 0; i < count[3]; ++i)
        (new QGroupBox(QStringLiteral("Quadro %1").arg(i), window.get()))->setGeometry(120, 8 + i * 30, 200, 28);
    new QPlainTextEdit(window.get());
    new QCheckBox(QStringLiteral("pela Sala"), window.get());
    new QTimer(window.get());
    waitShown(window.get());
    return t.nsecsElapsed();
}

qint64 median(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray scale = takeScaleArgument(argc, argv);
    QApplication app(argc, argv);
    std::printf("scale=%s\n", scale.constData());
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 15;

    // Count the main window's controls by kind to build the same in Qt.
    radiosala probe(FormsDir);
    if (!probe.isLoaded()) {
        std::fprintf(stderr, "%s\n", qPrintable(probe.loadError()));
        return 1;
    }
    int count[4] = {0, 0, 0, 0}; // buttons, single-line boxes, labels and pictures, frames
    for (const forms::ControlData &c : probe.form().data.controls) {
        switch (c.kind) {
        case forms::ControlKind::Button: ++count[0]; break;
        case forms::ControlKind::TextBox: if (!c.multiLine) ++count[1]; break;
        case forms::ControlKind::Frame: ++count[3]; break;
        case forms::ControlKind::CheckBox:
        case forms::ControlKind::Timer: break;
        default: ++count[2]; break;
        }
    }

    // Warm-up: fonts, styles and image plug-ins load once for both. The
    // plain window goes first, so the first radiosala window is timed with
    // Qt warm but with nothing of its own laid out yet: the fonts it uses
    // met for the first time, its captions and glyphs not yet kept.
    const qint64 plainFirst = plainRun(count);
    const qint64 first = radiosalaRun();

    std::vector<qint64> ours, plain;
    for (int i = 0; i < rounds; ++i) {
        ours.push_back(radiosalaRun());
        plain.push_back(plainRun(count));
    }
    const double a = double(median(ours)) / 1e6;
    const double b = double(median(plain)) / 1e6;
    std::printf("controls: buttons=%d boxes=%d labels=%d frames=%d\n", count[0], count[1], count[2], count[3]);
    std::printf("plain_qt_first_ms=%.2f radiosala_first_ms=%.2f\n", double(plainFirst) / 1e6, double(first) / 1e6);
    std::printf("radiosala_ms=%.2f plain_qt_ms=%.2f rounds=%d\n", a, b, rounds);
    std::printf("startup_ratio=%.3f\n", a / b);
    return a / b < 1.5 ? 0 : 1;
}
