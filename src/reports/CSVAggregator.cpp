#include "reports/CSVAggregator.h"

#include "reports/CSVParser.h"

void CSVAggregator::parserDidBeginDocument(CSVParser*)
{
    m_lines.emplace();
    m_textLines.clear();
}

void CSVAggregator::parserDidBeginLine(CSVParser* parser, quint64)
{
    m_textLines.append(parser->textLineOfRecord());
    // Lines of one file are mostly as wide as the one before.
    m_currentLine = QStringList();
    m_currentLine.reserve(m_lastWidth);
}

void CSVAggregator::parserDidEndLine(CSVParser*, quint64)
{
    m_lastWidth = m_currentLine.size();
    if (m_lines)
        m_lines->append(std::move(m_currentLine));
    m_currentLine = QStringList();
}

void CSVAggregator::parserDidReadField(CSVParser*, const QString& field, qint64)
{
    m_currentLine.append(field);
}

void CSVAggregator::parserDidFailWithError(CSVParser*, const platform::Error& error)
{
    m_error = error;
    m_lines.reset();
    m_textLines.clear();
}
