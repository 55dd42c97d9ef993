#include <host/devicepointer.h>
#include <host/form.h>
#include <host/runtimeerror.h>
#include <host/usercontrol.h>
#include <host/window.h>

#include <gdi/bridge.h>

#include "usercontrol_p.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

#include <cmath>

namespace host {

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

// The character code a key press gives (the runtime's KeyAscii), or 0 when
// it gives none. Alt combinations give none: they are menu and access keys.
int keyAsciiOf(const QKeyEvent *event)
{
    if (event->modifiers() & Qt::AltModifier)
        return 0;
    // Ctrl with a letter types its control character, whatever text the
    // event carries.
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    const QString text = event->text();
    if (!text.isEmpty()) {
        const char16_t c = text.at(0).unicode();
        if (c < 32 || c == 127)
            return c;
        // 8-bit text in the Windows-1252 code page; Latin-1 covers the
        // characters a Portuguese keyboard types.
        return c < 256 ? int(c) : int('?');
    }
    return 0;
}

} // namespace

int buttonsMask(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? vbLeftButton : 0) | (buttons & Qt::RightButton ? vbRightButton : 0)
        | (buttons & Qt::MiddleButton ? vbMiddleButton : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? vbShiftMask : 0) | (modifiers & Qt::ControlModifier ? vbCtrlMask : 0)
        | (modifiers & Qt::AltModifier ? vbAltMask : 0);
}

// ---- ParentForm and ExtenderObject ----

OLE_COLOR ParentForm::BackColor() const
{
    return form ? form->BackColor() : vbButtonFace;
}

int ParentForm::ScaleMode() const
{
    return form ? form->ScaleMode() : int(vbTwips);
}

namespace {

// The container's view of a layout length, and back: its pixels are the
// device pixels of the control's screen.
double toContainer(const UserControl *control, int layoutPixels, bool vertical)
{
    const ScreenScale scale = control->screenScale();
    const double pixels = layoutPixels * scale.devicePixelRatio();
    double value = pixels;
    convertScale(pixels, vbPixels, control->Parent().ScaleMode(), vertical, &value, scale.pixelsPerInch());
    return value;
}

int fromContainer(const UserControl *control, double value, bool vertical)
{
    const ScreenScale scale = control->screenScale();
    double pixels = value;
    convertScale(value, control->Parent().ScaleMode(), vbPixels, vertical, &pixels, scale.pixelsPerInch());
    return int(std::nearbyint(pixels / scale.devicePixelRatio()));
}

} // namespace

QString ExtenderObject::Name() const
{
    return m_control->objectName();
}

double ExtenderObject::Left() const
{
    return toContainer(m_control, m_control->x(), false);
}

double ExtenderObject::Top() const
{
    return toContainer(m_control, m_control->y(), true);
}

double ExtenderObject::Width() const
{
    return toContainer(m_control, m_control->width(), false);
}

double ExtenderObject::Height() const
{
    return toContainer(m_control, m_control->height(), true);
}

void ExtenderObject::setLeft(double left)
{
    m_control->move(fromContainer(m_control, left, false), m_control->y());
}

void ExtenderObject::setTop(double top)
{
    m_control->move(m_control->x(), fromContainer(m_control, top, true));
}

void ExtenderObject::setWidth(double width)
{
    const QSize old = m_control->size();
    m_control->resize(qMax(0, fromContainer(m_control, width, false)), old.height());
    m_control->sendPendingResize(old);
}

void ExtenderObject::setHeight(double height)
{
    const QSize old = m_control->size();
    m_control->resize(old.width(), qMax(0, fromContainer(m_control, height, true)));
    m_control->sendPendingResize(old);
}

bool ExtenderObject::Visible() const
{
    return !m_control->isHidden();
}

void ExtenderObject::setVisible(bool visible)
{
    m_control->setVisible(visible);
}

// ---- UserControl ----

