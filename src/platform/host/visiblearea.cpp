#include <host/visiblearea.h>

#include <QWidget>

namespace host {

bool isOutsideVisibleArea(const QWidget *widget)
{
    QRect visible = widget->rect();
    for (const QWidget *w = widget; !w->isWindow(); w = w->parentWidget()) {
        const QWidget *container = w->parentWidget();
        if (container == nullptr)
            break;
        visible.translate(w->pos());
        visible &= container->rect();
        if (visible.isEmpty())
            return true;
    }
    return visible.isEmpty();
}

} // namespace host
