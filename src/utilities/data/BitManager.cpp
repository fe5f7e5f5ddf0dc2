#include "utilities/data/BitManager.h"

#include "platform/Exception.h"

namespace {

constexpr quint32 WordBits = 64;

} // namespace

BitManager::BitManager(quint32 capacity)
    : m_bitVector((quint64(capacity) + WordBits - 1) / WordBits, 0)
    , m_vectorBits(capacity)
    , m_capacity(capacity)
{
}

void BitManager::checkIndex(quint32 bit, const char* operation) const
{
    if (bit >= m_vectorBits)
        throw platform::Exception(platform::Exception::RangeError,
            QStringLiteral("*** -[BitManager %1]: bit %2 beyond bounds [0 .. %3)")
                .arg(QLatin1String(operation))
                .arg(bit)
                .arg(m_vectorBits));
}

void BitManager::setBit(quint32 bit)
{
    checkIndex(bit, "setBit");
    m_bitVector[bit / WordBits] |= quint64(1) << (bit % WordBits);
}

void BitManager::resetBit(quint32 bit)
{
    checkIndex(bit, "resetBit");
    m_bitVector[bit / WordBits] &= ~(quint64(1) << (bit % WordBits));
}

bool BitManager::getBit(quint32 bit) const
{
    if (bit >= m_vectorBits)
        return false;
    return (m_bitVector[bit / WordBits] >> (bit % WordBits)) & 1;
}

void BitManager::setBit(const quint32* bit, qint64 length)
{
    for (qint64 i = 0; bit && i < length; ++i)
        setBit(bit[i]);
}

void BitManager::resetBit(const quint32* bit, qint64 length)
{
    for (qint64 i = 0; bit && i < length; ++i)
        resetBit(bit[i]);
}

BitManager BitManager::createButtonVector(const quint32* bits, qint64 length)
{
    BitManager vector(ButtonVectorCapacity);
    vector.setBit(bits, length);
    return vector;
}

BitManager BitManager::createButtonVector(std::initializer_list<quint32> bits)
{
    return createButtonVector(bits.begin(), qint64(bits.size()));
}
