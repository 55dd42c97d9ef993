#include "FormPrefetch.h"

#include "StoredFile.h"

namespace forms {

FormPrefetch::Bag readBagFile(const QString &file)
{
    FormPrefetch::Bag bag;
    QByteArray bytes;
    if (readStoredFile(file, &bytes, &bag.error))
        bag.stream = bag::readStream(bytes);
    return bag;
}

FormPrefetch::FormPrefetch(std::vector<Request> requests)
    : m_requests(std::move(requests))
    , m_results(m_requests.size())
{
    if (!m_requests.empty())
        m_worker = std::thread([this] { run(); });
}

FormPrefetch::~FormPrefetch()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    if (m_worker.joinable())
        m_worker.join();
}

void FormPrefetch::run()
{
    for (std::size_t i = 0; i < m_requests.size(); ++i) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
        }
        const Request &request = m_requests[i];
        Result result;
        switch (request.kind) {
        case Kind::Bag:
            result = readBagFile(request.file);
            break;
        case Kind::Animation:
            result = AnimatedGif::prepare(request.file, request.size);
            break;
        case Kind::Picture:
            result = ImageControl::prepare(request.file, request.size);
            break;
        }
        std::lock_guard lock(m_mutex);
        m_results[i] = std::move(result);
        m_ready = int(i + 1);
        m_readyChanged.notify_one();
    }
}

FormPrefetch::Result FormPrefetch::take(int index)
{
    Q_ASSERT_X(index >= 0 && std::size_t(index) < m_requests.size(), "FormPrefetch::take", "no such request");
    std::unique_lock lock(m_mutex);
    m_readyChanged.wait(lock, [&] { return m_ready > index; });
    return std::exchange(m_results[std::size_t(index)], std::monostate());
}

FormPrefetch::Bag FormPrefetch::takeBag(int index)
{
    Q_ASSERT(m_requests[std::size_t(index)].kind == Kind::Bag);
    return std::get<Bag>(take(index));
}

AnimatedGif::Prepared FormPrefetch::takeAnimation(int index)
{
    Q_ASSERT(m_requests[std::size_t(index)].kind == Kind::Animation);
    return std::get<AnimatedGif::Prepared>(take(index));
}

ImageControl::Prepared FormPrefetch::takePicture(int index)
{
    Q_ASSERT(m_requests[std::size_t(index)].kind == Kind::Picture);
    return std::get<ImageControl::Prepared>(take(index));
}

} // namespace forms
