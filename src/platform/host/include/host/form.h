#pragma once
// Form: a top-level window of the forms runtime, and the container state the
// user controls on it read as ambient properties.
//
// - BackColor: the form's back colour (an OLE colour; system colours follow
//   the palette). Any container can carry its own (setBackColorOf, for a
//   frame); a container without one shows its parent's.
// - UserMode: false while the form is in a designer; run mode by default.
// - Default and cancel buttons: Enter that no focused widget takes reaches
//   the default control, Escape the cancel control, as
//   UserControl_AccessKeyPress(13 / 27). A focused control with
//   DefaultCancel takes Enter itself. DisplayAsDefault is true for the
//   control that Enter would reach, and changes are reported as
//   AmbientChanged("DisplayAsDefault").
// - Escape that no focused widget takes presses the cancel control; on a
//   form that closes on Escape (a dialog) and has none, it closes the form
//   as its close box does.
// - An arrow key that a button control posts to its container
//   (PostMessageA) moves the focus to the next (Right, Down) or previous
//   (Left, Up) control. Arrows typed in other controls (text boxes) stay
//   theirs and never move the focus.
// - A control that lies wholly outside the client area (clipped away by
//   the window's or a frame's edge) is skipped by Tab, Shift+Tab and the
//   posted arrows, and its access key does nothing (isOutOfView).
// - Showing modally (the runtime's Show vbModal) blocks the caller, with
//   input to other windows stopped, until the form is hidden or closed;
//   timers and posted events keep running.
// - Closing (the close box, or Unload) asks Form_QueryUnload and then
//   Form_Unload; either may cancel by setting Cancel to non-zero.
// - Destroying the form terminates its user controls first.

#include <host/olecolor.h>
#include <host/twips.h>
#include <host/usercontrol.h>

#include <QPointer>

class QEventLoop;
#include <QWidget>

namespace host {

class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR color);
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    // The unit of the controls' Extender geometry; fixed modes 1 to 8.
    int ScaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);
    bool UserMode() const { return m_userMode; }
    void setUserMode(bool userMode);

    UserControl *defaultControl() const { return m_default; }
    void setDefaultControl(UserControl *control);
    UserControl *cancelControl() const { return m_cancel; }
    void setCancelControl(UserControl *control);
    bool closesOnEscape() const { return m_closesOnEscape; }
    void setClosesOnEscape(bool on) { m_closesOnEscape = on; }
    // Escape: presses the cancel control, or closes a form that closes on
    // Escape. False when Escape means nothing to this form.
    bool pressEscape();
    // The control that Enter reaches now (the one shown as default).
    UserControl *displayedDefault() const;

    // Terminates every user control on the form (once each).
    void terminateControls();

    // Shows the form modally; returns when it is hidden, closed or deleted.
    void showModal();
    // Closes the form from code (UnloadMode vbFormCode); false if cancelled.
    bool Unload();

    enum QueryUnloadConstants { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2 };
    virtual void Form_QueryUnload(int &Cancel, int UnloadMode) { Q_UNUSED(Cancel); Q_UNUSED(UnloadMode); }
    virtual void Form_Unload(int &Cancel) { Q_UNUSED(Cancel); }

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updateDisplayedDefault();
    void notifyControls(const QString &propertyName);

    int m_scaleMode = vbTwips;
    bool m_userMode = true;
    QPointer<UserControl> m_default;
    QPointer<UserControl> m_cancel;
    QPointer<UserControl> m_shownDefault;
    QMetaObject::Connection m_focusWatch;
    QEventLoop *m_modalLoop = nullptr;
    int m_unloadMode = vbFormControlMenu;
    bool m_closesOnEscape = false;
};

// The back colour of a container: its own if set, else its parent's, and
// vbButtonFace at the top. setBackColorOf notifies the user controls inside.
OLE_COLOR backColorOf(const QWidget *container);
void setBackColorOf(QWidget *container, OLE_COLOR color);

// True when no pixel of the widget lies inside the client area of its
// window: it lies beyond the window's edge, or beyond the edge of a frame
// that holds it. Such a widget cannot be seen, so it takes no focus.
bool isOutOfView(const QWidget *widget);

} // namespace host
