#pragma once

#include "reports/CSVParserDelegate.h"

#include <QList>
#include <QStringList>

#include <optional>
#include <utility>

// Collects a parse into lines of field texts; a failed parse leaves no lines, only the
// error.
class CSVAggregator : public CSVParserDelegate {
public:
    const std::optional<QList<QStringList>>& lines() const { return m_lines; }
    std::optional<QList<QStringList>> takeLines() { return std::exchange(m_lines, {}); }
    // For each line, the line of the text it began on (see CSVParser::textLineOfRecord).
    QList<quint64> takeTextLines() { return std::exchange(m_textLines, {}); }
    const platform::Error& error() const { return m_error; }

    void parserDidBeginDocument(CSVParser* parser) override;
    void parserDidBeginLine(CSVParser* parser, quint64 line) override;
    void parserDidEndLine(CSVParser* parser, quint64 line) override;
    void parserDidReadField(CSVParser* parser, const QString& field, qint64 index) override;
    void parserDidFailWithError(CSVParser* parser, const platform::Error& error) override;

private:
    std::optional<QList<QStringList>> m_lines;
    QList<quint64> m_textLines;
    QStringList m_currentLine;
    qsizetype m_lastWidth = 0;
    platform::Error m_error;
};
