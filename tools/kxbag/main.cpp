// kxbag: dump, compose and query property-bag streams.

#include <bag/Bag.h>
#include <bag/BagListing.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>
#include <optional>
#include <variant>

namespace {

enum Exit { Ok = 0, Absent = 1, Usage = 2, Failure = 3 };

const char HelpText[] = R"(Usage:
  kxbag dump [--hex] FILE         print every entry of a property-bag stream
  kxbag make LISTING -o FILE      compose a stream from a text listing ("-" reads stdin)
  kxbag get FILE KEY              print one value
  kxbag extract FILE KEY -o OUT   write a picture value's file
  kxbag --help

A listing has one entry per line, "key type value", as dump prints it:
  caption      text        "Derrubar"
  cgradient    int32       0x8000000F
  imgsize      int16       32
  focus        bool        False
  font         font        "Arial" 9pt weight 700 charset 0 bold
  image        picture     icon 32x32 "image.ico"
  micon        picture     empty
Types: int16 (2), int32 (3), text (8), bool (11), font, picture (objects of
type 9), font(13), picture(13) (objects of type 13). Numbers are decimal or
0x hexadecimal. Text is quoted with \" \\ \n \r \t \uXXXX escapes. Font
options: weight N, charset N, version N, bold, italic, underline,
strikethrough, other 0xNN. A picture names an .ico, .cur or .bmp file,
relative to the listing's folder, optionally after the kind and size the file
must have; other picture data is given as: unknown N bytes "file.bin".
dump names each picture <key>.<suffix>, the file extract writes; get prints
the value as dump does.
Keys are case-insensitive and stored in lower case. Lines starting with # and
blank lines are ignored.

Damaged streams. These faults make the whole stream unreadable (nothing is
read): a wrong signature, a stream shorter than its header or than the length
it states, a stated length that disagrees with the data, an entry size smaller
than an entry header, a link that points outside the stream, and a last link
that does not lead back to the first entry. These faults skip only their entry
(the others are still read): an empty key, a key or value running past its
entry, a key hash that does not match the key, an unknown type code, an object
of an unknown class, a malformed font or picture, and a key already seen (the
first is kept). Each fault is reported with its byte offset.

--hex (dump) adds each entry's offset and raw bytes.

Exit status: 0 success; 1 the key is absent (get, extract); 2 usage error;
3 any other failure (unreadable or damaged stream, bad listing, write
failure). dump exits 3 when it had to skip an entry. Nothing is written when
a command fails.
)";

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage(const QString &message)
{
    err() << "kxbag: " << message << "\nTry 'kxbag --help'.\n";
    err().flush();
    return Usage;
}

int failure(const QString &message)
{
    err() << "kxbag: " << message << '\n';
    err().flush();
    return Failure;
}

struct Args
{
    QStringList positional;
    QString output;
    bool hex = false;
};

// Parses the words after the command; `allowed` lists the accepted options.
std::optional<Args> parseArgs(const QStringList &words, const QStringList &allowed, QString *error)
{
    Args a;
    for (int i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        if (w == QLatin1String("-o") && allowed.contains(w)) {
            if (i + 1 >= words.size()) {
                *error = QStringLiteral("-o needs a file name");
                return std::nullopt;
            }
            if (!a.output.isEmpty()) {
                *error = QStringLiteral("-o given twice");
                return std::nullopt;
            }
            a.output = words[++i];
            if (a.output.isEmpty()) {
                *error = QStringLiteral("-o needs a file name");
                return std::nullopt;
            }
        } else if (w == QLatin1String("--hex") && allowed.contains(w)) {
            a.hex = true;
        } else if (w.startsWith(QLatin1Char('-')) && w != QLatin1String("-")) {
            *error = QStringLiteral("unknown option '%1'").arg(w);
            return std::nullopt;
        } else {
            a.positional << w;
        }
    }
    return a;
}

std::optional<QByteArray> readFile(const QString &path, QString *error)
{
    QFile f(path);
    if (path == QLatin1String("-") ? !f.open(stdin, QIODevice::ReadOnly) : !f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return std::nullopt;
    }
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        *error = f.errorString();
        return false;
    }
    return true;
}

// Reads a stream file; on a fatal fault reports it and returns nullopt.
std::optional<bag::ReadResult> loadStream(const QString &path, int *status)
{
    QString error;
    const auto bytes = readFile(path, &error);
    if (!bytes) {
        *status = failure(QStringLiteral("cannot read %1: %2").arg(path, error));
        return std::nullopt;
    }
    bag::ReadResult r = bag::readStream(*bytes);
    for (const auto &e : r.skipped)
        err() << "kxbag: " << path << ": entry skipped: " << e.toString() << '\n';
    if (!r.ok()) {
        *status = failure(QStringLiteral("%1: %2").arg(path, r.error->toString()));
        return std::nullopt;
    }
    err().flush();
    return r;
}

void printHex(QByteArrayView bytes, int indent)
{
    for (qsizetype i = 0; i < bytes.size(); i += 16) {
        QString line(indent, QLatin1Char(' '));
        for (qsizetype k = i; k < qMin(bytes.size(), i + 16); ++k) {
            if (k > i)
                line += QLatin1Char(' ');
            line += QStringLiteral("%1").arg(quint8(bytes[k]), 2, 16, QLatin1Char('0'));
        }
        out() << line << '\n';
    }
}

