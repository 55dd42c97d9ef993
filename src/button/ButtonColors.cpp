// Colour members and the hover-colour locks.
//
// Each hover colour follows its base colour (hover fore <- ForeColor, hover
// back <- the face: BackColor, or GradientColor while a gradient is on) until
// a hover setter gives it a value of its own, which raises its lock bit
// (1 back, 2 fore). Only HoverColorLocks lowers a lock.

#include <button/kxButtons_H.h>

namespace {

bool backFollows(std::int32_t locks)
{
    return locks == 0 || locks == 2;
}

bool foreFollows(std::int32_t locks)
{
    return locks == 0 || locks == 1;
}

} // namespace

void kxButtons_H::ForeColor(OleColor nColor)
{
    if (nColor == host::UserControl::ForeColor())
        return;
    host::UserControl::setForeColor(nColor);
    if (foreFollows(m_hoverColorLocks))
        HoverForeColor(host::UserControl::ForeColor());
    m_delayDrawing = False;
    RedrawButton();
    reportChanged("cFore");
}

kxButtons_H::OleColor kxButtons_H::ForeColor() const
{
    return host::UserControl::ForeColor();
}

void kxButtons_H::BackColor(OleColor nColor)
{
    m_backColor = OleColor(ConvertSysColor(nColor));
    if (backFollows(m_hoverColorLocks))
        HoverBackColor(m_gradientMode != 0 ? m_gradientColor : nColor);
    RefreshCachedValues(QStringLiteral("BackColor"));
    Refresh();
    reportChanged("cBack");
}

kxButtons_H::OleColor kxButtons_H::BackColor() const
{
    return m_backColor;
}

void kxButtons_H::GradientColor(OleColor nColor)
{
    if (backFollows(m_hoverColorLocks) && m_gradientMode > 0)
        m_hoverBackColor = nColor;
    m_gradientColor = nColor;
    RefreshCachedValues(QStringLiteral("BackColor"));
    if (m_gradientMode != 0)
        Refresh();
    reportChanged("cGradient");
}

kxButtons_H::OleColor kxButtons_H::GradientColor() const
{
    return m_gradientColor;
}

void kxButtons_H::GradientMode(std::int32_t nOpt)
{
    if (nOpt < 0 || nOpt > 4)
        return;
    m_gradientMode = nOpt;
    if (backFollows(m_hoverColorLocks)) {
        m_hoverBackColor = nOpt == 0 ? m_backColor : m_gradientColor;
        RefreshCachedValues(QStringLiteral("BackColor"));
    }
    Refresh();
    reportChanged("Gradient");
}

std::int32_t kxButtons_H::GradientMode() const
{
    return m_gradientMode;
}

void kxButtons_H::ResetDefaultColors(bool nDefault)
{
    if (!nDefault || !isDesignMode())
        return;
    DelayDrawing(true);
    m_backColor = kSysButtonFace;
    ForeColor(kSysButtonText);
    GradientColor(kSysButtonFace);
    GradientMode(0);
    HoverColorLocks(0);
    RefreshCachedValues(QStringLiteral("BackColor"));
    DelayDrawing(false);
    reportChanged("cGradient");
    reportChanged("cBack");
}

bool kxButtons_H::ResetDefaultColors() const
{
    return false;
}

void kxButtons_H::HoverColorLocks(std::int32_t nLock)
{
    m_hoverColorLocks = nLock;
    if (nLock == 0 || nLock == 2) {
        m_hoverBackColor = m_gradientMode != 0 ? m_gradientColor : m_backColor;
        reportChanged("cBHover");
    }
    if (nLock == 0 || nLock == 1) {
        m_hoverForeColor = host::UserControl::ForeColor();
        reportChanged("cFHover");
    }
    RefreshCachedValues(QStringLiteral("BackColor"));
    reportChanged("LockHover");
}

std::int32_t kxButtons_H::HoverColorLocks() const
{
    return m_hoverColorLocks;
}

void kxButtons_H::HoverForeColor(OleColor nColor)
{
    if (nColor == m_hoverForeColor)
        return;
    m_hoverForeColor = nColor;
    reportChanged("cFHover");
    if (nColor != host::UserControl::ForeColor()) {
        if (m_hoverColorLocks == 0)
            m_hoverColorLocks = 2;
        else if (m_hoverColorLocks == 1)
            m_hoverColorLocks = 3;
    }
}

kxButtons_H::OleColor kxButtons_H::HoverForeColor() const
{
    return m_hoverForeColor;
}

void kxButtons_H::HoverBackColor(OleColor nColor)
{
    if (nColor == m_hoverBackColor)
        return;
    m_hoverBackColor = nColor;
    if (nColor != m_backColor) {
        if (m_hoverColorLocks == 0)
            m_hoverColorLocks = 1;
        else if (m_hoverColorLocks == 2)
            m_hoverColorLocks = 3;
    }
    RefreshCachedValues(QStringLiteral("BackColor"));
    reportChanged("cBHover");
}

kxButtons_H::OleColor kxButtons_H::HoverBackColor() const
{
    return m_hoverBackColor;
}
