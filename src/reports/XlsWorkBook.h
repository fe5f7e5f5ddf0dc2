#pragma once

#include "reports/XlsExtendedFormat.h"
#include "reports/XlsFont.h"
#include "reports/XlsFormat.h"
#include "reports/XlsWorkSheet.h"

#include <QList>
#include <QString>

#include <memory>

namespace platform {
class Error;
namespace xls {
class Workbook;
}
} // namespace platform

// An .xls (BIFF8) workbook built in memory and written with writeFile. It owns
// everything made through it; the wrappers it hands out are valid while it lives.
class XlsWorkBook {
public:
    XlsWorkBook();
    ~XlsWorkBook();
    XlsWorkBook(const XlsWorkBook&) = delete;
    XlsWorkBook& operator=(const XlsWorkBook&) = delete;

    // A new sheet at the end. The name is made one the file can hold: the characters
    // [ ] : * ? / \ become "_", apostrophes at either end go, it is cut to 31 characters,
    // an empty name becomes "Sheet" and its number, and a name equal to an earlier one
    // but for case gets " (2)", " (3)", ... .
    std::shared_ptr<XlsWorkSheet> workSheetWithName(const QString& name);
    // The sheet at that position, or null.
    std::shared_ptr<XlsWorkSheet> workSheetByOffset(quint64 offset) const;
    const QList<std::shared_ptr<XlsWorkSheet>>& workSheets() const { return m_workSheets; }

    XlsFont font(const QString& name);
    XlsFormat format(const QString& format);
    XlsExtendedFormat extendedFormat();
    XlsExtendedFormat extendedFormat(const XlsFont* font);

    // Sets a document property (platform::xls::Property); false for an unknown one.
    bool property(int property, const QString& value);

    void windPosition(quint16 x, quint16 y);
    void windSize(quint16 width, quint16 height);
    void firstTab(quint16 tab);
    void tabBarWidth(quint16 width);

    // Writes the file (to a temporary name, renamed into place). Returns 0 on success,
    // else the writer's failure code, with the reason in `error` when given; a failed
    // write leaves no file behind.
    int writeFile(const QString& path, platform::Error* error = nullptr);
    // The same for a file read back and removed at once: written in place without waiting
    // for the disk; a failed write removes what it wrote.
    int writeTemporaryFile(const QString& path, platform::Error* error = nullptr);

    static const QString ErrorDomain; // "XlsWorkBookErrorDomain"

private:
    QString sheetName(const QString& name) const;

    std::unique_ptr<platform::xls::Workbook> aBook;
    QList<std::shared_ptr<XlsWorkSheet>> m_workSheets;
    QStringList m_sheetNames;
};
