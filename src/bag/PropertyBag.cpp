#include <bag/PropertyBag.h>

namespace bag {

qsizetype PropertyBag::indexOf(const QString &lowerKey) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first == lowerKey)
            return i;
    }
    return -1;
}

Value PropertyBag::ReadProperty(const QString &key, const Value &defaultValue) const
{
    const qsizetype i = indexOf(normalizedKey(key));
    return i < 0 ? defaultValue : m_entries[i].second;
}

void PropertyBag::WriteProperty(const QString &key, const Value &value, const Value &defaultValue)
{
    if (!defaultValue.isEmpty() && value.sameValue(defaultValue)) {
        remove(key);
        return;
    }
    setValue(key, value);
}

qint16 PropertyBag::readInt16(const QString &key, qint16 defaultValue) const
{
    const auto v = value(key);
    return v ? v->toInt16().value_or(defaultValue) : defaultValue;
}

qint32 PropertyBag::readInt32(const QString &key, qint32 defaultValue) const
{
    const auto v = value(key);
    return v ? v->toInt32().value_or(defaultValue) : defaultValue;
}

bool PropertyBag::readBool(const QString &key, bool defaultValue) const
{
    const auto v = value(key);
    return v ? v->toBool().value_or(defaultValue) : defaultValue;
}

QString PropertyBag::readText(const QString &key, const QString &defaultValue) const
{
    const auto v = value(key);
    return v ? v->toText().value_or(defaultValue) : defaultValue;
}

FontValue PropertyBag::readFont(const QString &key, const FontValue &defaultValue) const
{
    const auto v = value(key);
    return v ? v->toFont().value_or(defaultValue) : defaultValue;
}

PictureValue PropertyBag::readPicture(const QString &key, const PictureValue &defaultValue) const
{
    const auto v = value(key);
    return v ? v->toPicture().value_or(defaultValue) : defaultValue;
}

bool PropertyBag::contains(const QString &key) const
{
    return indexOf(normalizedKey(key)) >= 0;
}

std::optional<Value> PropertyBag::value(const QString &key) const
{
    const qsizetype i = indexOf(normalizedKey(key));
    if (i < 0)
        return std::nullopt;
    return m_entries[i].second;
}

void PropertyBag::setValue(const QString &key, const Value &value)
{
    Q_ASSERT_X(!key.isEmpty(), "PropertyBag::setValue", "a property needs a key");
    Q_ASSERT_X(!value.isEmpty(), "PropertyBag::setValue", "an empty value cannot be stored");
    const QString lower = normalizedKey(key);
    const qsizetype i = indexOf(lower);
    if (i >= 0)
        m_entries[i].second = value;
    else
        m_entries.append({lower, value});
}

bool PropertyBag::remove(const QString &key)
{
    const qsizetype i = indexOf(normalizedKey(key));
    if (i < 0)
        return false;
    m_entries.removeAt(i);
    return true;
}

} // namespace bag
