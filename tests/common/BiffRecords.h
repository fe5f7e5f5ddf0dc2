#pragma once

// A small reader of compound files and BIFF records, for checks that the outside readers
// do not expose (merged areas, format records, record sizes). Header-only.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QtEndian>

#include <vector>

namespace testsupport {

struct CompoundFileContents {
    bool ok = false;
    QString error;
    quint32 fatSectors = 0;
    quint32 difatSectors = 0;
    QMap<QString, QByteArray> streams; // by name, as the directory gives them
};

inline quint16 le16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

inline quint32 le32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

inline CompoundFileContents readCompoundFile(const QByteArray& file)
{
    CompoundFileContents out;
    constexpr qsizetype sector = 512;
    const auto fail = [&out](const QString& why) {
        out.error = why;
        return out;
    };
    if (file.size() < sector || !file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return fail("no compound file signature");
    if (file.size() % sector != 0)
        return fail("file size is not a whole number of sectors");
    const auto sectorAt = [&file](quint32 n) { return (qsizetype(n) + 1) * sector; };
    out.fatSectors = le32(file, 44);
    out.difatSectors = le32(file, 72);
    std::vector<quint32> fatList;
    for (int i = 0; i < 109 && fatList.size() < out.fatSectors; ++i)
        fatList.push_back(le32(file, 76 + 4 * i));
    quint32 difat = le32(file, 68);
    for (quint32 d = 0; d < out.difatSectors; ++d) {
        if (sectorAt(difat) + sector > file.size())
            return fail("DIFAT sector outside the file");
        for (int i = 0; i < 127 && fatList.size() < out.fatSectors; ++i)
            fatList.push_back(le32(file, sectorAt(difat) + 4 * i));
        difat = le32(file, sectorAt(difat) + 4 * 127);
    }
    if (fatList.size() != out.fatSectors || difat != 0xFFFFFFFE)
        return fail("DIFAT does not list every FAT sector");
    std::vector<quint32> fat;
    for (quint32 s : fatList) {
        if (sectorAt(s) + sector > file.size())
            return fail("FAT sector outside the file");
        for (int i = 0; i < 128; ++i)
            fat.push_back(le32(file, sectorAt(s) + 4 * i));
    }
    const auto chainOf = [&](quint32 start, QByteArray* data) {
        size_t steps = 0;
        for (quint32 s = start; s != 0xFFFFFFFE; s = fat[s]) {
            if (s >= fat.size() || sectorAt(s) + sector > file.size() || ++steps > fat.size())
                return false;
            data->append(file.mid(sectorAt(s), sector));
        }
        return true;
    };
    QByteArray directory;
    if (!chainOf(le32(file, 48), &directory))
        return fail("broken directory chain");
    QByteArray miniFat;
    if (le32(file, 60) != 0xFFFFFFFE && !chainOf(le32(file, 60), &miniFat))
        return fail("broken mini FAT chain");
    QByteArray miniStream;
    for (qsizetype e = 0; e + 128 <= directory.size(); e += 128) {
        const quint8 type = quint8(directory[e + 66]);
        const quint16 nameBytes = le16(directory, e + 64);
        const QString name
            = QString::fromUtf16(reinterpret_cast<const char16_t*>(directory.constData() + e),
                qMax(0, nameBytes / 2 - 1));
        const quint32 start = le32(directory, e + 116);
        const quint32 size = le32(directory, e + 120);
        if (type == 5) {
            if (size && !chainOf(start, &miniStream))
                return fail("broken mini stream chain");
        } else if (type == 2) {
            QByteArray data;
            if (size >= 4096) {
                if (!chainOf(start, &data))
                    return fail("broken chain of " + name);
            } else {
                size_t steps = 0;
                for (quint32 m = start; m != 0xFFFFFFFE && size; m = le32(miniFat, 4 * m)) {
                    if (4 * qsizetype(m) >= miniFat.size() || ++steps > size_t(miniFat.size()))
                        return fail("broken mini chain of " + name);
                    data.append(miniStream.mid(qsizetype(m) * 64, 64));
                }
            }
            if (data.size() < qsizetype(size))
                return fail("stream shorter than its size: " + name);
            out.streams.insert(name, data.left(size));
        }
    }
    out.ok = true;
    return out;
}

struct BiffRecord {
    quint16 type = 0;
    qsizetype offset = 0; // of the record's header in the stream
    QByteArray data;
};

// The records of one substream, from its BOF at `offset` to its EOF.
inline std::vector<BiffRecord> readRecords(const QByteArray& stream, qsizetype offset = 0)
{
    std::vector<BiffRecord> records;
    while (offset + 4 <= stream.size()) {
        BiffRecord record;
        record.type = le16(stream, offset);
        record.offset = offset;
        const quint16 length = le16(stream, offset + 2);
        record.data = stream.mid(offset + 4, length);
        offset += 4 + length;
        records.push_back(record);
        if (record.type == 0x000A)
            break;
    }
    return records;
}

// The sheets' offsets in the order the workbook globals list them.
inline std::vector<quint32> sheetOffsets(const std::vector<BiffRecord>& globals)
{
    std::vector<quint32> offsets;
    for (const BiffRecord& record : globals) {
        if (record.type == 0x0085)
            offsets.push_back(le32(record.data, 0));
    }
    return offsets;
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A workbook file's records: the globals, then each sheet's; the error says why the file
// could not be read.
struct WorkbookRecords {
    std::vector<BiffRecord> globals;
    std::vector<std::vector<BiffRecord>> sheets;
    QString error;
};

inline WorkbookRecords readWorkbookRecords(const QString& path)
{
    const auto contents = readCompoundFile(readFile(path));
    WorkbookRecords records;
    records.error = contents.error;
    const QByteArray stream = contents.streams.value("Workbook");
    records.globals = readRecords(stream);
    for (quint32 offset : sheetOffsets(records.globals))
        records.sheets.push_back(readRecords(stream, offset));
    return records;
}

inline std::vector<const BiffRecord*> recordsOfType(
    const std::vector<BiffRecord>& records, quint16 type)
{
    std::vector<const BiffRecord*> found;
    for (const BiffRecord& record : records) {
        if (record.type == type)
            found.push_back(&record);
    }
    return found;
}

} // namespace testsupport

namespace testsupport {

// The texts of the shared string table, read from the SST record and the CONTINUE
// records after it, strictly: a text continued in the next record must start that record
// with its option byte. Empty with `ok` false on anything malformed.
inline QStringList readSharedStrings(const std::vector<BiffRecord>& globals, bool* ok)
{
    *ok = false;
    std::vector<QByteArray> parts;
    for (size_t i = 0; i < globals.size(); ++i) {
        if (globals[i].type != 0x00FC)
            continue;
        parts.push_back(globals[i].data);
        for (size_t j = i + 1; j < globals.size() && globals[j].type == 0x003C; ++j)
            parts.push_back(globals[j].data);
        break;
    }
    if (parts.empty() || parts[0].size() < 8)
        return {};
    size_t part = 0;
    qsizetype at = 8;
    const quint32 unique = le32(parts[0], 4);
    QStringList texts;
    for (quint32 s = 0; s < unique; ++s) {
        if (at == parts[part].size() && ++part < parts.size())
            at = 0;
        if (part >= parts.size() || at + 3 > parts[part].size())
            return {};
        quint16 remaining = le16(parts[part], at);
        quint8 options = quint8(parts[part][at + 2]);
        at += 3;
        if (options & 0x0C)
            return {}; // rich text and phonetic runs are never written
        QString text;
        for (;;) {
            const qsizetype unit = options & 0x01 ? 2 : 1;
            const qsizetype count = qMin<qsizetype>(remaining, (parts[part].size() - at) / unit);
            for (qsizetype c = 0; c < count; ++c) {
                text.append(
                    QChar(unit == 2 ? le16(parts[part], at + 2 * c) : quint8(parts[part][at + c])));
            }
            at += count * unit;
            remaining = quint16(remaining - count);
            if (remaining == 0)
                break;
            if (++part >= parts.size() || parts[part].isEmpty() || at != parts[part - 1].size())
                return {};
            options = quint8(parts[part][0]);
            at = 1;
        }
        texts.append(text);
    }
    *ok = true;
    return texts;
}

} // namespace testsupport
