#include <forms/FormData.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

// Far beyond any window, and it bounds what a list of empty objects can make
// us build.
constexpr qsizetype MaxControls = 4096;
constexpr qsizetype MaxLayoutSize = 64 * 1024 * 1024;

struct KindName
{
    QLatin1StringView name;
    ControlKind kind;
};

constexpr KindName kKinds[] = {
    {QLatin1StringView("label"), ControlKind::Label},       {QLatin1StringView("frame"), ControlKind::Frame},
    {QLatin1StringView("textbox"), ControlKind::TextBox},   {QLatin1StringView("checkbox"), ControlKind::CheckBox},
    {QLatin1StringView("shape"), ControlKind::Shape},       {QLatin1StringView("line"), ControlKind::Line},
    {QLatin1StringView("picturebox"), ControlKind::PictureBox},
    {QLatin1StringView("image"), ControlKind::Image},       {QLatin1StringView("anigif"), ControlKind::AniGif},
    {QLatin1StringView("button"), ControlKind::Button},     {QLatin1StringView("timer"), ControlKind::Timer},
};

// Typed reading of one object's members. The first fault is kept, prefixed
// with the place it concerns (the file, and the control when there is one);
// a layout that reads cleanly builds no message text at all.
class Fields
{
public:
    // control < 0: the window itself.
    Fields(const QJsonObject &object, const QString &fileName, qsizetype control, QString *error)
        : m_fileName(fileName), m_control(control), m_error(error)
    {
        // The members are listed once: a control is asked for some twenty
        // keys, most of them absent, and each search of the object by name
        // costs more than walking its few members.
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            m_members.append({it.key(), it.value()});
    }

    bool failed() const { return !m_error->isEmpty(); }

    void fail(const QString &what)
    {
        if (!m_error->isEmpty())
            return;
        QString where = m_fileName;
        if (m_control >= 0)
            where += QStringLiteral(": control %1 (%2)").arg(QString::number(m_control), value(QLatin1StringView("name")).toString());
        *m_error = where + QStringLiteral(": ") + what;
    }

    bool has(QLatin1StringView key) const { return !value(key).isUndefined(); }

    // The string under a key; empty, and a fault when required, if absent.
    QString text(QLatin1StringView key, bool required = false)
    {
        const QJsonValue v = value(key);
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(key));
            return {};
        }
        if (!v.isString()) {
            fail(QStringLiteral("'%1' is not a string").arg(key));
            return {};
        }
        return v.toString();
    }

    std::optional<int> whole(QLatin1StringView key, bool required = false)
    {
        const QJsonValue v = value(key);
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(key));
            return std::nullopt;
        }
        const double n = v.toDouble(NAN);
        if (!v.isDouble() || !(n >= -1e9 && n <= 1e9) || n != std::floor(n)) {
            fail(QStringLiteral("'%1' is not a whole number").arg(key));
            return std::nullopt;
        }
        return int(n);
    }

    bool flag(QLatin1StringView key, bool defaultValue)
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return defaultValue;
        if (!v.isBool()) {
            fail(QStringLiteral("'%1' is not true or false").arg(key));
            return defaultValue;
        }
        return v.toBool();
    }

    std::optional<quint32> colour(QLatin1StringView key)
    {
        if (!has(key))
            return std::nullopt;
        const QString s = text(key);
        const auto c = parseColour(s);
        if (!c && !failed())
            fail(QStringLiteral("'%1' is not a colour (\"0xBBGGRR\"): \"%2\"").arg(key, s));
        return c;
    }

    // One of `words`, or empty when absent.
    QString word(QLatin1StringView key, std::initializer_list<QLatin1StringView> words)
    {
        const QString s = text(key);
        if (!s.isEmpty() && std::find(words.begin(), words.end(), s) == words.end())
            fail(QStringLiteral("unknown %1 \"%2\"").arg(key, s));
        return s;
    }

    std::optional<FontSpec> font(QLatin1StringView key)
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return std::nullopt;
        if (!v.isObject()) {
            fail(QStringLiteral("'%1' is not an object").arg(key));
            return std::nullopt;
        }
        const QJsonObject f = v.toObject();
        FontSpec font;
        font.face = f.value(QLatin1StringView("face")).toString();
        font.pointSize = f.value(QLatin1StringView("size")).toDouble();
        if (font.face.isEmpty() || !(font.pointSize > 0 && font.pointSize < 1000)) {
            fail(QStringLiteral("'%1' needs a face and a size in points").arg(key));
            return std::nullopt;
        }
        const QJsonValue bold = f.value(QLatin1StringView("bold"));
        if (!bold.isUndefined() && !bold.isBool()) {
            fail(QStringLiteral("'%1': 'bold' is not true or false").arg(key));
            return std::nullopt;
        }
        font.bold = bold.toBool();
        return font;
    }

