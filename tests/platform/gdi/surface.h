#pragma once
// Test helper: a small memory surface that can save itself.

#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include <Selected.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QString>

// A memory DC with its own bitmap, cleared to `background`. Cleans up after
// itself, putting the DC's first bitmap back before deleting.
class Surface
{
public:
    Surface(int width, int height, COLORREF background = RGB(255, 255, 255), int bitsPerPixel = 32)
        : m_width(width), m_height(height)
    {
        dc = CreateCompatibleDC(0);
        bitmap = bitsPerPixel == 1 ? CreateBitmap(width, height, 1, 1, nullptr)
                                   : CreateCompatibleBitmap(0, width, height);
        m_old = SelectObject(dc, bitmap);
        fill(background);
    }
    ~Surface()
    {
        SelectObject(dc, m_old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    void fill(COLORREF colour)
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                SetPixel(dc, x, y, colour);
    }
    // Writes the surface into the build directory (for a failing test).
    QString save(const QString &name) const
    {
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name + QStringLiteral(".png"));
        gdi::bitmapImage(bitmap).save(path);
        return path;
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

    HDC dc = 0;
    HBITMAP bitmap = 0;

private:
    int m_width;
    int m_height;
    HGDIOBJ m_old = 0;
};
