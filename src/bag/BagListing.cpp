#include <bag/BagListing.h>

#include <QStringList>

namespace bag {

namespace {

constexpr int KeyColumnWidth = 12;
constexpr int TypeColumnWidth = 11;

bool isBareKeyChar(QChar c)
{
    return c.unicode() > 0x20 && c.unicode() < 0x7F && c != QLatin1Char('"') && c != QLatin1Char('#');
}

QString quoted(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); continue;
        case '\\': out += QLatin1String("\\\\"); continue;
        case '\n': out += QLatin1String("\\n"); continue;
        case '\r': out += QLatin1String("\\r"); continue;
        case '\t': out += QLatin1String("\\t"); continue;
        default: break;
        }
        char32_t cp = c.unicode();
        qsizetype units = 1;
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, s[i + 1]);
            units = 2;
        }
        if (QChar::isSurrogate(cp) || !QChar::isPrint(cp)) {
            for (qsizetype k = 0; k < units; ++k)
                out += QLatin1String("\\u") + QString::number(s[i + k].unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper();
        } else {
            out += s.mid(i, units);
        }
        i += units - 1;
    }
    out += QLatin1Char('"');
    return out;
}

QString formatKey(const QString &key)
{
    for (QChar c : key) {
        if (!isBareKeyChar(c))
            return quoted(key);
    }
    return key.isEmpty() ? quoted(key) : key;
}

QString formatPoints(quint32 size)
{
    QString s = QString::number(size / 10000);
    if (const quint32 frac = size % 10000) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return s + QLatin1String("pt");
}

QString hexByte(quint32 v, int digits)
{
    return QLatin1String("0x") + QString::number(v, 16).rightJustified(digits, QLatin1Char('0')).toUpper();
}

QString formatFont(const FontValue &f)
{
    QStringList parts{quoted(f.name), formatPoints(f.size),
                      QStringLiteral("weight %1").arg(f.weight), QStringLiteral("charset %1").arg(f.charset)};
    if (f.version != 1)
        parts << QStringLiteral("version %1").arg(f.version);
    if (f.isBold())
        parts << QStringLiteral("bold");
    if (f.isItalic())
        parts << QStringLiteral("italic");
    if (f.isUnderline())
        parts << QStringLiteral("underline");
    if (f.isStrikethrough())
        parts << QStringLiteral("strikethrough");
    if (const quint8 other = f.attributes & ~FontValue::KnownAttributes)
        parts << QStringLiteral("other ") + hexByte(other, 2);
    return parts.join(QLatin1Char(' '));
}

// --- parsing ---------------------------------------------------------------

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

struct Token
{
    QString text;
    int column = 0; // 1-based
    bool quoted = false;
};

struct LineError
{
    int column;
    QString message;
};

// Splits a line into whitespace-separated words and quoted strings.
std::optional<LineError> tokenize(const QString &line, QList<Token> *tokens)
{
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.column = int(i) + 1;
        if (line[i] != QLatin1Char('"')) {
            while (i < line.size() && !line[i].isSpace()) {
                if (line[i] == QLatin1Char('"'))
                    return LineError{int(i) + 1, QStringLiteral("stray quote inside a word")};
                t.text += line[i++];
            }
            tokens->append(t);
            continue;
        }
        t.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const QChar c = line[i];
            if (c == QLatin1Char('"')) {
                closed = true;
                ++i;
                break;
            }
            if (c != QLatin1Char('\\')) {
                t.text += c;
                ++i;
                continue;
            }
            const int escapeColumn = int(i) + 1;
            if (++i >= line.size())
                return LineError{escapeColumn, QStringLiteral("unfinished escape")};
            switch (line[i].unicode()) {
            case '"': t.text += QLatin1Char('"'); break;
            case '\\': t.text += QLatin1Char('\\'); break;
            case 'n': t.text += QLatin1Char('\n'); break;
            case 'r': t.text += QLatin1Char('\r'); break;
            case 't': t.text += QLatin1Char('\t'); break;
            case 'u': {
                const QString digits = line.mid(i + 1, 4);
                bool ok = digits.size() == 4;
                for (QChar d : digits)
                    ok = ok && isHexDigit(d);
                if (!ok)
                    return LineError{escapeColumn, QStringLiteral("\\u needs four hexadecimal digits")};
                t.text += QChar(char16_t(digits.toUInt(nullptr, 16)));
                i += 4;
                break;
            }
            default:
                return LineError{escapeColumn, QStringLiteral("unknown escape \\%1").arg(line[i])};
            }
            ++i;
        }
        if (!closed)
            return LineError{t.column, QStringLiteral("unterminated quoted text")};
        if (i < line.size() && !line[i].isSpace())
            return LineError{int(i) + 1, QStringLiteral("a space must follow quoted text")};
        tokens->append(t);
    }
    return std::nullopt;
}