int dump(const QStringList &words)
{
    QString error;
    const auto a = parseArgs(words, {QStringLiteral("--hex")}, &error);
    if (!a)
        return usage(error);
    if (a->positional.size() != 1)
        return usage(QStringLiteral("dump takes one stream file"));
    const QString path = a->positional[0];
    const auto bytes = readFile(path, &error);
    if (!bytes)
        return failure(QStringLiteral("cannot read %1: %2").arg(path, error));

    const bag::ReadResult r = bag::readStream(*bytes);
    if (a->hex && bytes->size() >= 8) {
        out() << "00000000: header signature 0x"
              << QString::number(qFromLittleEndian<quint32>(bytes->constData()), 16).rightJustified(8, QLatin1Char('0')).toUpper()
              << " length " << qFromLittleEndian<quint32>(bytes->constData() + 4) << '\n';
        printHex(QByteArrayView(*bytes).first(8), 10);
    }
    // Entries read before a fatal fault are still shown; the fault ends the listing.
    for (const auto &e : r.entries) {
        QString line = bag::formatListingLine(e.key, e.value);
        if (a->hex)
            line = QStringLiteral("%1: ").arg(e.offset, 8, 16, QLatin1Char('0')) + line;
        out() << line << '\n';
        if (a->hex)
            printHex(QByteArrayView(*bytes).sliced(e.offset, e.size), 10);
    }
    out().flush();
    for (const auto &e : r.skipped)
        err() << "kxbag: " << path << ": entry skipped: " << e.toString() << '\n';
    if (!r.ok())
        return failure(QStringLiteral("%1: %2").arg(path, r.error->toString()));
    err().flush();
    return r.skipped.isEmpty() ? Ok : Failure;
}

int make(const QStringList &words)
{
    QString error;
    const auto a = parseArgs(words, {QStringLiteral("-o")}, &error);
    if (!a)
        return usage(error);
    if (a->positional.size() != 1)
        return usage(QStringLiteral("make takes one listing file"));
    if (a->output.isEmpty())
        return usage(QStringLiteral("make needs -o FILE"));
    const QString listingPath = a->positional[0];
    const auto text = readFile(listingPath, &error);
    if (!text)
        return failure(QStringLiteral("cannot read %1: %2").arg(listingPath, error));

    const QDir base = listingPath == QLatin1String("-") ? QDir::current() : QFileInfo(listingPath).absoluteDir();
    const auto loader = [&](const QString &file, QString *loadError) {
        return readFile(QDir::isAbsolutePath(file) ? file : base.filePath(file), loadError);
    };
    const bag::ListingResult listing = bag::parseListing(QString::fromUtf8(*text), loader);
    if (!listing.ok())
        return failure(QStringLiteral("%1: %2").arg(listingPath, listing.error->toString()));
    const bag::WriteResult written = bag::writeStream(listing.bag);
    if (!written.ok())
        return failure(written.error->toString());
    if (!writeFile(a->output, written.bytes, &error))
        return failure(QStringLiteral("cannot write %1: %2").arg(a->output, error));
    return Ok;
}

// The value of KEY, or the exit status when there is none.
std::variant<bag::Value, int> lookup(const QString &path, const QString &key)
{
    int status = Ok;
    const auto r = loadStream(path, &status);
    if (!r)
        return status;
    if (const auto v = r->bag.value(key))
        return *v;
    const QString lower = bag::PropertyBag::normalizedKey(key);
    for (const auto &e : r->skipped) {
        if (e.key == lower)
            return failure(QStringLiteral("%1: key \"%2\" is in a damaged entry").arg(path, lower));
    }
    err() << "kxbag: " << path << ": no key \"" << lower << "\"\n";
    err().flush();
    return int(Absent);
}

int get(const QStringList &words)
{
    QString error;
    const auto a = parseArgs(words, {}, &error);
    if (!a)
        return usage(error);
    if (a->positional.size() != 2)
        return usage(QStringLiteral("get takes a stream file and a key"));
    const auto v = lookup(a->positional[0], a->positional[1]);
    if (const int *status = std::get_if<int>(&v))
        return *status;
    out() << bag::formatListingValue(bag::PropertyBag::normalizedKey(a->positional[1]), std::get<bag::Value>(v)) << '\n';
    return Ok;
}

int extract(const QStringList &words)
{
    QString error;
    const auto a = parseArgs(words, {QStringLiteral("-o")}, &error);
    if (!a)
        return usage(error);
    if (a->positional.size() != 2)
        return usage(QStringLiteral("extract takes a stream file and a key"));
    if (a->output.isEmpty())
        return usage(QStringLiteral("extract needs -o OUT"));
    const auto v = lookup(a->positional[0], a->positional[1]);
    if (const int *status = std::get_if<int>(&v))
        return *status;
    const auto picture = std::get<bag::Value>(v).toPicture();
    if (!picture)
        return failure(QStringLiteral("key \"%1\" holds a %2, not a picture")
                           .arg(a->positional[1].toLower(), bag::listingTypeName(std::get<bag::Value>(v))));
    if (picture->isEmpty())
        return failure(QStringLiteral("key \"%1\" holds an empty picture").arg(a->positional[1].toLower()));
    if (!writeFile(a->output, picture->data(), &error))
        return failure(QStringLiteral("cannot write %1: %2").arg(a->output, error));
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out() << HelpText;
        return Ok;
    }
    if (args.contains(QLatin1String("--help"))) {
        out() << HelpText;
        return Ok;
    }
    if (command == QLatin1String("dump"))
        return dump(args);
    if (command == QLatin1String("make"))
        return make(args);
    if (command == QLatin1String("get"))
        return get(args);
    if (command == QLatin1String("extract"))
        return extract(args);
    return usage(QStringLiteral("unknown command '%1'").arg(command));
}
