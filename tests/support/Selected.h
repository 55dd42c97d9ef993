#pragma once
// A GDI object selected into a DC for one scope; on leaving it the DC's
// previous object is selected back and this one deleted.

#include <gdi/gdi.h>

class Selected
{
public:
    Selected(HDC dc, HGDIOBJ object) : m_dc(dc), m_object(object), m_old(SelectObject(dc, object)) {}
    ~Selected()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_object);
    }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;
    HGDIOBJ get() const { return m_object; }

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_old;
};
