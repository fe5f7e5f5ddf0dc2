#pragma once

#include "platform/Error.h"
#include "reports/StringEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QIODevice;
class TextCodec;

// Writes lines of fields as CSV text to a stream: fields that hold a line break, the
// delimiter or a double quote go in double quotes, with their double quotes doubled; each
// line ends with "\n". Bytes are gathered and handed to the stream in large pieces.
//
// A stream that will not open or take the bytes, or a character the encoding cannot
// hold, is kept as the writer's error; closeStream reports it.
class CSVWriter {
public:
    // Opens the stream for writing unless it is open; writes the encoding's byte-order
    // mark, if it has one, at once.
    static std::unique_ptr<CSVWriter> initWithOutputStream(
        std::unique_ptr<QIODevice> stream, StringEncoding encoding, char16_t delimiter);
    // A new file at the path (one there is replaced), UTF-8 without a mark, "," between
    // fields.
    static std::unique_ptr<CSVWriter> initForWritingToCSVFile(const QString& path);
    // Closes the stream if it is still open.
    ~CSVWriter();
    CSVWriter(const CSVWriter&) = delete;
    CSVWriter& operator=(const CSVWriter&) = delete;

    // The field's text: a text as it is, a number in its plain form, a Yes/No value as 1
    // or 0, a date as "yyyy-MM-dd HH:mm:ss +0000", nothing as an empty field.
    void writeField(const QVariant& field);
    void writeField(const QString& field);
    void finishLine();
    void writeLineOfFields(const QVariantList& fields);
    void writeLineOfFields(const QStringList& fields);
    // Each line of the comment as "#" and the line.
    void writeComment(const QString& comment);

    // Hands over what is still gathered and closes the stream. False, and the first
    // failure in `error`, when anything could not be written since the writer was made.
    bool closeStream(platform::Error* error = nullptr);
    // The first failure so far; null while every byte has been taken.
    const platform::Error& error() const { return m_error; }

private:
    CSVWriter(std::unique_ptr<QIODevice> stream, StringEncoding encoding,
        std::unique_ptr<TextCodec> codec, char16_t delimiter);

    QByteArray encoded(QStringView text);
    char* room(qsizetype bytes);
    void beginField();
    void writeText(QStringView text);
    void writeFieldText(QStringView text);
    void writeBytes(const QByteArray& bytes);
    void flushBuffer();
    void failWriting(const QString& reason);

    std::unique_ptr<QIODevice> m_stream;
    StringEncoding m_streamEncoding;
    std::unique_ptr<TextCodec> m_codec;
    char16_t m_delimiterCharacter;
    QByteArray m_bom;
    QByteArray m_delimiter; // each of these encoded, without the mark
    QByteArray m_newline;
    QByteArray m_quote;
    QByteArray m_commentMark;
    quint64 m_currentField = 0;
    bool m_onlyFieldIsEmpty = false;
    QByteArray m_buffer; // of a fixed size; what is written of it is m_used
    qsizetype m_used = 0;
    platform::Error m_error;
};
