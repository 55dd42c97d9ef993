#pragma once
// StdPicture: the forms runtime's picture object, shared by reference (hold it
// as StdPicturePtr; object assignment shares it). It owns the gdi object in
// Handle (a bitmap for Type 1, an icon for Type 3) and deletes it with itself,
// and it keeps the file bytes it was made from, so a property bag can store
// it again unchanged.

#include <gdi/gdi.h>

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <memory>

namespace host {

enum PictureTypeConstants {
    vbPicTypeNone = 0,
    vbPicTypeBitmap = 1,
    vbPicTypeIcon = 3,
};

class StdPicture
{
public:
    StdPicture() = default; // an empty picture (Type 0)
    ~StdPicture();
    StdPicture(const StdPicture &) = delete;
    StdPicture &operator=(const StdPicture &) = delete;

    int Type() const { return m_type; }
    HGDIOBJ Handle() const { return m_handle; }
    // HIMETRIC (hundredths of a millimetre) at 96 dpi, as the runtime reports
    // them: pixels * 2540 / 96, rounded. 0 for an empty picture.
    int Width() const;
    int Height() const;
    int pixelWidth() const { return m_pixelWidth; }
    int pixelHeight() const { return m_pixelHeight; }

    // Icons and cursors are both Type 3; a cursor file keeps its hot spot.
    bool isCursor() const { return m_cursor; }
    QPoint hotSpot() const { return m_hotSpot; }
    // The file the picture was made from (.ico, .cur or .bmp bytes).
    QByteArray data() const { return m_data; }

private:
    friend std::shared_ptr<StdPicture> LoadPicture(const QByteArray &, QString *);
    int m_type = vbPicTypeNone;
    HGDIOBJ m_handle = 0;
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    bool m_cursor = false;
    QPoint m_hotSpot;
    QByteArray m_data;
};

using StdPicturePtr = std::shared_ptr<StdPicture>;

// Builds a picture from .ico, .cur or .bmp file data. Empty data gives an
// empty picture (Type 0). Malformed or unknown data gives nullptr and, in
// *error, what is wrong and where.
StdPicturePtr LoadPicture(const QByteArray &fileData, QString *error = nullptr);
// The same from a file on disk; an unreadable file is an error too.
StdPicturePtr LoadPictureFile(const QString &path, QString *error = nullptr);

// Pixels to HIMETRIC at 96 dpi (2540 HIMETRIC per inch), rounded.
int pixelsToHimetric(int pixels);

} // namespace host
