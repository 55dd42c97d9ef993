// The GDI stand-in's bitmaps and regions as Qt's images and regions.

#include "handles.h"

#include <QRect>

#include <vector>

namespace gdi {

QImage bitmapImage(HBITMAP bitmap)
{
    Bitmap *bm = bitmapFor(bitmap);
    if (!bm || bm->pixels.empty())
        return {};
    return QImage(reinterpret_cast<uchar *>(bm->pixels.data()), bm->width, bm->height, bm->width * 4,
                  QImage::Format_RGB32);
}

QRegion toQRegion(HRGN region)
{
    RegionObject *r = regionFor(region);
    if (!r)
        return {};
    // Our bands are already in the y-x order QRegion keeps.
    const Region &rg = r->region;
    const int n = rg.rectCount();
    if (n == 0)
        return {};
    if (n == 1) {
        const Region::Band &b = rg.bands().front();
        const Span s = rg.spans(b)[0];
        return QRegion(s.x1, b.top, s.x2 - s.x1, b.bottom - b.top);
    }
    constexpr int kLocal = 32;
    QRect local[kLocal];
    std::vector<QRect> heap;
    QRect *rects = local;
    if (n > kLocal) {
        heap.resize(size_t(n));
        rects = heap.data();
    }
    int i = 0;
    for (const Region::Band &b : rg.bands())
        for (const Span &s : rg.spans(b))
            rects[i++] = QRect(s.x1, b.top, s.x2 - s.x1, b.bottom - b.top);
    QRegion q;
    q.setRects(rects, n);
    return q;
}

} // namespace gdi
