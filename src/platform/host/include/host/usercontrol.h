#pragma once
// UserControl: the forms runtime's user-control host, as a QWidget base class.
// A control derives from it, overrides the UserControl_* handlers it needs
// (each default does nothing) and uses the host's properties below.
//
// The control lives in a container: its parent widget (a Form, or a frame
// inside one). Ambient properties come from that container and from the Form
// that holds it (see Form); the host calls UserControl_AmbientChanged when
// one of them changes.
//
// Pixels are the device pixels of the screen the control is on (see
// host/screenscale.h): ScaleWidth, ScaleX / ScaleY, mouse X and Y, the window
// region and the surface all use them. When the window moves to a screen of
// another scale, the surface takes the new size and UserControl_Resize
// follows, so the control lays itself out again at that scale.
//
// Input is delivered with the runtime's codes: mouse buttons left 1, right 2,
// middle 4; Shift 1, Ctrl 2, Alt 4; virtual-key codes; X and Y in pixels (the
// control's scale). A point outside the control's window region is not the
// control's. The runtime's sequencing:
//   press            -> UserControl_MouseDown
//   release          -> UserControl_MouseUp, then UserControl_Click when
//                       released over the control (for any button)
//   second press of a double click
//                    -> UserControl_DblClick (instead of MouseDown), and its
//                       release -> UserControl_MouseUp only (no Click)
//   key press        -> UserControl_KeyDown (auto-repeat too), then
//                       UserControl_KeyPress when the key gives a character
//   key release      -> UserControl_KeyUp (none for auto-repeat)
//   Alt + access key, and Enter / Escape when the control is its form's
//   default / cancel button -> UserControl_AccessKeyPress (see Form)
//   focus in         -> UserControl_EnterFocus, UserControl_GotFocus
//   focus out        -> UserControl_LostFocus, UserControl_ExitFocus
// A RuntimeError thrown out of a handler ends in raiseRuntimeError.
//
// Drawing: hDC is a gdi device context whose bitmap is the control's surface
// on screen; whatever is drawn into it is shown (the widget repaints after
// each gdi call that writes to it). A paint request from the window system
// calls UserControl_Paint and then shows the surface, one surface pixel to
// one device pixel. The surface follows the widget's size in device pixels;
// UserControl_Resize comes after it has been resized.
//
// Tear-down: UserControl_Terminate is called once, by terminate(). A Form
// calls it for all its controls before it is destroyed; a control deleted on
// its own must call terminate() from its destructor (a base destructor cannot
// reach the derived class's handler).

#include <host/dataobject.h>
#include <host/olecolor.h>
#include <host/stdfont.h>
#include <host/screenscale.h>
#include <host/stdpicture.h>
#include <host/twips.h>

#include <gdi/gdi.h>

#include <QStringList>
#include <QWidget>

class QSinglePointEvent;

namespace host {

class Form;
class UserControl;

struct AmbientProperties
{
    bool UserMode = true;           // false while in a form designer
    QString DisplayName;            // the instance's name (objectName())
    bool DisplayAsDefault = false;  // the container shows it as default button
    OLE_COLOR BackColor = vbButtonFace; // the container's back colour
};

// The form that holds a control, as the control sees it (Parent). Without
// a Form ancestor: back colour vbButtonFace, scale mode twips.
struct ParentForm
{
    Form *form = nullptr;
    OLE_COLOR BackColor() const;
    int ScaleMode() const;
};

// The container's view of the control (Extender): position and size in the
// container's scale mode (that of the form that holds it).
class ExtenderObject
{
public:
    explicit ExtenderObject(UserControl *control) : m_control(control) {}
    QString Name() const;
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double left);
    void setTop(double top);
    // Rounded to whole pixels. A hidden control gets its UserControl_Resize
    // at once, as a shown one does (Qt would hold it back until shown).
    void setWidth(double width);
    void setHeight(double height);
    bool Visible() const;
    void setVisible(bool visible);

private:
    UserControl *m_control;
};

