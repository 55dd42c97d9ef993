#include <forms/FormData.h>

#include "JsonReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

namespace {

using Type = JsonReader::Type;

// The keys any layout object is read for. Font keys come first so that a
// font's members fit a three-slot record.
enum Key : quint8 {
    KFace, KSize, KBold,
    KName, KCaption, KWidth, KClientWidth, KClientHeight, KIcon, KFont, KBackColor, KControls,
    KKind, KContainer, KLeft, KTop, KHeight, KX1, KY1, KX2, KY2, KTabIndex, KText, KForeColor, KFillColor,
    KAlignment, KMultiLine, KScrollBars, KBorder, KStretch, KInterval, KEnabled, KValue,
    KPicture, KAnimation, KBag, KShape,
    KeyCount,
    KUnknown = 0xFF
};

constexpr std::string_view kKeyNames[KeyCount] = {
    "face", "size", "bold",
    "name", "caption", "width", "clientWidth", "clientHeight", "icon", "font", "backColor", "controls",
    "kind", "container", "left", "top", "height", "x1", "y1", "x2", "y2", "tabIndex", "text", "foreColor", "fillColor",
    "alignment", "multiLine", "scrollBars", "border", "stretch", "interval", "enabled", "value",
    "picture", "animation", "bag", "shape",
};

constexpr quint64 bit(Key k)
{
    return quint64(1) << k;
}

// The keys each kind of object is read for; any other key is passed over.
constexpr quint64 kFontKeys = bit(KFace) | bit(KSize) | bit(KBold);
constexpr quint64 kWindowKeys = bit(KName) | bit(KCaption) | bit(KWidth) | bit(KClientWidth) | bit(KClientHeight)
    | bit(KIcon) | bit(KFont) | bit(KBackColor) | bit(KControls);
constexpr quint64 kControlKeys = ((bit(KeyCount) - 1) & ~kFontKeys & ~kWindowKeys) | bit(KName) | bit(KCaption)
    | bit(KWidth) | bit(KFont) | bit(KBackColor);

// Keys found by a hash of their length and first, second and last letters,
// chosen so that no two keys meet; one comparison confirms the key.
constexpr size_t keyHash(std::string_view k)
{
    return (k.size() * 9 + size_t(quint8(k[0])) + size_t(quint8(k[1])) * 14 + size_t(quint8(k.back()))) & 127;
}

constexpr std::array<Key, 128> makeKeyTable()
{
    std::array<Key, 128> t{};
    for (Key &k : t)
        k = KUnknown;
    for (int k = 0; k < KeyCount; ++k) {
        if (t[keyHash(kKeyNames[k])] != KUnknown)
            throw "two keys share a hash"; // fails the constant evaluation
        t[keyHash(kKeyNames[k])] = Key(k);
    }
    return t;
}

constexpr std::array<Key, 128> kKeyTable = makeKeyTable();

inline Key keyOf(std::string_view name)
{
    if (name.size() < 2)
        return KUnknown;
    const Key k = kKeyTable[keyHash(name)];
    return k != KUnknown && kKeyNames[k] == name ? k : KUnknown;
}

struct KindName
{
    std::string_view name;
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

std::optional<quint32> colourFromText(std::string_view text)
{
    // "0x" and one to eight hex digits, nothing else.
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || text[1] != 'x')
        return std::nullopt;
    quint32 value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | quint32(digit);
    }
    return value;
}

// One value of a known key, as read: where it is, its type, and enough to
// get at it later (a string's bytes in the data, a number, a font's index).
struct Slot
{
    quint32 at;            // offset of the value in the data
    quint32 size;          // strings: length between the quotes; fonts: index into the fonts read
    double number;
    Type type;
    bool escaped;

    JsonReader::String text() const { return {at + 1, size, escaped}; }
};

// The known members of one JSON object, read in whatever order they come;
// checked afterwards in a fixed order so that the first fault reported does
// not depend on the order of the keys in the file.
template<int N>
struct Members
{
    quint64 present = 0;
    quint32 at = 0;        // offset of the object (or of a non-object element)
    bool isObject = true;
    Slot slot[N];

