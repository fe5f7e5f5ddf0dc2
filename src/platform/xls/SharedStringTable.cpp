#include "platform/xls/SharedStringTable.h"

#include "platform/xls/RecordWriter.h"

#include <QHashFunctions>

namespace platform::xls {

namespace {
constexpr quint16 SstRecord = 0x00FC;
constexpr quint16 ContinueRecord = 0x003C;
constexpr quint16 ExtSstRecord = 0x00FF;
// The index records where every few strings start, in at most this many buckets.
constexpr quint32 MaxBuckets = 128;
constexpr quint32 MinBucketSize = 8;
} // namespace

quint32 SharedStringTable::add(const QString& text)
{
    if ((m_strings.size() + 1) * 2 > m_slots.size())
        grow();
    const auto hash = quint32(qHash(text));
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.position == 0) {
            m_strings.push_back(text);
            slot = { hash, quint32(m_strings.size()) };
            return slot.position - 1;
        }
        if (slot.hash == hash && m_strings[slot.position - 1] == text)
            return slot.position - 1;
    }
}

void SharedStringTable::grow()
{
    std::vector<Slot> grown(qMax<size_t>(1024, m_slots.size() * 2));
    const size_t mask = grown.size() - 1;
    for (const Slot& slot : m_slots) {
        if (slot.position == 0)
            continue;
        size_t i = slot.hash & mask;
        while (grown[i].position != 0)
            i = (i + 1) & mask;
        grown[i] = slot;
    }
    m_slots = std::move(grown);
}

void SharedStringTable::write(RecordWriter& out, quint32 references) const
{
    const quint32 unique = size();
    quint32 bucketSize = MinBucketSize;
    if (unique / bucketSize >= MaxBuckets)
        bucketSize = unique / MaxBuckets + 1;
    struct Bucket {
        quint32 streamOffset;
        quint16 recordOffset;
    };
    std::vector<Bucket> buckets;
    buckets.reserve((unique + bucketSize - 1) / bucketSize);

    out.begin(SstRecord);
    out.u32(references);
    out.u32(unique);
    const auto room = [&out] { return RecordWriter::MaxRecordData - out.recordLength(); };
    const auto nextRecord = [&out] {
        out.end();
        out.begin(ContinueRecord);
    };
    for (quint32 i = 0; i < unique; ++i) {
        const QString& text = m_strings[i];
        const qsizetype count = text.size();
        const bool compressed = RecordWriter::fitsInBytes(text.constData(), count);
        // The length and option byte stay with at least the first character.
        const qsizetype unit = compressed ? 1 : 2;
        if (room() < 3 + unit)
            nextRecord();
        if (i % bucketSize == 0)
            buckets.push_back({ quint32(out.size()), quint16(out.size() - out.recordStart()) });
        out.u16(quint16(count));
        out.u8(compressed ? 0 : 1);
        qsizetype written = 0;
        for (;;) {
            const qsizetype part = qMin(count - written, room() / unit);
            out.characters(text.constData() + written, part, compressed);
            written += part;
            if (written == count)
                break;
            // The rest continues in the next record, which repeats the option byte.
            nextRecord();
            out.u8(compressed ? 0 : 1);
        }
    }
    out.end();

    out.begin(ExtSstRecord);
    out.u16(quint16(bucketSize));
    for (const Bucket& bucket : buckets) {
        out.u32(bucket.streamOffset);
        out.u16(bucket.recordOffset);
        out.u16(0);
    }
    out.end();
}

} // namespace platform::xls
