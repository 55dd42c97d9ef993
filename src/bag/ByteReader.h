#pragma once

#include <QByteArrayView>
#include <QtEndian>
#include <QtGlobal>

namespace bag::detail {

// Bounds-checked little-endian reads from outside data. Every read states the
// absolute offset it wants; a read that does not fit returns false and
// leaves the output untouched.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    qint64 size() const { return m_data.size(); }
    bool has(qint64 offset, qint64 count) const
    {
        return offset >= 0 && count >= 0 && offset <= size() && count <= size() - offset;
    }
    bool u8(qint64 offset, quint8 *out) const
    {
        if (!has(offset, 1))
            return false;
        *out = quint8(m_data[offset]);
        return true;
    }
    bool u16(qint64 offset, quint16 *out) const
    {
        if (!has(offset, 2))
            return false;
        *out = qFromLittleEndian<quint16>(m_data.data() + offset);
        return true;
    }
    bool u32(qint64 offset, quint32 *out) const
    {
        if (!has(offset, 4))
            return false;
        *out = qFromLittleEndian<quint32>(m_data.data() + offset);
        return true;
    }
    QByteArrayView bytes(qint64 offset, qint64 count) const
    {
        Q_ASSERT_X(has(offset, count), "ByteReader::bytes", "caller checks has() first");
        return m_data.sliced(offset, count);
    }

private:
    QByteArrayView m_data;
};

} // namespace bag::detail
