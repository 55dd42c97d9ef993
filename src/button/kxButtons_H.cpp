#include <button/kxButtons_H.h>

#include <button/KxButtonsAccessible.h>

#include <host/accessibility.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>

#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

kxButtons_H::kxButtons_H(QWidget *parent)
    : host::UserControl(parent)
{
    // A button: while it has the focus it takes Enter itself and its form
    // shows it as the default button (which is how focus is drawn).
    setDefaultCancel(true);
    host::installAccessibleInterface<KxButtonsAccessible, kxButtons_H>();
}

kxButtons_H::~kxButtons_H()
{
    // A control deleted on its own ends here; one on a form has already been
    // terminated by the form, and terminate() runs the handler only once.
    terminate();
}

// ---- small helpers ----

bool kxButtons_H::isDesignMode() const
{
    return !Ambient().UserMode;
}

void kxButtons_H::reportChanged(const char *key)
{
    PropertyChanged(QString::fromLatin1(key));
}

void kxButtons_H::showDesignMessage(const QString &text, const QString &title)
{
    if (isDesignMode())
        host::MsgBox(text, host::vbInformation, title);
}

void kxButtons_H::setAccessKeyFromCaption(const QString &caption)
{
    const qsizetype amp = caption.lastIndexOf(QLatin1Char('&'));
    if (amp < 0)
        return; // no "&": the previous access key stays
    setAccessKeys(caption.mid(amp + 1, 1));
}

namespace {

// The runtime's conversion of a fractional value to an integer.
std::int32_t roundHalfEven(double v)
{
    return static_cast<std::int32_t>(std::nearbyint(v));
}

} // namespace

// ---- members, in slot order ----

void kxButtons_H::ButtonStyle(std::int32_t Style)
{
    if (Style != 2)
        return;
    m_look.buttonStyle = Style;
    CreateButtonRegion();
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    RefreshCachedValues(QStringLiteral("BackColor"));
    Refresh();
    reportChanged("BackStyle");
}

std::int32_t kxButtons_H::ButtonStyle() const
{
    return m_look.buttonStyle;
}

void kxButtons_H::Mode(std::int32_t nMode)
{
    if (nMode < CommandButton || nMode > OptionButton)
        return;
    // Group membership follows the mode; the old mode is still stored here.
    if (m_toggle.mode == OptionButton && nMode < OptionButton)
        optionToggle(-1);
    if (nMode == OptionButton && m_toggle.mode < OptionButton)
        optionToggle(1);
    if (nMode == CommandButton && m_toggle.mode > CommandButton)
        Value(false);
    m_toggle.mode = nMode;
    Refresh();
    reportChanged("Mode");
}

std::int32_t kxButtons_H::Mode() const
{
    return m_toggle.mode;
}

void kxButtons_H::Value(bool bValue)
{
    if (bValue && m_toggle.mode == CommandButton) {
        showDesignMessage(QStringLiteral("This property is not applicable for command button modes."));
        return;
    }
    const VBool before = m_toggle.value;
    m_toggle.value = bValue ? True : False;
    if (m_toggle.value != before)
        KxButtonsAccessible::valueChanged(this);
    if (bValue && m_toggle.mode == OptionButton)
        optionToggle(0);
    Refresh();
    reportChanged("Value");
}

bool kxButtons_H::Value() const
{
    return m_toggle.value != False;
}

void kxButtons_H::Caption(const QString &sCaption)
{
    setAccessKeyFromCaption(sCaption);
    m_caption.text = sCaption;
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    KxButtonsAccessible::captionChanged(this);
    reportChanged("Caption");
}

QString kxButtons_H::Caption() const
{
    return m_caption.text;
}

void kxButtons_H::CaptionAlign(std::int32_t nAlign)
{
    if (nAlign < 0 || nAlign > 2)
        return;
    const bool noImage = m_image.pictureWidth + m_image.pictureHeight <= 0;
    if (!(nAlign == 2 || (m_image.pictureAlign >= PictureLeftEdge && m_image.pictureAlign <= PictureRightOfCaption) || noImage)) {
        showDesignMessage(QStringLiteral("When button images are aligned top/bottom center, ") + kCrLf
                          + QStringLiteral("button captions can only be center aligned"));
        return;
    }
    m_caption.align = nAlign;
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    reportChanged("CapAlign");
}

std::int32_t kxButtons_H::CaptionAlign() const
{
    return m_caption.align;
}

void kxButtons_H::CaptionStyle(std::int32_t nStyle)
{
    if (nStyle < CaptionFlat || nStyle > CaptionEmbossed)
        return;
    m_caption.style = nStyle;
    reportChanged("CapStyle");
    if (!m_caption.text.isEmpty()) {
        std::int32_t usableWidth = 0;
        std::int32_t faceOffset = 0;
        CalculateLayout(usableWidth, true, faceOffset);
        Refresh();
    }
}

std::int32_t kxButtons_H::CaptionStyle() const
{
    return m_caption.style;
}