    bool has(Key k) const { return present >> k & 1; }
    const Slot &operator[](Key k) const { return slot[k]; }
};

using ObjectMembers = Members<KeyCount>;
using FontMembers = Members<3>;

// The whole layout in flat form: the window's members, each control's, and
// the fonts they name.
struct Document
{
    ObjectMembers window;
    std::vector<ObjectMembers> controls;
    std::vector<FontMembers> fonts;
    // A known key given twice in one object (which value is meant?).
    Key duplicate = KUnknown;
    quint32 duplicateAt = 0;
};

class DocumentReader
{
public:
    // Far beyond any window, and it bounds what a list of empty objects can
    // make us hold.
    static constexpr size_t MaxControls = 4096;

    DocumentReader(JsonReader &json, Document &doc) : m_json(json), m_doc(doc) {}

    // False on a fault: the reader's, or a duplicate key in doc.
    bool readWindow()
    {
        if (!m_json.beginObject())
            return false;
        m_doc.window.at = quint32(m_json.offset() - 1);
        return readMembers(m_doc.window, kWindowKeys, Level::Window);
    }

private:
    enum class Level { Window, Control, Font };

    template<int N>
    bool readMembers(Members<N> &members, quint64 wanted, Level level)
    {
        JsonReader::String keyText;
        bool first = true;
        while (m_json.nextMember(&keyText, &first)) {
            const Key key = keyOf(m_json.utf8(keyText, &m_scratch));
            if (key == KUnknown || !(wanted >> key & 1)) {
                if (!m_json.skipValue())
                    return false;
                continue;
            }
            Slot &slot = members.slot[key];
            if (members.present >> key & 1) {
                m_doc.duplicate = key;
                m_doc.duplicateAt = keyText.offset - 1;
                return false;
            }
            members.present |= bit(key);
            if (!m_json.peek(&slot.type))
                return false;
            slot.at = quint32(m_json.offset());
            switch (slot.type) {
            case Type::String: {
                JsonReader::String text;
                if (!m_json.readString(&text))
                    return false;
                slot.size = text.size;
                slot.escaped = text.escaped;
                break;
            }
            case Type::Number:
                if (!m_json.readNumber(&slot.number))
                    return false;
                break;
            case Type::Object:
                if (key == KFont && level != Level::Font) {
                    if (!readFont(&slot.size))
                        return false;
                } else if (!m_json.skipValue()) {
                    return false;
                }
                break;
            case Type::Array:
                if (key == KControls && level == Level::Window) {
                    if (!readControls())
                        return false;
                } else if (!m_json.skipValue()) {
                    return false;
                }
                break;
            default:
                if (!m_json.readLiteral(slot.type))
                    return false;
                break;
            }
        }
        return !m_json.failed();
    }

    bool readFont(quint32 *index)
    {
        if (!m_json.beginObject())
            return false;
        *index = quint32(m_doc.fonts.size());
        FontMembers &font = m_doc.fonts.emplace_back();
        font.at = quint32(m_json.offset() - 1);
        return readMembers(font, kFontKeys, Level::Font);
    }

    bool readControls()
    {
        if (!m_json.beginArray())
            return false;
        // A control takes well over 100 bytes of layout text; room for that
        // many spares the copies of growing one by one.
        m_doc.controls.reserve(size_t(std::min<qsizetype>(m_json.size() / 128 + 1, MaxControls)));
        bool first = true;
        bool stored = true; // up to the first element that is no object: checking stops there
        while (m_json.nextElement(&first)) {
            Type type = Type::Null;
            if (!m_json.peek(&type))
                return false;
            if (!stored) {
                if (!m_json.skipValue())
                    return false;
                continue;
            }
            if (m_doc.controls.size() == MaxControls) {
                m_json.fail("more than 4096 controls", m_json.offset());
                return false;
            }
            ObjectMembers &control = m_doc.controls.emplace_back();
            control.at = quint32(m_json.offset());
            if (type != Type::Object) {
                control.isObject = false;
                stored = false;
                if (!m_json.skipValue())
                    return false;
                continue;
            }
            if (!m_json.beginObject() || !readMembers(control, kControlKeys, Level::Control))
                return false;
        }
        return !m_json.failed();
    }