UserControl::UserControl(QWidget *container)
    : QWidget(container)
    , m_font(std::make_shared<StdFont>())
{
    setMouseTracking(true); // the runtime reports every move, buttons or not
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    followScale();
    watchDevicePointer();
    // The instance name is the ambient display name.
    connect(this, &QObject::objectNameChanged, this,
            [this] { notifyAmbientChanged(QStringLiteral("DisplayName")); });
}

UserControl::~UserControl()
{
    releaseSurface();
}

AmbientProperties UserControl::Ambient() const
{
    AmbientProperties ambient;
    const Form *form = Parent().form;
    ambient.UserMode = form ? form->UserMode() : true;
    ambient.DisplayName = objectName();
    ambient.DisplayAsDefault = form && form->displayedDefault() == this;
    ambient.BackColor = backColorOf(parentWidget());
    return ambient;
}

void UserControl::PropertyChanged(const QString &PropertyName)
{
    m_changed.append(PropertyName);
}

HWND UserControl::ContainerHwnd() const
{
    return hwndOf(parentWidget());
}

ParentForm UserControl::Parent() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *form = qobject_cast<Form *>(w))
            return ParentForm{form};
    }
    return ParentForm{};
}

float UserControl::ScaleWidth() const
{
    return float(screenScale().devicePixels(width()));
}

float UserControl::ScaleHeight() const
{
    return float(screenScale().devicePixels(height()));
}

float UserControl::TwipsPerPixelX() const
{
    return float(screenScale().twipsPerPixel());
}

float UserControl::TwipsPerPixelY() const
{
    return float(screenScale().twipsPerPixel());
}

namespace {

float scaleLength(const UserControl *control, float value, int fromScale, int toScale, bool vertical)
{
    const auto resolve = [control](int mode) {
        return mode == vbContainerPosition || mode == vbContainerSize ? control->Parent().ScaleMode() : mode;
    };
    double result = 0;
    if (!convertScale(value, resolve(fromScale), resolve(toScale), vertical, &result,
                      control->screenScale().pixelsPerInch()))
        throw RuntimeError(ErrInvalidProcedureCall, standardErrorDescription(ErrInvalidProcedureCall));
    return float(result);
}

} // namespace

float UserControl::ScaleX(float width, int fromScale, int toScale) const
{
    return scaleLength(this, width, fromScale, toScale, false);
}

float UserControl::ScaleY(float height, int fromScale, int toScale) const
{
    return scaleLength(this, height, fromScale, toScale, true);
}

bool UserControl::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void UserControl::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);
}

void UserControl::setFont(const StdFontPtr &font)
{
    if (!font)
        throw RuntimeError(ErrInvalidPropertyValue, standardErrorDescription(ErrInvalidPropertyValue));
    // Kept for the control's own drawing, which selects it into its device
    // context; the Qt font of the widget is never drawn with, so it is left
    // alone (setting it would resolve a font and notify the widget for
    // nothing).
    m_font = font;
}

void UserControl::setAccessKeys(const QString &keys)
{
    m_accessKeys = keys;
    regrabAccessKeys();
}

void UserControl::regrabAccessKeys()
{
    for (int id : std::as_const(m_shortcutIds))
        releaseShortcut(id);
    m_shortcutIds.clear();
    for (const QChar c : std::as_const(m_accessKeys)) {
        const char16_t upper = c.toUpper().unicode();
        // Printable ASCII keys have the code of their (upper-case) character.
        const int key = upper > 32 && upper < 127 ? int(upper) : 0;
        m_shortcutIds.append(key ? grabShortcut(QKeySequence(Qt::ALT | Qt::Key(key))) : 0);
    }
}

void UserControl::setDefaultCancel(bool on)
{
    m_defaultCancel = on;
}

HDC UserControl::hDC()
{
    ensureSurface();
    return m_dc;
}

HWND UserControl::hWnd()
{
    if (!m_hwnd)
        m_hwnd = hwndOf(this);
    return m_hwnd;
}