void kxButtons_H::ButtonShape(std::int32_t nShape)
{
    if (nShape < ShapeRectangle || nShape > ShapeEllipseOutlined)
        return;
    m_look.buttonShape = nShape;
    CreateButtonRegion();
    DelayDrawing(true);
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    if (nShape != ShapeSlantBoth || m_caption.align == 2)
        CalculateLayout(usableWidth, true, faceOffset);
    else
        CaptionAlign(2); // shape 3 allows only centred captions
    DelayDrawing(false);
    reportChanged("Shape");
}

std::int32_t kxButtons_H::ButtonShape() const
{
    return m_look.buttonShape;
}

void kxButtons_H::Picture(const host::StdPicturePtr &xPic)
{
    m_image.picture = xPic;
    if (m_image.imageSize == 0)
        m_image.imageSize = 16;
    RefreshCachedValues(QStringLiteral("Picture"));
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    reportChanged("Image");
}

host::StdPicturePtr kxButtons_H::Picture() const
{
    return m_image.picture;
}

void kxButtons_H::PictureAlign(std::int32_t ImgAlign)
{
    if (ImgAlign < PictureLeftEdge || ImgAlign > PictureBottomCentre)
        return;
    m_image.pictureAlign = ImgAlign;
    if (ImgAlign == PictureTopCentre || ImgAlign == PictureBottomCentre)
        CaptionAlign(2);
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    reportChanged("ImgAlign");
}

std::int32_t kxButtons_H::PictureAlign() const
{
    return m_image.pictureAlign;
}

void kxButtons_H::Enabled(bool bEnabled)
{
    if (bEnabled == host::UserControl::Enabled())
        return;
    host::UserControl::setEnabled(bEnabled);
    Refresh();
    reportChanged("Enabled");
}

bool kxButtons_H::Enabled() const
{
    return host::UserControl::Enabled();
}

void kxButtons_H::ShowFocusRect(bool bShow)
{
    m_look.showFocusRect = bShow ? True : False;
    if (m_input.stateBits & kDefaultFlag) {
        if (isDesignMode()) {
            host::MsgBox(QStringLiteral("The focus rectangle may appear on default buttons ONLY while in design mode, ")
                             + kCrLf + QStringLiteral("but will not appear when the form is running."),
                         host::vbInformation);
        } else {
            m_input.stateBits = std::int16_t(m_input.stateBits & ~kDefaultFlag);
            Refresh();
        }
    } else {
        Refresh();
    }
    reportChanged("Focus");
}

bool kxButtons_H::ShowFocusRect() const
{
    return m_look.showFocusRect != False;
}

void kxButtons_H::PictureSize(std::int32_t nSize)
{
    if (nSize < 0 || nSize > 4)
        return;
    m_image.imageSize = std::int16_t((nSize + 2) * 8);
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    reportChanged("ImgSize");
}

std::int32_t kxButtons_H::PictureSize()
{
    if (m_image.imageSize == 0)
        m_image.imageSize = 16;
    // A stored size that is not a multiple of 8 has no enumeration value; the
    // quotient rounds like every fractional value of the runtime.
    return roundHalfEven(m_image.imageSize / 8.0 - 2.0);
}

void kxButtons_H::MousePointer(std::int32_t nPointer)
{
    // A value the host refuses reaches the caller as the host's error.
    host::UserControl::setMousePointer(nPointer);
    reportChanged("mPointer");
}

std::int32_t kxButtons_H::MousePointer() const
{
    return host::UserControl::MousePointer();
}

void kxButtons_H::MouseIcon(const host::StdPicturePtr &nIcon)
{
    try {
        host::UserControl::setMouseIcon(nIcon);
    } catch (const host::RuntimeError &error) {
        showDesignMessage(error.description, QStringLiteral("Select .ico Or .cur Files Only"));
        return;
    }
    if (nIcon && nIcon->Type() != host::vbPicTypeNone) {
        MousePointer(host::vbCustom);
        reportChanged("mIcon");
    }
}

host::StdPicturePtr kxButtons_H::MouseIcon() const
{
    return host::UserControl::MouseIcon();
}

void kxButtons_H::Font(const host::StdFontPtr &nFont)
{
    host::UserControl::setFont(nFont);
    RefreshCachedValues(QStringLiteral("Font"));
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    Refresh();
    reportChanged("Font");
}

host::StdFontPtr kxButtons_H::Font() const
{
    return host::UserControl::Font();
}

void kxButtons_H::FontStyle(std::int32_t nStyle)
{
    const host::StdFontPtr font = host::UserControl::Font();
    font->setBold((nStyle & 2) != 0);
    font->setItalic((nStyle & 4) != 0);
    font->setUnderline((nStyle & 8) != 0);
    RefreshCachedValues(QStringLiteral("Font"));
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    reportChanged("Font");
    Refresh();
}

std::int32_t kxButtons_H::FontStyle() const
{
    const host::StdFontPtr font = host::UserControl::Font();
    return 2 * font->Bold() + 4 * font->Italic() + 8 * font->Underline();
}

HDC kxButtons_H::hDC()
{
    // Whoever reads the surface sees the finished button: a first picture
    // still left to a paint that has not come yet is drawn now.
    if (isPictureOwed())
        RedrawButton();
    return host::UserControl::hDC();
}

HWND kxButtons_H::hwnd()
{
    return host::UserControl::hWnd();
}
