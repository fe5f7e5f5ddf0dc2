#pragma once

#include "platform/Error.h"
#include "reports/StringEncoding.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

class CSVParserDelegate;
class QIODevice;
class TextCodec;

// Options of the convenience readers, as a bit mask.
enum CSVParserOptions : quint32 {
    CSVParserOptionsRecognizesBackslashesAsEscapes = 1,
    CSVParserOptionsSanitizesFields = 2,
    CSVParserOptionsRecognizesComments = 4,
    CSVParserOptionsStripsLeadingAndTrailingWhitespace = 8,
};

// A streaming CSV reader: reads its stream a little at a time and tells its delegate of
// each line, field and comment, keeping only the text it has not reported yet.
//
// Misuse (no stream, a delimiter that cannot work) raises platform::Exception; problems
// of the data end the document with parserDidFailWithError, a format error naming the
// line where that is known.
class CSVParser {
public:
    // Opens the stream unless it is open. With a known encoding in `usedEncoding` the
    // bytes are read in it; otherwise it is told from the first bytes (and written back
    // when `usedEncoding` is given).
    static std::unique_ptr<CSVParser> initWithInputStream(
        std::unique_ptr<QIODevice> stream, StringEncoding* usedEncoding, char16_t delimiter);
    // The string's own UTF-16 text, with "," between fields.
    static std::unique_ptr<CSVParser> initWithCSVString(const QString& csv);
    // The file, its encoding told from its first bytes, with "," between fields.
    static std::unique_ptr<CSVParser> initWithContentsOfCSVFile(const QString& path);
    ~CSVParser();
    CSVParser(const CSVParser&) = delete;
    CSVParser& operator=(const CSVParser&) = delete;

    CSVParserDelegate* delegate() const { return m_delegate; }
    void setDelegate(CSVParserDelegate* delegate) { m_delegate = delegate; } // not owned

    bool recognizesBackslashesAsEscapes() const { return m_recognizesBackslashesAsEscapes; }
    void setRecognizesBackslashesAsEscapes(bool on) { m_recognizesBackslashesAsEscapes = on; }
    // Fields read without their quotes and with doubled quotes and escapes resolved.
    bool sanitizesFields() const { return m_sanitizesFields; }
    void setSanitizesFields(bool on) { m_sanitizesFields = on; }
    // Lines that start with "#" are comments.
    bool recognizesComments() const { return m_recognizesComments; }
    void setRecognizesComments(bool on) { m_recognizesComments = on; }
    bool stripsLeadingAndTrailingWhitespace() const { return m_stripsLeadingAndTrailingWhitespace; }
    void setStripsLeadingAndTrailingWhitespace(bool on)
    {
        m_stripsLeadingAndTrailingWhitespace = on;
    }
    // Sets the four options from a CSVParserOptions mask.
    void setOptions(quint32 options);

    quint64 totalBytesRead() const { return m_totalBytesRead; }
    // The line of the text, from 1, where the record being read began. Unlike the record
    // numbers the delegate is given, this counts blank lines and the line breaks inside
    // quoted fields, so it is where a person finds the record in the file.
    quint64 textLineOfRecord() const { return m_recordTextLine; }

    // Reads the whole stream, telling the delegate as it goes.
    void parse();
    // Stops a parse in progress (from a delegate call, or from another thread): nothing
    // more is reported but the end of the document.
    void cancelParsing() { m_cancelled = true; }

private:
    CSVParser(std::unique_ptr<QIODevice> stream, char16_t delimiter);

    // A backslash delimiter is a delimiter, never an escape.
    bool backslashEscapes() const
    {
        return m_recognizesBackslashesAsEscapes && m_delimiter != u'\\';
    }
    void sniffEncoding();
    bool readMore();
    void compact();
    int peekSlow();
    int peek()
    {
        return m_nextIndex < m_string.size() ? m_string.at(m_nextIndex).unicode() : peekSlow();
    }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    void failAtEndOfText();
    void fail(const platform::Error& error);
    quint64 lineOfNextText() const;
    // Line breaks in m_string[from, to), "\r\n" counted once across calls through lastCR.
    quint64 countLineBreaks(qsizetype from, qsizetype to, bool& lastCR) const;

    bool parseRecord();
    bool parseField();
    bool parseEscapedField();
    void parseUnescapedField();
    bool parseDelimiter();
    bool parseNewlines();
    void parseComment();
    void skipWhitespace();
    void appendSegment(qsizetype end);
    void consume();

    std::unique_ptr<QIODevice> m_stream;
    StringEncoding m_streamEncoding = StringEncoding::Unknown;
    std::unique_ptr<TextCodec> m_codec;
    QByteArray m_stringBuffer; // bytes read but not handed to the codec yet
    QString m_string; // decoded text; what comes before m_consumed has been reported
    qsizetype m_consumed = 0;
    qsizetype m_nextIndex = 0;
    qsizetype m_fieldStart = 0;
    qsizetype m_segmentStart = 0; // start of the field text not yet copied into the sanitized field
    qint64 m_fieldIndex = 0;
    QString m_sanitizedField;
    bool m_fieldHasEscapes = false;
    char16_t m_delimiter;
    platform::Error m_error;
    quint64 m_currentRecord = 0;
    quint64 m_lineBreaks = 0; // in the text reported so far; "\r\n" is one
    bool m_lastReportedCR = false;
    quint64 m_recordTextLine = 0;
    bool m_inRecord = false;
    std::atomic<bool> m_cancelled = false;
    bool m_recognizesBackslashesAsEscapes = false;
    bool m_sanitizesFields = false;
    bool m_recognizesComments = false;
    bool m_stripsLeadingAndTrailingWhitespace = false;
    CSVParserDelegate* m_delegate = nullptr;
    quint64 m_totalBytesRead = 0;
    bool m_streamDone = false; // the stream has given its last byte
    bool m_codecDone = false; // ... and the codec its last character
    bool m_undecodable = false;
    QString m_readFailure;
};
