#pragma once
// A small software GDI: the Win32 drawing calls the button control makes,
// with the Win32 names and signatures, drawn into 32-bit pixel buffers.
//
// Every object (DC, bitmap, pen, brush, font, region, icon) lives in one
// handle table; a handle is an integer, 0 meaning "none". Handles are never
// reused, so a stale handle, or a handle of the wrong kind, is simply not
// found and the call fails (returns 0 / FALSE / ERROR) without touching
// anything. Deleting an object that is still selected into a DC fails too.
//
// Coordinates are device pixels (MM_TEXT); rectangles are half-open: right
// and bottom are exclusive. Colours are COLORREFs, 0x00BBGGRR.
//
// Text calls (CreateFontIndirectA's metrics, DrawTextA) use Qt's font engine
// and therefore need a QGuiApplication to exist. Nothing here is thread-safe:
// call it from the UI thread only.

#include <cstdint>

using HGDIOBJ = std::intptr_t;
using HANDLE = HGDIOBJ;
using HDC = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HRGN = HGDIOBJ;
using HICON = HGDIOBJ;
using HWND = HGDIOBJ;

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using COLORREF = std::uint32_t;
using LPVOID = void *;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

struct RECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT
{
    LONG x;
    LONG y;
};

struct SIZE
{
    LONG cx;
    LONG cy;
};

inline constexpr int LF_FACESIZE = 32;

struct LOGFONTA
{
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

// bmBits is non-null only for bitmaps that own directly addressable pixels
// (pictures loaded from .bmp files); bitmaps made by CreateCompatibleBitmap,
// CreateBitmap and CopyImage report null, like device-dependent bitmaps.
struct BITMAP
{
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// GetIconInfo hands out new bitmaps: the caller deletes hbmMask and hbmColor.
struct ICONINFO
{
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF(BYTE(r)) | (COLORREF(BYTE(g)) << 8) | (COLORREF(BYTE(b)) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE(c >> 16); }

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr int GDI_ERROR = -1; // as a COLORREF: CLR_INVALID

// Raster operations (ROP3): bits 16-23 are the truth table over
// pattern (brush), source and destination. Any code works in BitBlt,
// StretchBlt and PatBlt; these are the named ones.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Pen styles. The dashed styles are accepted and drawn solid.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Background modes: anything but OPAQUE draws text transparently.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Mapping modes. Only MM_TEXT is supported; SetMapMode refuses the others.
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_LOMETRIC = 2;
inline constexpr int MM_HIMETRIC = 3;
inline constexpr int MM_LOENGLISH = 4;
inline constexpr int MM_HIENGLISH = 5;
inline constexpr int MM_TWIPS = 6;
inline constexpr int MM_ISOTROPIC = 7;
inline constexpr int MM_ANISOTROPIC = 8;

// Stretch modes (of the destination DC).
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4; // drawn like COLORONCOLOR
inline constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
inline constexpr int STRETCH_ORSCANS = WHITEONBLACK;
inline constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
inline constexpr int STRETCH_HALFTONE = HALFTONE;

// Regions.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// DrawTextA formats.
inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;   // with DT_SINGLELINE
inline constexpr UINT DT_BOTTOM = 0x8;    // with DT_SINGLELINE
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;

// Images.
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT LR_DEFAULTCOLOR = 0;
inline constexpr UINT DI_MASK = 1;
inline constexpr UINT DI_IMAGE = 2;
inline constexpr UINT DI_NORMAL = 3;

// Fonts.
inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE NONANTIALIASED_QUALITY = 3;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;

// Stock objects: never counted as live, never deleted (DeleteObject on one
// succeeds and does nothing).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// GetObjectType results.
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;

// System colour indices (GetSysColor).
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// ---- Device contexts and bitmaps ----
HDC CreateCompatibleDC(HDC hdc);   // a memory DC holding the stock 1x1 monochrome bitmap
// A bitmap in the format of the one selected into hdc (32 bpp for a screen
// DC or hdc = 0; monochrome for a memory DC still holding its stock bitmap).
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// Only 1 plane x 1 bit (a mask) or 1 x 32 are supported; lpBits, when given,
// holds rows of 16-bit-aligned scan lines for 1 bpp, 32-bit pixels for 32 bpp.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void *lpBits);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h); // returns the object it replaced; regions: the region type
BOOL DeleteObject(HGDIOBJ ho);
BOOL DeleteDC(HDC hdc);
HDC GetDC(HWND hWnd);                     // only hWnd = 0: a screen-compatible DC (32 bpp, draws nothing)
int ReleaseDC(HWND hWnd, HDC hDC);
int GetMapMode(HDC hdc);
int SetMapMode(HDC hdc, int iMode);
// Every DC answers for the screen (gdi::setScreenSize, 32 bpp); its pixels
// per inch are 96 unless its maker says otherwise (gdi::setPixelsPerInch; a
// compatible DC takes those of the DC it is made for).
int GetDeviceCaps(HDC hdc, int index);
HGDIOBJ GetStockObject(int i);
DWORD GetObjectType(HGDIOBJ h);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

// ---- Pens, brushes, colours ----
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
DWORD GetSysColor(int nIndex);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

// ---- Shapes and pixels ----
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
int FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr);
BOOL Polyline(HDC hdc, const POINT *apt, int cpt);
BOOL MoveToEx(HDC hdc, int x, int y, POINT *lppt);
BOOL LineTo(HDC hdc, int x, int y);
// Arcs run counter-clockwise from the start ray to the end ray; equal rays
// (for example all zero) draw the whole ellipse.
BOOL Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest,
                HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);

// ---- Regions ----
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT *lprect);
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2);
HRGN CreatePolygonRgn(const POINT *pptl, int cPoint, int iMode);
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
int OffsetRgn(HRGN hrgn, int x, int y);
int GetRgnBox(HRGN hrgn, RECT *lprc);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);
int SelectClipRgn(HDC hdc, HRGN hrgn); // copies hrgn; 0 removes the clip
int GetClipRgn(HDC hdc, HRGN hrgn);    // 1 and a copy in hrgn, 0 when there is no clip, -1 on error

// ---- Text and fonts ----
HFONT CreateFontIndirectA(const LOGFONTA *lplf);
// lpchText is 8-bit text in Windows-1252; cchText -1 means NUL-terminated.
int DrawTextA(HDC hdc, const char *lpchText, int cchText, RECT *lprc, UINT format);
BOOL GetTextExtentPoint32A(HDC hdc, const char *lpString, int c, SIZE *psizl);
BOOL OffsetRect(RECT *lprc, int dx, int dy);
BOOL SetRect(RECT *lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL InflateRect(RECT *lprc, int dx, int dy);
BOOL IsRectEmpty(const RECT *lprc);

// ---- Images ----
int GetObjectA(HGDIOBJ h, int c, LPVOID pv); // a BITMAP or a LOGFONTA; 0 for anything else
BOOL GetIconInfo(HICON hIcon, ICONINFO *piconinfo);
HGDIOBJ CopyImage(HGDIOBJ h, UINT type, int cx, int cy, UINT flags);
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);
BOOL DestroyIcon(HICON hIcon);
