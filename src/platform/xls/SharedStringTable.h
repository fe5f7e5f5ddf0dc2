#pragma once

#include <QString>

#include <vector>

namespace platform::xls {

class RecordWriter;

// The workbook's table of cell texts: each distinct text is stored once and cells refer
// to it by index.
class SharedStringTable {
public:
    quint32 add(const QString& text);
    quint32 size() const { return quint32(m_strings.size()); }
    const QString& at(quint32 index) const { return m_strings[index]; }

    // Writes the SST record with its CONTINUE records, then the EXTSST index.
    // `references` is the number of cells that use the table.
    void write(RecordWriter& out, quint32 references) const;

private:
    // An open-addressing index of the texts: a text is compared only where its hash
    // matches, which keeps a million distinct cell texts cheap to add.
    struct Slot {
        quint32 hash = 0;
        quint32 position = 0; // 1 + index of the text; 0 for a free slot
    };
    void grow();

    std::vector<QString> m_strings;
    std::vector<Slot> m_slots;
};

} // namespace platform::xls
