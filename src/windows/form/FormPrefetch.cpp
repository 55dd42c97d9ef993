#include "FormPrefetch.h"

#include "StoredFile.h"

#include <QThreadPool>

namespace forms {

namespace {

FormPrefetch::Bag readBagFile(const QString &file)
{
    FormPrefetch::Bag bag;
    QByteArray bytes;
    if (readStoredFile(file, &bytes, &bag.error))
        bag.stream = bag::readStream(bytes);
    return bag;
}

} // namespace

FormPrefetch::FormPrefetch(std::vector<Request> requests)
    : m_requests(std::move(requests))
    , m_results(m_requests.size())
    , m_states(m_requests.size(), State::Waiting)
{
    if (m_requests.empty())
        return;
    // Marked running before it starts: the task may be through before
    // tryStart returns.
    m_running = true;
    const bool started = QThreadPool::globalInstance()->tryStart([this] {
        run();
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_readyChanged.notify_all();
    });
    if (!started) {
        std::lock_guard lock(m_mutex);
        m_running = false;
    }
}

FormPrefetch::~FormPrefetch()
{
    std::unique_lock lock(m_mutex);
    m_stop = true;
    m_readyChanged.wait(lock, [&] { return !m_running; });
}

FormPrefetch::Result FormPrefetch::read(const Request &request)
{
    switch (request.kind) {
    case Kind::Bag:
        return readBagFile(request.file);
    case Kind::Animation:
        return AnimatedGif::prepare(request.file, request.size);
    case Kind::Picture:
        return ImageControl::prepare(request.file, request.size);
    }
    return {};
}

void FormPrefetch::run()
{
    for (std::size_t i = 0; i < m_requests.size(); ++i) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            if (m_states[i] != State::Waiting)
                continue; // the window's thread got there first
            m_states[i] = State::Reading;
        }
        Result result = read(m_requests[i]);
        std::lock_guard lock(m_mutex);
        m_results[i] = std::move(result);
        m_states[i] = State::Read;
        m_readyChanged.notify_all();
    }
}

FormPrefetch::Result FormPrefetch::take(int index)
{
    Q_ASSERT_X(index >= 0 && std::size_t(index) < m_requests.size(), "FormPrefetch::take", "no such request");
    const std::size_t i = std::size_t(index);
    std::unique_lock lock(m_mutex);
    Q_ASSERT_X(m_states[i] != State::Taken, "FormPrefetch::take", "taken twice");
    if (m_states[i] == State::Waiting) {
        m_states[i] = State::Taken;
        lock.unlock();
        return read(m_requests[i]);
    }
    m_readyChanged.wait(lock, [&] { return m_states[i] == State::Read; });
    m_states[i] = State::Taken;
    return std::exchange(m_results[i], std::monostate());
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
