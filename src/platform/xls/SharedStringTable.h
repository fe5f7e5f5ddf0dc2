#pragma once

#include <QHash>
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
    std::vector<QString> m_strings;
    QHash<QString, quint32> m_index;
};

} // namespace platform::xls
