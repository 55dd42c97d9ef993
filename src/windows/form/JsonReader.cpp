#include "JsonReader.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace forms {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Four hex digits at p (bounds checked by the caller); -1 if any is not one.
int hex4(const char *p)
{
    const int a = hexValue(p[0]), b = hexValue(p[1]), c = hexValue(p[2]), d = hexValue(p[3]);
    if ((a | b | c | d) < 0)
        return -1;
    return a << 12 | b << 8 | c << 4 | d;
}

// Length of the well-formed UTF-8 sequence of a non-ASCII lead byte at p,
// or 0: no overlong forms, no surrogates, nothing above U+10FFFF.
int utf8Sequence(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    const auto cont = [&](int i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return p + i < end && p[i] >= lo && p[i] <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 0;
    if (c == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (c == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (c == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (c == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

void appendUtf8(std::string *out, char32_t cp)
{
    if (cp < 0x80) {
        out->push_back(char(cp));
    } else if (cp < 0x800) {
        out->push_back(char(0xC0 | cp >> 6));
        out->push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(char(0xE0 | cp >> 12));
        out->push_back(char(0x80 | (cp >> 6 & 0x3F)));
        out->push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(char(0xF0 | cp >> 18));
        out->push_back(char(0x80 | (cp >> 12 & 0x3F)));
        out->push_back(char(0x80 | (cp >> 6 & 0x3F)));
        out->push_back(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

JsonReader::JsonReader(const char *data, qsizetype size) : m_begin(data), m_p(data), m_end(data + size)
{
    if (size > MaxSize)
        fail("the data is larger than 64 MiB", qsizetype(0));
}

void JsonReader::fail(const char *what, qsizetype offset)
{
    if (!m_error) {
        m_error = what;
        m_errorOffset = offset;
    }
    m_p = m_end; // nothing further is read
}

bool JsonReader::start()
{
    if (failed())
        return false;
    if (m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
        m_p += 3;
    skipWhiteSpace();
    if (m_p == m_end)
        return fail("the data is empty", m_p);
    return true;
}

bool JsonReader::finish()
{
    if (failed())
        return false;
    skipWhiteSpace();
    if (m_p != m_end)
        return fail(*m_p == '\0' ? "NUL byte after the end of the document" : "unexpected text after the end of the document", m_p);
    return true;
}

bool JsonReader::enter(const char *at)
{
    if (++m_depth > MaxDepth)
        return fail("objects and lists nested deeper than 64 levels", at);
    return true;
}

bool JsonReader::beginObject()
{
    if (failed())
        return false;
    skipWhiteSpace();
    if (m_p == m_end || *m_p != '{')
        return fail("'{' expected", m_p);
    if (!enter(m_p))
        return false;
    ++m_p;
    return true;
}

bool JsonReader::beginArray()
{
    if (failed())
        return false;
    skipWhiteSpace();
    if (m_p == m_end || *m_p != '[')
        return fail("'[' expected", m_p);
    if (!enter(m_p))
        return false;
    ++m_p;
    return true;
}

bool JsonReader::nextElement(bool *first)
{
    if (failed())
        return false;
    skipWhiteSpace();
    if (m_p == m_end)
        return fail("unexpected end of the data inside a list", m_p);
    if (*m_p == ']') {
        ++m_p;
        --m_depth;
        return false;
    }
    if (!*first) {
        if (*m_p != ',')
            return fail("',' or ']' expected after an element of a list", m_p);
        ++m_p;
        skipWhiteSpace();
        if (m_p < m_end && *m_p == ']')
            return fail("a value expected after ','", m_p);
    }
    *first = false;
    return true;
}

// One escape after its backslash; *p points at the letter and is advanced
// past the escape (both halves of a surrogate pair).
bool JsonReader::readEscape(const char **p)
{
    const char *at = *p - 1;
    if (*p == m_end)
        return fail("unterminated string", at);
    switch (**p) {
    case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't':
        ++*p;
        return true;
    case 'u':
        break;
    default:
        return fail("unknown escape in a string", at);
    }
    if (m_end - *p < 5)
        return fail("\\u needs four hex digits", at);
    const int unit = hex4(*p + 1);
    if (unit < 0)
        return fail("\\u needs four hex digits", at);
    *p += 5;
    if (unit >= 0xDC00 && unit <= 0xDFFF)
        return fail("\\u escape of a low surrogate without a high one before it", at);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (m_end - *p < 6 || (*p)[0] != '\\' || (*p)[1] != 'u')
            return fail("\\u escape of a high surrogate without a low one after it", at);
        const int low = hex4(*p + 2);
        if (low < 0xDC00 || low > 0xDFFF)
            return fail("\\u escape of a high surrogate without a low one after it", at);
        *p += 6;
    }
    return true;
}

bool JsonReader::noValue()
{
    if (m_p == m_end)
        return fail("unexpected end of the data, a value was expected", m_p);
    return fail(*m_p == '\0' ? "NUL byte where a value was expected" : "unexpected character, a value was expected", m_p);
}

bool JsonReader::memberFault(const char *what)
{
    return fail(m_p == m_end ? "unexpected end of the data inside an object" : what, m_p);
}

// The rest of a string from p, where the plain ASCII run ended.
bool JsonReader::readStringRest(String *out, const char *p)
{
    const char *open = m_p;
    bool escaped = false;
    for (;;) {
        while (p < m_end && (kClass[static_cast<unsigned char>(*p)] & PlainInString))
            ++p;
        if (p == m_end)
            return fail("unterminated string", open);
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"')
            break;
        if (c == '\\') {
            escaped = true;
            ++p;
            if (!readEscape(&p))
                return false;
        } else if (c < 0x20) {
            return fail(c == 0 ? "NUL byte in a string" : "control character in a string (write it as an escape)", p);
        } else {
            const int n = utf8Sequence(reinterpret_cast<const unsigned char *>(p), reinterpret_cast<const unsigned char *>(m_end));
            if (n == 0)
                return fail("invalid UTF-8 in a string", p);
            p += n;
        }
    }
    out->offset = quint32(open + 1 - m_begin);
    out->size = quint32(p - open - 1);
    out->escaped = escaped;
    m_p = p + 1;
    return true;
}

bool JsonReader::readNumberRest(double *out)
{
    const char *start = m_p;
    const char *p = m_p;
    if (p < m_end && *p == '-')
        ++p;
    if (p < m_end && *p == '0') {
        ++p;
        if (p < m_end && isDigit(*p))
            return fail("number with a leading zero", start);
    } else if (p < m_end && isDigit(*p)) {
        while (p < m_end && isDigit(*p))
            ++p;
    } else {
        return fail("invalid number", start);
    }
    bool integral = true;
    if (p < m_end && *p == '.') {
        ++p;
        if (p == m_end || !isDigit(*p))
            return fail("invalid number: digits expected after '.'", start);
        while (p < m_end && isDigit(*p))
            ++p;
        integral = false;
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        if (p == m_end || !isDigit(*p))
            return fail("invalid number: digits expected in the exponent", start);
        while (p < m_end && isDigit(*p))
            ++p;
        integral = false;
    }
    m_p = p;
    // Up to 15 digits are exact in a double; build those directly.
    const bool negative = *start == '-';
    if (integral && p - start - negative <= 15) {
        qint64 v = 0;
        for (const char *d = start + negative; d < p; ++d)
            v = v * 10 + (*d - '0');
        *out = double(negative ? -v : v);
        return true;
    }
    double d = 0;
    const auto [end, ec] = std::from_chars(start, p, d);
    if (ec == std::errc::result_out_of_range || !std::isfinite(d))
        return fail("number out of range", start);
    if (ec != std::errc() || end != p)
        return fail("invalid number", start);
    *out = d;
    return true;
}

bool JsonReader::readLiteral(Type type)
{
    if (failed())
        return false;
    const char *word = type == Type::Null ? "null" : type == Type::True ? "true" : "false";
    const size_t n = std::strlen(word);
    if (size_t(m_end - m_p) < n || std::memcmp(m_p, word, n) != 0)
        return fail("unknown word, true, false or null expected", m_p);
    m_p += n;
    return true;
}

bool JsonReader::skipValue()
{
    Type type = Type::Null;
    if (!peek(&type))
        return false;
    switch (type) {
    case Type::Object: {
        if (!beginObject())
            return false;
        String key;
        bool first = true;
        while (nextMember(&key, &first)) {
            if (!skipValue())
                return false;
        }
        return !failed();
    }
    case Type::Array: {
        if (!beginArray())
            return false;
        bool first = true;
        while (nextElement(&first)) {
            if (!skipValue())
                return false;
        }
        return !failed();
    }
    case Type::String: {
        String s;
        return readString(&s);
    }
    case Type::Number: {
        double d;
        return readNumber(&d);
    }
    default:
        return readLiteral(type);
    }
}

std::string_view JsonReader::decode(const String &s, std::string *scratch) const
{
    const char *p = m_begin + s.offset;
    const char *end = p + s.size;
    // The string has passed readString: every escape is complete and valid.
    scratch->clear();
    while (p < end) {
        const char *run = p;
        while (p < end && *p != '\\')
            ++p;
        scratch->append(run, size_t(p - run));
        if (p == end)
            break;
        ++p;
        switch (*p++) {
        case 'b': scratch->push_back('\b'); break;
        case 'f': scratch->push_back('\f'); break;
        case 'n': scratch->push_back('\n'); break;
        case 'r': scratch->push_back('\r'); break;
        case 't': scratch->push_back('\t'); break;
        case 'u': {
            char32_t cp = char32_t(hex4(p));
            p += 4;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(hex4(p + 2)) - 0xDC00);
                p += 6;
            }
            appendUtf8(scratch, cp);
            break;
        }
        default: // '"', '\\', '/'
            scratch->push_back(p[-1]);
            break;
        }
    }
    return *scratch;
}

QString JsonReader::toQString(const String &s) const
{
    if (!s.escaped)
        return QString::fromUtf8(m_begin + s.offset, s.size);
    std::string scratch;
    const std::string_view text = utf8(s, &scratch);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void JsonReader::lineAndColumn(const char *data, qsizetype size, qsizetype offset, int *line, int *column)
{
    if (offset > size)
        offset = size;
    int l = 1, c = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        if (b == '\n') {
            ++l;
            c = 1;
        } else if ((b & 0xC0) != 0x80) { // count characters, not continuation bytes
            ++c;
        }
    }
    *line = l;
    *column = c;
}

} // namespace forms