std::optional<qint64> parseInteger(const QString &s)
{
    bool ok = false;
    if (s.startsWith(QLatin1String("0x")) || s.startsWith(QLatin1String("0X"))) {
        const QString digits = s.mid(2);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        const qint64 v = digits.toLongLong(&ok, 16);
        return ok ? std::optional<qint64>(v) : std::nullopt;
    }
    const qint64 v = s.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

std::optional<quint32> parsePoints(const QString &s)
{
    if (!s.endsWith(QLatin1String("pt")))
        return std::nullopt;
    const QString number = s.chopped(2);
    const qsizetype dot = number.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? number : number.left(dot);
    QString frac = dot < 0 ? QString() : number.mid(dot + 1);
    if (whole.isEmpty() || frac.size() > 4 || (dot >= 0 && frac.isEmpty()))
        return std::nullopt;
    for (QChar c : whole + frac) {
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    }
    while (frac.size() < 4)
        frac += QLatin1Char('0');
    bool ok = false;
    const quint64 units = whole.toULongLong(&ok) * 10000 + frac.toULongLong();
    if (!ok || units > 0xFFFFFFFFull)
        return std::nullopt;
    return quint32(units);
}

class LineParser
{
public:
    LineParser(const QList<Token> &tokens, const PictureLoader &loader) : m_t(tokens), m_loader(loader) {}

    // Parses tokens[2..] as a value of the given type name.
    std::optional<Value> value(const Token &typeToken, std::optional<LineError> *error);

private:
    std::optional<Value> fail(int column, QString message)
    {
        *m_error = LineError{column, std::move(message)};
        return std::nullopt;
    }
    const Token *next()
    {
        return m_pos < m_t.size() ? &m_t[m_pos++] : nullptr;
    }
    int endColumn() const
    {
        if (m_t.isEmpty())
            return 1;
        const Token &last = m_t.last();
        return last.column + int(last.text.size()) + (last.quoted ? 2 : 0);
    }
    std::optional<Value> finish(Value v)
    {
        if (m_pos < m_t.size())
            return fail(m_t[m_pos].column, QStringLiteral("unexpected \"%1\" after the value").arg(m_t[m_pos].text));
        return v;
    }
    std::optional<Value> font(VarType code);
    std::optional<Value> picture(VarType code);
    std::optional<Value> unknownPicture(const Token *first, VarType code);
    std::optional<QByteArray> load(const Token *path);

    const QList<Token> &m_t;
    const PictureLoader &m_loader;
    qsizetype m_pos = 2;
    std::optional<LineError> *m_error = nullptr;
};

std::optional<Value> LineParser::value(const Token &typeToken, std::optional<LineError> *error)
{
    m_error = error;
    const QString type = typeToken.text;
    const Token *v = next();
    if (!v)
        return fail(endColumn(), QStringLiteral("missing value"));
    --m_pos;

    if (type == QLatin1String("int16") || type == QLatin1String("int32")) {
        next();
        const auto parsed = v->quoted ? std::nullopt : parseInteger(v->text);
        const bool valid = parsed.has_value();
        const qint64 number = parsed.value_or(0);
        const bool hex = v->text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        if (type == QLatin1String("int16")) {
            if (!valid || (hex ? number > 0xFFFF : (number < -32768 || number > 32767)))
                return fail(v->column, QStringLiteral("\"%1\" is not a 16-bit integer").arg(v->text));
            return finish(Value::int16(qint16(quint16(number))));
        }
        if (!valid || (!hex && (number < -2147483648LL || number > 2147483647LL)))
            return fail(v->column, QStringLiteral("\"%1\" is not a 32-bit integer").arg(v->text));
        return finish(Value::int32(qint32(quint32(number))));
    }
    if (type == QLatin1String("text")) {
        next();
        if (!v->quoted)
            return fail(v->column, QStringLiteral("text must be quoted"));
        return finish(Value(v->text));
    }
    if (type == QLatin1String("bool")) {
        next();
        if (!v->quoted && v->text == QLatin1String("True"))
            return finish(Value(true));
        if (!v->quoted && v->text == QLatin1String("False"))
            return finish(Value(false));
        return fail(v->column, QStringLiteral("a bool is True or False"));
    }
    if (type == QLatin1String("font"))
        return font(VarType::Object);
    if (type == QLatin1String("font(13)"))
        return font(VarType::UnknownObject);
    if (type == QLatin1String("picture"))
        return picture(VarType::Object);
    if (type == QLatin1String("picture(13)"))
        return picture(VarType::UnknownObject);
    return fail(typeToken.column,
                QStringLiteral("unknown type \"%1\" (int16, int32, text, bool, font, picture, font(13), picture(13))")
                    .arg(type));
}

std::optional<Value> LineParser::font(VarType code)
{
    FontValue f;
    const Token *name = next();
    if (!name->quoted)
        return fail(name->column, QStringLiteral("a font starts with its quoted name"));
    f.name = name->text;
    const Token *size = next();
    if (!size)
        return fail(endColumn(), QStringLiteral("missing font size (such as 9pt)"));
    const auto points = size->quoted ? std::nullopt : parsePoints(size->text);
    if (!points)
        return fail(size->column, QStringLiteral("\"%1\" is not a font size (such as 9pt or 8.25pt)").arg(size->text));
    f.size = *points;

    auto number = [&](const Token *word, qint64 max, const char *what) -> std::optional<qint64> {
        const Token *n = next();
        if (!n) {
            fail(endColumn(), QStringLiteral("missing %1 after \"%2\"").arg(QLatin1String(what), word->text));
            return std::nullopt;
        }
        const auto v = n->quoted ? std::nullopt : parseInteger(n->text);
        if (!v || *v < 0 || *v > max) {
            fail(n->column, QStringLiteral("\"%1\" is not a valid %2").arg(n->text, QLatin1String(what)));
            return std::nullopt;
        }
        return v;
    };
    while (const Token *word = next()) {
        const QString &w = word->text;
        if (word->quoted)
            return fail(word->column, QStringLiteral("unexpected quoted text in a font"));
        if (w == QLatin1String("weight")) {
            const auto v = number(word, 0xFFFF, "weight");
            if (!v)
                return std::nullopt;
            f.weight = quint16(*v);
        } else if (w == QLatin1String("charset")) {
            const auto v = number(word, 0xFFFF, "character set");
            if (!v)
                return std::nullopt;
            f.charset = quint16(*v);
        } else if (w == QLatin1String("version")) {
            const auto v = number(word, 0xFF, "version");
            if (!v)
                return std::nullopt;
            f.version = quint8(*v);
        } else if (w == QLatin1String("other")) {
            const auto v = number(word, 0xFF, "attribute byte");
            if (!v)
                return std::nullopt;
            if (*v & FontValue::KnownAttributes)
                return fail(word->column, QStringLiteral("\"other\" takes only bits beyond bold, italic, underline and strikethrough"));
            f.attributes |= quint8(*v);
        } else if (w == QLatin1String("bold")) {
            f.setAttribute(FontValue::Bold, true);
        } else if (w == QLatin1String("italic")) {
            f.setAttribute(FontValue::Italic, true);
        } else if (w == QLatin1String("underline")) {
            f.setAttribute(FontValue::Underline, true);
        } else if (w == QLatin1String("strikethrough")) {
            f.setAttribute(FontValue::Strikethrough, true);
        } else {
            return fail(word->column, QStringLiteral("unknown font attribute \"%1\"").arg(w));
        }
    }
    return Value(f, code);
}

std::optional<QByteArray> LineParser::load(const Token *path)
{
    if (!path->quoted) {
        fail(path->column, QStringLiteral("the picture file's path must be quoted"));
        return std::nullopt;
    }
    QString loadError;
    auto bytes = m_loader ? m_loader(path->text, &loadError) : std::nullopt;
    if (!bytes)
        fail(path->column, QStringLiteral("cannot read \"%1\": %2").arg(path->text, loadError));
    return bytes;
}

// "unknown N bytes PATH": picture data that is no icon, cursor or bitmap,
// kept byte for byte (dump prints such pictures this way).
std::optional<Value> LineParser::unknownPicture(const Token *first, VarType code)
{
    const Token *count = next();
    const Token *unit = next();
    const auto n = count && !count->quoted ? parseInteger(count->text) : std::nullopt;
    if (!n || *n <= 0 || !unit || unit->quoted || unit->text != QLatin1String("bytes"))
        return fail(count ? count->column : endColumn(), QStringLiteral("expected the size as N bytes"));
    const Token *path = next();
    if (!path)
        return fail(endColumn(), QStringLiteral("missing the picture file's quoted path"));
    const auto bytes = load(path);
    if (!bytes)
        return std::nullopt;
    const PictureValue picture(*bytes);
    if (picture.kind() != PictureValue::Kind::Unknown)
        return fail(first->column, QStringLiteral("\"%1\" is %2 %3x%4; list it as such")
                                       .arg(path->text, QLatin1String(PictureValue::kindName(picture.kind())))
                                       .arg(picture.width()).arg(picture.height()));
    if (bytes->size() != *n)
        return fail(count->column, QStringLiteral("the listing says %1 bytes, but \"%2\" has %3")
                                       .arg(*n).arg(path->text).arg(bytes->size()));
    return finish(Value(picture, code));
}

std::optional<Value> LineParser::picture(VarType code)
{
    const Token *first = next();
    if (!first->quoted && first->text == QLatin1String("empty"))
        return finish(Value(PictureValue(), code));

    if (!first->quoted && first->text == QLatin1String(PictureValue::kindName(PictureValue::Kind::Unknown)))
        return unknownPicture(first, code);

    std::optional<PictureValue::Kind> kind;
    int width = 0, height = 0;
    const Token *path = first;
    if (!first->quoted) {
        const Token *size = next();
        for (auto k : {PictureValue::Kind::Icon, PictureValue::Kind::Cursor, PictureValue::Kind::Bitmap}) {
            if (first->text == QLatin1String(PictureValue::kindName(k)))
                kind = k;
        }
        if (!kind)
            return fail(first->column,
                        QStringLiteral("a picture is empty, a quoted file path, icon, cursor or bitmap WxH and a "
                                       "quoted path, or unknown N bytes and a quoted path"));
        const QStringList wh = size ? size->text.split(QLatin1Char('x')) : QStringList();
        bool okW = false, okH = false;
        if (wh.size() == 2) {
            width = wh[0].toInt(&okW);
            height = wh[1].toInt(&okH);
        }
        if (!size || size->quoted || !okW || !okH)
            return fail(size ? size->column : endColumn(), QStringLiteral("expected the picture size as WxH, such as 32x32"));
        path = next();
        if (!path)
            return fail(endColumn(), QStringLiteral("missing the picture file's quoted path"));
    }
    const auto bytes = load(path);
    if (!bytes)
        return std::nullopt;
    const PictureValue picture(*bytes);
    if (picture.kind() != PictureValue::Kind::Icon && picture.kind() != PictureValue::Kind::Cursor
        && picture.kind() != PictureValue::Kind::Bitmap)
        return fail(path->column, QStringLiteral("\"%1\" is not an icon, cursor or bitmap file").arg(path->text));
    if (kind && (*kind != picture.kind() || width != picture.width() || height != picture.height()))
        return fail(first->column, QStringLiteral("the listing says %1 %2x%3, but \"%4\" is %5 %6x%7")
                                       .arg(QLatin1String(PictureValue::kindName(*kind))).arg(width).arg(height)
                                       .arg(path->text, QLatin1String(PictureValue::kindName(picture.kind())))
                                       .arg(picture.width()).arg(picture.height()));
    return finish(Value(picture, code));
}

} // namespace

