#include <bag/Value.h>

#include <limits>

namespace bag {

namespace {

VarType objectCode(VarType requested)
{
    Q_ASSERT_X(requested == VarType::Object || requested == VarType::UnknownObject, "Value",
               "an object value is stored as type 9 or 13");
    return requested == VarType::UnknownObject ? VarType::UnknownObject : VarType::Object;
}

// Numbers and Booleans as one signed value (True is -1).
std::optional<qint64> numeric(const Value::Data &d)
{
    if (auto p = std::get_if<qint16>(&d))
        return *p;
    if (auto p = std::get_if<qint32>(&d))
        return *p;
    if (auto p = std::get_if<bool>(&d))
        return *p ? -1 : 0;
    return std::nullopt;
}

} // namespace

Value::Value(const FontValue &v, VarType objectType)
    : m_type(objectCode(objectType)), m_data(v)
{
}

Value::Value(const PictureValue &v, VarType objectType)
    : m_type(objectCode(objectType)), m_data(v)
{
}

std::optional<qint16> Value::toInt16() const
{
    const auto n = numeric(m_data);
    if (!n || *n < std::numeric_limits<qint16>::min() || *n > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(*n);
}

std::optional<qint32> Value::toInt32() const
{
    const auto n = numeric(m_data);
    if (!n)
        return std::nullopt;
    return qint32(*n);
}

std::optional<bool> Value::toBool() const
{
    const auto n = numeric(m_data);
    if (!n)
        return std::nullopt;
    return *n != 0;
}

std::optional<QString> Value::toText() const
{
    if (auto p = std::get_if<QString>(&m_data))
        return *p;
    return std::nullopt;
}

std::optional<FontValue> Value::toFont() const
{
    if (auto p = std::get_if<FontValue>(&m_data))
        return *p;
    return std::nullopt;
}

std::optional<PictureValue> Value::toPicture() const
{
    if (auto p = std::get_if<PictureValue>(&m_data))
        return *p;
    return std::nullopt;
}

bool Value::sameValue(const Value &other) const
{
    const auto a = numeric(m_data);
    const auto b = numeric(other.m_data);
    if (a || b)
        return a && b && *a == *b;
    if (isObject() && other.isObject())
        return m_data == other.m_data;
    return m_type == other.m_type && m_data == other.m_data;
}

} // namespace bag
