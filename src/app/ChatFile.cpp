#include "ChatFile.h"

#include <texts/SystemReason.h>

#include <QFile>

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

namespace chatfile {

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char Utf16[] = "UTF-16LE";
const QByteArray Replacement("\xFD\xFF", 2);
#else
constexpr char Utf16[] = "UTF-16BE";
const QByteArray Replacement("\xFF\xFD", 2);
#endif

// Runs iconv over the whole input; an input sequence the target cannot take
// is replaced by `replacement` (in the target set) and skipped by `skip` bytes.
QByteArray convert(const char *to, const char *from, const QByteArray &input, const QByteArray &replacement,
                   int skip)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray output;
    output.resize(input.size() * 2 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = size_t(input.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = size_t(output.size() - used);
            continue;
        }
        // EILSEQ or EINVAL: an unconvertible or cut-off sequence.
        const size_t n = qMin<size_t>(size_t(skip), inLeft);
        in += n;
        inLeft -= n;
        if (outLeft < size_t(replacement.size()) + 4) {
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2 + replacement.size());
            out = output.data() + used;
            outLeft = size_t(output.size() - used);
        }
        std::memcpy(out, replacement.constData(), size_t(replacement.size()));
        out += replacement.size();
        outLeft -= size_t(replacement.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    output.resize(out - output.data());
    iconv_close(cd);
    return output;
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
    // UTF-16 code units in, so a lone surrogate is skipped 2 bytes at a time.
    const QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return convert(codesetName().constData(), Utf16, utf16, QByteArrayLiteral("?"), 2);
}

QString decode(const QByteArray &bytes)
{
    const QByteArray utf16 = convert(Utf16, codesetName().constData(), bytes, Replacement, 1);
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
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
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    return decode(bytes);
}

} // namespace chatfile
