#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace forms {

// Decodes a GIF file frame by frame into whole-canvas pictures, each frame
// drawn over what its predecessor's disposal left (none, keep, clear to
// transparent, restore the previous picture). Works on the file's bytes in
// memory; every length and code is checked, a damaged file ends with an
// error naming the fault and its offset, never a crash.
//
// Frames come out as Format_ARGB32_Premultiplied (every pixel is opaque or
// fully transparent, 0, so it is the straight colour as well), pixels the
// canvas never received transparent; timings and the repeat count follow the usual reading of the
// NETSCAPE2.0 extension (0 = forever).
class GifDecoder
{
public:
    // Reads the header; false with *error when the bytes are not a GIF.
    bool open(QByteArray data, QString *error);

    QSize size() const { return QSize(m_width, m_height); }
    // Repeats after the first pass: -1 forever, 0 none. Read as the frames
    // are, so complete once readFrame() has reached the end.
    int loopCount() const { return m_loopCount; }

    // The next frame and its delay in ms (0 when the file gives none).
    // False at the end of the file, or on a fault with *error set.
    bool readFrame(QImage *frame, int *delayMs, QString *error);
    bool atEnd() const { return m_end; }

private:
    bool fail(QString *error, const QString &what);
    bool skipSubBlocks(QString *error);
    bool readColourTable(int entries, std::vector<QRgb> *table, QString *error);
    bool decodeImage(const std::vector<QRgb> &palette, int left, int top, int width, int height,
                     bool interlaced, int transparent, QString *error);

    QByteArray m_data;
    qsizetype m_pos = 0;
    int m_width = 0;
    int m_height = 0;
    std::vector<QRgb> m_globalPalette;
    int m_loopCount = 0;
    bool m_end = false;

    QImage m_canvas;
    QImage m_previous;  // for "restore previous" disposal
    int m_pendingDisposal = 0;
    QRect m_pendingRect;
    std::vector<quint8> m_indices; // one frame's colour indexes
    std::vector<quint8> m_codes;   // one frame's LZW data, its blocks joined
};

} // namespace forms
