#include "ChatFile.h"

#include <texts/SystemReason.h>

#include <QFile>
#include <QStringDecoder>

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>

namespace chatfile {

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char Utf16[] = "UTF-16LE";
#else
constexpr char Utf16[] = "UTF-16BE";
#endif

// The text in `codeset`, or nothing when some character has no place in it.
std::optional<QByteArray> toCodeset(const QString &text, const char *codeset)
{
    iconv_t cd = iconv_open(codeset, Utf16);
    if (cd == iconv_t(-1))
        return std::nullopt;
    char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    size_t inLeft = size_t(text.size()) * 2;
    QByteArray output;
    output.resize(text.size() + 16);
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    bool complete = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            continue; // all of the input was taken
        if (errno != E2BIG) {
            complete = false; // EILSEQ or EINVAL: a character the set lacks, or a lone surrogate
            break;
        }
        const qsizetype used = out - output.data();
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = size_t(output.size() - used);
    }
    iconv_close(cd);
    if (!complete)
        return std::nullopt;
    output.resize(out - output.data());
    return output;
}

bool isUtf8(const QByteArray &codeset)
{
    return codeset.compare("UTF-8", Qt::CaseInsensitive) == 0 || codeset.compare("UTF8", Qt::CaseInsensitive) == 0;
}

// Windows-1252 differs from ISO 8859-1 only in 0x80-0x9F. The five bytes it
// leaves undefined are read as the control characters of the same value, as
// Windows itself reads them, so they survive a load and a save.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = uchar(c);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

} // namespace

QByteArray codesetName()
{
    QByteArray codeset = nl_langinfo(CODESET);
    if (codeset.isEmpty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII" || codeset == "US-ASCII")
        codeset = "ISO-8859-1";
    return codeset;
}

QByteArray encode(const QString &text)
{
    const QByteArray codeset = codesetName();
    if (!isUtf8(codeset)) {
        // Only bytes that load back as this very text may be written in the
        // 8-bit set: loading reads them as UTF-8 when they happen to be valid
        // UTF-8, and as Windows-1252 otherwise.
        if (const auto bytes = toCodeset(text, codeset.constData()); bytes && decode(*bytes) == text)
            return *bytes;
    }
    return text.toUtf8();
}

QString decode(const QByteArray &bytes)
{
    // Stateless: a sequence cut off at the end is an error, not left pending.
    // A byte-order mark is kept as a character, so the file saves back unchanged.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

bool save(const QString &path, const QString &text, QString *error)
{
    QByteArray bytes = encode(text);
    bytes += "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = texts::fileReason(file);
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = texts::fileReason(file);
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = texts::fileReason(file);
        return false;
    }
    return true;
}

std::optional<QString> load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = texts::fileReason(file);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = texts::fileReason(file);
        return std::nullopt;
    }
    if (bytes.endsWith("\r\n\r\n") || bytes == "\r\n")
        bytes.chop(2);
    return decode(bytes);
}

} // namespace chatfile
