#include "QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Shared with the handlers, which may run on any thread.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_first = 0;
unsigned g_deadlineSeconds = 3;
struct sigaction g_previous[std::size(kQuitSignals)];

void setHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

void onDeadline(int)
{
    _exit(128 + g_first);
}

void onQuitSignal(int signalNumber)
{
    const int savedErrno = errno;
    if (g_first == 0) {
        g_first = signalNumber;
        for (const int s : kQuitSignals)
            setHandler(s, SIG_DFL);
        setHandler(SIGALRM, onDeadline);
        alarm(g_deadlineSeconds);
        const char byte = char(signalNumber);
        // Non-blocking; the one byte always fits in an empty pair.
        [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(int deadlineSeconds, QObject *parent)
    : QObject(parent)
{
    Q_ASSERT_X(g_pipe[0] < 0, "QuitSignals", "one instance per process");
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        qWarning("radiosala: sem saída ordenada por sinal (socketpair: %s)", strerror(errno));
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    g_first = 0;
    g_deadlineSeconds = unsigned(deadlineSeconds);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (read(g_pipe[0], &byte, 1) == 1) {
        }
        m_notifier->setEnabled(false); // one request is all there is
        emit quitRequested(g_first);
    });
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i) {
        struct sigaction action = {};
        action.sa_handler = onQuitSignal;
        sigemptyset(&action.sa_mask);
        for (const int s : kQuitSignals)
            sigaddset(&action.sa_mask, s);
        action.sa_flags = SA_RESTART;
        sigaction(kQuitSignals[i], &action, &g_previous[i]);
    }
}

QuitSignals::~QuitSignals()
{
    if (g_pipe[0] < 0)
        return;
    // Before the pair closes, so no handler writes to a closed descriptor.
    // Once a signal has come, the defaults are back already.
    if (g_first == 0) {
        for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
            sigaction(kQuitSignals[i], &g_previous[i], nullptr);
    }
    delete m_notifier;
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

int QuitSignals::received() const
{
    return g_first;
}