enum MousePointerConstants {
    vbDefault = 0,
    vbArrow = 1,
    vbCrosshair = 2,
    vbIbeam = 3,
    vbIconPointer = 4,
    vbSizePointer = 5,
    vbSizeNESW = 6,
    vbSizeNS = 7,
    vbSizeNWSE = 8,
    vbSizeWE = 9,
    vbUpArrow = 10,
    vbHourglass = 11,
    vbNoDrop = 12,
    vbArrowHourglass = 13,
    vbArrowQuestion = 14,
    vbSizeAll = 15,
    vbCustom = 99,
};

enum MouseButtonConstants { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftConstants { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

class UserControl : public QWidget
{
    Q_OBJECT
public:
    explicit UserControl(QWidget *container = nullptr);
    ~UserControl() override;

    // ---- Ambient properties and notifications ----
    AmbientProperties Ambient() const;
    // Reports a changed persisted property. The keys are recorded in order.
    void PropertyChanged(const QString &PropertyName);
    QStringList changedProperties() const { return m_changed; }
    void clearChangedProperties() { m_changed.clear(); }

    // ---- What the host keeps for the control ----
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    HWND ContainerHwnd() const;     // the parent widget's window handle
    ParentForm Parent() const;
    // The client area in pixels (the control's scale).
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Converts a width (ScaleX) or height (ScaleY) between scale modes. The
    // control's own scale is pixels (the default target); the container
    // modes (9, 10) mean the scale mode of the form that holds the control.
    // An unknown mode throws RuntimeError 5.
    float ScaleX(float width, int fromScale = vbHimetric, int toScale = vbPixels) const;
    float ScaleY(float height, int fromScale = vbHimetric, int toScale = vbPixels) const;
    ExtenderObject Extender() { return ExtenderObject(this); }
    // The runtime's Screen.TwipsPerPixelX / Y for the screen the control is
    // on: 15 at scale 1, 7.5 at scale 2.
    float TwipsPerPixelX() const;
    float TwipsPerPixelY() const;
    ScreenScale screenScale() const { return ScreenScale(m_ratio); }

    // The control's own enabled state (a disabled control gets no input).
    bool Enabled() const;
    void setEnabled(bool enabled);
    OLE_COLOR ForeColor() const { return m_foreColor; }
    void setForeColor(OLE_COLOR color) { m_foreColor = color; }
    // Shared, never null. Setting nullptr throws RuntimeError 380.
    StdFontPtr Font() const { return m_font; }
    void setFont(const StdFontPtr &font);
    // 0 to 15 or 99 (vbCustom: MouseIcon, when there is one). Anything else
    // throws RuntimeError 380 and changes nothing.
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    // An icon or cursor picture, or nullptr / an empty picture for none. A
    // bitmap throws RuntimeError 380 ("Invalid property value") and changes
    // nothing.
    StdPicturePtr MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const StdPicturePtr &icon);
    // The characters that, with Alt, reach UserControl_AccessKeyPress.
    QString AccessKeys() const { return m_accessKeys; }
    void setAccessKeys(const QString &keys);
    // A control that acts as a button: while it has the focus it, not the
    // form's default button, receives Enter, and it shows as default.
    bool DefaultCancel() const { return m_defaultCancel; }
    void setDefaultCancel(bool on);

    // The device context of the control's surface (made on first use).
    HDC hDC();
    // A control built while hidden may leave its first picture to the paint
    // that shows it, since nothing can show it earlier. The picture is owed
    // from setPictureOwed() until the control next draws into hDC (its paint
    // handler does). A control that hands its hDC to others draws an owed
    // picture first, so that readers never see the blank surface.
    void setPictureOwed() { m_pictureOwed = true; }
    bool isPictureOwed() const { return m_pictureOwed; }
    HWND hWnd();
    // Shows the surface on screen (the host's Refresh; the derived control's
    // own Refresh reaches it as UserControl::Refresh()).
    void Refresh();

