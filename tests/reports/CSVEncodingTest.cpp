#include "CSVTestSupport.h"

#include "reports/CSVAdditions.h"
#include "reports/CSVErrors.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QStringEncoder>
#include <gtest/gtest.h>

using csvtest::parseBytes;
using Lines = QList<QStringList>;

namespace {

constexpr quint32 kSanitize = CSVParserOptionsSanitizesFields;

const QString kSample = QStringLiteral("name,città\n日本,\"😀, 👍🏽\"\nlast,ünï");
const Lines kSampleLines = { { "name", "città" }, { "日本", "😀, 👍🏽" }, { "last", "ünï" } };

QByteArray encodedWith(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

struct Marked {
    const char* name;
    QByteArray mark;
    QStringConverter::Encoding qtEncoding;
    StringEncoding encoding;
};

const Marked kMarked[] = {
    { "UTF-8", "\xEF\xBB\xBF", QStringConverter::Utf8, StringEncoding::UTF8 },
    { "UTF-16BE", "\xFE\xFF", QStringConverter::Utf16BE, StringEncoding::UTF16BigEndian },
    { "UTF-16LE", "\xFF\xFE", QStringConverter::Utf16LE, StringEncoding::UTF16LittleEndian },
    { "UTF-32BE", QByteArray("\x00\x00\xFE\xFF", 4), QStringConverter::Utf32BE,
        StringEncoding::UTF32BigEndian },
    { "UTF-32LE", QByteArray("\xFF\xFE\x00\x00", 4), QStringConverter::Utf32LE,
        StringEncoding::UTF32LittleEndian },
};

// Collects what the parser logs while it lives.
class LogCapture {
public:
    LogCapture() { s_messages.clear(), m_previous = qInstallMessageHandler(&LogCapture::handle); }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    QStringList messages() const { return s_messages; }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        s_messages << message;
    }
    static inline QStringList s_messages;
    QtMessageHandler m_previous;
};

} // namespace

TEST(CSVEncoding, ByteOrderMarksOfUTF8UTF16AndUTF32InBothOrders)
{
    for (const Marked& marked : kMarked) {
        SCOPED_TRACE(marked.name);
        const QByteArray bytes = marked.mark + encodedWith(marked.qtEncoding, kSample);
        StringEncoding found = StringEncoding::Unknown;
        EXPECT_EQ(parseBytes(bytes, kSanitize, nullptr, &found), kSampleLines);
        EXPECT_EQ(found, marked.encoding);

        // The same from a file, read through the convenience entry point.
        const QString path = QDir(testsupport::homePath()).filePath("marked.csv");
        csvtest::writeFile(path, bytes);
        EXPECT_EQ(CSVAdditions::arrayWithContentsOfCSVFile(path, kSanitize), kSampleLines);
    }
}

TEST(CSVEncoding, UnmarkedUTF8AndTheMacOSRomanFallback)
{
    LogCapture log;
    StringEncoding found = StringEncoding::Unknown;
    EXPECT_EQ(parseBytes(kSample.toUtf8(), kSanitize, nullptr, &found), kSampleLines);
    EXPECT_EQ(found, StringEncoding::UTF8);
    EXPECT_TRUE(log.messages().isEmpty());

    // Latin-1 accents are no UTF-8: the bytes are read as Mac OS Roman, and that is logged.
    found = StringEncoding::Unknown;
    EXPECT_EQ(parseBytes("caf\xE9,na\xEFve\n\x8E", kSanitize, nullptr, &found),
        Lines({ { "cafÈ", "naÔve" }, { "é" } }));
    EXPECT_EQ(found, StringEncoding::MacOSRoman);
    EXPECT_EQ(log.messages(),
        QStringList({ "unable to determine stream encoding; assuming MacOSRoman" }));

    // Nothing at all reads as UTF-8.
    found = StringEncoding::Unknown;
    EXPECT_EQ(parseBytes("", 0, nullptr, &found), Lines({ { "" } }));
    EXPECT_EQ(found, StringEncoding::UTF8);
}

TEST(CSVEncoding, AGivenEncodingIsUsedAsItIs)
{
    StringEncoding given = StringEncoding::MacOSRoman;
    EXPECT_EQ(parseBytes("\x8E,\xA7", 0, nullptr, &given), Lines({ { "é", "ß" } }));
    EXPECT_EQ(given, StringEncoding::MacOSRoman);

    given = StringEncoding::UTF16BigEndian;
    EXPECT_EQ(
        parseBytes(encodedWith(QStringConverter::Utf16BE, kSample), kSanitize, nullptr, &given),
        kSampleLines);
}

