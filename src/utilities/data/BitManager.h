#pragma once

#include <QtGlobal>

#include <initializer_list>
#include <vector>

// A fixed-capacity set of bits; a screen's tool-bar buttons are described as the set of
// their button numbers.
class BitManager {
public:
    // Every bit starts clear; valid indexes are 0 to capacity - 1.
    explicit BitManager(quint32 capacity);

    // Setting or clearing a bit beyond the vector raises NSRangeException.
    void setBit(quint32 bit);
    void resetBit(quint32 bit);
    // A bit beyond the vector reads as clear.
    bool getBit(quint32 bit) const;
    // Sets or clears each listed bit in order; nothing for a length below 1.
    void setBit(const quint32* bit, qint64 length);
    void resetBit(const quint32* bit, qint64 length);

    quint32 capacity() const { return m_capacity; }
    // Changes the recorded capacity only; the vector keeps its size.
    void setCapacity(quint32 capacity) { m_capacity = capacity; }

    // A tool-bar button set: capacity 45 (button numbers 1 to 44) with the listed bits set.
    static BitManager createButtonVector(const quint32* bits, qint64 length);
    static BitManager createButtonVector(std::initializer_list<quint32> bits);

    static constexpr quint32 ButtonVectorCapacity = 45;

private:
    void checkIndex(quint32 bit, const char* operation) const;

    std::vector<quint64> m_bitVector;
    quint32 m_vectorBits;
    quint32 m_capacity;
};