    // ---- OLE drag and drop ----
    int OLEDropMode() const { return m_oleDropMode; } // 0 none, 1 manual
    void setOLEDropMode(int mode);
    // Starts a drag with this control as the source: UserControl_OLEStartDrag
    // fills the data and allowed effects; UserControl_OLECompleteDrag follows.
    void OLEDrag();

    // Calls UserControl_Terminate once and releases the surface.
    void terminate();
    bool isTerminated() const { return m_terminated; }

    // The surface as an image (for tests and renderers); null before hDC.
    QImage surfaceImage() const;

    // ---- Handlers (the control overrides them; defaults do nothing) ----
    virtual void UserControl_Paint() {}
    virtual void UserControl_Resize() {}
    virtual void UserControl_Terminate() {}
    virtual void UserControl_Show() {}
    virtual void UserControl_Hide() {}
    virtual void UserControl_AmbientChanged(const QString &PropertyName) { Q_UNUSED(PropertyName); }
    virtual void UserControl_MouseDown(int &Button, int &Shift, float &X, float &Y);
    virtual void UserControl_MouseUp(int &Button, int &Shift, float &X, float &Y);
    virtual void UserControl_MouseMove(int &Button, int &Shift, float &X, float &Y);
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}
    virtual void UserControl_KeyDown(int &KeyCode, int &Shift);
    virtual void UserControl_KeyPress(int &KeyAscii) { Q_UNUSED(KeyAscii); }
    virtual void UserControl_KeyUp(int &KeyCode, int &Shift);
    virtual void UserControl_AccessKeyPress(int &KeyAscii) { Q_UNUSED(KeyAscii); }
    virtual void UserControl_GotFocus() {}
    virtual void UserControl_LostFocus() {}
    virtual void UserControl_EnterFocus() {}
    virtual void UserControl_ExitFocus() {}
    virtual void UserControl_OLECompleteDrag(int &Effect) { Q_UNUSED(Effect); }
    virtual void UserControl_OLEDragDrop(DataObject &Data, int &Effect, int &Button, int &Shift, float &X, float &Y);
    virtual void UserControl_OLEDragOver(DataObject &Data, int &Effect, int &Button, int &Shift, float &X, float &Y, int &State);
    virtual void UserControl_OLEGiveFeedback(int &Effect, bool &DefaultCursors);
    virtual void UserControl_OLESetData(DataObject &Data, int &DataFormat);
    virtual void UserControl_OLEStartDrag(DataObject &Data, int &AllowedEffects);

    // Host side, used by Form: delivers an ambient change / access key.
    void notifyAmbientChanged(const QString &propertyName);
    void deliverAccessKey(int keyAscii);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    template<typename F> void guarded(F &&handler);
    void ensureSurface();
    void resizeSurface();
    void releaseSurface();
    void applyCursor();
    void regrabAccessKeys();
    void sendPendingResize(QSize oldSize);
    QPointF devicePosition(const QSinglePointEvent *event) const;
    bool holdsDevicePoint(QPointF device) const;
    bool passesThrough(QPointF device) const;
    void followScale();
    friend class ExtenderObject;

    QStringList m_changed;
    QString m_tag;
    OLE_COLOR m_foreColor = vbButtonText;
    StdFontPtr m_font;
    int m_mousePointer = vbDefault;
    StdPicturePtr m_mouseIcon;
    QString m_accessKeys;
    QList<int> m_shortcutIds;
    bool m_defaultCancel = false;
    HWND m_hwnd = 0; // found on first use; the handle lives as long as the widget
    HDC m_dc = 0;
    HBITMAP m_surface = 0;
    HBITMAP m_stockBitmap = 0;
    bool m_painting = false;
    bool m_pictureOwed = false;
    bool m_releaseEndsDoubleClick = false;
    bool m_pressPassedThrough = false;
    double m_ratio = 1.0;        // the device pixel ratio of the control's screen
    double m_surfaceRatio = 1.0; // the one the surface was made for
    bool m_terminated = false;
    int m_oleDropMode = 0;
};

} // namespace host