void UserControl::Refresh()
{
    if (!m_painting)
        update();
}

void UserControl::ensureSurface()
{
    if (m_dc)
        return;
    m_dc = CreateCompatibleDC(0);
    const ScreenScale scale = screenScale();
    m_surfaceRatio = scale.devicePixelRatio();
    gdi::setPixelsPerInch(m_dc, int(std::lround(scale.pixelsPerInch())));
    // The surface starts as the container's colour (black without one).
    COLORREF back = 0;
    const bool hasBack = translateColor(backColorOf(parentWidget()), &back);
    m_surface = gdi::createFilledBitmap(qMax(1, scale.devicePixels(width())), qMax(1, scale.devicePixels(height())),
                                        hasBack ? back : RGB(0, 0, 0));
    m_stockBitmap = SelectObject(m_dc, m_surface);
    gdi::setDrawNotifier(m_dc, [this] {
        m_pictureOwed = false;
        if (!m_painting)
            update();
    });
}

void UserControl::resizeSurface()
{
    if (!m_dc)
        return;
    const ScreenScale scale = screenScale();
    m_surfaceRatio = scale.devicePixelRatio();
    gdi::setPixelsPerInch(m_dc, int(std::lround(scale.pixelsPerInch())));
    const int w = qMax(1, scale.devicePixels(width()));
    const int h = qMax(1, scale.devicePixels(height()));
    BITMAP current{};
    GetObjectA(m_surface, sizeof current, &current);
    if (current.bmWidth == w && current.bmHeight == h)
        return;
    // The new surface starts as the container's colour with the old
    // picture in its top-left corner.
    COLORREF back = 0;
    const bool hasBack = translateColor(backColorOf(parentWidget()), &back);
    const HBITMAP next = gdi::createFilledBitmap(w, h, hasBack ? back : RGB(0, 0, 0));
    const HDC work = CreateCompatibleDC(0);
    const HGDIOBJ workStock = SelectObject(work, next);
    BitBlt(work, 0, 0, qMin(w, int(current.bmWidth)), qMin(h, int(current.bmHeight)), m_dc, 0, 0, SRCCOPY);
    SelectObject(work, workStock);
    DeleteDC(work);
    SelectObject(m_dc, next);
    DeleteObject(m_surface);
    m_surface = next;
}

void UserControl::releaseSurface()
{
    if (!m_dc)
        return;
    gdi::setDrawNotifier(m_dc, {});
    SelectObject(m_dc, m_stockBitmap);
    DeleteObject(m_surface);
    DeleteDC(m_dc);
    m_dc = m_surface = m_stockBitmap = 0;
}

QImage UserControl::surfaceImage() const
{
    return m_surface ? gdi::bitmapImage(m_surface).copy() : QImage();
}

void UserControl::sendPendingResize(QSize oldSize)
{
    if (!testAttribute(Qt::WA_PendingResizeEvent))
        return;
    setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent event(size(), oldSize);
    QCoreApplication::sendEvent(this, &event);
}

void UserControl::terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    guarded([this] { UserControl_Terminate(); });
}

void UserControl::notifyAmbientChanged(const QString &propertyName)
{
    guarded([&] { UserControl_AmbientChanged(propertyName); });
}

void UserControl::deliverAccessKey(int keyAscii)
{
    // A control the user cannot see is not pressed by a key either.
    if (!isEnabled() || !isVisible() || isOutOfView(this))
        return;
    guarded([&] { UserControl_AccessKeyPress(keyAscii); });
}

// ---- Default handlers ----

void UserControl::UserControl_MouseDown(int &, int &, float &, float &) {}
void UserControl::UserControl_MouseUp(int &, int &, float &, float &) {}
void UserControl::UserControl_MouseMove(int &, int &, float &, float &) {}
void UserControl::UserControl_KeyDown(int &, int &) {}
void UserControl::UserControl_KeyUp(int &, int &) {}

