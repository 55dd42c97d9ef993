#pragma once

// kxButtons_H: the owner-drawn button every window of the program is made of.
//
// The control paints into an off-screen surface of its own (a memory DC on
// the gdi stand-in) and shows it with one block transfer. It is a push
// button, a check button or an option button; option buttons of one
// container window find each other through window properties of that
// container. Booleans of the control's own state are 16-bit, True = -1.
//
// Public members keep the names the forms designer and the stored windows
// use: each property is a getter and a setter overload of the same name.
// Events are Qt signals whose arguments are references, so a handler
// connected directly can change them and the control sees the change.

#include <gdi/gdi.h>
#include <host/usercontrol.h>
#include <host/window.h>

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace bag {
class PropertyBag;
}

class kxButtons_H;

// The hover timer's callback: finds its control through the window
// properties "kx_ClassID" and "kx_TimerID" of the window it belongs to.
namespace modKxTimer {
void HoverTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
}

class kxButtons_H : public host::UserControl
{
    Q_OBJECT

    Q_CLASSINFO("ButtonStyle", "Various operating system button styles")
    Q_CLASSINFO("Mode", "Command button, check box or option button mode")
    Q_CLASSINFO("Value", "Applicable to only check box or option button modes: True or False")
    Q_CLASSINFO("Caption", "The caption of the button. Double pipe (||) is a line break.")
    Q_CLASSINFO("CaptionAlign", "Horizontal alignment of caption on the button.")
    Q_CLASSINFO("CaptionStyle", "Flat, Embossed or Engraved effects")
    Q_CLASSINFO("ButtonShape", "Rectangular or various diagonal shapes")
    Q_CLASSINFO("Picture", "The image used to display on the button.")
    Q_CLASSINFO("PictureAlign", "Alignment of the button image in relation to the caption and/or button.")
    Q_CLASSINFO("Enabled", "Determines if events are fired for this button.")
    Q_CLASSINFO("ShowFocusRect", "Allows or prevents a focus rectangle from being displayed. In design mode, this may always be displayed for button set as Default.")
    Q_CLASSINFO("PictureSize", "Size of button image. Last two options automatically center image.")
    Q_CLASSINFO("MousePointer", "Various optional mouse pointers to use when mouse is over the button")
    Q_CLASSINFO("MouseIcon", "Icon or cursor used to display when mouse is over the button. MousePointer must be set to Custom.")
    Q_CLASSINFO("Font", "Font used to display the caption.")
    Q_CLASSINFO("FontStyle", "Various font attributes that can be changed directly.")
    Q_CLASSINFO("ForeColor", "The color of the caption's font .")
    Q_CLASSINFO("BackColor", "Button back color. See also ResetDefaultColors")
    Q_CLASSINFO("GradientColor", "Secondary color used for gradient shades. The BackColor property is the primary color.")
    Q_CLASSINFO("GradientMode", "Various directions to draw the gradient shading.")
    Q_CLASSINFO("ResetDefaultColors", "Resets button's back color and text color to Window's standard. The hover properties are also reset.")
    Q_CLASSINFO("HoverColorLocks", "Can ensure the hover colors match the caption and back colors. Click for more options.")
    Q_CLASSINFO("HoverForeColor", "Color of button caption's text when mouse is hovering over it. Affects the HoverLockColors property.")
    Q_CLASSINFO("HoverBackColor", "Color of button background when mouse is hovering over it. Affects the HoverLockColors property.")

public:
    // 16-bit Boolean of the control's state and of stored bags.
    using VBool = std::int16_t;
    static constexpr VBool True = -1;
    static constexpr VBool False = 0;

    // OLE colour: 0x00BBGGRR, or 0x80000000 + n for system colour n.
    using OleColor = host::OLE_COLOR;
    static constexpr OleColor kSysButtonFace = host::vbButtonFace;
    static constexpr OleColor kSysButtonText = host::vbButtonText;

    enum ModeValue : std::int32_t { CommandButton = 0, CheckButton = 1, OptionButton = 2 };

