// Appending received chat: the cost of one line must not grow with the log.
// Feeds 100,000 lines through the window's ChatTextReceived handler (with
// its caret move) and compares the mean cost of the last 1,000 appends with
// that of the first 1,000. Prints append_ratio=<ratio>; the goal is < 1.5.
//
//   QT_QPA_PLATFORM=offscreen bench_chat_append [lines]

#include "radiosala.h"

#include <echolink/testsupport/RecordingAutomation.h>
#include <forms/MultiLineTextBox.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3000, atoi(argv[1])) : 100000;
    const int window = 1000;

    echolink::testsupport::RecordingAutomation echo;
    radiosala form(QStringLiteral(RADIOSALA_BENCH_FORMS_DIR "/radiosala"));
    if (!form.isLoaded()) {
        std::fprintf(stderr, "%s\n", qPrintable(form.loadError()));
        return 1;
    }
    form.Timer1->stop();
    form.Form_Load(echo);
    form.show();
    app.processEvents();

    std::vector<qint64> cost(size_t(lines), 0);
    QElapsedTimer timer;
    for (int i = 0; i < lines; ++i) {
        const QString line = QStringLiteral("ZZ9Z%1>linha %2 de conversa na sala, com texto de tamanho comum").arg(i % 10).arg(i);
        const bool measured = i < window || i >= lines - window;
        timer.start();
        echo.emitChatText(line);
        if (measured)
            app.processEvents(); // the repaint that follows each line on screen
        cost[size_t(i)] = timer.nsecsElapsed();
        if (!measured && i % 100 == 0)
            app.processEvents();
    }

    auto mean = [&](int from) {
        double sum = 0;
        for (int i = from; i < from + window; ++i)
            sum += double(cost[size_t(i)]);
        return sum / window;
    };
    const double first = mean(0);
    const double last = mean(lines - window);
    std::printf("lines=%d first_mean_us=%.2f last_mean_us=%.2f\n", lines, first / 1000, last / 1000);
    std::printf("append_ratio=%.3f\n", last / first);
    std::printf("text_length=%d\n", form.Text1->textLength());
    return last / first < 1.5 ? 0 : 1;
}