// ---- Qt events to the runtime's handlers ----

// The screen's scale, kept (the control asks for it at every step of its
// drawing) and read again whenever it may change. When the window has moved
// to a screen of another scale, the surface takes its new size in device
// pixels and the control lays itself out again.
void UserControl::followScale()
{
    m_ratio = ScreenScale::of(this).devicePixelRatio();
    // At a fractional scale the widget's edges may fall inside device pixels
    // its surface leaves out: what lies under it shows there.
    if (!screenScale().isWhole())
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (!m_dc || m_ratio == m_surfaceRatio)
        return;
    resizeSurface();
    guarded([this] { UserControl_Resize(); });
    update();
}

QPointF UserControl::devicePosition(const QSinglePointEvent *event) const
{
    const ScreenScale scale = screenScale();
    if (scale.isUnscaled())
        return event->position();
    const QPointF exact = event->position() - pointerShift(event).value_or(QPointF());
    return QPointF(scale.devicePixelAt(exact));
}

// On the control: inside its client area and its window region, to the
// device pixel.
bool UserControl::holdsDevicePoint(QPointF device) const
{
    const ScreenScale scale = screenScale();
    const QPoint pixel = scale.isUnscaled() ? device.toPoint()
                                            : QPoint(int(std::floor(device.x())), int(std::floor(device.y())));
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= scale.devicePixels(width())
        || pixel.y() >= scale.devicePixels(height()))
        return false;
    if (const std::optional<QRegion> shape = windowRegion(this))
        return shape->contains(pixel);
    const QRegion layoutMask = mask();
    const QPointF layout = scale.layoutPoint(QPointF(pixel));
    return layoutMask.isEmpty() || layoutMask.contains(QPoint(int(std::floor(layout.x())), int(std::floor(layout.y()))));
}

// A point Qt gave the control only because its mask is made of whole layout
// pixels: it belongs to what lies under the control. Never while the control
// has the mouse captured, and never at scale 1, where the mask is the region.
bool UserControl::passesThrough(QPointF device) const
{
    return !screenScale().isUnscaled() && QWidget::mouseGrabber() != this && windowRegion(this)
        && !holdsDevicePoint(device);
}

bool UserControl::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
    case QEvent::ParentChange:
    case QEvent::Show:
        followScale();
        break;
    default:
        break;
    }
    if (event->type() == QEvent::Shortcut) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        const int index = m_shortcutIds.indexOf(shortcut->shortcutId());
        if (index >= 0 && shortcut->shortcutId() != 0) {
            const char16_t c = m_accessKeys.at(index).unicode();
            deliverAccessKey(c < 256 ? int(c) : int('?'));
            return true;
        }
    }
    return QWidget::event(event);
}

void UserControl::paintEvent(QPaintEvent *event)
{
    // The handler redraws into hDC; what it draws is shown by this paint,
    // so its own refresh requests are not needed (and would loop).
    m_painting = true;
    QPointer<UserControl> self(this);
    guarded([this] { UserControl_Paint(); });
    if (!self)
        return;
    m_painting = false;
    QPainter painter(this);
    if (!m_surface) {
        painter.fillRect(event->rect(), toQColor(backColorOf(parentWidget())));
        return;
    }
    const QImage surface = gdi::bitmapImage(m_surface);
    const ScreenScale scale = screenScale();
    if (scale.isUnscaled()) {
        painter.drawImage(event->rect(), surface, event->rect());
        return;
    }
    // One surface pixel to one device pixel: the painter counts in device
    // pixels, so the surface is a plain copy. The mask holds whole layout
    // pixels; the region, in device pixels, clips to the pixel.
    painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));
    if (const std::optional<QRegion> shape = windowRegion(this))
        painter.setClipRegion(*shape);
    painter.drawImage(QPoint(0, 0), surface);
}

void UserControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeSurface();
    guarded([this] { UserControl_Resize(); });
}

void UserControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    guarded([this] { UserControl_Show(); });
}

