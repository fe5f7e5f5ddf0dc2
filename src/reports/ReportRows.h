#pragma once

#include <QList>
#include <QStringList>
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

    // Reads row `index`'s display texts of the keys, in their order ("" for a key the row
    // does not show); nullopt when the row cannot be read.
    using TextsReader
        = std::function<std::optional<QStringList>(quint64 index, const QStringList& keys)>;

    ReportRows(quint64 count, Reader reader);
    // With a reader of texts that need no dictionary on the way.
    ReportRows(quint64 count, Reader reader, TextsReader textsReader);

    // Both dictionaries of every row of the source, copied now.
    static std::shared_ptr<const ReportRows> copyOf(ReportProtocol& source);

    quint64 count() const { return m_count; }
    std::optional<QVariantMap> row(quint64 index) const;
    std::optional<QVariantMap> rowFormatted(quint64 index) const;
    // The display texts of the keys, as rowFormatted gives them.
    std::optional<QStringList> rowTexts(quint64 index, const QStringList& keys) const;

private:
    quint64 m_count;
    Reader m_reader;
    TextsReader m_textsReader;
};
