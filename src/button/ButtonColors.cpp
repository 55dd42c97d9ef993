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
    if (foreFollows(m_colours.hoverColorLocks))
        HoverForeColor(host::UserControl::ForeColor());
    m_surface.delayDrawing = False;
    RedrawButton();
    reportChanged("cFore");
}

kxButtons_H::OleColor kxButtons_H::ForeColor() const
{
    return host::UserControl::ForeColor();
}

void kxButtons_H::BackColor(OleColor nColor)
{
    m_colours.backColor = OleColor(ConvertSysColor(nColor));
    if (backFollows(m_colours.hoverColorLocks))
        HoverBackColor(m_colours.gradientMode != GradientNone ? m_colours.gradientColor : nColor);
    RefreshCachedValues(QStringLiteral("BackColor"));
    Refresh();
    reportChanged("cBack");
}

kxButtons_H::OleColor kxButtons_H::BackColor() const
{
    return m_colours.backColor;
}

void kxButtons_H::GradientColor(OleColor nColor)
{
    if (backFollows(m_colours.hoverColorLocks) && m_colours.gradientMode > GradientNone)
        m_colours.hoverBackColor = nColor;
    m_colours.gradientColor = nColor;
    RefreshCachedValues(QStringLiteral("BackColor"));
    if (m_colours.gradientMode != GradientNone)
        Refresh();
    reportChanged("cGradient");
}

kxButtons_H::OleColor kxButtons_H::GradientColor() const
{
    return m_colours.gradientColor;
}

void kxButtons_H::GradientMode(std::int32_t nOpt)
{
    if (nOpt < GradientNone || nOpt > GradientFromBottom)
        return;
    m_colours.gradientMode = nOpt;
    if (backFollows(m_colours.hoverColorLocks)) {
        m_colours.hoverBackColor = nOpt == GradientNone ? m_colours.backColor : m_colours.gradientColor;
        RefreshCachedValues(QStringLiteral("BackColor"));
    }
    Refresh();
    reportChanged("Gradient");
}

std::int32_t kxButtons_H::GradientMode() const
{
    return m_colours.gradientMode;
}

void kxButtons_H::ResetDefaultColors(bool nDefault)
{
    if (!nDefault || !isDesignMode())
        return;
    DelayDrawing(true);
    m_colours.backColor = kSysButtonFace;
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
    m_colours.hoverColorLocks = nLock;
    if (nLock == 0 || nLock == 2) {
        m_colours.hoverBackColor = m_colours.gradientMode != GradientNone ? m_colours.gradientColor : m_colours.backColor;
        reportChanged("cBHover");
    }
    if (nLock == 0 || nLock == 1) {
        m_colours.hoverForeColor = host::UserControl::ForeColor();
        reportChanged("cFHover");
    }
    RefreshCachedValues(QStringLiteral("BackColor"));
    reportChanged("LockHover");
}

std::int32_t kxButtons_H::HoverColorLocks() const
{
    return m_colours.hoverColorLocks;
}

void kxButtons_H::HoverForeColor(OleColor nColor)
{
    if (nColor == m_colours.hoverForeColor)
        return;
    m_colours.hoverForeColor = nColor;
    reportChanged("cFHover");
    if (nColor != host::UserControl::ForeColor()) {
        if (m_colours.hoverColorLocks == 0)
            m_colours.hoverColorLocks = 2;
        else if (m_colours.hoverColorLocks == 1)
            m_colours.hoverColorLocks = 3;
    }
}

kxButtons_H::OleColor kxButtons_H::HoverForeColor() const
{
    return m_colours.hoverForeColor;
}

void kxButtons_H::HoverBackColor(OleColor nColor)
{
    if (nColor == m_colours.hoverBackColor)
        return;
    m_colours.hoverBackColor = nColor;
    if (nColor != m_colours.backColor) {
        if (m_colours.hoverColorLocks == 0)
            m_colours.hoverColorLocks = 1;
        else if (m_colours.hoverColorLocks == 2)
            m_colours.hoverColorLocks = 3;
    }
    RefreshCachedValues(QStringLiteral("BackColor"));
    reportChanged("cBHover");
}

kxButtons_H::OleColor kxButtons_H::HoverBackColor() const
{
    return m_colours.hoverBackColor;
}