void UserControl::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    guarded([this] { UserControl_Hide(); });
}

void UserControl::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    int button = buttonCode(event->button());
    // The press that makes a double click arrives as the double click.
    if (button == 0 || event->flags().testFlag(Qt::MouseEventCreatedDoubleClick))
        return;
    const QPointF at = devicePosition(event);
    if (passesThrough(at)) {
        m_pressPassedThrough = true;
        event->ignore();
        return;
    }
    m_pressPassedThrough = false;
    int shift = shiftCode(event->modifiers());
    float x = float(at.x());
    float y = float(at.y());
    m_releaseEndsDoubleClick = false;
    guarded([&] { UserControl_MouseDown(button, shift, x, y); });
}

void UserControl::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    int button = buttonCode(event->button());
    if (button == 0)
        return;
    if (m_pressPassedThrough) {
        // The rest of a press that went to what lies under the control.
        m_pressPassedThrough = event->buttons() != Qt::NoButton;
        event->ignore();
        return;
    }
    int shift = shiftCode(event->modifiers());
    const QPointF at = devicePosition(event);
    float x = float(at.x());
    float y = float(at.y());
    QPointer<UserControl> self(this);
    guarded([&] { UserControl_MouseUp(button, shift, x, y); });
    if (!self)
        return;
    // The release of a double click's second press ends it; it is no click.
    const bool afterDoubleClick = m_releaseEndsDoubleClick;
    m_releaseEndsDoubleClick = false;
    if (!afterDoubleClick && holdsDevicePoint(at))
        guarded([this] { UserControl_Click(); });
}

void UserControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (buttonCode(event->button()) == 0)
        return;
    if (passesThrough(devicePosition(event))) {
        m_pressPassedThrough = true;
        event->ignore();
        return;
    }
    m_releaseEndsDoubleClick = true;
    guarded([this] { UserControl_DblClick(); });
}

void UserControl::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    const QPointF at = devicePosition(event);
    if (m_pressPassedThrough || (event->buttons() == Qt::NoButton && passesThrough(at))) {
        event->ignore();
        return;
    }
    int button = buttonsMask(event->buttons());
    int shift = shiftCode(event->modifiers());
    float x = float(at.x());
    float y = float(at.y());
    guarded([&] { UserControl_MouseMove(button, shift, x, y); });
}

void UserControl::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // Enter and Escape belong to the form's default and cancel buttons, and
    // Escape closes a form that closes on it.
    if (Form *form = Parent().form; form && !event->isAutoRepeat() && modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (UserControl *target = form->displayedDefault()) {
                target->deliverAccessKey(13);
                return;
            }
        } else if (key == Qt::Key_Escape && form->pressEscape()) {
            return;
        }
    }
    int keyCode = virtualKeyFromQtKey(key, event->modifiers());
    int shift = shiftCode(event->modifiers());
    QPointer<UserControl> self(this);
    if (keyCode != 0)
        guarded([&] { UserControl_KeyDown(keyCode, shift); });
    if (!self)
        return;
    int keyAscii = keyAsciiOf(event);
    if (keyAscii != 0)
        guarded([&] { UserControl_KeyPress(keyAscii); });
}

void UserControl::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
    if (event->isAutoRepeat())
        return; // a held key repeats its press only
    int keyCode = virtualKeyFromQtKey(event->key(), event->modifiers());
    if (keyCode == 0)
        return;
    int shift = shiftCode(event->modifiers());
    guarded([&] { UserControl_KeyUp(keyCode, shift); });
}

void UserControl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    QPointer<UserControl> self(this);
    guarded([this] { UserControl_EnterFocus(); });
    if (self)
        guarded([this] { UserControl_GotFocus(); });
}

void UserControl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    QPointer<UserControl> self(this);
    guarded([this] { UserControl_LostFocus(); });
    if (self)
        guarded([this] { UserControl_ExitFocus(); });
}

} // namespace host