    JsonReader &m_json;
    Document &m_doc;
    std::string m_scratch;
};

// Typed reading of one object's members; remembers the first fault. The
// place named in a message is only spelt out when there is a fault: a layout
// that reads cleanly builds no message text at all.
class Fields
{
public:
    // control < 0: the window itself.
    Fields(const JsonReader &json, const Document &doc, const ObjectMembers &members, const QString &fileName, qsizetype control,
           QString *error)
        : m_json(json), m_doc(doc), m_members(members), m_fileName(fileName), m_control(control), m_error(error)
    {
    }

    bool failed() const { return !m_error->isEmpty(); }

    void fail(const QString &what, quint32 at)
    {
        if (!m_error->isEmpty())
            return;
        QString where = m_fileName;
        if (m_control >= 0) {
            QString name;
            if (m_members.has(KName) && m_members[KName].type == Type::String)
                name = m_json.toQString(m_members[KName].text());
            where += QStringLiteral(": control %1 (%2)").arg(QString::number(m_control), name);
        }
        int line = 0, column = 0;
        JsonReader::lineAndColumn(m_json.data(), m_size, at, &line, &column);
        *m_error = QStringLiteral("%1: %2 (line %3, column %4)").arg(where, what, QString::number(line), QString::number(column));
    }
    void fail(const QString &what) { fail(what, m_members.at); }
    void setDataSize(qsizetype size) { m_size = size; }

    bool has(Key k) const { return m_members.has(k); }
    quint32 at(Key k) const { return has(k) ? m_members[k].at : m_members.at; }

    // The string under a key, still in the data; false if absent or faulty.
    bool rawText(Key k, JsonReader::String *out, bool required = false)
    {
        if (!has(k)) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(keyName(k)));
            return false;
        }
        const Slot &s = m_members[k];
        if (s.type != Type::String) {
            fail(QStringLiteral("'%1' is not a string").arg(keyName(k)), s.at);
            return false;
        }
        *out = s.text();
        return true;
    }

    QString text(Key k, bool required = false)
    {
        JsonReader::String s;
        return rawText(k, &s, required) ? m_json.toQString(s) : QString();
    }

    // The UTF-8 text of a string compared but not kept; empty if absent.
    std::string_view word(Key k)
    {
        JsonReader::String s;
        return rawText(k, &s) ? m_json.utf8(s, &m_scratch) : std::string_view();
    }

    std::optional<int> whole(Key k, bool required = false)
    {
        if (!has(k)) {
            if (required)
                fail(QStringLiteral("'%1' is missing").arg(keyName(k)));
            return std::nullopt;
        }
        const Slot &s = m_members[k];
        if (s.type != Type::Number || !(s.number >= -1e9 && s.number <= 1e9) || s.number != std::floor(s.number)) {
            fail(QStringLiteral("'%1' is not a whole number").arg(keyName(k)), s.at);
            return std::nullopt;
        }
        return int(s.number);
    }

    bool flag(Key k, bool defaultValue)
    {
        if (!has(k))
            return defaultValue;
        const Slot &s = m_members[k];
        if (s.type != Type::True && s.type != Type::False) {
            fail(QStringLiteral("'%1' is not true or false").arg(keyName(k)), s.at);
            return defaultValue;
        }
        return s.type == Type::True;
    }

    std::optional<quint32> colour(Key k)
    {
        JsonReader::String s;
        if (!rawText(k, &s))
            return std::nullopt;
        const auto c = colourFromText(m_json.utf8(s, &m_scratch));
        if (!c)
            fail(QStringLiteral("'%1' is not a colour (\"0xBBGGRR\"): \"%2\"").arg(keyName(k), m_json.toQString(s)), m_members[k].at);
        return c;
    }

    std::optional<FontSpec> font(Key k)
    {
        if (!has(k))
            return std::nullopt;
        const Slot &s = m_members[k];
        if (s.type != Type::Object) {
            fail(QStringLiteral("'%1' is not an object").arg(keyName(k)), s.at);
            return std::nullopt;
        }
        const FontMembers &f = m_doc.fonts[s.size];
        FontSpec font;
        if (f.has(KFace) && f[KFace].type == Type::String)
            font.face = fontFace(f[KFace].text());
        if (f.has(KSize) && f[KSize].type == Type::Number)
            font.pointSize = f[KSize].number;
        if (font.face.isEmpty() || !(font.pointSize > 0 && font.pointSize < 1000)) {
            fail(QStringLiteral("'%1' needs a face and a size in points").arg(keyName(k)), s.at);
            return std::nullopt;
        }
        if (f.has(KBold)) {
            if (f[KBold].type != Type::True && f[KBold].type != Type::False) {
                fail(QStringLiteral("'%1': 'bold' is not true or false").arg(keyName(k)), f[KBold].at);
                return std::nullopt;
            }
            font.bold = f[KBold].type == Type::True;
        }
        return font;
    }

    static QLatin1StringView keyName(Key k) { return QLatin1StringView(kKeyNames[k].data(), qsizetype(kKeyNames[k].size())); }

    // Faces repeat from control to control: one QString serves them all.
    void shareFaces(std::string_view *lastFace, QString *lastFaceText) { m_lastFace = lastFace, m_lastFaceText = lastFaceText; }