    // Bits of m_stateBits.
    static constexpr std::int16_t kDefaultFlag = 1;
    static constexpr std::int16_t kHeldFlag = 2;
    static constexpr std::int16_t kHoverFlag = 4;

    static constexpr std::int32_t kHoverTimerId = 237;

    explicit kxButtons_H(QWidget *parent = nullptr);
    ~kxButtons_H() override;

    // The member descriptions a property browser shows, in slot order.
    static QStringList memberNames();
    static QString memberDescription(const QString &member);

    // --- members in slot order ---
    void ButtonStyle(std::int32_t Style);
    std::int32_t ButtonStyle() const;
    void Mode(std::int32_t nMode);
    std::int32_t Mode() const;
    void Value(bool bValue);
    bool Value() const;
    void Caption(const QString &sCaption);
    QString Caption() const;
    void CaptionAlign(std::int32_t nAlign);
    std::int32_t CaptionAlign() const;
    void CaptionStyle(std::int32_t nStyle);
    std::int32_t CaptionStyle() const;
    void ButtonShape(std::int32_t nShape);
    std::int32_t ButtonShape() const;
    void Picture(const host::StdPicturePtr &xPic);
    host::StdPicturePtr Picture() const;
    void PictureAlign(std::int32_t ImgAlign);
    std::int32_t PictureAlign() const;
    void Enabled(bool bEnabled);
    bool Enabled() const;
    void ShowFocusRect(bool bShow);
    bool ShowFocusRect() const;
    void PictureSize(std::int32_t nSize);
    std::int32_t PictureSize();
    void MousePointer(std::int32_t nPointer);
    std::int32_t MousePointer() const;
    void MouseIcon(const host::StdPicturePtr &nIcon);
    host::StdPicturePtr MouseIcon() const;
    void Font(const host::StdFontPtr &nFont);
    host::StdFontPtr Font() const;
    void FontStyle(std::int32_t nStyle);
    std::int32_t FontStyle() const;
    void ForeColor(OleColor nColor);
    OleColor ForeColor() const;
    void BackColor(OleColor nColor);
    OleColor BackColor() const;
    void GradientColor(OleColor nColor);
    OleColor GradientColor() const;
    void GradientMode(std::int32_t nOpt);
    std::int32_t GradientMode() const;
    void ResetDefaultColors(bool nDefault);
    bool ResetDefaultColors() const;
    void HoverColorLocks(std::int32_t nLock);
    std::int32_t HoverColorLocks() const;
    void HoverForeColor(OleColor nColor);
    OleColor HoverForeColor() const;
    void HoverBackColor(OleColor nColor);
    OleColor HoverBackColor() const;
    HDC hDC();
    HWND hwnd();
    void Refresh();
    void DelayDrawing(bool bDelay);

    // --- handlers the host calls ---
    // Persistence: the window loader calls these with the button's bag.
    void UserControl_InitProperties();
    void UserControl_ReadProperties(bag::PropertyBag &PropBag);
    void UserControl_WriteProperties(bag::PropertyBag &PropBag);
    // Lifecycle, called by the host.
    void UserControl_Resize() override;
    void UserControl_AmbientChanged(const QString &PropertyName) override;
    void UserControl_Terminate() override;

