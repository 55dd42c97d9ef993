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

    // The member descriptions a property browser shows, in slot order.
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

    // ButtonShape: the rectangle with bevelled corners; the three slanted
    // outlines (left edge, right edge, both); the ellipses, ringed by a
    // gradient from the container's colour (the plain-press one drops the
    // ring while pressed) or outlined in black.
    enum ShapeValue : std::int32_t {
        ShapeRectangle = 0,
        ShapeSlantLeft = 1,
        ShapeSlantRight = 2,
        ShapeSlantBoth = 3,
        ShapeEllipse = 4,
        ShapeEllipsePlainPress = 5,
        ShapeEllipseOutlined = 6,
    };
    // GradientMode: none (solid face), or bands from the first colour at the
    // left, right, top or bottom to the second.
    enum GradientValue : std::int32_t {
        GradientNone = 0,
        GradientFromLeft = 1,
        GradientFromRight = 2,
        GradientFromTop = 3,
        GradientFromBottom = 4,
    };
    // CaptionStyle: plain text, or a lighter and a darker copy of the text
    // around it: darker up-left for engraved, lighter up-left for embossed.
    enum CaptionStyleValue : std::int32_t { CaptionFlat = 0, CaptionEngraved = 1, CaptionEmbossed = 2 };
    // PictureAlign: at the face's left or right edge, beside the caption on
    // the left or right, or centred above or below it.
    enum PictureAlignValue : std::int32_t {
        PictureLeftEdge = 0,
        PictureLeftOfCaption = 1,
        PictureRightEdge = 2,
        PictureRightOfCaption = 3,
        PictureTopCentre = 4,
        PictureBottomCentre = 5,
    };

    // Bits of m_input.stateBits.
    static constexpr std::int16_t kDefaultFlag = 1;
    static constexpr std::int16_t kHeldFlag = 2;
    static constexpr std::int16_t kHoverFlag = 4;

    static constexpr std::int32_t kHoverTimerId = 237;

    explicit kxButtons_H(QWidget *parent = nullptr);
    ~kxButtons_H() override;

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
    friend class KxButtonsProbe; // the tests and kxrender (button/testsupport)
    friend class KxButtonsAccessible; // reads the held flag as the pressed state
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
    // The image size in device pixels: pictures keep their laid-out size at
    // every screen scale.
    std::int32_t imagePixels() const;
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

    // Instance state, grouped by what it is for (the numbers are those of
    // the items of the control's state as described).

    // 1, 12. The off-screen surface: the memory DC; the bitmap, pen, brush
    // and font that were selected in it when it was made (0: no off-screen
    // bitmap / no font selected yet); the inner ellipse of the elliptic
    // shapes, the painters' clip; and the delay-drawing flag, which keeps
    // drawing from reaching the screen.
    struct Surface
    {
        HDC memDC = 0;
        HBITMAP initialBitmap = 0;
        HPEN initialPen = 0;
        HBRUSH initialBrush = 0;
        HRGN clipRegion = 0;
        HFONT initialFont = 0;
        VBool delayDrawing = False;
    };
    // 2, 3. The caption and how it is written.
    struct CaptionSettings
    {
        QString text;
        std::int32_t align = 0;  // 0 left, 1 right, 2 centre
        std::int32_t style = CaptionFlat;
        float fontTwipsPerPixel = 0; // the screen's twips per pixel the font was made for
    };
    // 3, 5, 7. The outline and the frame.
    struct Look
    {
        std::int32_t buttonStyle = 0;
        std::int32_t buttonShape = ShapeRectangle;
        VBool showFocusRect = False;
    };
    // 4, 14. Input: kDefaultFlag | kHeldFlag | kHoverFlag, the last mouse
    // button, the hover tracking flag and the pressed look.
    struct InputState
    {
        std::int16_t stateBits = 0;
        std::int16_t lastButton = 0;
        VBool tracking = False;
        VBool pressedLook = False;
    };
    // 6, 11. Layout: the face limits from CreateButtonRegion, the caption and
    // image rectangles from CalculateLayout.
    struct Layout
    {
        std::int32_t faceLeft = 0;
        std::int32_t faceRight = 0;
        RECT captionRect{0, 0, 0, 0};
        RECT imageRect{0, 0, 0, 0};
    };
    // 8, 13, 14. Colours: as the properties hold them, and the face colours
    // (RGB) derived from them and the container's back colour.
    struct Colours
    {
        OleColor backColor = 0;
        OleColor hoverBackColor = 0;
        OleColor hoverForeColor = 0;
        std::int32_t hoverColorLocks = 0;
        std::int32_t gradientMode = GradientNone;
        OleColor gradientColor = 0;
        std::int32_t faceColor = 0;
        std::int32_t pressedFaceColor = 0;
        std::int32_t hoverFaceColor = 0;
        std::int32_t selectedFaceColor = 0;
        std::int32_t containerBackColor = 0;
    };
    // 9. What a click does, and the checked state.
    struct Toggle
    {
        std::int32_t mode = CommandButton;
        VBool value = False;
    };
    // 10, 11. The picture, where it goes, its drawn size and its cached
    // metrics.
    struct ImageSettings
    {
        host::StdPicturePtr picture;
        std::int32_t pictureAlign = PictureLeftEdge;
        std::int16_t imageSize = 0; // pixels: 16, 24, 32, 40, 48; 0 until first used
        std::int32_t pictureWidth = 0;
        std::int32_t pictureHeight = 0;
        std::int32_t pictureKind = 0; // 0 bitmap, 1 icon
    };

    Surface m_surface;
    CaptionSettings m_caption;
    Look m_look;
    InputState m_input;
    Layout m_layout;
    Colours m_colours;
    Toggle m_toggle;
    ImageSettings m_image;
};
