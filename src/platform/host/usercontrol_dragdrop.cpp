// The user control in OLE drag and drop: as the source of a drag and as a
// drop target, with the runtime's effects and states.

#include "usercontrol_p.h"

#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace host {

namespace {

int effectsOf(Qt::DropActions actions)
{
    return (actions & Qt::CopyAction ? vbDropEffectCopy : 0) | (actions & Qt::MoveAction ? vbDropEffectMove : 0);
}

Qt::DropAction dropActionOf(int effect)
{
    if (effect & vbDropEffectMove)
        return Qt::MoveAction;
    if (effect & vbDropEffectCopy)
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

struct DragArgs
{
    int effect;
    int button;
    int shift;
    float x;
    float y;
};

template<typename E>
DragArgs dragArgsOf(const E *event, const ScreenScale &scale)
{
    const QPointF at = event->position() * scale.devicePixelRatio();
    return DragArgs{effectsOf(event->possibleActions()), buttonsMask(event->buttons()),
                    shiftCode(event->modifiers()), float(at.x()), float(at.y())};
}

} // namespace

void UserControl::dragEnterEvent(QDragEnterEvent *event)
{
    // An enter is a move that starts the drag over this control.
    dragMoveEvent(event);
}

void UserControl::dragMoveEvent(QDragMoveEvent *event)
{
    DataObject data(const_cast<QMimeData *>(event->mimeData()));
    DragArgs a = dragArgsOf(event, screenScale());
    int state = event->type() == QEvent::DragEnter ? vbEnter : vbOver;
    guarded([&] { UserControl_OLEDragOver(data, a.effect, a.button, a.shift, a.x, a.y, state); });
    if (a.effect == vbDropEffectNone) {
        event->ignore();
        return;
    }
    event->setDropAction(dropActionOf(a.effect));
    event->accept();
}

void UserControl::dragLeaveEvent(QDragLeaveEvent *event)
{
    Q_UNUSED(event);
    // Qt's leave carries no data; the handler gets an empty data object.
    QMimeData empty;
    DataObject data(&empty);
    int effect = vbDropEffectNone;
    int button = buttonsMask(QGuiApplication::mouseButtons());
    int shift = shiftCode(QGuiApplication::keyboardModifiers());
    const QPointF at = mapFromGlobal(QPointF(QCursor::pos())) * screenScale().devicePixelRatio();
    float x = float(at.x());
    float y = float(at.y());
    int state = vbLeave;
    guarded([&] { UserControl_OLEDragOver(data, effect, button, shift, x, y, state); });
}

void UserControl::dropEvent(QDropEvent *event)
{
    DataObject data(const_cast<QMimeData *>(event->mimeData()));
    DragArgs a = dragArgsOf(event, screenScale());
    guarded([&] { UserControl_OLEDragDrop(data, a.effect, a.button, a.shift, a.x, a.y); });
    if (a.effect == vbDropEffectNone) {
        event->ignore();
        return;
    }
    event->setDropAction(dropActionOf(a.effect));
    event->accept();
}

void UserControl::setOLEDropMode(int mode)
{
    if (mode != 0 && mode != 1)
        throw RuntimeError(ErrInvalidPropertyValue, standardErrorDescription(ErrInvalidPropertyValue));
    m_oleDropMode = mode;
    setAcceptDrops(mode == 1);
}

void UserControl::OLEDrag()
{
    auto *mime = new QMimeData;
    DataObject data(mime);
    int allowed = vbDropEffectCopy | vbDropEffectMove;
    guarded([&] { UserControl_OLEStartDrag(data, allowed); });
    if (allowed == vbDropEffectNone) {
        delete mime;
        int effect = vbDropEffectNone;
        guarded([&] { UserControl_OLECompleteDrag(effect); });
        return;
    }
    QPointer<UserControl> self(this);
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    connect(drag, &QDrag::actionChanged, this, [this](Qt::DropAction action) {
        int effect = effectsOf(action);
        bool defaultCursors = true;
        guarded([&] { UserControl_OLEGiveFeedback(effect, defaultCursors); });
    });
    Qt::DropActions actions;
    if (allowed & vbDropEffectCopy)
        actions |= Qt::CopyAction;
    if (allowed & vbDropEffectMove)
        actions |= Qt::MoveAction;
    const Qt::DropAction result = drag->exec(actions);
    if (!self)
        return;
    int effect = effectsOf(result);
    guarded([&] { UserControl_OLECompleteDrag(effect); });
}

// The default handlers do nothing.
void UserControl::UserControl_OLEDragDrop(DataObject &, int &, int &, int &, float &, float &) {}
void UserControl::UserControl_OLEDragOver(DataObject &, int &, int &, int &, float &, float &, int &) {}
void UserControl::UserControl_OLEGiveFeedback(int &, bool &) {}
void UserControl::UserControl_OLESetData(DataObject &, int &) {}
void UserControl::UserControl_OLEStartDrag(DataObject &, int &) {}

} // namespace host
