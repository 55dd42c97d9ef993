#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace forms {

// A stored window as read from its layout file (JSON). Geometry is in twips,
// relative to the client area of the container; colours are OLE colours
// (0x00BBGGRR, or 0x80000000 + n for system colour n).
//
//   { "name": ..., "caption": ..., "width": <outer twips>, "clientWidth": ...,
//     "clientHeight": ..., "icon": <file>, "font": {...}, "backColor": "0x...",
//     "controls": [ { "name", "kind", "container", "left", "top", "width",
//                     "height", "tabIndex", ...settings of the kind... } ] }
//
// Colours are strings ("0xC0FFFF") so that they read as the hex values they
// are; fonts are { "face", "size" (points), "bold" }.

struct FontSpec
{
    QString face;
    double pointSize = 0;
    bool bold = false;

    friend bool operator==(const FontSpec &, const FontSpec &) = default;
};

enum class ControlKind { Label, Frame, TextBox, CheckBox, Shape, Line, PictureBox, Image, AniGif, Button, Timer };

struct ControlData
{
    QString name;
    ControlKind kind = ControlKind::Label;
    QString container;            // the window's name or another control's
    int left = 0, top = 0, width = 0, height = 0;
    int x2 = 0, y2 = 0;           // lines: from (left, top) to (x2, y2)
    std::optional<int> tabIndex;
    QString text;                 // caption of labels/frames/check boxes, text of text boxes
    std::optional<FontSpec> font;
    std::optional<quint32> backColor;
    std::optional<quint32> foreColor;
    bool centred = false;         // alignment "center"
    bool multiLine = false;
    bool verticalScrollBar = false;
    bool singleBorder = false;    // border "single"; "none" or absent: no border
    std::optional<quint32> fillColor; // shapes: solid fill
    QString file;                 // image: picture; anigif: animation; button: property bag
    bool stretch = false;
    int interval = 0;             // timers, milliseconds
    bool enabled = true;
    int value = 0;                // check boxes: 0 unchecked, 1 checked, 2 greyed
};

struct FormData
{
    QString name;
    QString caption;
    int width = 0;                // outer width, twips
    int clientWidth = 0, clientHeight = 0;
    QString icon;
    FontSpec font;
    quint32 backColor = 0x8000000F;
    QList<ControlData> controls;

    const ControlData *control(const QString &name) const;
};

struct FormParseResult
{
    std::optional<FormData> form;
    // "radiosala.json: control 12 (Text1): 'left' is not a whole number (line 18, column 80)",
    // "radiosala.json: line 3, column 17 (offset 52): unterminated string"
    QString error;

    bool ok() const { return form.has_value(); }
};

// Parses a layout file. Never trusts the data: the JSON must be strict
// (well-formed UTF-8, no raw control characters in strings, no key read here
// given twice in one object, nesting at most 64 deep), every field is
// type-checked, names must be unique, containers must exist and come before
// their children. Keys it does not read are passed over.
FormParseResult parseForm(const QByteArray &json, const QString &fileName);

// "0xC0FFFF" -> 0xC0FFFF: "0x" and one to eight hex digits; nullopt for
// anything else.
std::optional<quint32> parseColour(const QString &text);

} // namespace forms
