#include <host/stdfont.h>

#include <cmath>

namespace host {

StdFont::StdFont() = default;

StdFont::StdFont(const QFont &font)
    : m_name(font.family())
    , m_weight(short(font.weight()))
    , m_italic(font.italic())
    , m_underline(font.underline())
    , m_strikethrough(font.strikeOut())
{
    if (font.pointSizeF() > 0)
        m_size = font.pointSizeF();
    else if (font.pixelSize() > 0)
        m_size = font.pixelSize() * 72.0 / 96.0;
}

StdFont::StdFont(const QString &name, double size)
    : m_name(name)
{
    setSize(size);
}

void StdFont::setName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    emit changed();
}

bool StdFont::setSize(double points)
{
    if (!std::isfinite(points) || points <= 0.0 || points > 2160.0)
        return false;
    if (points != m_size) {
        m_size = points;
        emit changed();
    }
    return true;
}

void StdFont::setBold(bool bold)
{
    setWeight(bold ? 700 : 400);
}

void StdFont::setWeight(short weight)
{
    weight = short(qBound(0, int(weight), 1000));
    if (weight == m_weight)
        return;
    m_weight = weight;
    emit changed();
}

void StdFont::setItalic(bool italic)
{
    if (italic == m_italic)
        return;
    m_italic = italic;
    emit changed();
}

void StdFont::setUnderline(bool underline)
{
    if (underline == m_underline)
        return;
    m_underline = underline;
    emit changed();
}

void StdFont::setStrikethrough(bool strikethrough)
{
    if (strikethrough == m_strikethrough)
        return;
    m_strikethrough = strikethrough;
    emit changed();
}

void StdFont::setCharset(short charset)
{
    if (charset == m_charset)
        return;
    m_charset = charset;
    emit changed();
}

QFont StdFont::toQFont() const
{
    QFont font(m_name);
    font.setPointSizeF(m_size);
    // Qt's weights use the same 100-900 scale; 0 means "don't care".
    font.setWeight(QFont::Weight(m_weight == 0 ? 400 : qBound<int>(1, m_weight, 1000)));
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    font.setStrikeOut(m_strikethrough);
    return font;
}

std::shared_ptr<StdFont> StdFont::clone() const
{
    auto copy = std::make_shared<StdFont>(m_name, m_size);
    copy->m_weight = m_weight;
    copy->m_charset = m_charset;
    copy->m_italic = m_italic;
    copy->m_underline = m_underline;
    copy->m_strikethrough = m_strikethrough;
    return copy;
}

bool StdFont::sameAs(const StdFont &other) const
{
    return m_name.compare(other.m_name, Qt::CaseInsensitive) == 0 && m_size == other.m_size
        && m_weight == other.m_weight && m_charset == other.m_charset && m_italic == other.m_italic
        && m_underline == other.m_underline && m_strikethrough == other.m_strikethrough;
}

} // namespace host
