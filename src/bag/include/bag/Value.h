#pragma once

#include <bag/FontValue.h>
#include <bag/PictureValue.h>

#include <QString>
#include <QtGlobal>

#include <optional>
#include <variant>

namespace bag {

// The variant type codes a property bag stores (OLE Automation codes).
enum class VarType : quint16 {
    Empty = 0,    // no value (an absent key read without a default)
    Int16 = 2,
    Int32 = 3,
    Text = 8,
    Object = 9,   // a font or picture object
    Boolean = 11, // 16 bits: True is -1, False is 0
    UnknownObject = 13, // also a font or picture object (the other object code)
};

// One property value. Integers convert to any width on reading, a Boolean is
// also readable from a 16-bit 0/-1, objects are a font or a picture and keep
// the type code (9 or 13) they were stored with.
class Value
{
public:
    Value() = default;
    Value(int v) : m_type(VarType::Int32), m_data(qint32(v)) {}
    Value(quint32 v) : m_type(VarType::Int32), m_data(qint32(v)) {} // colours like 0x8000000F
    Value(qint16 v) : m_type(VarType::Int16), m_data(v) {}
    Value(bool v) : m_type(VarType::Boolean), m_data(v) {}
    Value(const QString &v) : m_type(VarType::Text), m_data(v) {}
    Value(const char *utf8) : Value(QString::fromUtf8(utf8)) {}
    Value(const FontValue &v, VarType objectType = VarType::Object);
    Value(const PictureValue &v, VarType objectType = VarType::Object);

    static Value int16(qint16 v) { return Value(v); }
    static Value int32(qint32 v) { return Value(int(v)); }
    static Value boolean(bool v) { return Value(v); }

    VarType type() const { return m_type; }
    bool isEmpty() const { return m_type == VarType::Empty; }
    bool isInteger() const { return m_type == VarType::Int16 || m_type == VarType::Int32; }
    bool isObject() const { return m_type == VarType::Object || m_type == VarType::UnknownObject; }
    bool isFont() const { return std::holds_alternative<FontValue>(m_data); }
    bool isPicture() const { return std::holds_alternative<PictureValue>(m_data); }

    // Conversions; std::nullopt when the stored value does not convert
    // (a text asked as a number, a 32-bit value that does not fit 16 bits, ...).
    // A Boolean reads as -1/0; any integer reads as a Boolean (non-zero is True).
    std::optional<qint16> toInt16() const;
    std::optional<qint32> toInt32() const;
    std::optional<bool> toBool() const;
    std::optional<QString> toText() const;
    std::optional<FontValue> toFont() const;
    std::optional<PictureValue> toPicture() const;

    // Equality as used for write defaults: numbers (16-bit, 32-bit, Boolean as
    // -1/0) compare by value whatever their width; text compares exactly;
    // objects compare by content, whatever their type code.
    bool sameValue(const Value &other) const;
    // Exact equality: same type code and same content.
    friend bool operator==(const Value &a, const Value &b)
    {
        return a.m_type == b.m_type && a.m_data == b.m_data;
    }

    // The raw payload, for the stream writer and the listing.
    using Data = std::variant<std::monostate, qint16, qint32, bool, QString, FontValue, PictureValue>;
    const Data &data() const { return m_data; }

private:
    VarType m_type = VarType::Empty;
    Data m_data;
};

} // namespace bag
