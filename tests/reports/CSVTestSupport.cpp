#include "CSVTestSupport.h"
#include "utilities/text/FormatLocale.h"

#include "reports/CSVAggregator.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

namespace csvtest {

void EventLog::parserDidBeginDocument(CSVParser*)
{
    events << QStringLiteral("begin");
}

void EventLog::parserDidEndDocument(CSVParser*)
{
    events << QStringLiteral("end");
}

void EventLog::parserDidBeginLine(CSVParser*, quint64 line)
{
    events << QStringLiteral("line %1").arg(line);
}

void EventLog::parserDidEndLine(CSVParser*, quint64 line)
{
    events << QStringLiteral("/line %1").arg(line);
}

void EventLog::parserDidReadField(CSVParser* parser, const QString& field, qint64 index)
{
    events << QStringLiteral("field %1 [%2]").arg(index).arg(field);
    if (onField)
        onField(parser, field);
}

void EventLog::parserDidReadComment(CSVParser*, const QString& comment)
{
    events << QStringLiteral("comment [%1]").arg(comment);
}

void EventLog::parserDidFailWithError(CSVParser*, const platform::Error& failure)
{
    error = failure;
    events << QStringLiteral("error %1").arg(failure.code());
}

TrickleDevice::TrickleDevice(QByteArray bytes, qint64 step, qint64 failAfter)
    : m_bytes(std::move(bytes))
    , m_step(step)
    , m_failAfter(failAfter)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 TrickleDevice::readData(char* data, qint64 maxSize)
{
    ++*readCalls;
    if (m_failAfter >= 0 && m_position >= m_failAfter) {
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
    qint64 count = qMin(qMin(maxSize, m_step), m_bytes.size() - m_position);
    if (m_failAfter >= 0)
        count = qMin(count, m_failAfter - m_position);
    std::memcpy(data, m_bytes.constData() + m_position, size_t(count));
    m_position += count;
    return count;
}

std::optional<QList<QStringList>> parseStream(std::unique_ptr<QIODevice> stream, quint32 options,
    platform::Error* error, StringEncoding* encoding)
{
    auto parser = CSVParser::initWithInputStream(std::move(stream), encoding, u',');
    CSVAggregator aggregator;
    parser->setOptions(options);
    parser->setDelegate(&aggregator);
    parser->parse();
    if (error)
        *error = aggregator.error();
    return aggregator.takeLines();
}

std::optional<QList<QStringList>> parseBytes(
    const QByteArray& bytes, quint32 options, platform::Error* error, StringEncoding* encoding)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    return parseStream(std::move(buffer), options, error, encoding);
}

QStringList eventsOf(const QByteArray& bytes, quint32 options)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    StringEncoding encoding = StringEncoding::UTF8;
    auto parser = CSVParser::initWithInputStream(std::move(buffer), &encoding, u',');
    EventLog log;
    parser->setOptions(options);
    parser->setDelegate(&log);
    parser->parse();
    return log.events;
}

QList<QStringList> withoutFinalEmptyLine(QList<QStringList> lines)
{
    EXPECT_FALSE(lines.isEmpty());
    if (!lines.isEmpty()) {
        EXPECT_EQ(lines.last(), QStringList { QString() });
        lines.removeLast();
    }
    return lines;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList awkwardFields()
{
    return {
        QStringLiteral("plain"),
        QStringLiteral("with, comma"),
        QStringLiteral("say \"hi\""),
        QStringLiteral("\""),
        QStringLiteral("\"\""),
        QStringLiteral("line\nfeed"),
        QStringLiteral("carriage\rreturn"),
        QStringLiteral("windows\r\nbreak"),
        QStringLiteral("\n"),
        QStringLiteral("  edge spaces  "),
        QStringLiteral("\ttab\t"),
        QString(),
        QStringLiteral("#not a comment"),
        QStringLiteral("back\\slash"),
        QStringLiteral("semi;colon"),
        QStringLiteral("Crème brûlée, Straße, Ærø"),
        QStringLiteral("日本語のテキスト"),
        QStringLiteral("한국어"),
        QStringLiteral("emoji 😀👍🏽🇩🇪"),
        QStringLiteral("mixed \"😀\",\n日本"),
    };
}

} // namespace csvtest

namespace csvtest {

GermanLocale::GermanLocale()
{
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (std::setlocale(LC_ALL, "de_DE.UTF-8"))
        return;
    // Machines without the locale get it compiled into a folder of the test's own.
    m_folder = QDir(testsupport::homePath()).filePath("locale");
    QDir().mkpath(m_folder);
    testsupport::runTool(
        "localedef", { "-i", "de_DE", "-f", "UTF-8", QDir(m_folder).filePath("de_DE.UTF-8") });
    qputenv("LOCPATH", m_folder.toLocal8Bit());
    std::setlocale(LC_ALL, "de_DE.UTF-8");
}

GermanLocale::~GermanLocale()
{
    std::setlocale(LC_ALL, "C");
    if (!m_folder.isEmpty())
        qunsetenv("LOCPATH");
    FormatLocale::setDefault(QLocale::c());
}

} // namespace csvtest
