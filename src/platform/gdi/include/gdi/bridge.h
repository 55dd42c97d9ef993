#pragma once
// The GDI stand-in's own entry points, for the layers that put its pixels on
// screen (host) and load pictures (forms runtime). None of this exists in
// Win32.

#include <gdi/gdi.h>

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QString>

#include <functional>

namespace gdi {

// The kinds of object behind handles.
enum class Kind { DC, Bitmap, Pen, Brush, Font, Region, Icon };

// An RGB32 image sharing the bitmap's pixels (valid until the bitmap is
// deleted); a monochrome bitmap reads as black (0) and white (1) pixels.
// A null image for a bad handle.
QImage bitmapImage(HBITMAP bitmap);
// The bitmap selected into a memory DC (0 for a bad handle; the stock
// 1x1 bitmap's handle for a DC that holds no bitmap of its own).
HBITMAP currentBitmap(HDC dc);

// A new 32-bit bitmap (as CreateCompatibleBitmap(0, ...) makes) whose every
// pixel is `colour`, in one pass; 0 when the size is out of range.
HBITMAP createFilledBitmap(int width, int height, COLORREF colour);

QRegion toQRegion(HRGN region);

// Called after each call that writes pixels through this DC (the host
// repaints the widget whose surface the DC draws into). Pass an empty
// function to remove it; deleting the DC removes it too.
void setDrawNotifier(HDC dc, std::function<void()> notifier);

// Pictures from file data. The data is outside input: every read is
// bounds-checked, and a malformed file gives 0 and an error naming the
// fault and its byte offset.
//
// An icon keeps every image of the file; its own (natural) size is the image
// nearest wantW x wantH (0 x 0: nearest 32 x 32). CopyImage picks, for the
// size it is asked, the nearest image again before scaling.
HICON loadIcon(const QByteArray &icoData, QString *error, int wantW = 0, int wantH = 0);
// A .bmp (BITMAPINFOHEADER or later, 1/4/8/24/32 bpp, uncompressed or
// BI_BITFIELDS). The result owns addressable pixels: GetObjectA reports a
// non-null bmBits.
HBITMAP loadBitmap(const QByteArray &bmpData, QString *error);
// The same file read into a picture of its own (RGB32), with no handle made:
// safe on any thread. A null image and *error on a malformed file.
QImage decodeBitmapImage(const QByteArray &bmpData, QString *error);
// Width and height of the icon's own image; false for a bad handle.
bool iconSize(HICON icon, int *width, int *height);

// The resolution a DC draws at, as GetDeviceCaps(LOGPIXELSX / LOGPIXELSY)
// reports it: 96 x the scale of the screen its pixels go to.
void setPixelsPerInch(HDC dc, int pixelsPerInch);

// The size of the screen that GetDC(0) stands for, as GetDeviceCaps reports
// it (default 1920 x 1080).
void setScreenSize(int width, int height);

// Maps the classic Windows face names to the installed metric twins
// ("MS Sans Serif", "Arial" -> Liberation Sans; "Times New Roman" ->
// Liberation Serif; "Courier New" -> Liberation Mono). Done lazily by the
// first font call; calling it early is harmless. Needs a QGuiApplication.
void registerFontSubstitutions();

} // namespace gdi
