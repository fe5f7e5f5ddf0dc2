#pragma once

#include "platform/Error.h"
#include "reports/CSVParser.h"
#include "reports/CSVParserDelegate.h"
#include "reports/StringEncoding.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace csvtest {

// Writes every event as one line of text, so a test can compare the whole sequence.
class EventLog : public CSVParserDelegate {
public:
    QStringList events;
    platform::Error error;
    // Called after a field has been logged; a test may cancel from here.
    std::function<void(CSVParser*, const QString&)> onField;

    void parserDidBeginDocument(CSVParser*) override;
    void parserDidEndDocument(CSVParser*) override;
    void parserDidBeginLine(CSVParser*, quint64 line) override;
    void parserDidEndLine(CSVParser*, quint64 line) override;
    void parserDidReadField(CSVParser* parser, const QString& field, qint64 index) override;
    void parserDidReadComment(CSVParser*, const QString& comment) override;
    void parserDidFailWithError(CSVParser*, const platform::Error& error) override;
};

// Hands out its bytes a few at a time and, when asked, fails after a number of bytes, as
// a slow or broken source does.
class TrickleDevice : public QIODevice {
public:
    // Opened, unbuffered, so each read reaches the device.
    TrickleDevice(QByteArray bytes, qint64 step, qint64 failAfter = -1);
    bool isSequential() const override { return true; }
    // Shared, so it can be read after the parser that owns the device is gone.
    std::shared_ptr<qint64> readCalls = std::make_shared<qint64>(0);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_step;
    qint64 m_failAfter;
    qint64 m_position = 0;
};

// Parses the bytes with the options; the lines, or none and the error.
std::optional<QList<QStringList>> parseBytes(const QByteArray& bytes, quint32 options = 0,
    platform::Error* error = nullptr, StringEncoding* encoding = nullptr);
// The same, from a stream the test makes.
std::optional<QList<QStringList>> parseStream(std::unique_ptr<QIODevice> stream,
    quint32 options = 0, platform::Error* error = nullptr, StringEncoding* encoding = nullptr);

// Every event of a parse of the text, read as UTF-8.
QStringList eventsOf(const QByteArray& bytes, quint32 options = 0);

// Text read back from CSV ends with one more line holding a single empty field.
QList<QStringList> withoutFinalEmptyLine(QList<QStringList> lines);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Fields that CSV has to take care with, and text in several scripts.
QStringList awkwardFields();

} // namespace csvtest

namespace csvtest {

// Puts Qt and the C library into German formats (a decimal comma) while it lives.
class GermanLocale {
public:
    GermanLocale();
    ~GermanLocale();
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

private:
    QString m_folder;
};

} // namespace csvtest
