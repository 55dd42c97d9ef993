#include "ButtonFactory.h"

#include <bag/BagStream.h>
#include <button/kxButtons_H.h>
#include <host/twips.h>

namespace forms {

QWidget *createButton(const ControlData &control, QWidget *container, const QString &bagFile, FormPrefetch::Bag bag,
                      QString *error)
{
    if (!bag.error.isEmpty()) {
        *error = bag.error;
        return nullptr;
    }
    bag::ReadResult &stream = bag.stream;
    if (!stream.ok()) {
        *error = QStringLiteral("%1: %2").arg(bagFile, stream.error->toString());
        return nullptr;
    }
    // A stored window's bags are ours: an entry the reader had to skip is a
    // damaged file, not something to load half of.
    if (!stream.skipped.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(bagFile, stream.skipped.first().toString());
        return nullptr;
    }

    auto *button = new kxButtons_H(container);
    // The name first: it is the ambient display name the control may read.
    button->setObjectName(control.name);
    button->setGeometry(host::twipsToPixels(control.left), host::twipsToPixels(control.top),
                        host::twipsToPixels(control.width), host::twipsToPixels(control.height));
    button->UserControl_ReadProperties(stream.bag);
    // Reading the bag ends with the control's own resize handling at this
    // very extent (region, surface, layout; the picture itself is left to
    // the paint that first shows the button). The resize Qt still holds back
    // for the first show would repeat all of it for an unchanged size, so it
    // is consumed here.
    if (button->testAttribute(Qt::WA_PendingResizeEvent) && !button->isVisible())
        button->setAttribute(Qt::WA_PendingResizeEvent, false);
    return button;
}

} // namespace forms