    // Input, focus and paint, called by the host with the runtime's codes.
    void UserControl_MouseDown(int &Button, int &Shift, float &X, float &Y) override;
    void UserControl_MouseUp(int &Button, int &Shift, float &X, float &Y) override;
    void UserControl_MouseMove(int &Button, int &Shift, float &X, float &Y) override;
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void UserControl_KeyDown(int &KeyCode, int &Shift) override;
    void UserControl_KeyPress(int &KeyAscii) override;
    void UserControl_KeyUp(int &KeyCode, int &Shift) override;
    void UserControl_AccessKeyPress(int &KeyAscii) override;
    void UserControl_GotFocus() override;
    void UserControl_Paint() override;
    void UserControl_OLECompleteDrag(int &Effect) override;
    void UserControl_OLEDragDrop(host::DataObject &Data, int &Effect, int &Button, int &Shift, float &X,
                                 float &Y) override;
    void UserControl_OLEDragOver(host::DataObject &Data, int &Effect, int &Button, int &Shift, float &X,
                                 float &Y, int &State) override;
    void UserControl_OLEGiveFeedback(int &Effect, bool &DefaultCursors) override;
    void UserControl_OLESetData(host::DataObject &Data, int &DataFormat) override;
    void UserControl_OLEStartDrag(host::DataObject &Data, int &AllowedEffects) override;

signals:
    void MouseDown(std::int16_t &Button, std::int16_t &Shift, float &X, float &Y);
    void MouseUp(std::int16_t &Button, std::int16_t &Shift, float &X, float &Y);
    void MouseMove(std::int16_t &Button, std::int16_t &Shift, float &X, float &Y);
    void KeyDown(std::int16_t &KeyCode, std::int16_t &Shift);
    void KeyPress(std::int16_t &KeyAscii);
    void KeyUp(std::int16_t &KeyCode, std::int16_t &Shift);
    void MouseOnButton(bool &OnButton);
    void Click();
    void DoubleClick(std::int16_t &Button);
    void OLECompleteDrag(std::int32_t &Effect);
    void OLEDragDrop(host::DataObject &Data, std::int32_t &Effect, std::int16_t &Button,
                     std::int16_t &Shift, float &X, float &Y);
    void OLEDragOver(host::DataObject &Data, std::int32_t &Effect, std::int16_t &Button,
                     std::int16_t &Shift, float &X, float &Y, std::int16_t &State);
    void OLEGiveFeedback(std::int32_t &Effect, bool &DefaultCursors);
    void OLESetData(host::DataObject &Data, std::int16_t &DataFormat);
    void OLEStartDrag(host::DataObject &Data, std::int32_t &AllowedEffects);

private:
    friend class KxButtonsProbe; // read-only access for the tests and kxrender
    friend void modKxTimer::HoverTimerProc(HWND, UINT, UINT_PTR, DWORD);

    // --- hover tracking ---
    void HoverTimerTick(std::int32_t TimerID);

    // --- option groups ---
    void OptionToggle(std::int16_t &action, bool &result);
    void optionToggle(std::int16_t action);
    HWND containerWindow() const;
    bool isGroupMember() const;
    void leaveAllGroupsAtTeardown();

    void setAccessKeyFromCaption(const QString &caption);
    void reportChanged(const char *key);
    void showDesignMessage(const QString &text, const QString &title = QString());
    bool isDesignMode() const;

    // --- painting routines (implemented by the painting code) ---
    void CreateButtonRegion();
    void CalculateLayout(std::int32_t &usableWidth, bool full, std::int32_t &faceOffset);
    void DrawCaption(std::int32_t &faceColor, std::int32_t &disabledColor, bool &pushed,
                     bool &singlePass);
    void RedrawButton(bool unused = false);
    void ManageOffscreenSurface(bool create);
    void DrawBoxRect(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right,
                     std::int32_t bottom, std::int32_t fillColor, std::int32_t penColor,
                     std::int32_t penWidth = 1, std::int32_t penStyle = 0);
    void SelectDrawTool(bool create, HDC hdc, std::int32_t kind = 0, std::int32_t color = 0,
                        bool withPen = false, std::int32_t penWidth = 1,
                        std::int32_t penStyle = 0);
    std::int32_t ConvertSysColor(std::int32_t color) const;
    static std::int32_t ShiftColor(std::int32_t color, std::int16_t amount,
                                   bool scaleBlue = false);
    void RefreshCachedValues(const QString &key);
    void DrawGradient(std::int32_t firstColor, std::int32_t secondColor);
    void CalcGradientColors(std::vector<std::int32_t> &colors, std::int32_t firstColor,
                            std::int32_t secondColor);
    // points[0..15]; borderColors[1..12] (index 0 unused); lookIndex 0 normal,
    // 1 default, 2 pressed, 3 hot.
    void DrawButton(std::array<POINT, 16> &points, std::array<std::int32_t, 13> &borderColors,
                    std::int16_t &lookIndex);
    void DrawBackground(std::int32_t &faceColor, std::int16_t &lookIndex,
                        std::int32_t &secondGradientColor, std::int32_t &hoverFaceColor);
    void DrawBorder(std::array<POINT, 16> &points, std::array<std::int32_t, 13> &borderColors);
    void DrawFocusHighlight(std::int32_t color);
    void DrawPicture(RECT &imageRect, std::int32_t &usableWidth, std::int32_t &faceOffset);
    void TransparentBlit(HDC destDC, RECT &destRect, HBITMAP bitmap, RECT &srcRect,
                         std::int32_t &width, std::int32_t &height);

