#pragma once

#include <QList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class ReportProtocol;

// The rows of one export as they were when it began: taken on the main thread together
// with the title and columns, then read by the worker that writes the file, which never
// touches the screen's rows or the store. Several threads may read it at once.
class ReportRows {
public:
    // Reads row `index`'s raw values (or, with `formatted`, its display texts); nullopt
    // when the row cannot be read.
    using Reader = std::function<std::optional<QVariantMap>(quint64 index, bool formatted)>;

    ReportRows(quint64 count, Reader reader);

    // Both dictionaries of every row of the source, copied now.
    static std::shared_ptr<const ReportRows> copyOf(ReportProtocol& source);

    quint64 count() const { return m_count; }
    std::optional<QVariantMap> row(quint64 index) const;
    std::optional<QVariantMap> rowFormatted(quint64 index) const;

private:
    quint64 m_count;
    Reader m_reader;
};
