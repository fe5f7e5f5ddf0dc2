#pragma once

#include "platform/Error.h"

#include <QString>
#include <QtGlobal>

class CSVParser;

// What a CSV parser tells as it reads. Every event is optional: the defaults ignore it.
class CSVParserDelegate {
public:
    virtual ~CSVParserDelegate() = default;

    virtual void parserDidBeginDocument(CSVParser* parser) { Q_UNUSED(parser) }
    virtual void parserDidEndDocument(CSVParser* parser) { Q_UNUSED(parser) }
    // Lines are numbered from 1; blank lines are no lines.
    virtual void parserDidBeginLine(CSVParser* parser, quint64 line)
    {
        Q_UNUSED(parser)
        Q_UNUSED(line)
    }
    virtual void parserDidEndLine(CSVParser* parser, quint64 line)
    {
        Q_UNUSED(parser)
        Q_UNUSED(line)
    }
    // Fields are numbered from 0 within their line.
    virtual void parserDidReadField(CSVParser* parser, const QString& field, qint64 index)
    {
        Q_UNUSED(parser)
        Q_UNUSED(field)
        Q_UNUSED(index)
    }
    virtual void parserDidReadComment(CSVParser* parser, const QString& comment)
    {
        Q_UNUSED(parser)
        Q_UNUSED(comment)
    }
    // Sent instead of the end of the document.
    virtual void parserDidFailWithError(CSVParser* parser, const platform::Error& error)
    {
        Q_UNUSED(parser)
        Q_UNUSED(error)
    }

protected:
    CSVParserDelegate() = default;
};
