// Appending received chat: the cost of one line must not grow with the log,
// and the chat journal must add little to it.
//
// Two main windows take the same 100,000 lines through their ChatTextReceived
// handler (with its caret move), one line to each in turn, so that both see
// the same machine load; the second copies every line to a chat journal in a
// temporary folder.
// - append_ratio: mean cost of the last 1,000 appends over that of the first
//   1,000, without the journal; the goal is < 1.5.
// - journal_ratio: mean cost of a line with the journal over that without,
//   over the whole run; the goal is < 1.2.
//
//   QT_QPA_PLATFORM=offscreen bench_chat_append [lines]

#include "ChatJournal.h"
#include "radiosala.h"

#include <echolink/testsupport/RecordingAutomation.h>
#include <forms/MultiLineTextBox.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Window = 1000;

struct Run
{
    echolink::testsupport::RecordingAutomation echo;
    radiosala form{QStringLiteral(RADIOSALA_BENCH_FORMS_DIR "/radiosala")};
    std::vector<qint64> cost;

    Run(int lines, ChatJournal *journal)
        : cost(size_t(lines), 0)
    {
        if (!form.isLoaded()) {
            std::fprintf(stderr, "%s\n", qPrintable(form.loadError()));
            std::exit(1);
        }
        form.Timer1->stop();
        form.setJournal(journal);
        form.Form_Load(echo);
        form.show();
    }

    void feed(int i, int lines)
    {
        const QString line = QStringLiteral("ZZ9Z%1>linha %2 de conversa na sala, com texto de tamanho comum").arg(i % 10).arg(i);
        const bool measured = i < Window || i >= lines - Window;
        QElapsedTimer timer;
        timer.start();
        echo.emitChatText(line);
        if (measured)
            QApplication::processEvents(); // the repaint that follows each line on screen
        cost[size_t(i)] = timer.nsecsElapsed();
        if (!measured && i % 100 == 0)
            QApplication::processEvents();
    }

    double mean(int from, int count) const
    {
        double sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += double(cost[size_t(i)]);
        return sum / count;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3000, atoi(argv[1])) : 100000;

    QTemporaryDir folder;
    auto journal = std::make_unique<ChatJournal>(folder.path());
    Run plain(lines, nullptr);
    Run journaled(lines, journal.get());
    QApplication::processEvents();
    for (int i = 0; i < lines; ++i) {
        // Alternating which goes first keeps either from always meeting a
        // repaint or a cache state the other left.
        Run &first = i % 2 ? plain : journaled;
        Run &second = i % 2 ? journaled : plain;
        first.feed(i, lines);
        second.feed(i, lines);
    }

    const double first = plain.mean(0, Window);
    const double last = plain.mean(lines - Window, Window);
    std::printf("lines=%d first_mean_us=%.2f last_mean_us=%.2f\n", lines, first / 1000, last / 1000);
    std::printf("append_ratio=%.3f\n", last / first);
    std::printf("text_length=%d\n", plain.form.Text1->textLength());

    const double off = plain.mean(0, lines);
    const double on = journaled.mean(0, lines);
    std::printf("line_mean_us journal_off=%.2f journal_on=%.2f\n", off / 1000, on / 1000);
    std::printf("journal_ratio=%.3f\n", on / off);
    return last / first < 1.5 && on / off < 1.2 ? 0 : 1;
}
