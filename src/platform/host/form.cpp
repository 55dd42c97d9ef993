#include <host/form.h>
#include <host/usercontrol.h>
#include <host/window.h>

#include "formaccessible.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPalette>

namespace host {

namespace {

const char *const kBackColorProperty = "hostBackColor";

// The widget whose own back colour a container shows (itself or the nearest
// ancestor that has one), or nullptr when none has; *color gets that colour.
// A widget without dynamic properties is passed over without the property
// lookup, which first searches the class's declared properties by name.
const QWidget *colourSource(const QWidget *container, OLE_COLOR *color = nullptr)
{
    for (const QWidget *w = container; w; w = w->parentWidget()) {
        if (w->dynamicPropertyNames().isEmpty())
            continue;
        const QVariant v = w->property(kBackColorProperty);
        if (v.isValid()) {
            if (color)
                *color = OLE_COLOR(v.toUInt());
            return w;
        }
    }
    return nullptr;
}

void paintBackground(QWidget *container, OLE_COLOR color)
{
    QPalette palette = container->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    container->setPalette(palette);
    container->setAutoFillBackground(true);
}

} // namespace

OLE_COLOR backColorOf(const QWidget *container)
{
    OLE_COLOR color = vbButtonFace;
    colourSource(container, &color);
    return color;
}

void setBackColorOf(QWidget *container, OLE_COLOR color)
{
    Q_ASSERT_X(container, "setBackColorOf", "needs a container");
    // The controls whose ambient back colour comes through this container,
    // with the colour they see now.
    QList<QPair<QPointer<UserControl>, OLE_COLOR>> affected;
    const auto controls = container->findChildren<UserControl *>();
    for (UserControl *control : controls) {
        const QWidget *source = colourSource(control->parentWidget());
        if (source == nullptr || source == container || source->isAncestorOf(container))
            affected.append({QPointer<UserControl>(control), backColorOf(control->parentWidget())});
    }
    container->setProperty(kBackColorProperty, uint(color));
    paintBackground(container, color);
    for (const auto &[control, before] : std::as_const(affected)) {
        if (control && before != color)
            control->notifyAmbientChanged(QStringLiteral("BackColor"));
    }
}

bool isOutOfView(const QWidget *widget)
{
    const QWidget *window = widget->window();
    QRect visible(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (const QWidget *w = widget->parentWidget(); w && !visible.isEmpty(); w = w->parentWidget()) {
        visible &= QRect(w->mapTo(window, QPoint(0, 0)), w->size());
        if (w == window)
            break;
    }
    return visible.isEmpty();
}

Form::Form(QWidget *parent)
    : QWidget(parent)
{
    installFormAccessibility();
    if (!property(kBackColorProperty).isValid()) {
        setProperty(kBackColorProperty, uint(vbButtonFace));
        paintBackground(this, vbButtonFace);
    }
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { updateDisplayedDefault(); });
}

Form::~Form()
{
    // Deleting the children moves the focus; this form's members are gone
    // by then, so stop watching first.
    disconnect(m_focusWatch);
    terminateControls();
}

OLE_COLOR Form::BackColor() const
{
    return backColorOf(this);
}

void Form::setBackColor(OLE_COLOR color)
{
    setBackColorOf(this, color);
}

void Form::setScaleMode(int mode)
{
    Q_ASSERT_X(mode >= vbTwips && mode <= vbHimetric, "Form::setScaleMode", "fixed scale modes only");
    m_scaleMode = mode;
}

void Form::setUserMode(bool userMode)
{
    if (userMode == m_userMode)
        return;
    m_userMode = userMode;
    notifyControls(QStringLiteral("UserMode"));
}

void Form::setDefaultControl(UserControl *control)
{
    m_default = control;
    updateDisplayedDefault();
}

void Form::setCancelControl(UserControl *control)
{
    m_cancel = control;
}

UserControl *Form::displayedDefault() const
{
    // A focused button-like control on this form takes Enter itself.
    if (auto *focused = qobject_cast<UserControl *>(QApplication::focusWidget())) {
        if (focused->DefaultCancel() && focused->Parent().form == this)
            return focused;
    }
    return m_default.data();
}

void Form::updateDisplayedDefault()
{
    UserControl *now = displayedDefault();
    if (now == m_shownDefault)
        return;
    QPointer<UserControl> before = m_shownDefault;
    m_shownDefault = now;
    if (before)
        before->notifyAmbientChanged(QStringLiteral("DisplayAsDefault"));
    if (now)
        now->notifyAmbientChanged(QStringLiteral("DisplayAsDefault"));
}

void Form::notifyControls(const QString &propertyName)
{
    const auto controls = findChildren<UserControl *>();
    for (UserControl *control : controls) {
        if (control->Parent().form == this)
            control->notifyAmbientChanged(propertyName);
    }
}

void Form::terminateControls()
{
    const auto controls = findChildren<UserControl *>();
    for (UserControl *control : controls)
        control->terminate();
}

void Form::showModal()
{
    if (m_modalLoop)
        return; // already showing modally
    const Qt::WindowModality before = windowModality();
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    QPointer<Form> self(this);
    m_modalLoop = &loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    if (!self)
        return;
    m_modalLoop = nullptr;
    setWindowModality(before);
}

bool Form::Unload()
{
    m_unloadMode = vbFormCode;
    const bool closed = close();
    m_unloadMode = vbFormControlMenu;
    return closed;
}

void Form::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_QueryUnload(cancel, m_unloadMode);
    if (cancel == 0)
        Form_Unload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
}

void Form::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->quit();
}

bool Form::pressEscape()
{
    if (m_cancel) {
        m_cancel->deliverAccessKey(27);
        return true;
    }
    if (m_closesOnEscape) {
        close(); // as the close box: Form_QueryUnload may still keep it open
        return true;
    }
    return false;
}

bool Form::focusNextPrevChild(bool next)
{
    // The focus chain as Tab walks it, less the controls that cannot be
    // seen. Walking it here, rather than letting Qt move the focus and
    // moving it on again, keeps those controls from ever getting (and
    // reacting to) the focus.
    QWidget *start = focusWidget(); // this window's, active or not
    if (!start)
        start = this;
    QWidget *w = start;
    for (;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == start)
            return false;
        if (w->window() == this && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isVisibleTo(this)
            && w->isEnabled() && !isOutOfView(w)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void Form::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (UserControl *target = displayedDefault()) {
                target->deliverAccessKey(13);
                event->accept();
                return;
            }
            break;
        case Qt::Key_Escape:
            if (pressEscape()) {
                event->accept();
                return;
            }
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Up:
            // Only a button's posted arrow moves the focus; one a text box
            // left alone (Up in a single-line box) goes no further.
            if (isPostedKey(event)) {
                focusNextPrevChild(event->key() == Qt::Key_Right || event->key() == Qt::Key_Down);
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

void Form::changeEvent(QEvent *event)
{
    // System colours follow the palette: repaint the back colour.
    if (event->type() == QEvent::ApplicationPaletteChange)
        paintBackground(this, BackColor());
    QWidget::changeEvent(event);
}

} // namespace host