QString listingTypeName(const Value &value)
{
    const bool alt = value.type() == VarType::UnknownObject;
    switch (value.type()) {
    case VarType::Int16: return QStringLiteral("int16");
    case VarType::Int32: return QStringLiteral("int32");
    case VarType::Text: return QStringLiteral("text");
    case VarType::Boolean: return QStringLiteral("bool");
    case VarType::Object:
    case VarType::UnknownObject:
        if (value.isFont())
            return alt ? QStringLiteral("font(13)") : QStringLiteral("font");
        return alt ? QStringLiteral("picture(13)") : QStringLiteral("picture");
    case VarType::Empty: break;
    }
    return QStringLiteral("empty");
}

QString pictureFileName(const QString &key, const PictureValue &picture)
{
    QString base;
    for (QChar c : key)
        base += (c.isLetterOrNumber() && c.unicode() < 0x80) || c == QLatin1Char('_') || c == QLatin1Char('-')
                    ? c : QLatin1Char('_');
    return base + QLatin1Char('.') + QLatin1String(PictureValue::fileSuffix(picture.kind()));
}

QString formatListingValue(const QString &key, const Value &value)
{
    const auto &d = value.data();
    if (auto p = std::get_if<qint16>(&d))
        return QString::number(*p);
    if (auto p = std::get_if<qint32>(&d))
        return (*p >= -65535 && *p <= 65535) ? QString::number(*p) : hexByte(quint32(*p), 8);
    if (auto p = std::get_if<bool>(&d))
        return *p ? QStringLiteral("True") : QStringLiteral("False");
    if (auto p = std::get_if<QString>(&d))
        return quoted(*p);
    if (auto p = std::get_if<FontValue>(&d))
        return formatFont(*p);
    if (auto p = std::get_if<PictureValue>(&d)) {
        if (p->isEmpty())
            return QStringLiteral("empty");
        const QString file = quoted(pictureFileName(key, *p));
        if (p->kind() == PictureValue::Kind::Unknown)
            return QStringLiteral("unknown %1 bytes %2").arg(p->data().size()).arg(file);
        return QStringLiteral("%1 %2x%3 %4")
            .arg(QLatin1String(PictureValue::kindName(p->kind())))
            .arg(p->width())
            .arg(p->height())
            .arg(file);
    }
    return QStringLiteral("empty");
}

