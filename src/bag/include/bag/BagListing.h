#pragma once

#include <bag/PropertyBag.h>

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace bag {

// The text form of a bag, one entry per line:
//
//   caption      text        "Derrubar"
//   capalign     int32       0
//   cgradient    int32       0x8000000F
//   imgsize      int16       32
//   focus        bool        False
//   font         font        "Arial" 9pt weight 700 charset 0 bold
//   image        picture     icon 32x32 "image.ico"
//   micon        picture     empty
//
// Types: int16 (2), int32 (3), text (8), bool (11), font and picture
// (objects stored as type 9), font(13) and picture(13) (stored as type 13).
// Numbers are decimal or 0x-prefixed hexadecimal; a 32-bit value beyond
// +-65535 is printed in hexadecimal. Text is quoted, with \" \\ \n \r \t and
// \uXXXX escapes. A font lists its name, size in points (up to four
// decimals), weight and character set, then "version N" when not 1, the
// attributes bold, italic, underline, strikethrough, and "other 0xNN" for
// further attribute bits. A picture gives the path of its .ico, .cur or .bmp
// file, optionally after the kind and size the file must have; other data
// is given as "unknown N bytes PATH". A listing printed from a stream names
// each picture <key>.<ico|cur|bmp|bin>, the file that "extract" writes.
// Blank lines and lines starting with # are ignored.

QString listingTypeName(const Value &value);
// The value column of a listing line.
QString formatListingValue(const QString &key, const Value &value);
// A whole line, key and type padded into columns.
QString formatListingLine(const QString &key, const Value &value);
// The file name a listing gives to a picture stored under `key`.
QString pictureFileName(const QString &key, const PictureValue &picture);

struct ListingError
{
    int line = 0;   // 1-based
    int column = 0; // 1-based
    QString message;
    QString toString() const; // "line 3, column 14: ..."
};

struct ListingResult
{
    PropertyBag bag; // empty on error
    std::optional<ListingError> error;
    bool ok() const { return !error.has_value(); }
};

// Loads a picture file named in the listing; std::nullopt (with *error set)
// when it cannot be read.
using PictureLoader = std::function<std::optional<QByteArray>(const QString &path, QString *error)>;

ListingResult parseListing(const QString &text, const PictureLoader &loadPicture);

} // namespace bag