private:
    // The member under a key; undefined when absent.
    QJsonValue value(QLatin1StringView key) const
    {
        for (const Member &m : m_members) {
            if (m.key == key)
                return m.value;
        }
        return QJsonValue(QJsonValue::Undefined);
    }

    struct Member
    {
        QString key;
        QJsonValue value;
    };
    QVarLengthArray<Member, 24> m_members;
    const QString &m_fileName;
    qsizetype m_control;
    QString *m_error;
};

// "line L, column C" of a byte offset, columns counted in characters.
QString position(const QByteArray &json, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, json.size());
    const qsizetype lineStart = json.lastIndexOf('\n', offset - 1) + 1;
    const qsizetype line = json.first(offset).count('\n') + 1;
    const qsizetype column = QString::fromUtf8(json.constData() + lineStart, offset - lineStart).size() + 1;
    return QStringLiteral("line %1, column %2 (offset %3)").arg(QString::number(line), QString::number(column), QString::number(offset));
}

bool isPlainFileName(const QString &file)
{
    if (file.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : file) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

} // namespace

std::optional<quint32> parseColour(const QString &text)
{
    // "0x" and one to eight hex digits, nothing else.
    if (text.size() < 3 || text.size() > 10 || !text.startsWith(QLatin1StringView("0x")))
        return std::nullopt;
    quint32 value = 0;
    for (qsizetype i = 2; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | quint32(digit);
    }
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

FormParseResult parseForm(const QByteArray &bytes, const QString &fileName)
{
    FormParseResult result;
    if (bytes.size() > MaxLayoutSize) {
        result.error = fileName + QStringLiteral(": the data is larger than 64 MiB");
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("%1: %2: %3").arg(fileName, position(bytes, parseError.offset), parseError.errorString());
        return result;
    }
    if (!doc.isObject()) {
        result.error = fileName + QStringLiteral(": the layout is not a JSON object");
        return result;
    }
    const QJsonObject window = doc.object();

    Fields r(window, fileName, -1, &result.error);
    FormData form;
    form.name = r.text(QLatin1StringView("name"), true);
    form.caption = r.text(QLatin1StringView("caption"));
    form.width = r.whole(QLatin1StringView("width"), true).value_or(0);
    form.clientWidth = r.whole(QLatin1StringView("clientWidth"), true).value_or(0);
    form.clientHeight = r.whole(QLatin1StringView("clientHeight"), true).value_or(0);
    form.icon = r.text(QLatin1StringView("icon"));
    if (auto f = r.font(QLatin1StringView("font")))
        form.font = *f;
    else
        r.fail(QStringLiteral("'font' is missing"));
    form.backColor = r.colour(QLatin1StringView("backColor")).value_or(0x8000000F);
    const QJsonValue controlList = window.value(QLatin1StringView("controls"));
    if (!controlList.isArray())
        r.fail(QStringLiteral("'controls' is not a list"));
    if (r.failed())
        return result;
    if (form.name.isEmpty() || form.clientWidth <= 0 || form.clientHeight <= 0 || form.width <= 0) {
        r.fail(QStringLiteral("the window needs a name and a positive size"));
        return result;
    }
    const QJsonArray list = controlList.toArray();
    if (list.size() > MaxControls) {
        r.fail(QStringLiteral("more than 4096 controls"));
        return result;
    }

    // Who bears each name given so far: -1 the window, else the control's index.
    QHash<QString, qsizetype> names;
    names.insert(form.name, -1);
    form.controls.reserve(list.size());

    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).isObject()) {
            result.error = QStringLiteral("%1: control %2: not an object").arg(fileName, QString::number(i));
            return result;
        }
        const QJsonObject o = list.at(i).toObject();
        Fields c(o, fileName, i, &result.error);
        ControlData d;
        d.name = c.text(QLatin1StringView("name"), true);
        const QString kind = c.text(QLatin1StringView("kind"), true);
        const QString container = c.text(QLatin1StringView("container"), true);
        if (c.failed())
            return result;

        const auto known = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindName &k) { return k.name == kind; });
        if (known == std::end(kKinds))
            c.fail(QStringLiteral("unknown kind \"%1\"").arg(kind));
        else
            d.kind = known->kind;
        if (d.name.isEmpty() || names.contains(d.name))
            c.fail(QStringLiteral("the name is empty or used twice"));
        const auto owner = names.constFind(container);
        if (owner == names.constEnd())
            c.fail(QStringLiteral("container \"%1\" is not defined before it").arg(container));
        else
            d.container = *owner < 0 ? form.name : form.controls.at(*owner).name;

        const bool placed = d.kind != ControlKind::Timer && d.kind != ControlKind::Line;
        if (d.kind == ControlKind::Line) {
            d.left = c.whole(QLatin1StringView("x1"), true).value_or(0);
            d.top = c.whole(QLatin1StringView("y1"), true).value_or(0);
            d.x2 = c.whole(QLatin1StringView("x2"), true).value_or(0);
            d.y2 = c.whole(QLatin1StringView("y2"), true).value_or(0);
        }
        if (placed) {
            d.left = c.whole(QLatin1StringView("left"), true).value_or(0);
            d.top = c.whole(QLatin1StringView("top"), true).value_or(0);
            d.width = c.whole(QLatin1StringView("width"), true).value_or(0);
            d.height = c.whole(QLatin1StringView("height"), true).value_or(0);
        }
        if (placed && (d.width < 0 || d.height < 0))
            c.fail(QStringLiteral("negative size"));
        d.tabIndex = c.whole(QLatin1StringView("tabIndex"));
        d.text = c.has(QLatin1StringView("caption")) ? c.text(QLatin1StringView("caption")) : c.text(QLatin1StringView("text"));
        d.font = c.font(QLatin1StringView("font"));
        d.backColor = c.colour(QLatin1StringView("backColor"));
        d.foreColor = c.colour(QLatin1StringView("foreColor"));
        d.fillColor = c.colour(QLatin1StringView("fillColor"));
        d.centred = c.word(QLatin1StringView("alignment"), {QLatin1StringView("center"), QLatin1StringView("left")}) == QLatin1StringView("center");
        d.multiLine = c.flag(QLatin1StringView("multiLine"), false);
        d.verticalScrollBar = c.word(QLatin1StringView("scrollBars"), {QLatin1StringView("vertical"), QLatin1StringView("none")}) == QLatin1StringView("vertical");
        d.singleBorder = c.word(QLatin1StringView("border"), {QLatin1StringView("single"), QLatin1StringView("none")}) == QLatin1StringView("single");
        d.stretch = c.flag(QLatin1StringView("stretch"), false);
        d.interval = c.whole(QLatin1StringView("interval")).value_or(0);
        d.enabled = c.flag(QLatin1StringView("enabled"), true);
        d.value = c.whole(QLatin1StringView("value")).value_or(0);

        QLatin1StringView fileKey;
        switch (d.kind) {
        case ControlKind::Image:
            fileKey = QLatin1StringView("picture");
            break;
        case ControlKind::AniGif:
            fileKey = QLatin1StringView("animation");
            break;
        case ControlKind::Button:
            fileKey = QLatin1StringView("bag");
            break;
        case ControlKind::Shape:
            if (c.text(QLatin1StringView("shape")) != QLatin1StringView("circle"))
                c.fail(QStringLiteral("only the circle shape is supported"));
            break;
        case ControlKind::Timer:
            if (d.interval < 0 || d.interval > 65535)
                c.fail(QStringLiteral("interval outside 0 to 65535 ms"));
            break;
        default:
            break;
        }
        if (!fileKey.isEmpty()) {
            d.file = c.text(fileKey, true);
            if (!isPlainFileName(d.file))
                c.fail(QStringLiteral("file \"%1\" must be a plain name beside the layout").arg(d.file));
        }
        if (c.failed())
            return result;
        names.insert(d.name, form.controls.size());
        form.controls.append(std::move(d));
    }
    result.form = std::move(form);
    return result;
}

} // namespace forms
