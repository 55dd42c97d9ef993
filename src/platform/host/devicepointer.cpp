#include <host/devicepointer.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

#include <cmath>

namespace host {

namespace {

// The slack of ScreenScale::devicePixelAt: a layout position that came from
// a device pixel stays in that pixel.
constexpr double Slack = 1e-6;

struct Moved
{
    QPointF global; // where the moved event is
    QPointF shift;  // how far it was moved
};

class PointerWatcher : public QObject
{
public:
    using QObject::QObject;
    std::optional<Moved> last;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            break;
        default:
            return false;
        }
        if (!watched->isWindowType())
            return false;
        auto *window = static_cast<QWindow *>(watched);
        auto *mouse = static_cast<QMouseEvent *>(event);
        const double ratio = window->devicePixelRatio();
        const QPointF local = mouse->position();
        if (ratio == 1.0 && local == local.toPoint())
            return false;
        // The layout pixel that holds the event's device pixel.
        const auto holding = [ratio](double v) { return std::floor(std::floor(v * ratio + Slack) / ratio + Slack); };
        const QPointF moved(holding(local.x()), holding(local.y()));
        if (moved == local)
            return false; // (the moved copy itself comes through here too)
        const QPointF shift = moved - local;
        QMouseEvent copy(mouse->type(), moved, mouse->scenePosition() + shift, mouse->globalPosition() + shift,
                         mouse->button(), mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        copy.setTimestamp(mouse->timestamp());
        last = Moved{copy.globalPosition(), shift};
        QCoreApplication::sendEvent(window, &copy);
        last.reset();
        event->setAccepted(copy.isAccepted());
        return true;
    }
};

PointerWatcher *watcher = nullptr;

} // namespace

void watchDevicePointer()
{
    if (watcher || !QCoreApplication::instance())
        return;
    watcher = new PointerWatcher(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(watcher);
    QObject::connect(watcher, &QObject::destroyed, [] { watcher = nullptr; });
}

std::optional<QPointF> pointerShift(const QSinglePointEvent *event)
{
    if (!watcher || !watcher->last || !event || event->globalPosition() != watcher->last->global)
        return std::nullopt;
    return watcher->last->shift;
}

} // namespace host