QString formatListingLine(const QString &key, const Value &value)
{
    return QStringLiteral("%1 %2 %3")
        .arg(formatKey(key), -KeyColumnWidth)
        .arg(listingTypeName(value), -TypeColumnWidth)
        .arg(formatListingValue(key, value));
}

QString ListingError::toString() const
{
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
}

ListingResult parseListing(const QString &text, const PictureLoader &loadPicture)
{
    ListingResult result;
    // A byte-order mark left by an editor is not part of the first key.
    const QStringList lines = (text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text).split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;

        auto fail = [&](int column, QString message) {
            result.error = ListingError{n + 1, column, std::move(message)};
            result.bag.clear();
            return result;
        };
        QList<Token> tokens;
        if (auto e = tokenize(line, &tokens))
            return fail(e->column, e->message);
        if (tokens.size() < 2)
            return fail(int(line.size()) + 1, QStringLiteral("expected: key type value"));
        const Token &key = tokens[0];
        if (key.text.isEmpty() || key.text.size() > 0xFFFF)
            return fail(key.column, QStringLiteral("a key needs 1 to 65535 characters"));
        if (result.bag.contains(key.text))
            return fail(key.column, QStringLiteral("key \"%1\" given twice").arg(key.text));
        if (tokens[1].quoted)
            return fail(tokens[1].column, QStringLiteral("the type is a word, not quoted text"));

        std::optional<LineError> error;
        LineParser parser(tokens, loadPicture);
        const auto value = parser.value(tokens[1], &error);
        if (!value)
            return fail(error->column, error->message);
        result.bag.setValue(key.text, *value);
    }
    return result;
}

} // namespace bag
