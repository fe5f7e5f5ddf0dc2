#include "platform/xls/CompoundFile.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace platform::xls {

namespace {
constexpr qsizetype SectorSize = 512;
constexpr qsizetype MiniSectorSize = 64;
constexpr qsizetype MiniStreamCutoff = 4096;
constexpr qsizetype EntriesPerSector = SectorSize / 4;
constexpr qsizetype HeaderDifatEntries = 109;
constexpr qsizetype DirectoryEntrySize = 128;

constexpr quint32 FreeSector = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSector = 0xFFFFFFFD;
constexpr quint32 DifatSector = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;

constexpr quint8 StreamObject = 2;
constexpr quint8 RootObject = 5;
constexpr quint8 Red = 0;
constexpr quint8 Black = 1;

qsizetype sectorsFor(qsizetype bytes, qsizetype unit)
{
    return (bytes + unit - 1) / unit;
}

// Directory names compare shorter first, then by upper-case characters.
bool nameLess(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

struct Entry {
    QString name;
    quint8 type = 0;
    quint8 color = Black;
    quint32 left = NoStream;
    quint32 right = NoStream;
    quint32 child = NoStream;
    quint32 start = 0;
    quint32 size = 0;
};

// Links the entries (given sorted) into a balanced red-black tree and returns its root:
// every level is full but perhaps the last, whose nodes are red when it is not full.
quint32 linkTree(std::vector<Entry>& entries, const std::vector<quint32>& sorted, qsizetype lo,
    qsizetype hi, int depth, int lastDepth, bool perfect)
{
    if (lo >= hi)
        return NoStream;
    const qsizetype mid = (lo + hi) / 2;
    Entry& node = entries[sorted[size_t(mid)]];
    node.color = depth == lastDepth && !perfect ? Red : Black;
    node.left = linkTree(entries, sorted, lo, mid, depth + 1, lastDepth, perfect);
    node.right = linkTree(entries, sorted, mid + 1, hi, depth + 1, lastDepth, perfect);
    return sorted[size_t(mid)];
}

void putEntry(char* out, const Entry& entry)
{
    std::fill(out, out + DirectoryEntrySize, 0);
    const qsizetype length = qMin<qsizetype>(entry.name.size(), 31);
    for (qsizetype i = 0; i < length; ++i)
        qToLittleEndian<quint16>(entry.name.at(i).unicode(), out + 2 * i);
    qToLittleEndian<quint16>(entry.type ? quint16((length + 1) * 2) : 0, out + 64);
    out[66] = char(entry.type);
    out[67] = char(entry.type ? entry.color : 0);
    qToLittleEndian<quint32>(entry.left, out + 68);
    qToLittleEndian<quint32>(entry.right, out + 72);
    qToLittleEndian<quint32>(entry.child, out + 76);
    qToLittleEndian<quint32>(entry.start, out + 116);
    qToLittleEndian<quint32>(entry.size, out + 120);
}

QByteArray sectorTable(const std::vector<quint32>& table)
{
    QByteArray bytes(qsizetype(table.size()) * 4, Qt::Uninitialized);
    for (size_t i = 0; i < table.size(); ++i)
        qToLittleEndian<quint32>(table[i], bytes.data() + 4 * i);
    return bytes;
}

void chain(std::vector<quint32>& table, qsizetype first, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        table[size_t(first + i)] = i + 1 < count ? quint32(first + i + 1) : EndOfChain;
}
} // namespace

void CompoundFile::addStream(const QString& name, QByteArray data)
{
    m_streams.push_back({ name, std::move(data) });
}

bool CompoundFile::write(QIODevice& out) const
{
    std::vector<Entry> entries(1 + m_streams.size());
    entries[0].name = QStringLiteral("Root Entry");
    entries[0].type = RootObject;

    // Small streams go into the mini stream, one run of 64-byte mini sectors each.
    QByteArray miniStream;
    std::vector<quint32> miniFat;
    qsizetype bigSectors = 0;
    for (size_t i = 0; i < m_streams.size(); ++i) {
        const QByteArray& data = m_streams[i].data;
        Entry& entry = entries[i + 1];
        entry.name = m_streams[i].name;
        entry.type = StreamObject;
        entry.size = quint32(data.size());
        if (data.size() >= MiniStreamCutoff) {
            bigSectors += sectorsFor(data.size(), SectorSize);
        } else if (data.isEmpty()) {
            entry.start = EndOfChain;
        } else {
            const qsizetype count = sectorsFor(data.size(), MiniSectorSize);
            entry.start = quint32(miniFat.size());
            miniFat.resize(miniFat.size() + size_t(count));
            chain(miniFat, entry.start, count);
            miniStream.append(data);
            miniStream.append(QByteArray(count * MiniSectorSize - data.size(), '\0'));
        }
    }
    const qsizetype miniStreamSectors = sectorsFor(miniStream.size(), SectorSize);
    const qsizetype miniFatSectors = sectorsFor(qsizetype(miniFat.size()), EntriesPerSector);
    miniFat.resize(size_t(miniFatSectors * EntriesPerSector), FreeSector);
    const qsizetype directorySectors
        = sectorsFor(qsizetype(entries.size()) * DirectoryEntrySize, SectorSize);

    // The allocation table covers every sector, its own and the DIFAT's included.
    const qsizetype dataSectors
        = bigSectors + miniStreamSectors + miniFatSectors + directorySectors;
    qsizetype fatSectors = 0;
    qsizetype difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > HeaderDifatEntries
            ? sectorsFor(fatSectors - HeaderDifatEntries, EntriesPerSector - 1)
            : 0;
        const qsizetype needed
            = sectorsFor(dataSectors + fatSectors + difatSectors, EntriesPerSector);
        if (needed <= fatSectors)
            break;
        fatSectors = needed;
    }

