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

const Value *PropertyBag::find(const QString &key) const
{
    // Property names are ASCII: lowered and compared in place, without the
    // lowered copy. Anything else takes the general path.
    const QChar *k = key.constData();
    const qsizetype n = key.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (k[i].unicode() >= 0x80) {
            const qsizetype j = indexOf(normalizedKey(key));
            return j < 0 ? nullptr : &m_entries[j].second;
        }
    }
    for (const Entry &entry : m_entries) {
        if (entry.first.size() != n)
            continue;
        const QChar *stored = entry.first.constData();
        qsizetype i = 0;
        for (; i < n; ++i) {
            const char16_t c = k[i].unicode();
            if ((c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c) != stored[i].unicode())
                break;
        }
        if (i == n)
            return &entry.second;
    }
    return nullptr;
}

Value PropertyBag::ReadProperty(const QString &key, const Value &defaultValue) const
{
    const Value *v = find(key);
    return v ? *v : defaultValue;
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
    const Value *v = find(key);
    return v ? v->toInt16().value_or(defaultValue) : defaultValue;
}

qint32 PropertyBag::readInt32(const QString &key, qint32 defaultValue) const
{
    const Value *v = find(key);
    return v ? v->toInt32().value_or(defaultValue) : defaultValue;
}

bool PropertyBag::readBool(const QString &key, bool defaultValue) const
{
    const Value *v = find(key);
    return v ? v->toBool().value_or(defaultValue) : defaultValue;
}

QString PropertyBag::readText(const QString &key, const QString &defaultValue) const
{
    const Value *v = find(key);
    return v ? v->toText().value_or(defaultValue) : defaultValue;
}

FontValue PropertyBag::readFont(const QString &key, const FontValue &defaultValue) const
{
    const Value *v = find(key);
    return v ? v->toFont().value_or(defaultValue) : defaultValue;
}

PictureValue PropertyBag::readPicture(const QString &key, const PictureValue &defaultValue) const
{
    const Value *v = find(key);
    return v ? v->toPicture().value_or(defaultValue) : defaultValue;
}

bool PropertyBag::contains(const QString &key) const
{
    return find(key) != nullptr;
}

std::optional<Value> PropertyBag::value(const QString &key) const
{
    const Value *v = find(key);
    if (!v)
        return std::nullopt;
    return *v;
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
