#pragma once

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>

// The chat journal: every line received or sent is appended, as it happens,
// to a file of the day in the user's data folder, so that no crash, kill or
// stray exit loses a conversation. One file a day, named AAAA-MM-DD.txt,
// UTF-8 with LF line ends, one journal line per line of chat:
//
//     21:04:17 > .kick ZZ1AB        sent by this program
//     21:04:18 < Kicked ZZ1AB       received
//
// A text with line breaks in it (CR LF, CR or LF, where the chat box breaks
// it) gives one journal line per line, each with the text's time and mark.
// The administrator password never reaches the file: ".admin" and whatever
// follows it is written as ".admin ********".
//
// Each text is written with one write() the moment it is handed in, so the
// file holds it even if the process is killed right after. The data is
// synced to disk on a worker thread, at most once a second while lines
// arrive. A journal that cannot be written stops nothing: the failure is
// announced once, the lines are kept and every later line tries again, and
// the announcement comes back only after the journal has worked again.
class ChatJournal : public QObject
{
    Q_OBJECT

public:
    // The time a line is stamped with, in seconds since the epoch (shown in
    // local time); replaceable by tests.
    using Clock = std::function<qint64()>;

    explicit ChatJournal(const QString &folder, Clock clock = {}, QObject *parent = nullptr);
    // Writes what it can of any lines still held back, syncs and closes.
    ~ChatJournal() override;

    // $XDG_DATA_HOME/radiosala/chat, by default ~/.local/share/radiosala/chat.
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    // An outage was announced and is not over: not every line handed in is
    // written and synced yet.
    bool isFailing() const { return m_failing; }
    QString fileFor(const QDate &day) const;

    void received(const QString &text);
    void sent(const QString &text);

    // A sent text as the journal writes it: the password masked.
    static QString masked(const QString &text);

signals:
    // The journal could not be written; `message` (Portuguese) names the
    // folder and the system's reason. Once per outage.
    void writeFailed(const QString &message);

private:
    struct Pending
    {
        QDate day;
        QByteArray bytes;
    };

    void append(char mark, const QString &text);
    void writePending();
    bool openFor(const QDate &day);
    void closeFile();
    void fail(int error);
    void scheduleSync();
    void startSync();
    void syncAndClose(int fd);
    void syncDone(int error);

    QString m_folder;
    Clock m_clock;
    // The local date and "HH:MM:SS" of m_stampSecs: converted once a second,
    // not once a line.
    qint64 m_stampSecs = -1;
    QDate m_stampDate;
    QByteArray m_stampTime;
    QList<Pending> m_pending; // lines not yet (completely) in their file, oldest first
    int m_fd = -1;
    QDate m_day;              // the day m_fd is the file of
    bool m_failing = false;   // an outage is going on and was announced
    bool m_failedSinceSync = false;
    bool m_dirty = false;     // written to m_fd since its last sync started
    int m_syncsRunning = 0;
    QElapsedTimer m_sinceSync;
    QTimer m_syncTimer;
    QThreadPool m_syncer;
};
