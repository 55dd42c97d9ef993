#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace forms {

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
    enum class Type : quint8 { Null, False, True, Number, String, Object, Array };

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

    // Skips a UTF-8 byte order mark and white space; fails on empty data.
    bool start();
    // After the document: only white space may follow.
    bool finish();

    // The type of the next value, after white space; fails on a character
    // that starts no value.
    bool peek(Type *type);

    bool beginObject();
    // Reads the next key and its ':'. False at the closing '}' (the object is
    // left) or on a fault. `first` is the caller's loop state, true at start.
    bool nextMember(String *key, bool *first);
    bool beginArray();
    // Positions at the next element. False at the closing ']' or on a fault.
    bool nextElement(bool *first);

    bool readString(String *out);
    bool readNumber(double *out);
    bool readLiteral(Type type); // null, false or true as peeked
    bool skipValue();

    // Records a fault at a byte offset (the first one wins). `what` must be
    // a string literal.
    void fail(const char *what, qsizetype offset);

    // The text of a checked string: as it lies in the data when it has no
    // escapes, otherwise decoded into `scratch`.
    std::string_view utf8(const String &s, std::string *scratch) const;
    QString toQString(const String &s) const;

    // 1-based line and column (in characters) of a byte offset.
    static void lineAndColumn(const char *data, qsizetype size, qsizetype offset, int *line, int *column);

private:
    bool fail(const char *what, const char *at)
    {
        fail(what, at - m_begin);
        return false;
    }
    void skipWhiteSpace();
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
