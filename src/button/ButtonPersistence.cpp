// Loading and saving the control's persisted properties.

#include <button/kxButtons_H.h>

#include "ButtonFontValue.h"

#include <bag/PropertyBag.h>
#include <host/stdpicture.h>

namespace {

bag::Value colourValue(kxButtons_H::OleColor colour)
{
    return bag::Value(quint32(colour));
}

} // namespace

namespace kxbutton {

bag::FontValue fontValueOf(const host::StdFont &font)
{
    bag::FontValue value;
    value.name = font.Name();
    value.size = bag::FontValue::sizeFromPoints(font.Size());
    value.weight = quint16(font.Weight());
    value.charset = quint16(font.Charset());
    // Boldness travels in the weight, as in the stored windows' bags.
    value.setAttribute(bag::FontValue::Italic, font.Italic());
    value.setAttribute(bag::FontValue::Underline, font.Underline());
    value.setAttribute(bag::FontValue::Strikethrough, font.Strikethrough());
    return value;
}

host::StdFontPtr stdFontOf(const bag::FontValue &value)
{
    auto font = std::make_shared<host::StdFont>(value.name, value.pointSize());
    font->setWeight(short(value.weight));
    if (value.isBold() && !font->Bold())
        font->setBold(true);
    font->setItalic(value.isItalic());
    font->setUnderline(value.isUnderline());
    font->setStrikethrough(value.isStrikethrough());
    font->setCharset(short(value.charset));
    return font;
}

} // namespace kxbutton

void kxButtons_H::UserControl_InitProperties()
{
    setTag(QString::number(ContainerHwnd()));
    m_caption.text = Ambient().DisplayName;
    m_look.showFocusRect = True;
    m_caption.align = 2;
    m_colours.hoverForeColor = kSysButtonText;
    m_colours.hoverBackColor = kSysButtonFace;
    m_look.buttonStyle = 2;
    reportChanged("BackStyle");
    m_colours.containerBackColor = ConvertSysColor(Ambient().BackColor);
    m_colours.backColor = kSysButtonFace;
    RefreshCachedValues(QStringLiteral("Font"));
    RefreshCachedValues(QStringLiteral("BackColor"));
    reportChanged("Caption");
    reportChanged("CapAlign");
    reportChanged("Focus");
    reportChanged("cFHover");
    reportChanged("cBHover");
}

void kxButtons_H::UserControl_ReadProperties(bag::PropertyBag &PropBag)
{
    setTag(QString::number(ContainerHwnd()));
    m_colours.containerBackColor = ConvertSysColor(Ambient().BackColor);
    DelayDrawing(true);

    m_caption.text = PropBag.readText(QStringLiteral("Caption"), QString());
    m_caption.align = PropBag.readInt32(QStringLiteral("CapAlign"), 2);
    m_look.buttonStyle = PropBag.readInt32(QStringLiteral("BackStyle"), 2);
    m_look.buttonShape = PropBag.readInt32(QStringLiteral("Shape"), 0);
    m_colours.gradientMode = PropBag.readInt32(QStringLiteral("Gradient"), 0);
    m_colours.gradientColor = OleColor(PropBag.readInt32(QStringLiteral("cGradient"), qint32(kSysButtonFace)));
    host::UserControl::setForeColor(
        OleColor(PropBag.readInt32(QStringLiteral("cFore"), qint32(kSysButtonText))));
    {
        const bag::FontValue current = kxbutton::fontValueOf(*host::UserControl::Font());
        const bag::FontValue stored = PropBag.readFont(QStringLiteral("Font"), current);
        if (!(stored == current))
            host::UserControl::setFont(kxbutton::stdFontOf(stored));
    }
    m_look.showFocusRect = PropBag.readBool(QStringLiteral("Focus"), true) ? True : False;
    m_toggle.mode = PropBag.readInt32(QStringLiteral("Mode"), 0);
    m_toggle.value = PropBag.readBool(QStringLiteral("Value"), false) ? True : False;
    {
        const bag::PictureValue stored = PropBag.readPicture(QStringLiteral("Image"));
        // A picture whose data does not decode leaves the button without one.
        m_image.picture = stored.isEmpty() ? nullptr : host::LoadPicture(stored.data());
    }
    m_image.imageSize = PropBag.readInt16(QStringLiteral("ImgSize"), 16);
    m_image.pictureAlign = PropBag.readInt32(QStringLiteral("ImgAlign"), 0);
    m_colours.hoverForeColor = OleColor(PropBag.readInt32(QStringLiteral("cFHover"), qint32(kSysButtonText)));
    host::UserControl::setEnabled(PropBag.readBool(QStringLiteral("Enabled"), true));
    m_colours.backColor = OleColor(PropBag.readInt32(QStringLiteral("cBack"), qint32(Parent().BackColor())));
    m_colours.hoverBackColor = OleColor(PropBag.readInt32(QStringLiteral("cBHover"), qint32(m_colours.backColor)));
    m_colours.hoverColorLocks = PropBag.readInt32(QStringLiteral("LockHover"), 0);
    m_caption.style = PropBag.readInt32(QStringLiteral("CapStyle"), 0);
    {
        const bag::PictureValue stored = PropBag.readPicture(QStringLiteral("mIcon"));
        MouseIcon(stored.isEmpty() ? nullptr : host::LoadPicture(stored.data()));
    }
    MousePointer(PropBag.readInt32(QStringLiteral("mPointer"), 0));

    RefreshCachedValues(QStringLiteral("Picture"));
    RefreshCachedValues(QStringLiteral("Font"));
    RefreshCachedValues(QStringLiteral("BackColor"));

    Caption(m_caption.text);

    if (m_look.buttonStyle >= 0 && m_look.buttonStyle <= 7 && m_look.buttonStyle != 2) {
        m_look.buttonStyle = 2;
        reportChanged("BackStyle");
        ResetDefaultColors(true);
    }

    if (m_toggle.mode == OptionButton)
        optionToggle(1);

    m_surface.delayDrawing = False;
    // A button read while hidden (each button of a window being built) is
    // drawn by the paint that first shows it; composing it here too would
    // draw every button twice before anyone can see it.
    if (!isVisible())
        setPictureOwed();
    UserControl_Resize();
}

