#include <forms/FormData.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>
#include <functional>

namespace forms {

namespace {

struct KindName
{
    const char *name;
    ControlKind kind;
};

constexpr KindName kKinds[] = {
    {"label", ControlKind::Label},       {"frame", ControlKind::Frame},
    {"textbox", ControlKind::TextBox},   {"checkbox", ControlKind::CheckBox},
    {"shape", ControlKind::Shape},       {"line", ControlKind::Line},
    {"picturebox", ControlKind::PictureBox},
    {"image", ControlKind::Image},       {"anigif", ControlKind::AniGif},
    {"button", ControlKind::Button},     {"timer", ControlKind::Timer},
};

// Reads typed fields of one JSON object and remembers the first fault. The
// place named in the message is only spelt out when there is a fault: a
// layout that reads cleanly builds no message text at all.
class Reader
{
public:
    using Where = std::function<QString()>;

    Reader(const QJsonObject &object, Where where) : m_object(object), m_where(std::move(where)) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    void fail(const QString &what)
    {
        if (m_error.isEmpty())
            m_error = m_where() + QStringLiteral(": ") + what;
    }

    bool has(const char *key) const { return m_object.contains(QLatin1String(key)); }

    QString text(const char *key, bool required = false)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(QLatin1String(key)));
            return {};
        }
        if (!v.isString()) {
            fail(QStringLiteral("'%1' is not a string").arg(QLatin1String(key)));
            return {};
        }
        return v.toString();
    }

    std::optional<int> whole(const char *key, bool required = false)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(QLatin1String(key)));
            return std::nullopt;
        }
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || d != std::floor(d) || std::abs(d) > 1e9) {
            fail(QStringLiteral("'%1' is not a whole number").arg(QLatin1String(key)));
            return std::nullopt;
        }
        return int(d);
    }

    bool flag(const char *key, bool defaultValue)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return defaultValue;
        if (!v.isBool()) {
            fail(QStringLiteral("'%1' is not true or false").arg(QLatin1String(key)));
            return defaultValue;
        }
        return v.toBool();
    }

    std::optional<quint32> colour(const char *key)
    {
        if (!has(key))
            return std::nullopt;
        const QString s = text(key);
        const auto c = parseColour(s);
        if (!c && !failed())
            fail(QStringLiteral("'%1' is not a colour (\"0xBBGGRR\"): \"%2\"").arg(QLatin1String(key), s));
        return c;
    }

    std::optional<FontSpec> font(const char *key)
    {
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (v.isUndefined())
            return std::nullopt;
        if (!v.isObject()) {
            fail(QStringLiteral("'%1' is not an object").arg(QLatin1String(key)));
            return std::nullopt;
        }
        const QJsonObject o = v.toObject();
        FontSpec f;
        f.face = o.value(QLatin1String("face")).toString();
        f.pointSize = o.value(QLatin1String("size")).toDouble(0);
        f.bold = o.value(QLatin1String("bold")).toBool(false);
        if (f.face.isEmpty() || !(f.pointSize > 0 && f.pointSize < 1000)) {
            fail(QStringLiteral("'%1' needs a face and a size in points").arg(QLatin1String(key)));
            return std::nullopt;
        }
        return f;
    }

private:
    QJsonObject m_object;
    Where m_where;
    QString m_error;
};

std::optional<ControlKind> kindFromName(const QString &name)
{
    for (const KindName &k : kKinds) {
        if (name == QLatin1String(k.name))
            return k.kind;
    }
    return std::nullopt;
}

} // namespace

std::optional<quint32> parseColour(const QString &text)
{
    if (!text.startsWith(QLatin1String("0x")) || text.size() < 3 || text.size() > 10)
        return std::nullopt;
    bool ok = false;
    const quint32 value = text.mid(2).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return value;
}

const ControlData *FormData::control(const QString &controlName) const
{
    for (const ControlData &c : controls) {
        if (c.name == controlName)
            return &c;
    }
    return nullptr;
}