    std::vector<quint32> fat(size_t(fatSectors * EntriesPerSector), FreeSector);
    qsizetype next = 0;
    for (size_t i = 0; i < m_streams.size(); ++i) {
        if (m_streams[i].data.size() < MiniStreamCutoff)
            continue;
        const qsizetype count = sectorsFor(m_streams[i].data.size(), SectorSize);
        entries[i + 1].start = quint32(next);
        chain(fat, next, count);
        next += count;
    }
    entries[0].start = miniStreamSectors ? quint32(next) : EndOfChain;
    entries[0].size = quint32(miniStream.size());
    chain(fat, next, miniStreamSectors);
    next += miniStreamSectors;
    const qsizetype miniFatStart = next;
    chain(fat, next, miniFatSectors);
    next += miniFatSectors;
    const qsizetype directoryStart = next;
    chain(fat, next, directorySectors);
    next += directorySectors;
    const qsizetype fatStart = next;
    for (qsizetype i = 0; i < fatSectors; ++i)
        fat[size_t(next++)] = FatSector;
    const qsizetype difatStart = next;
    for (qsizetype i = 0; i < difatSectors; ++i)
        fat[size_t(next++)] = DifatSector;

    std::vector<quint32> sorted;
    for (quint32 i = 1; i < entries.size(); ++i)
        sorted.push_back(i);
    std::sort(sorted.begin(), sorted.end(),
        [&entries](quint32 a, quint32 b) { return nameLess(entries[a].name, entries[b].name); });
    int lastDepth = 0;
    while ((qsizetype(2) << lastDepth) - 1 < qsizetype(sorted.size()))
        ++lastDepth;
    const bool perfect = (qsizetype(2) << lastDepth) - 1 == qsizetype(sorted.size());
    entries[0].child
        = linkTree(entries, sorted, 0, qsizetype(sorted.size()), 0, lastDepth, perfect);

    QByteArray header(SectorSize, '\0');
    char* h = header.data();
    const char signature[] = { '\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1' };
    std::copy(signature, signature + 8, h);
    qToLittleEndian<quint16>(0x003E, h + 24);
    qToLittleEndian<quint16>(0x0003, h + 26);
    qToLittleEndian<quint16>(0xFFFE, h + 28);
    qToLittleEndian<quint16>(9, h + 30);
    qToLittleEndian<quint16>(6, h + 32);
    qToLittleEndian<quint32>(quint32(fatSectors), h + 44);
    qToLittleEndian<quint32>(quint32(directoryStart), h + 48);
    qToLittleEndian<quint32>(quint32(MiniStreamCutoff), h + 56);
    qToLittleEndian<quint32>(miniFatSectors ? quint32(miniFatStart) : EndOfChain, h + 60);
    qToLittleEndian<quint32>(quint32(miniFatSectors), h + 64);
    qToLittleEndian<quint32>(difatSectors ? quint32(difatStart) : EndOfChain, h + 68);
    qToLittleEndian<quint32>(quint32(difatSectors), h + 72);
    for (qsizetype i = 0; i < HeaderDifatEntries; ++i) {
        const quint32 sector = i < fatSectors ? quint32(fatStart + i) : FreeSector;
        qToLittleEndian<quint32>(sector, h + 76 + 4 * i);
    }

    // Each DIFAT sector lists 127 more allocation-table sectors and links to the next.
    std::vector<quint32> difat(size_t(difatSectors * EntriesPerSector), FreeSector);
    for (qsizetype i = HeaderDifatEntries; i < fatSectors; ++i) {
        const qsizetype k = i - HeaderDifatEntries;
        const qsizetype slot
            = k / (EntriesPerSector - 1) * EntriesPerSector + k % (EntriesPerSector - 1);
        difat[size_t(slot)] = quint32(fatStart + i);
    }
    for (qsizetype d = 0; d < difatSectors; ++d)
        difat[size_t((d + 1) * EntriesPerSector - 1)]
            = d + 1 < difatSectors ? quint32(difatStart + d + 1) : EndOfChain;

    QByteArray directory(directorySectors * SectorSize, '\0');
    for (qsizetype i = 0; i < directorySectors * (SectorSize / DirectoryEntrySize); ++i)
        putEntry(directory.data() + i * DirectoryEntrySize,
            i < qsizetype(entries.size()) ? entries[size_t(i)] : Entry {});

    const auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    const auto putPadded = [&out, &put](const QByteArray& bytes) {
        const qsizetype tail = bytes.size() % SectorSize;
        return put(bytes) && (tail == 0 || put(QByteArray(SectorSize - tail, '\0')));
    };

    if (!put(header))
        return false;
    for (const Stream& stream : m_streams) {
        if (stream.data.size() >= MiniStreamCutoff && !putPadded(stream.data))
            return false;
    }
    return putPadded(miniStream) && put(sectorTable(miniFat)) && put(directory)
        && put(sectorTable(fat)) && put(sectorTable(difat));
}

} // namespace platform::xls
