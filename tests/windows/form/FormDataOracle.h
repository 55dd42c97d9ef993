#pragma once

// An independent reading of a layout file through Qt's JSON document, used
// to check what parseForm() gives for a file it accepts. It reads each field
// straight from the document, without the layout rules: the rules are the
// subject of the table tests, the values are checked here.

#include <forms/FormData.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace formdata_oracle {

inline std::optional<quint32> colourOf(const QJsonObject &o, const char *key)
{
    if (!o.contains(QLatin1String(key)))
        return std::nullopt;
    const QString s = o.value(QLatin1String(key)).toString();
    bool ok = false;
    const uint v = s.mid(2).toUInt(&ok, 16);
    return ok ? std::optional<quint32>(v) : std::nullopt;
}

inline std::optional<forms::FontSpec> fontOf(const QJsonObject &o)
{
    if (!o.contains(QLatin1String("font")))
        return std::nullopt;
    const QJsonObject f = o.value(QLatin1String("font")).toObject();
    return forms::FontSpec{f.value(QLatin1String("face")).toString(), f.value(QLatin1String("size")).toDouble(),
                           f.value(QLatin1String("bold")).toBool()};
}

inline std::optional<int> wholeOf(const QJsonObject &o, const char *key)
{
    if (!o.contains(QLatin1String(key)))
        return std::nullopt;
    return int(o.value(QLatin1String(key)).toDouble());
}

// Empty when `form` holds what the document says; otherwise the first
// difference.
inline QString differences(const QByteArray &json, const forms::FormData &form)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("the document does not read: ") + error.errorString();
    const QJsonObject root = doc.object();
    const auto str = [](const QJsonObject &o, const char *key) { return o.value(QLatin1String(key)).toString(); };
    if (form.name != str(root, "name") || form.caption != str(root, "caption") || form.icon != str(root, "icon"))
        return QStringLiteral("window texts");
    if (form.width != wholeOf(root, "width") || form.clientWidth != wholeOf(root, "clientWidth")
        || form.clientHeight != wholeOf(root, "clientHeight"))
        return QStringLiteral("window size");
    if (std::optional<forms::FontSpec>(form.font) != fontOf(root))
        return QStringLiteral("window font");
    if (form.backColor != colourOf(root, "backColor").value_or(0x8000000F))
        return QStringLiteral("window colour");

    static const QStringList kinds = {"label", "frame", "textbox", "checkbox", "shape", "line",
                                      "picturebox", "image", "anigif", "button", "timer"};
    const QJsonArray list = root.value(QLatin1String("controls")).toArray();
    if (list.size() != form.controls.size())
        return QStringLiteral("%1 controls instead of %2").arg(form.controls.size()).arg(list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject o = list.at(i).toObject();
        const forms::ControlData &c = form.controls.at(i);
        const auto wrong = [&](const char *what) { return QStringLiteral("control %1 (%2): %3").arg(i).arg(c.name, QLatin1String(what)); };
        if (c.name != str(o, "name") || c.container != str(o, "container"))
            return wrong("name or container");
        if (int(c.kind) != kinds.indexOf(str(o, "kind")))
            return wrong("kind");
        const bool line = c.kind == forms::ControlKind::Line;
        const bool placed = !line && c.kind != forms::ControlKind::Timer;
        if (line && (c.left != wholeOf(o, "x1") || c.top != wholeOf(o, "y1") || c.x2 != wholeOf(o, "x2") || c.y2 != wholeOf(o, "y2")))
            return wrong("line ends");
        if (placed && (c.left != wholeOf(o, "left") || c.top != wholeOf(o, "top") || c.width != wholeOf(o, "width")
                       || c.height != wholeOf(o, "height")))
            return wrong("geometry");
        if (c.tabIndex != wholeOf(o, "tabIndex"))
            return wrong("tabIndex");
        if (c.text != (o.contains(QLatin1String("caption")) ? str(o, "caption") : str(o, "text")))
            return wrong("text");
        if (c.font != fontOf(o))
            return wrong("font");
        if (c.backColor != colourOf(o, "backColor") || c.foreColor != colourOf(o, "foreColor") || c.fillColor != colourOf(o, "fillColor"))
            return wrong("colours");
        if (c.centred != (str(o, "alignment") == QLatin1String("center")) || c.multiLine != o.value(QLatin1String("multiLine")).toBool()
            || c.verticalScrollBar != (str(o, "scrollBars") == QLatin1String("vertical"))
            || c.singleBorder != (str(o, "border") == QLatin1String("single")) || c.stretch != o.value(QLatin1String("stretch")).toBool()
            || c.enabled != o.value(QLatin1String("enabled")).toBool(true))
            return wrong("settings");
        if (c.interval != wholeOf(o, "interval").value_or(0) || c.value != wholeOf(o, "value").value_or(0))
            return wrong("interval or value");
        const QString file = c.kind == forms::ControlKind::Image    ? str(o, "picture")
                             : c.kind == forms::ControlKind::AniGif ? str(o, "animation")
                             : c.kind == forms::ControlKind::Button ? str(o, "bag")
                                                                    : QString();
        if (c.file != file)
            return wrong("file");
    }
    return {};
}

} // namespace formdata_oracle