FormParseResult parseForm(const QByteArray &json, const QString &fileName)
{
    FormParseResult result;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("%1: offset %2: %3").arg(fileName).arg(parseError.offset).arg(parseError.errorString());
        return result;
    }
    if (!doc.isObject()) {
        result.error = fileName + QStringLiteral(": the layout is not a JSON object");
        return result;
    }

    const QJsonObject root = doc.object();
    Reader r(root, [&fileName] { return fileName; });
    FormData form;
    form.name = r.text("name", true);
    form.caption = r.text("caption");
    form.width = r.whole("width", true).value_or(0);
    form.clientWidth = r.whole("clientWidth", true).value_or(0);
    form.clientHeight = r.whole("clientHeight", true).value_or(0);
    form.icon = r.text("icon");
    if (auto f = r.font("font"))
        form.font = *f;
    else
        r.fail(QStringLiteral("'font' is missing"));
    form.backColor = r.colour("backColor").value_or(0x8000000F);
    if (!root.value(QLatin1String("controls")).isArray())
        r.fail(QStringLiteral("'controls' is not a list"));
    if (r.failed()) {
        result.error = r.error();
        return result;
    }
    if (form.name.isEmpty() || form.clientWidth <= 0 || form.clientHeight <= 0 || form.width <= 0) {
        result.error = fileName + QStringLiteral(": the window needs a name and a positive size");
        return result;
    }

    QSet<QString> names{form.name};
    const QJsonArray list = root.value(QLatin1String("controls")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const auto where = [&fileName, i] { return QStringLiteral("%1: control %2").arg(fileName).arg(i); };
        if (!list.at(i).isObject()) {
            result.error = where() + QStringLiteral(": not an object");
            return result;
        }
        const QJsonObject o = list.at(i).toObject();
        Reader c(o, [&where, &o] { return where() + QStringLiteral(" (%1)").arg(o.value(QLatin1String("name")).toString()); });
        ControlData d;
        d.name = c.text("name", true);
        const QString kindName = c.text("kind", true);
        d.container = c.text("container", true);
        if (c.failed()) {
            result.error = c.error();
            return result;
        }
        const auto kind = kindFromName(kindName);
        if (!kind) {
            c.fail(QStringLiteral("unknown kind \"%1\"").arg(kindName));
        } else {
            d.kind = *kind;
        }
        if (d.name.isEmpty() || names.contains(d.name))
            c.fail(QStringLiteral("the name is empty or used twice"));
        if (!names.contains(d.container))
            c.fail(QStringLiteral("container \"%1\" is not defined before it").arg(d.container));

        const bool placed = d.kind != ControlKind::Timer && d.kind != ControlKind::Line;
        if (d.kind == ControlKind::Line) {
            d.left = c.whole("x1", true).value_or(0);
            d.top = c.whole("y1", true).value_or(0);
            d.x2 = c.whole("x2", true).value_or(0);
            d.y2 = c.whole("y2", true).value_or(0);
        }
        if (placed) {
            d.left = c.whole("left", true).value_or(0);
            d.top = c.whole("top", true).value_or(0);
            d.width = c.whole("width", true).value_or(0);
            d.height = c.whole("height", true).value_or(0);
        }
        if (placed && (d.width < 0 || d.height < 0))
            c.fail(QStringLiteral("negative size"));
        d.tabIndex = c.whole("tabIndex");
        d.text = c.has("caption") ? c.text("caption") : c.text("text");
        d.font = c.font("font");
        d.backColor = c.colour("backColor");
        d.foreColor = c.colour("foreColor");
        d.fillColor = c.colour("fillColor");
        const QString alignment = c.text("alignment");
        if (!alignment.isEmpty() && alignment != QLatin1String("center") && alignment != QLatin1String("left"))
            c.fail(QStringLiteral("unknown alignment \"%1\"").arg(alignment));
        d.centred = alignment == QLatin1String("center");
        d.multiLine = c.flag("multiLine", false);
        const QString bars = c.text("scrollBars");
        if (!bars.isEmpty() && bars != QLatin1String("vertical") && bars != QLatin1String("none"))
            c.fail(QStringLiteral("unknown scrollBars \"%1\"").arg(bars));
        d.verticalScrollBar = bars == QLatin1String("vertical");
        const QString border = c.text("border");
        if (!border.isEmpty() && border != QLatin1String("single") && border != QLatin1String("none"))
            c.fail(QStringLiteral("unknown border \"%1\"").arg(border));
        d.singleBorder = border == QLatin1String("single");
        d.stretch = c.flag("stretch", false);
        d.interval = c.whole("interval").value_or(0);
        d.enabled = c.flag("enabled", true);
        d.value = c.whole("value").value_or(0);

        switch (d.kind) {
        case ControlKind::Image:
            d.file = c.text("picture", true);
            break;
        case ControlKind::AniGif:
            d.file = c.text("animation", true);
            break;
        case ControlKind::Button:
            d.file = c.text("bag", true);
            break;
        case ControlKind::Shape:
            if (c.text("shape") != QLatin1String("circle"))
                c.fail(QStringLiteral("only the circle shape is supported"));
            break;
        case ControlKind::Timer:
            if (d.interval < 0 || d.interval > 65535)
                c.fail(QStringLiteral("interval outside 0 to 65535 ms"));
            break;
        default:
            break;
        }
        if (d.file.contains(QLatin1Char('/')) || d.file.contains(QLatin1Char('\\')) || d.file.startsWith(QLatin1Char('.')))
            c.fail(QStringLiteral("file \"%1\" must be a plain name beside the layout").arg(d.file));
        if (c.failed()) {
            result.error = c.error();
            return result;
        }
        names.insert(d.name);
        form.controls.append(std::move(d));
    }
    result.form = std::move(form);
    return result;
}

} // namespace forms