TEST(CSVEncoding, ISO2022KRAfterItsDesignator)
{
    const QByteArray bytes(
        "\x1b\x24\x29\x43\x61\x2c\x0e\x47\x51\x0f\x0a\x0e\x31\x39\x0f\x2c\x62", 17);
    StringEncoding found = StringEncoding::Unknown;
    EXPECT_EQ(parseBytes(bytes, 0, nullptr, &found), Lines({ { "a", "한" }, { "국", "b" } }));
    EXPECT_EQ(found, StringEncoding::ISO2022KR);
}

TEST(CSVEncoding, ACharacterSplitAtThe512ByteBoundary)
{
    // The first piece of the stream is 512 bytes: move a 4-, a 3- and a 2-byte character
    // across its end one byte at a time.
    for (int padding = 500; padding <= 514; ++padding) {
        SCOPED_TRACE(padding);
        const QString first(padding, u'x');
        const QString text = first + "," + QStringLiteral("😀日é") + "\nend,línea";
        const Lines expected = { { first, QStringLiteral("😀日é") }, { "end", "línea" } };
        StringEncoding found = StringEncoding::Unknown;
        EXPECT_EQ(parseBytes(text.toUtf8(), 0, nullptr, &found), expected);
        EXPECT_EQ(found, StringEncoding::UTF8);
        EXPECT_EQ(parseBytes("\xEF\xBB\xBF" + text.toUtf8()), expected);
        // Later pieces too.
        EXPECT_EQ(parseBytes(QByteArray(1024, 'y') + ",z\n" + text.toUtf8()),
            Lines({ { QString(1024, u'y'), "z" } }) + expected);
    }
}

TEST(CSVEncoding, PiecesOfAnySizeSplitNoCharacter)
{
    for (const Marked& marked : kMarked) {
        for (qint64 step : { 1, 2, 3, 5, 7 }) {
            SCOPED_TRACE(std::string(marked.name) + " step " + std::to_string(step));
            const QByteArray bytes = marked.mark + encodedWith(marked.qtEncoding, kSample);
            auto device = std::make_unique<csvtest::TrickleDevice>(bytes, step);
            const std::shared_ptr<qint64> readCalls = device->readCalls;
            EXPECT_EQ(csvtest::parseStream(std::move(device), kSanitize), kSampleLines);
            EXPECT_GE(*readCalls, bytes.size() / step);
        }
    }
}

TEST(CSVEncoding, BytesThatNeverDecodeAreAFormatErrorNamingTheLine)
{
    QByteArray text;
    for (int i = 1; i <= 100; ++i)
        text += "line," + QByteArray::number(i) + "\n";
    const QByteArray hundredLines = text;
    text += "bad,caf\xE9\nmore,lines\n";

    csvtest::EventLog log;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(text);
    StringEncoding found = StringEncoding::Unknown;
    auto parser = CSVParser::initWithInputStream(std::move(buffer), &found, u',');
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(found, StringEncoding::UTF8);
    EXPECT_EQ(log.events.mid(log.events.size() - 4),
        QStringList({ "line 101", "field 0 [bad]", "/line 101", "error 1" }));
    EXPECT_EQ(log.error.domain(), CSVErrors::Domain);
    EXPECT_EQ(log.error.code(), CSVErrors::FormatError);
    EXPECT_EQ(log.error.localizedDescription(), "Line 101 holds bytes that are not UTF-8 text.");

    // A character cut off by the end of the file, and bad bytes right after a line end.
    platform::Error error;
    EXPECT_EQ(parseBytes("a,b\xE2\x82", 0, &error), std::nullopt);
    EXPECT_EQ(error.localizedDescription(), "Line 1 holds bytes that are not UTF-8 text.");
    EXPECT_EQ(parseBytes(hundredLines + "\n\xFF", 0, &error), std::nullopt);
    EXPECT_EQ(error.localizedDescription(), "Line 102 holds bytes that are not UTF-8 text.");
    // An unpaired surrogate is no UTF-16.
    EXPECT_EQ(parseBytes(QByteArray("\xFF\xFE"
                                    "a\0,\0\x00\xD8\n\0",
                             10),
                  0, &error),
        std::nullopt);
    EXPECT_EQ(error.localizedDescription(), "Line 1 holds bytes that are not UTF-16LE text.");
}
