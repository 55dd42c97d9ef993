#pragma once

#include <bag/Value.h>

#include <QList>
#include <QString>

#include <utility>

namespace bag {

// A control's persisted properties: keys compared without regard to case and
// held in lower case, values in the order they were first stored (a stream
// read keeps the stream's order). Written back to a stream with writeStream().
class PropertyBag
{
public:
    using Entry = std::pair<QString, Value>; // (lower-case key, value)

    // The host's two operations.
    // Absent key: the default. A stored value is returned as stored; use the
    // typed readers below to convert with a fallback to the default.
    Value ReadProperty(const QString &key, const Value &defaultValue = Value()) const;
    // A value equal to its default is not stored (and removes an older value
    // of that key, so reading back gives the default); any other value
    // replaces the old one.
    void WriteProperty(const QString &key, const Value &value, const Value &defaultValue = Value());

    // Typed reads: the stored value converted to the width asked for; the
    // default when the key is absent or its value does not convert.
    qint16 readInt16(const QString &key, qint16 defaultValue) const;
    qint32 readInt32(const QString &key, qint32 defaultValue) const;
    bool readBool(const QString &key, bool defaultValue) const;
    QString readText(const QString &key, const QString &defaultValue) const;
    FontValue readFont(const QString &key, const FontValue &defaultValue) const;
    PictureValue readPicture(const QString &key, const PictureValue &defaultValue = {}) const;

    // Plain store access, no defaults involved.
    bool contains(const QString &key) const;
    std::optional<Value> value(const QString &key) const;
    void setValue(const QString &key, const Value &value);
    bool remove(const QString &key);
    void clear() { m_entries.clear(); }

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QList<Entry> &entries() const { return m_entries; }

    static QString normalizedKey(const QString &key)
    {
        // Keys are nearly always stored lowered already: share them as they are.
        for (const QChar c : key) {
            if (c.unicode() >= 0x80 || (c.unicode() >= u'A' && c.unicode() <= u'Z'))
                return key.toLower();
        }
        return key;
    }

    friend bool operator==(const PropertyBag &, const PropertyBag &) = default;

private:
    qsizetype indexOf(const QString &lowerKey) const;
    // The stored value of `key` in any case, or nullptr.
    const Value *find(const QString &key) const;

    QList<Entry> m_entries;
};

} // namespace bag
