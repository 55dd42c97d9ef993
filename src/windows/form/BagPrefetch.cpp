#include "BagPrefetch.h"

#include "StoredFile.h"

namespace forms {

BagPrefetch::Bag readBagFile(const QString &file)
{
    BagPrefetch::Bag bag;
    QByteArray bytes;
    if (readStoredFile(file, &bytes, &bag.error))
        bag.stream = bag::readStream(bytes);
    return bag;
}

BagPrefetch::BagPrefetch(QStringList files)
    : m_files(std::move(files))
    , m_bags(std::size_t(m_files.size()))
{
    if (!m_files.isEmpty())
        m_worker = std::thread([this] { run(); });
}

BagPrefetch::~BagPrefetch()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void BagPrefetch::run()
{
    for (qsizetype i = 0; i < m_files.size() && !m_stop; ++i) {
        Bag bag = readBagFile(m_files[i]);
        std::lock_guard lock(m_mutex);
        m_bags[std::size_t(i)] = std::move(bag);
        m_ready = int(i + 1);
        m_readyChanged.notify_one();
    }
}

BagPrefetch::Bag BagPrefetch::takeNext()
{
    Q_ASSERT_X(m_next < m_files.size(), "BagPrefetch::takeNext", "no bag left");
    const int index = m_next++;
    std::unique_lock lock(m_mutex);
    m_readyChanged.wait(lock, [&] { return m_ready > index; });
    std::optional<Bag> &slot = m_bags[std::size_t(index)];
    Bag bag = std::move(*slot);
    slot.reset();
    return bag;
}

} // namespace forms
