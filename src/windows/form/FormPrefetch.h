#pragma once

#include <forms/AnimatedGif.h>
#include <forms/ImageControl.h>

#include <bag/BagStream.h>

#include <QSize>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <variant>
#include <vector>

namespace forms {

// The stored files of a window, read from disk and decoded on a worker
// thread while the window's controls are being made: the buttons'
// property-bag streams, the animations' first frames and the pictures, the
// last two already scaled to their controls. What the worker does touches
// nothing but the files and memory of its own, so it is safe off the
// window's thread; the controls themselves are made, and take what was read,
// on the window's thread.
class FormPrefetch
{
public:
    struct Bag
    {
        QString error; // names the file; empty when the stream was read
        bag::ReadResult stream;
    };

    enum class Kind { Bag, Animation, Picture };
    struct Request
    {
        Kind kind;
        QString file;
        QSize size; // the control's in device pixels, for animations and stretched pictures
    };

    // Read in the order given (the ones wanted first, first) by a task on
    // Qt's shared thread pool, whose threads stay ready between windows.
    // Without a free thread, or where the task has not got to a request yet
    // when it is wanted, the window's thread reads it itself.
    explicit FormPrefetch(std::vector<Request> requests);
    ~FormPrefetch(); // stops the task after the file being read and waits for it

    FormPrefetch(const FormPrefetch &) = delete;
    FormPrefetch &operator=(const FormPrefetch &) = delete;

    // The result of requests[index], waiting if the task is reading it. Each
    // is taken once, as the kind it was asked for.
    Bag takeBag(int index);
    AnimatedGif::Prepared takeAnimation(int index);
    ImageControl::Prepared takePicture(int index);

private:
    using Result = std::variant<std::monostate, Bag, AnimatedGif::Prepared, ImageControl::Prepared>;

    enum class State : quint8 { Waiting, Reading, Read, Taken };

    static Result read(const Request &request); // on the calling thread
    void run();
    Result take(int index);

    const std::vector<Request> m_requests;
    std::vector<Result> m_results;
    std::vector<State> m_states;
    bool m_stop = false;
    bool m_running = false; // the task has not yet returned
    std::mutex m_mutex;
    std::condition_variable m_readyChanged;
};

} // namespace forms
