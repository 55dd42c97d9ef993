#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace bag {

// A stored picture object: the bytes of the picture file (an .ico, .cur or
// .bmp file) and what its header says. An empty picture has no bytes.
// The header is only sniffed (bounds-checked); the image is not decoded.
class PictureValue
{
public:
    enum class Kind { None, Icon, Cursor, Bitmap, Unknown };

    PictureValue() = default;
    explicit PictureValue(QByteArray fileBytes);

    bool isEmpty() const { return m_data.isEmpty(); }
    const QByteArray &data() const { return m_data; }

    Kind kind() const { return m_kind; }
    // Largest image of an icon or cursor file; the bitmap's size. 0 when unknown.
    int width() const { return m_width; }
    int height() const { return m_height; }
    int imageCount() const { return m_imageCount; }

    static const char *kindName(Kind kind);   // "empty", "icon", "cursor", "bitmap", "unknown"
    static const char *fileSuffix(Kind kind); // "ico", "cur", "bmp", "bin"

    friend bool operator==(const PictureValue &a, const PictureValue &b) { return a.m_data == b.m_data; }

private:
    QByteArray m_data;
    Kind m_kind = Kind::None;
    int m_width = 0;
    int m_height = 0;
    int m_imageCount = 0;
};

} // namespace bag
