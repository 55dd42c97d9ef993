// Where the main window's start-up time goes: the median of each phase of
// bench_startup's radiosala run (build from the stored data, Form_Load, show
// until exposed, the first paint). A companion for reading the ratio that
// bench_startup prints, not a goal of its own.
//
//   QT_QPA_PLATFORM=offscreen bench_startup_phases [rounds]

#include "radiosala.h"

#include <echolink/testsupport/RecordingAutomation.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString FormsDir = QStringLiteral(RADIOSALA_BENCH_FORMS_DIR "/radiosala");

constexpr std::array<const char *, 4> PhaseNames = {"build", "form_load", "show_to_exposed", "first_paint"};

std::array<qint64, 4> run()
{
    std::array<qint64, 4> phases{};
    QElapsedTimer t;
    t.start();
    echolink::testsupport::RecordingAutomation echo;
    auto window = std::make_unique<radiosala>(FormsDir);
    phases[0] = t.nsecsElapsed();
    window->Form_Load(echo);
    phases[1] = t.nsecsElapsed();
    window->show();
    QApplication::processEvents();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    phases[2] = t.nsecsElapsed();
    QApplication::processEvents();
    phases[3] = t.nsecsElapsed();
    for (std::size_t i = phases.size() - 1; i > 0; --i)
        phases[i] -= phases[i - 1];
    return phases;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    // As in bench_startup: one window stays alive through the runs.
    radiosala probe(FormsDir);
    if (!probe.isLoaded()) {
        std::fprintf(stderr, "%s\n", qPrintable(probe.loadError()));
        return 1;
    }
    run(); // warm-up: fonts, styles and image plug-ins load once

    std::array<std::vector<qint64>, 4> samples;
    for (int i = 0; i < rounds; ++i) {
        const auto phases = run();
        for (std::size_t p = 0; p < phases.size(); ++p)
            samples[p].push_back(phases[p]);
    }
    for (std::size_t p = 0; p < samples.size(); ++p) {
        std::vector<qint64> &v = samples[p];
        std::sort(v.begin(), v.end());
        std::printf("%s_ms=%.3f\n", PhaseNames[p], double(v[v.size() / 2]) / 1e6);
    }
    return 0;
}
