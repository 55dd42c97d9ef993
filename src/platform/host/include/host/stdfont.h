#pragma once
// StdFont: the forms runtime's font object. It is shared and mutable: an
// object assignment (Set x.Font = f) shares the same StdFont, so a change made
// through one holder (the control setting Bold on its host's font) is seen by
// every other. Hold it as StdFontPtr.

#include <QFont>
#include <QObject>
#include <QString>

#include <memory>

namespace host {

class StdFont : public QObject
{
    Q_OBJECT
public:
    StdFont();
    // Name, size in points, and the style bits of a QFont (weight is mapped
    // to the 100-900 scale).
    explicit StdFont(const QFont &font);
    StdFont(const QString &name, double size);

    QString Name() const { return m_name; }
    void setName(const QString &name);
    // Points. A size the font system cannot use (<= 0, not finite, > 2160)
    // is refused (returns false) and the old size stays.
    double Size() const { return m_size; }
    bool setSize(double points);
    // Bold and Weight are one setting: Bold is Weight > 550 (as 700/400 is
    // bold/regular); setting Bold sets Weight to 700 or 400.
    bool Bold() const { return m_weight > 550; }
    void setBold(bool bold);
    short Weight() const { return m_weight; }
    void setWeight(short weight); // clamped to 0..1000
    bool Italic() const { return m_italic; }
    void setItalic(bool italic);
    bool Underline() const { return m_underline; }
    void setUnderline(bool underline);
    bool Strikethrough() const { return m_strikethrough; }
    void setStrikethrough(bool strikethrough);
    short Charset() const { return m_charset; }
    void setCharset(short charset);

    // A QFont with these settings (point size, weight, styles).
    QFont toQFont() const;
    // A new, unshared object with the same settings.
    std::shared_ptr<StdFont> clone() const;
    bool sameAs(const StdFont &other) const;

signals:
    // Emitted after any setting changes; the host redraws with it.
    void changed();

private:
    QString m_name = QStringLiteral("MS Sans Serif");
    double m_size = 8.25;
    short m_weight = 400;
    short m_charset = 0;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikethrough = false;
};

using StdFontPtr = std::shared_ptr<StdFont>;

} // namespace host
