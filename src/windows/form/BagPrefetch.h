#pragma once

#include <bag/BagStream.h>

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace forms {

// The property-bag streams of a window's buttons, read from disk and decoded
// on a worker thread while the window's other controls are being built, in
// the order the buttons will ask for them. Reading a bag touches nothing but
// its own file and memory, so it is safe off the window's thread; the
// buttons themselves are still made on the window's thread.
class BagPrefetch
{
public:
    struct Bag
    {
        QString error; // names the file; empty when the stream was read
        bag::ReadResult stream;
    };

    explicit BagPrefetch(QStringList files);
    ~BagPrefetch(); // stops after the file being read and waits for it

    BagPrefetch(const BagPrefetch &) = delete;
    BagPrefetch &operator=(const BagPrefetch &) = delete;

    // The next bag in the order of the files, waiting until it has been
    // read.
    Bag takeNext();

private:
    void run();

    const QStringList m_files;
    std::vector<std::optional<Bag>> m_bags;
    int m_ready = 0; // bags [0, m_ready) are read
    int m_next = 0;  // the bag takeNext gives
    std::mutex m_mutex;
    std::condition_variable m_readyChanged;
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

// Reads and decodes one bag file on the calling thread.
BagPrefetch::Bag readBagFile(const QString &file);

} // namespace forms
