#include <host/olecolor.h>

namespace host {

bool translateColor(OLE_COLOR color, COLORREF *rgb)
{
    const std::uint32_t kind = color & 0xFF000000u;
    COLORREF value;
    if (kind == 0) {
        value = color;
    } else if (kind == 0x80000000u) {
        const std::uint32_t index = color & 0x00FFFFFFu;
        if (index > COLOR_MENUBAR)
            return false;
        value = GetSysColor(int(index));
    } else {
        return false;
    }
    if (rgb)
        *rgb = value;
    return true;
}

QColor toQColor(OLE_COLOR color)
{
    COLORREF rgb = 0;
    if (!translateColor(color, &rgb))
        return QColor(0, 0, 0);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

} // namespace host
