#include "BagStreamHarness.h"

#include <bag/BagListing.h>
#include <bag/BagStream.h>

#include <cstdio>
#include <map>

namespace {

const char *checkListing(const bag::PropertyBag &b)
{
    std::map<QString, QByteArray> files;
    QString text;
    for (const auto &[key, value] : b.entries()) {
        if (const auto picture = value.toPicture(); picture && !picture->isEmpty()) {
            // Each picture file under its own name (two keys may map to one name).
            if (!files.emplace(bag::pictureFileName(key, *picture), picture->data()).second)
                return nullptr;
        }
        text += bag::formatListingLine(key, value) + QLatin1Char('\n');
    }
    const auto loader = [&](const QString &path, QString *) -> std::optional<QByteArray> {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<QByteArray>(it->second);
    };
    const bag::ListingResult parsed = bag::parseListing(text, loader);
    if (!parsed.ok()) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(parsed.error->toString()), qPrintable(text));
        return "listing of a read bag does not parse";
    }
    if (!(parsed.bag == b))
        return "listing does not parse back to the same bag";
    return nullptr;
}

} // namespace

const char *checkBagStream(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bag::ReadResult r = bag::readStream(bytes);
    if (r.error && (r.error->offset < 0 || r.error->offset > qint64(size)))
        return "fatal fault offset outside the data";
    for (const auto &e : r.skipped) {
        if (e.offset < 0 || e.offset > qint64(size) || e.isFatal())
            return "skipped entry with a bad offset or a fatal fault";
    }
    if (!r.ok()) {
        return r.bag.isEmpty() ? nullptr : "a fatal fault left entries in the bag";
    }
    if (r.entries.size() != r.bag.size())
        return "entry list and bag disagree";
    const bag::WriteResult w = bag::writeStream(r.bag);
    if (!w.ok())
        return "a bag read from a stream cannot be written";
    const bag::ReadResult again = bag::readStream(w.bytes);
    if (!again.ok() || !again.skipped.isEmpty() || !(again.bag == r.bag))
        return "written stream does not read back to the same bag";
    if (bag::writeStream(again.bag).bytes != w.bytes)
        return "rewriting changes the bytes";
    return checkListing(r.bag);
}