    // --- painting helpers (owned by the painting code) ---
    bool isHoverAndHeld() const;          // pressed with the pointer over it
    QByteArray captionDrawText() const;   // "||" as CR LF, in the DrawTextA code page
    UINT captionFormat() const;           // DrawTextA flags of CaptionAlign
    HGDIOBJ pictureHandle() const;        // 0 when there is no picture
    void replaceTool(HGDIOBJ tool);       // select into the memory DC, delete the one replaced
    // --- end of painting helpers ---

    // Instance state, in declaration order.
    // 1. Off-screen surface and clip region.
    HDC m_memDC = 0;
    HBITMAP m_initialBitmap = 0;   // 0: no off-screen bitmap yet
    HPEN m_initialPen = 0;
    HBRUSH m_initialBrush = 0;
    HRGN m_clipRegion = 0;         // inner ellipse of shapes 4 to 6
    HFONT m_initialFont = 0;       // 0 until the first font was selected
    // 2.
    QString m_caption;
    // 3.
    std::int32_t m_captionAlign = 0;
    std::int32_t m_captionStyle = 0;
    std::int32_t m_buttonStyle = 0;
    // 4. kDefaultFlag | kHeldFlag | kHoverFlag
    std::int16_t m_stateBits = 0;
    // 5.
    std::int32_t m_buttonShape = 0;
    // 6. Layout: face limits from CreateButtonRegion, caption rectangle.
    std::int32_t m_faceLeft = 0;
    std::int32_t m_faceRight = 0;
    RECT m_captionRect{0, 0, 0, 0};
    // 7.
    VBool m_showFocusRect = False;
    // 8.
    OleColor m_hoverBackColor = 0;
    OleColor m_hoverForeColor = 0;
    std::int32_t m_hoverColorLocks = 0;
    std::int32_t m_gradientMode = 0;
    OleColor m_gradientColor = 0;
    // 9.
    std::int32_t m_mode = CommandButton;
    VBool m_value = False;
    // 10.
    host::StdPicturePtr m_picture;
    std::int32_t m_pictureAlign = 0;
    std::int16_t m_imageSize = 0;  // pixels: 16, 24, 32, 40, 48; 0 until first used
    // 11. Image rectangle and cached picture metrics.
    RECT m_imageRect{0, 0, 0, 0};
    std::int32_t m_pictureWidth = 0;
    std::int32_t m_pictureHeight = 0;
    std::int32_t m_pictureKind = 0; // 0 bitmap, 1 icon
    // 12.
    VBool m_delayDrawing = False;
    // 13.
    OleColor m_backColor = 0;
    // 14. Derived face colours (RGB), input and hover state.
    std::int32_t m_faceColor = 0;
    std::int32_t m_pressedFaceColor = 0;
    std::int32_t m_hoverFaceColor = 0;
    std::int32_t m_selectedFaceColor = 0;
    std::int16_t m_lastButton = 0;
    VBool m_tracking = False;
    std::int32_t m_containerBackColor = 0;
    VBool m_pressedLook = False;
};
