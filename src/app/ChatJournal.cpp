#include "ChatJournal.h"

#include <texts/SystemReason.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int SyncIntervalMs = 1000;

// mkdir -p, each folder made private to the user as it is created.
int makeFolder(const QByteArray &path)
{
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path.at(i) != '/')
            continue;
        if (::mkdir(path.left(i).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

// Writes all of `bytes`, going on after a signal or a short write. Returns 0
// or the errno of the failure; *written counts what reached the file.
int writeAll(int fd, const QByteArray &bytes, qsizetype *written)
{
    *written = 0;
    while (*written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + *written, size_t(bytes.size() - *written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        *written += n;
    }
    return 0;
}

} // namespace

ChatJournal::ChatJournal(const QString &folder, Clock clock, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_clock(clock ? std::move(clock) : Clock([] { return qint64(std::time(nullptr)); }))
{
    m_syncer.setMaxThreadCount(1);
    m_syncTimer.setSingleShot(true);
    connect(&m_syncTimer, &QTimer::timeout, this, &ChatJournal::startSync);
}

ChatJournal::~ChatJournal()
{
    m_syncTimer.stop();
    // No one is left to be told of a failure now; a last try is all there is.
    blockSignals(true);
    writePending();
    m_syncer.waitForDone();
    if (m_fd >= 0) {
        if (m_dirty)
            ::fdatasync(m_fd);
        ::close(m_fd);
    }
}

QString ChatJournal::defaultFolder()
{
    // GenericDataLocation is $XDG_DATA_HOME, or ~/.local/share without it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/radiosala/chat");
}

QString ChatJournal::fileFor(const QDate &day) const
{
    return m_folder + QLatin1Char('/') + day.toString(Qt::ISODate) + QStringLiteral(".txt");
}

QString ChatJournal::masked(const QString &text)
{
    // From the command on, the whole text: the password may hold blanks.
    static const QRegularExpression admin(QStringLiteral("\\.admin\\s"), QRegularExpression::CaseInsensitiveOption);
    const qsizetype at = text.indexOf(admin);
    if (at < 0)
        return text;
    return text.left(at) + QStringLiteral(".admin ********");
}

void ChatJournal::received(const QString &text)
{
    append('<', text);
}

void ChatJournal::sent(const QString &text)
{
    append('>', masked(text));
}

void ChatJournal::append(char mark, const QString &text)
{
    if (const qint64 secs = m_clock(); secs != m_stampSecs) {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(secs);
        const QTime time = now.time();
        char hms[16];
        std::snprintf(hms, sizeof hms, "%02d:%02d:%02d ", time.hour(), time.minute(), time.second());
        m_stampSecs = secs;
        m_stampDate = now.date();
        m_stampTime = hms;
    }

    // One journal line per line of the text, broken where the chat box breaks it.
    QByteArray bytes;
    bytes.reserve(text.size() + 32);
    qsizetype start = 0;
    for (qsizetype i = 0;; ++i) {
        const bool end = i == text.size();
        if (!end && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
            continue;
        bytes += m_stampTime;
        bytes += mark;
        bytes += ' ';
        bytes += QStringView(text).mid(start, i - start).toUtf8();
        bytes += '\n';
        if (end)
            break;
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    m_pending.append({m_stampDate, std::move(bytes)});
    writePending();
}

// Writes the held-back lines in order, each into the file of its own day.
// A failure keeps the rest (from the first byte not written) for the next try.
void ChatJournal::writePending()
{
    while (!m_pending.isEmpty()) {
        Pending &front = m_pending.first();
        if ((m_fd < 0 || front.day != m_day) && !openFor(front.day))
            return;
        qsizetype written = 0;
        const int error = writeAll(m_fd, front.bytes, &written);
        if (written > 0) {
            m_dirty = true;
            scheduleSync();
        }
        if (error != 0) {
            front.bytes.remove(0, written);
            fail(error);
            return;
        }
        m_pending.removeFirst();
    }
}

bool ChatJournal::openFor(const QDate &day)
{
    closeFile();
    const int folderError = makeFolder(QFile::encodeName(m_folder));
    if (folderError != 0) {
        fail(folderError);
        return false;
    }
    const int fd = ::open(QFile::encodeName(fileFor(day)).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    m_fd = fd;
    m_day = day;
    return true;
}

void ChatJournal::closeFile()
{
    if (m_fd < 0)
        return;
    // A file with unsynced lines is synced before it is let go (the day's
    // last lines at midnight).
    if (m_dirty)
        syncAndClose(m_fd);
    else
        ::close(m_fd);
    m_fd = -1;
    m_dirty = false;
}

void ChatJournal::fail(int error)
{
    // The next line opens the file afresh: a folder put right is picked up.
    closeFile();
    m_failedSinceSync = true;
    if (m_failing)
        return;
    m_failing = true;
    emit writeFailed(QStringLiteral("Não foi possível escrever o diário do CHAT na pasta \"%1\":\r\n%2\r\n\r\n"
                                    "A conversa continua na janela. O diário tenta de novo a cada linha e "
                                    "guarda as linhas que faltam até conseguir.")
                         .arg(QDir::toNativeSeparators(m_folder), texts::systemReason(error)));
}

void ChatJournal::scheduleSync()
{
    // A sync under way reschedules when it is done.
    if (!m_dirty || m_syncTimer.isActive() || m_syncsRunning > 0)
        return;
    const qint64 wait = m_sinceSync.isValid() ? SyncIntervalMs - m_sinceSync.elapsed() : 0;
    if (wait <= 0)
        startSync();
    else
        m_syncTimer.start(int(wait));
}

void ChatJournal::startSync()
{
    if (m_fd < 0 || !m_dirty)
        return;
    // A duplicate, so the file can be closed (at midnight, on a failure)
    // while the worker still syncs it.
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        fail(errno);
        return;
    }
    m_dirty = false;
    syncAndClose(fd);
}

// Takes `fd` over: the worker syncs and closes it, then reports back.
void ChatJournal::syncAndClose(int fd)
{
    ++m_syncsRunning;
    m_sinceSync.start();
    m_failedSinceSync = false;
    m_syncer.start([this, fd] {
        const int error = ::fdatasync(fd) == 0 ? 0 : errno;
        ::close(fd);
        // Dropped unread if the journal is gone; its destructor waits for this task first.
        QMetaObject::invokeMethod(this, [this, error] { syncDone(error); }, Qt::QueuedConnection);
    });
}

void ChatJournal::syncDone(int error)
{
    --m_syncsRunning;
    if (error != 0)
        fail(error);
    else if (!m_failedSinceSync && m_pending.isEmpty())
        m_failing = false; // written and on disk: a later failure is news again
    scheduleSync();
}