private:
    QString fontFace(const JsonReader::String &s)
    {
        if (!m_lastFace || s.escaped)
            return m_json.toQString(s);
        const std::string_view face(m_json.data() + s.offset, s.size);
        if (face != *m_lastFace) {
            *m_lastFace = face;
            *m_lastFaceText = m_json.toQString(s);
        }
        return *m_lastFaceText;
    }

    const JsonReader &m_json;
    const Document &m_doc;
    const ObjectMembers &m_members;
    const QString &m_fileName;
    qsizetype m_control;
    QString *m_error;
    qsizetype m_size = 0;
    std::string m_scratch;
    std::string_view *m_lastFace = nullptr;
    QString *m_lastFaceText = nullptr;
};

// The names given so far (UTF-8) and who bears each: -1 the window, else the
// index of the control. Open addressing; a layout has tens of names.
class NameTable
{
public:
    NameTable() { m_slots.resize(128); }

    // -2 when the name is not there.
    qsizetype find(std::string_view name) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash(name) & mask;; i = (i + 1) & mask) {
            const Entry &e = m_slots[i];
            if (e.owner == Empty)
                return Empty;
            if (e.name == name)
                return e.owner;
        }
    }

    void insert(std::string_view name, qsizetype owner)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        place(name, owner);
        ++m_count;
    }

    static constexpr qsizetype Empty = -2;

private:
    struct Entry
    {
        std::string_view name;
        qsizetype owner = Empty;
    };

    static size_t hash(std::string_view s)
    {
        size_t h = 1469598103934665603ull;
        for (const char c : s)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return h;
    }

    void place(std::string_view name, qsizetype owner)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = hash(name) & mask;
        while (m_slots[i].owner != Empty)
            i = (i + 1) & mask;
        m_slots[i] = {name, owner};
    }

    void grow()
    {
        std::vector<Entry> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (const Entry &e : old) {
            if (e.owner != Empty)
                place(e.name, e.owner);
        }
    }

    std::vector<Entry> m_slots;
    size_t m_count = 0;
};

