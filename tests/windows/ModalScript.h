#pragma once

// Drives modal windows from inside their own event loops: each step waits
// until its condition holds, then acts (typically on the modal window that
// is open at that moment). A stalled script closes every modal window, so a
// failing test ends instead of hanging; the test then checks what the steps
// recorded.

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>

class ModalScript : public QObject
{
public:
    struct Step
    {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    explicit ModalScript(int stallMs = 10000) : m_stallMs(stallMs)
    {
        m_poll.setInterval(10);
        connect(&m_poll, &QTimer::timeout, this, &ModalScript::poll);
    }

    // Waits for a modal window of type W to be active, then acts on it.
    template <class W>
    void onModal(std::function<void(W *)> act)
    {
        m_steps.append({[] { return qobject_cast<W *>(QApplication::activeModalWidget()) != nullptr; },
                        [act] { act(qobject_cast<W *>(QApplication::activeModalWidget())); }});
    }
    void then(std::function<bool()> ready, std::function<void()> act) { m_steps.append({std::move(ready), std::move(act)}); }

    void start()
    {
        m_clock.start();
        m_poll.start();
    }
    bool finished() const { return m_next == m_steps.size() && !m_starting; }
    bool stalled() const { return m_stalled; }

private:
    void poll()
    {
        if (finished()) {
            m_poll.stop();
            return;
        }
        if (m_starting)
            return;
        const Step &step = m_steps.at(m_next);
        if (step.ready()) {
            ++m_next;
            m_clock.restart();
            // Acted on from its own timer: an act that opens a modal window
            // blocks there, and this poll must keep running inside it.
            m_starting = true;
            QTimer::singleShot(0, this, [this, act = step.act] {
                m_starting = false;
                act();
            });
            return;
        }
        if (m_clock.elapsed() > m_stallMs) {
            m_stalled = true;
            m_poll.stop();
            for (int i = 0; i < 10; ++i) {
                if (QWidget *w = QApplication::activeModalWidget())
                    w->close();
            }
        }
    }

    QList<Step> m_steps;
    qsizetype m_next = 0;
    QTimer m_poll;
    QElapsedTimer m_clock;
    int m_stallMs;
    bool m_stalled = false;
    bool m_starting = false;
};
