#pragma once

#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace forms {

namespace jsonclass {
enum : quint8 { PlainInString = 1, WhiteSpace = 2, StartsValue = 4 };
enum class Start : quint8 { Null, False, True, Number, String, Object, Array }; // JsonReader::Type

// Per byte: the flags above, and in the high nibble the type of a value that
// starts with it.
constexpr std::array<quint8, 256> makeClasses()
{
    std::array<quint8, 256> t{};
    for (int c = 0x20; c < 0x80; ++c)
        t[c] = c == '"' || c == '\\' ? 0 : PlainInString;
    for (char c : {' ', '\n', '\r', '\t'})
        t[quint8(c)] |= WhiteSpace;
    const auto starts = [&t](char c, Start type) { t[quint8(c)] |= StartsValue | quint8(quint8(type) << 4); };
    starts('{', Start::Object);
    starts('[', Start::Array);
    starts('"', Start::String);
    starts('t', Start::True);
    starts('f', Start::False);
    starts('n', Start::Null);
    starts('-', Start::Number);
    for (char c = '0'; c <= '9'; ++c)
        starts(c, Start::Number);
    return t;
}

inline constexpr std::array<quint8, 256> kClass = makeClasses();
} // namespace jsonclass

// A strict pull reader over JSON text held in memory, for the layout files.
// It builds nothing: the caller walks the document (beginObject/nextMember,
// beginArray/nextElement, read*/skipValue) and keeps what it wants. Every
// step is bounds-checked against the end of the data, which need not be
// NUL-terminated. The first fault stops the reader; from then on every call
// returns false and error()/errorOffset() say what and where.
//
// Strings are checked as they are read (escapes, \uXXXX with surrogate
// pairs, no raw control characters, well-formed UTF-8) and handed out as the
// raw bytes between the quotes; decode them with decodeUtf8()/toQString()
// only when they are kept.
class JsonReader
{
public:
    using Type = jsonclass::Start;

    // The bytes between the quotes of a string that has passed the checks.
    struct String
    {
        quint32 offset = 0; // of the first byte after the opening quote
        quint32 size = 0;
        bool escaped = false;
    };

    static constexpr int MaxDepth = 64;
    static constexpr qsizetype MaxSize = 64 * 1024 * 1024;

    JsonReader(const char *data, qsizetype size);

    bool failed() const { return m_error != nullptr; }
    const char *error() const { return m_error; }
    qsizetype errorOffset() const { return m_errorOffset; }
    qsizetype offset() const { return m_p - m_begin; }
    const char *data() const { return m_begin; }
    qsizetype size() const { return m_end - m_begin; }

    // Skips a UTF-8 byte order mark and white space; fails on empty data.
    bool start();
    // After the document: only white space may follow.
    bool finish();

    // The type of the next value, after white space; fails on a character
    // that starts no value.
    bool peek(Type *type)
    {
        skipWhiteSpace();
        if (m_p == m_end || !(kClass[static_cast<unsigned char>(*m_p)] & StartsValue))
            return noValue();
        *type = Type(kClass[static_cast<unsigned char>(*m_p)] >> 4);
        return true;
    }

    bool beginObject();
    // Reads the next key and its ':'. False at the closing '}' (the object is
    // left) or on a fault. `first` is the caller's loop state, true at start.
    bool nextMember(String *key, bool *first)
    {
        skipWhiteSpace();
        if (m_p < m_end && *m_p == '}') {
            ++m_p;
            --m_depth;
            return false;
        }
        if (!*first) {
            if (m_p == m_end || *m_p != ',')
                return memberFault("',' or '}' expected after a member of an object");
            ++m_p;
            skipWhiteSpace();
        }
        *first = false;
        if (m_p == m_end || *m_p != '"')
            return memberFault("a key in double quotes expected");
        if (!readString(key))
            return false;
        skipWhiteSpace();
        if (m_p == m_end || *m_p != ':')
            return memberFault("':' expected after a key");
        ++m_p;
        return true;
    }
    bool beginArray();
    // Positions at the next element. False at the closing ']' or on a fault.
    bool nextElement(bool *first);

    // At the opening quote.
    bool readString(String *out)
    {
        const char *p = m_p + 1;
        while (p < m_end && (kClass[static_cast<unsigned char>(*p)] & PlainInString))
            ++p;
        if (p < m_end && *p == '"') {
            *out = {quint32(m_p + 1 - m_begin), quint32(p - m_p - 1), false};
            m_p = p + 1;
            return true;
        }
        return readStringRest(out, p);
    }
    // At the first character of the number.
    bool readNumber(double *out)
    {
        // Plain whole numbers of up to 15 digits are exact in a double and
        // built here; anything else goes the long way.
        const char *p = m_p + (*m_p == '-');
        const char *digits = p;
        qint64 v = 0;
        while (p < m_end && unsigned(*p - '0') < 10 && p - digits < 15)
            v = v * 10 + (*p++ - '0');
        if (p == digits || (*digits == '0' && p - digits > 1)
            || (p < m_end && (*p == '.' || *p == 'e' || *p == 'E' || unsigned(*p - '0') < 10)))
            return readNumberRest(out);
        *out = double(*m_p == '-' ? -v : v);
        m_p = p;
        return true;
    }
    bool readLiteral(Type type); // null, false or true as peeked
    bool skipValue();

    // Records a fault at a byte offset (the first one wins). `what` must be
    // a string literal.
    void fail(const char *what, qsizetype offset);

    // The text of a checked string: as it lies in the data when it has no
    // escapes, otherwise decoded into `scratch`.
    std::string_view utf8(const String &s, std::string *scratch) const
    {
        if (!s.escaped)
            return std::string_view(m_begin + s.offset, s.size);
        return decode(s, scratch);
    }
    QString toQString(const String &s) const;

    // 1-based line and column (in characters) of a byte offset.
    static void lineAndColumn(const char *data, qsizetype size, qsizetype offset, int *line, int *column);

private:
    enum : quint8 { PlainInString = jsonclass::PlainInString, WhiteSpace = jsonclass::WhiteSpace, StartsValue = jsonclass::StartsValue };
    static constexpr const std::array<quint8, 256> &kClass = jsonclass::kClass;

    void skipWhiteSpace()
    {
        while (m_p < m_end && (kClass[static_cast<unsigned char>(*m_p)] & WhiteSpace))
            ++m_p;
    }
    bool noValue();
    bool memberFault(const char *what);
    bool readStringRest(String *out, const char *p);
    bool readNumberRest(double *out);
    std::string_view decode(const String &s, std::string *scratch) const;

    bool fail(const char *what, const char *at)
    {
        fail(what, at - m_begin);
        return false;
    }
    bool enter(const char *at);
    bool readEscape(const char **p);

    const char *m_begin;
    const char *m_p;
    const char *m_end;
    const char *m_error = nullptr;
    qsizetype m_errorOffset = -1;
    int m_depth = 0;
};

} // namespace forms