void kxButtons_H::UserControl_WriteProperties(bag::PropertyBag &PropBag)
{
    const bag::Value always; // an empty default: the value is always stored
    PropBag.WriteProperty(QStringLiteral("Caption"), m_caption.text, QString());
    PropBag.WriteProperty(QStringLiteral("CapAlign"), bag::Value::int32(m_caption.align), bag::Value::int32(2));
    PropBag.WriteProperty(QStringLiteral("BackStyle"), bag::Value::int32(m_look.buttonStyle), bag::Value::int32(2));
    PropBag.WriteProperty(QStringLiteral("Shape"), bag::Value::int32(m_look.buttonShape), bag::Value::int32(0));
    PropBag.WriteProperty(QStringLiteral("Font"), bag::Value(kxbutton::fontValueOf(*host::UserControl::Font())),
                          always);
    PropBag.WriteProperty(QStringLiteral("cFore"), colourValue(host::UserControl::ForeColor()),
                          colourValue(kSysButtonText));
    PropBag.WriteProperty(QStringLiteral("cFHover"), colourValue(m_colours.hoverForeColor), colourValue(kSysButtonText));
    PropBag.WriteProperty(QStringLiteral("cBhover"), colourValue(m_colours.hoverBackColor), colourValue(m_colours.backColor));
    PropBag.WriteProperty(QStringLiteral("Focus"), bag::Value::boolean(m_look.showFocusRect != False),
                          bag::Value::boolean(true));
    PropBag.WriteProperty(QStringLiteral("LockHover"), bag::Value::int32(m_colours.hoverColorLocks), bag::Value::int32(0));
    PropBag.WriteProperty(QStringLiteral("cGradient"), colourValue(m_colours.gradientColor), colourValue(kSysButtonFace));
    PropBag.WriteProperty(QStringLiteral("Gradient"), bag::Value::int32(m_colours.gradientMode), bag::Value::int32(0));
    PropBag.WriteProperty(QStringLiteral("CapStyle"), bag::Value::int32(m_caption.style), bag::Value::int32(0));
    PropBag.WriteProperty(QStringLiteral("Mode"), bag::Value::int32(m_toggle.mode), always);
    PropBag.WriteProperty(QStringLiteral("Value"), bag::Value::boolean(m_toggle.value != False), always);
    PropBag.WriteProperty(QStringLiteral("ImgAlign"), bag::Value::int32(m_image.pictureAlign), bag::Value::int32(0));
    const bag::PictureValue image = m_image.picture ? bag::PictureValue(m_image.picture->data()) : bag::PictureValue();
    PropBag.WriteProperty(QStringLiteral("Image"), bag::Value(image), bag::Value(bag::PictureValue()));
    PropBag.WriteProperty(QStringLiteral("ImgSize"), bag::Value::int16(m_image.imageSize), bag::Value::int16(16));
    PropBag.WriteProperty(QStringLiteral("Enabled"), bag::Value::boolean(host::UserControl::Enabled()),
                          bag::Value::boolean(true));
    PropBag.WriteProperty(QStringLiteral("cBack"), colourValue(m_colours.backColor), always);
    PropBag.WriteProperty(QStringLiteral("mPointer"), bag::Value::int16(qint16(host::UserControl::MousePointer())),
                          bag::Value::int16(0));
    const host::StdPicturePtr icon = host::UserControl::MouseIcon();
    const bag::PictureValue iconValue = icon ? bag::PictureValue(icon->data()) : bag::PictureValue();
    PropBag.WriteProperty(QStringLiteral("mIcon"), bag::Value(iconValue), bag::Value(bag::PictureValue()));
}