QString syntaxError(const JsonReader &json, qsizetype size, const QString &fileName, const QString &what, qsizetype offset)
{
    int line = 0, column = 0;
    JsonReader::lineAndColumn(json.data(), size, offset, &line, &column);
    return QStringLiteral("%1: line %2, column %3 (offset %4): %5")
        .arg(fileName, QString::number(line), QString::number(column), QString::number(offset), what);
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
    if (text.size() > 10)
        return std::nullopt;
    const QByteArray latin = text.toLatin1();
    return colourFromText(std::string_view(latin.constData(), size_t(latin.size())));
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
    const qsizetype size = bytes.size();
    JsonReader json(bytes.constData(), size);
    Document doc;
    Type top = Type::Null;
    if (json.start() && json.peek(&top) && top != Type::Object) {
        result.error = syntaxError(json, size, fileName, QStringLiteral("the layout is not a JSON object"), json.offset());
        return result;
    }
    DocumentReader reader(json, doc);
    if (!reader.readWindow() && doc.duplicate != KUnknown) {
        result.error = syntaxError(json, size, fileName,
                                   QStringLiteral("'%1' is given twice in one object").arg(Fields::keyName(doc.duplicate)),
                                   doc.duplicateAt);
        return result;
    }
    json.finish();
    if (json.failed()) {
        result.error = syntaxError(json, size, fileName, QString::fromLatin1(json.error()), json.errorOffset());
        return result;
    }

    Fields r(json, doc, doc.window, fileName, -1, &result.error);
    r.setDataSize(size);
    FormData form;
    form.name = r.text(KName, true);
    form.caption = r.text(KCaption);
    form.width = r.whole(KWidth, true).value_or(0);
    form.clientWidth = r.whole(KClientWidth, true).value_or(0);
    form.clientHeight = r.whole(KClientHeight, true).value_or(0);
    form.icon = r.text(KIcon);
    if (auto f = r.font(KFont))
        form.font = *f;
    else
        r.fail(QStringLiteral("'font' is missing"));
    form.backColor = r.colour(KBackColor).value_or(0x8000000F);
    if (!r.has(KControls) || doc.window[KControls].type != Type::Array)
        r.fail(QStringLiteral("'controls' is not a list"), r.at(KControls));
    if (r.failed())
        return result;
    if (form.name.isEmpty() || form.clientWidth <= 0 || form.clientHeight <= 0 || form.width <= 0) {
        r.fail(QStringLiteral("the window needs a name and a positive size"));
        return result;
    }

    std::string scratch;
    std::deque<std::string> decodedNames; // names written with escapes, kept for the table
    NameTable names;
    {
        JsonReader::String s = doc.window[KName].text();
        std::string_view name = json.utf8(s, &scratch);
        if (s.escaped)
            name = decodedNames.emplace_back(name);
        names.insert(name, -1);
    }
    std::string_view lastFace;
    QString lastFaceText = form.font.face;
    form.controls.reserve(qsizetype(doc.controls.size()));

    for (size_t i = 0; i < doc.controls.size(); ++i) {
        const ObjectMembers &o = doc.controls[i];
        Fields c(json, doc, o, fileName, qsizetype(i), &result.error);
        c.setDataSize(size);
        c.shareFaces(&lastFace, &lastFaceText);
        if (!o.isObject) {
            int line = 0, column = 0;
            JsonReader::lineAndColumn(json.data(), size, o.at, &line, &column);
            result.error = QStringLiteral("%1: control %2: not an object (line %3, column %4)")
                               .arg(fileName, QString::number(i), QString::number(line), QString::number(column));
            return result;
        }
        ControlData d;
        JsonReader::String nameText, kindText, containerText;
        const bool hasName = c.rawText(KName, &nameText, true);
        const bool hasKind = c.rawText(KKind, &kindText, true);
        const bool hasContainer = c.rawText(KContainer, &containerText, true);
        if (c.failed() || !hasName || !hasKind || !hasContainer)
            return result;

        const std::string_view kindName = json.utf8(kindText, &scratch);
        bool known = false;
        for (const KindName &k : kKinds) {
            if (k.name == kindName) {
                d.kind = k.kind;
                known = true;
                break;
            }
        }
        if (!known)
            c.fail(QStringLiteral("unknown kind \"%1\"").arg(json.toQString(kindText)), o[KKind].at);

        std::string_view name = json.utf8(nameText, &scratch);
        if (nameText.escaped)
            name = decodedNames.emplace_back(name);
        if (name.empty() || names.find(name) != NameTable::Empty)
            c.fail(QStringLiteral("the name is empty or used twice"), o[KName].at);
        d.name = json.toQString(nameText);

        const qsizetype owner = names.find(json.utf8(containerText, &scratch));
        if (owner == NameTable::Empty)
            c.fail(QStringLiteral("container \"%1\" is not defined before it").arg(json.toQString(containerText)), o[KContainer].at);
        else
            d.container = owner < 0 ? form.name : form.controls.at(owner).name;

        const bool placed = d.kind != ControlKind::Timer && d.kind != ControlKind::Line;
        if (d.kind == ControlKind::Line) {
            d.left = c.whole(KX1, true).value_or(0);
            d.top = c.whole(KY1, true).value_or(0);
            d.x2 = c.whole(KX2, true).value_or(0);
            d.y2 = c.whole(KY2, true).value_or(0);
        }
        if (placed) {
            d.left = c.whole(KLeft, true).value_or(0);
            d.top = c.whole(KTop, true).value_or(0);
            d.width = c.whole(KWidth, true).value_or(0);
            d.height = c.whole(KHeight, true).value_or(0);
        }
        if (placed && (d.width < 0 || d.height < 0))
            c.fail(QStringLiteral("negative size"), c.at(d.width < 0 ? KWidth : KHeight));
        d.tabIndex = c.whole(KTabIndex);
        d.text = c.has(KCaption) ? c.text(KCaption) : c.text(KText);
        d.font = c.font(KFont);
        d.backColor = c.colour(KBackColor);
        d.foreColor = c.colour(KForeColor);
        d.fillColor = c.colour(KFillColor);
        const std::string_view alignment = c.word(KAlignment);
        if (!alignment.empty() && alignment != "center" && alignment != "left")
            c.fail(QStringLiteral("unknown alignment \"%1\"").arg(QString::fromUtf8(alignment.data(), qsizetype(alignment.size()))), c.at(KAlignment));
        d.centred = alignment == "center";
        d.multiLine = c.flag(KMultiLine, false);
        const std::string_view bars = c.word(KScrollBars);
        if (!bars.empty() && bars != "vertical" && bars != "none")
            c.fail(QStringLiteral("unknown scrollBars \"%1\"").arg(QString::fromUtf8(bars.data(), qsizetype(bars.size()))), c.at(KScrollBars));
        d.verticalScrollBar = bars == "vertical";
        const std::string_view border = c.word(KBorder);
        if (!border.empty() && border != "single" && border != "none")
            c.fail(QStringLiteral("unknown border \"%1\"").arg(QString::fromUtf8(border.data(), qsizetype(border.size()))), c.at(KBorder));
        d.singleBorder = border == "single";
        d.stretch = c.flag(KStretch, false);
        d.interval = c.whole(KInterval).value_or(0);
        d.enabled = c.flag(KEnabled, true);
        d.value = c.whole(KValue).value_or(0);

        Key fileKey = KUnknown;
        switch (d.kind) {
        case ControlKind::Image:
            fileKey = KPicture;
            break;
        case ControlKind::AniGif:
            fileKey = KAnimation;
            break;
        case ControlKind::Button:
            fileKey = KBag;
            break;
        case ControlKind::Shape:
            if (c.word(KShape) != "circle")
                c.fail(QStringLiteral("only the circle shape is supported"), c.at(KShape));
            break;
        case ControlKind::Timer:
            if (d.interval < 0 || d.interval > 65535)
                c.fail(QStringLiteral("interval outside 0 to 65535 ms"), c.at(KInterval));
            break;
        default:
            break;
        }
        if (fileKey != KUnknown) {
            d.file = c.text(fileKey, true);
            if (!isPlainFileName(d.file))
                c.fail(QStringLiteral("file \"%1\" must be a plain name beside the layout").arg(d.file), c.at(fileKey));
        }
        if (c.failed())
            return result;
        names.insert(name, qsizetype(form.controls.size()));
        form.controls.append(std::move(d));
    }
    result.form = std::move(form);
    return result;
}

} // namespace forms
