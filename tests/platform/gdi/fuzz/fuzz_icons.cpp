// libFuzzer target for the picture readers: .ico data (and .bmp data when
// the input starts with "BM"). A loaded picture is also drawn, resized and
// taken apart, and every object must be gone afterwards.

#include <gdi/bridge.h>
#include <gdi/gdi.h>
#include <gdi/testsupport/GdiHooks.h>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    static HDC dc = 0;
    static HBITMAP surface = 0;
    if (!dc) {
        dc = CreateCompatibleDC(0);
        surface = CreateCompatibleBitmap(0, 16, 16);
        SelectObject(dc, surface);
    }
    const int baseline = gdi::liveObjectsTotal();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        HBITMAP bm = gdi::loadBitmap(bytes, &error);
        if (bm) {
            HBITMAP copy = HBITMAP(CopyImage(bm, IMAGE_BITMAP, 5, 3, 0));
            DeleteObject(copy);
            DeleteObject(bm);
        } else if (error.isEmpty()) {
            std::abort(); // a failure must say why
        }
    } else {
        HICON icon = gdi::loadIcon(bytes, &error, 16, 16);
        if (icon) {
            DrawIconEx(dc, 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
            HICON copy = HICON(CopyImage(icon, IMAGE_ICON, 7, 9, 0));
            DrawIconEx(dc, 2, 2, copy, 0, 0, 0, 0, DI_NORMAL);
            ICONINFO info{};
            if (GetIconInfo(copy, &info)) {
                DeleteObject(info.hbmMask);
                DeleteObject(info.hbmColor);
            }
            DestroyIcon(copy);
            DestroyIcon(icon);
        } else if (error.isEmpty()) {
            std::abort();
        }
    }
    if (gdi::liveObjectsTotal() != baseline)
        std::abort(); // something leaked
    return 0;
}
