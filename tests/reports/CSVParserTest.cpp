#include "CSVTestSupport.h"

#include "platform/Exception.h"
#include "reports/CSVAdditions.h"
#include "reports/CSVErrors.h"
#include "reports/CSVParser.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <gtest/gtest.h>

using csvtest::eventsOf;
using csvtest::parseBytes;
using Lines = QList<QStringList>;

namespace {

constexpr quint32 kSanitizeFields = CSVParserOptionsSanitizesFields;
constexpr quint32 kEscapes = CSVParserOptionsRecognizesBackslashesAsEscapes;
constexpr quint32 kComments = CSVParserOptionsRecognizesComments;
constexpr quint32 kStrip = CSVParserOptionsStripsLeadingAndTrailingWhitespace;

QString reasonOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), platform::Exception::InternalInconsistency);
        return exception.reason();
    }
    return QStringLiteral("(nothing raised)");
}

std::unique_ptr<QBuffer> bufferOf(const QByteArray& bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    return buffer;
}

} // namespace

TEST(CSVParser, ReportsDocumentLinesAndFieldsInOrder)
{
    EXPECT_EQ(eventsOf("a,b\nc"),
        QStringList({ "begin", "line 1", "field 0 [a]", "field 1 [b]", "/line 1", "line 2",
            "field 0 [c]", "/line 2", "end" }));
    // Empty text is one line of one empty field; so is what follows a final newline.
    EXPECT_EQ(eventsOf(""), QStringList({ "begin", "line 1", "field 0 []", "/line 1", "end" }));
    EXPECT_EQ(parseBytes("a,b\n"), Lines({ { "a", "b" }, { "" } }));
    EXPECT_EQ(parseBytes(",,\n"), Lines({ { "", "", "" }, { "" } }));
}

TEST(CSVParser, LineEndsOfEveryKindAndBlankLinesBetweenThem)
{
    EXPECT_EQ(parseBytes("a\nb\rc\r\nd"), Lines({ { "a" }, { "b" }, { "c" }, { "d" } }));
    // Blank lines are no lines, whatever they are made of, and numbering skips them.
    EXPECT_EQ(parseBytes("a\n\n\r\n\r\rb"), Lines({ { "a" }, { "b" } }));
    EXPECT_EQ(eventsOf("a\n\nb").filter("line "),
        QStringList({ "line 1", "/line 1", "line 2", "/line 2" }));
    EXPECT_EQ(parseBytes("a\xE2\x80\xA8"
                         "b\xC2\x85"
                         "c"),
        Lines({ { "a" }, { "b" }, { "c" } }));
}

TEST(CSVParser, EachLineKnowsTheLineOfTheTextItBeganOn)
{
    // Records are numbered without blank lines; the text's lines count every break once
    // ("\r\n" included) and the breaks inside quotes.
    struct TextLines : csvtest::EventLog {
        void parserDidBeginLine(CSVParser* parser, quint64 line) override
        {
            starts.append(parser->textLineOfRecord());
            csvtest::EventLog::parserDidBeginLine(parser, line);
        }
        QList<quint64> starts;
    };
    const auto startsOf = [](const QString& text) {
        TextLines lines;
        auto parser = CSVParser::initWithCSVString(text);
        parser->setDelegate(&lines);
        parser->parse();
        return lines.starts;
    };
    EXPECT_EQ(startsOf("a\nb\r\nc\rd"), QList<quint64>({ 1, 2, 3, 4 }));
    EXPECT_EQ(startsOf("a\n\n\r\n\r\rb"), QList<quint64>({ 1, 6 }));
    EXPECT_EQ(startsOf("a,\"x\r\ny\n\"\n\nb"), QList<quint64>({ 1, 5 }));
    EXPECT_EQ(startsOf("\r\n\r\na"), QList<quint64>({ 1, 3 })); // a blank first record
}

TEST(CSVParser, QuotedFieldsRawOrSanitized)
{
    const QByteArray text = "\"a \"\"quoted\"\" word\",\"x,y\",\"line\nbreak\",\"\"\n";
    EXPECT_EQ(parseBytes(text, kSanitizeFields),
        Lines({ { "a \"quoted\" word", "x,y", "line\nbreak", "" }, { "" } }));
    // Unsanitized fields are the text as written, quotes and all.
    EXPECT_EQ(parseBytes(text),
        Lines({ { "\"a \"\"quoted\"\" word\"", "\"x,y\"", "\"line\nbreak\"", "\"\"" }, { "" } }));
    EXPECT_EQ(parseBytes("\"a\"\"\"", kSanitizeFields), Lines({ { "a\"" } }));
    EXPECT_EQ(parseBytes("\"\"\"\"", kSanitizeFields), Lines({ { "\"" } }));
}

TEST(CSVParser, AQuoteInsideAnUnquotedFieldIsAFormatError)
{
    csvtest::EventLog log;
    auto parser = CSVParser::initWithCSVString(QStringLiteral("x,ab\"c\nnext"));
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(log.events,
        QStringList({ "begin", "line 1", "field 0 [x]", "field 1 [ab]", "/line 1", "error 1" }));
    EXPECT_EQ(log.error.domain(), "net.solvane.csv");
    EXPECT_EQ(log.error.code(), CSVErrors::FormatError);
    EXPECT_EQ(log.error.localizedDescription(),
        "Unexpected delimiter. Expected ',' (0x2C), but got '\"' (0x22)");

    platform::Error error;
    EXPECT_EQ(parseBytes("\"a\"b"), std::nullopt);
    EXPECT_EQ(parseBytes("\"a\"b", 0, &error), std::nullopt);
    EXPECT_EQ(error.localizedDescription(),
        "Unexpected delimiter. Expected ',' (0x2C), but got 'b' (0x62)");
    EXPECT_EQ(CSVAdditions::CSVComponents(QStringLiteral("a\"")), std::nullopt);
}

// Every reader error that has a line carries it, counted as the file's lines are; shown
// for a person, the line leads a text that does not name it.
TEST(CSVParser, EveryFormatErrorCarriesTheLineOfItsRecord)
{
    const auto lineOf = [](const QByteArray& text, quint32 options = 0) {
        platform::Error error;
        EXPECT_EQ(parseBytes(text, options, &error), std::nullopt) << text.constData();
        return error.userInfo().value(CSVErrors::LineKey);
    };
    EXPECT_EQ(lineOf("a,b\n\nc,d\"e\nf"), 3u);
    EXPECT_EQ(lineOf("a\r\n\"b\nc\"x,d\n"), 2u);
    EXPECT_EQ(lineOf("a\nb\n\"c\n"), 3u);
    EXPECT_EQ(lineOf("a\nb,c\xE2\x82"), 2u);

    platform::Error error;
    parseBytes("a,b\n\nc,d\"e\nf", 0, &error);
    EXPECT_EQ(CSVErrors::describedWithLine(error),
        "Line 3: Unexpected delimiter. Expected ',' (0x2C), but got '\"' (0x22)");
    parseBytes("a\nb\n\"c\n", 0, &error);
    EXPECT_EQ(CSVErrors::describedWithLine(error),
        "The quoted field in line 3 has no closing double quote.");
    // Line 1 is not line 12.
    QByteArray lines;
    for (int i = 0; i < 11; ++i)
        lines += "a\n";
    parseBytes(lines + "\"open", 0, &error);
    EXPECT_EQ(CSVErrors::describedWithLine(error),
        "The quoted field in line 12 has no closing double quote.");
    EXPECT_EQ(CSVErrors::describedWithLine(CSVErrors::formatErrorInLine("Line 1 is bad.", 12)),
        "Line 12: Line 1 is bad.");
    // An error of no line is as it was.
    EXPECT_EQ(CSVErrors::describedWithLine(CSVErrors::formatError("Not opened.")), "Not opened.");
}

TEST(CSVParser, AnUnterminatedQuotedFieldIsAFormatErrorNamingItsLine)
{
    csvtest::EventLog log;
    auto parser
        = CSVParser::initWithCSVString(QStringLiteral("h1,h2\nv1,v2\n\nw1,\"open\nstill, open"));
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(log.events.mid(log.events.size() - 4),
        QStringList({ "line 3", "field 0 [w1]", "/line 3", "error 1" }));
    EXPECT_EQ(log.error.code(), CSVErrors::FormatError);
    // The message names the line of the file, which counts the blank line.
    EXPECT_EQ(log.error.localizedDescription(),
        "The quoted field in line 4 has no closing double quote.");

    platform::Error error;
    EXPECT_EQ(parseBytes("\"", kSanitizeFields, &error), std::nullopt);
    EXPECT_EQ(
        error.localizedDescription(), "The quoted field in line 1 has no closing double quote.");
    EXPECT_EQ(parseBytes("\"a\\\"", kEscapes | kSanitizeFields, &error), std::nullopt);
    EXPECT_EQ(error.code(), CSVErrors::FormatError);
}

TEST(CSVParser, NulCharactersAreTextNotTheEnd)
{
    const auto lines = parseBytes(QByteArray("a\0b,c\nd", 7));
    ASSERT_TRUE(lines);
    EXPECT_EQ(
        *lines, Lines({ { QString(reinterpret_cast<const QChar*>(u"a\0b"), 3), "c" }, { "d" } }));
}

TEST(CSVParser, BackslashEscapes)
{
    EXPECT_EQ(parseBytes("a\\,b,\"q\\\"q\",c\\\nd,e\\\\f", kEscapes | kSanitizeFields),
        Lines({ { "a,b", "q\"q", "c\nd", "e\\f" } }));
    // Raw fields keep the backslashes; without the option a backslash is text.
    EXPECT_EQ(parseBytes("a\\,b", kEscapes), Lines({ { "a\\,b" } }));
    EXPECT_EQ(parseBytes("a\\,b", kSanitizeFields), Lines({ { "a\\", "b" } }));
    // A backslash as the last character escapes nothing.
    EXPECT_EQ(parseBytes("ab\\", kEscapes | kSanitizeFields), Lines({ { "ab" } }));
}

TEST(CSVParser, Comments)
{
    EXPECT_EQ(eventsOf("#first\n#second, with comma\na,b\n#later\nc", kComments),
        QStringList({ "begin", "comment [first]", "comment [second, with comma]", "line 1",
            "field 0 [a]", "field 1 [b]", "/line 1", "comment [later]", "line 2", "field 0 [c]",
            "/line 2", "end" }));
    // A "#" only starts a comment at the start of a line, and only with the option.
    EXPECT_EQ(parseBytes("a,#b\n#c"), Lines({ { "a", "#b" }, { "#c" } }));
    EXPECT_EQ(parseBytes("a,#b\n#c", kComments), Lines({ { "a", "#b" }, { "" } }));
    EXPECT_EQ(eventsOf("#a\\\nb\nc", kComments | kEscapes).mid(1, 2),
        QStringList({ "comment [a\\\nb]", "line 1" }));
}

TEST(CSVParser, StrippingWhitespace)
{
    const QByteArray text = "  a b  ,  \"  q  \"  ,\t,c\n";
    EXPECT_EQ(
        parseBytes(text, kStrip | kSanitizeFields), Lines({ { "a b", "  q  ", "", "c" }, { "" } }));
    EXPECT_EQ(parseBytes(text, kStrip), Lines({ { "a b", "\"  q  \"", "", "c" }, { "" } }));
    // Without stripping, a quote after spaces is a quote inside an unquoted field.
    EXPECT_EQ(parseBytes(text, kSanitizeFields), std::nullopt);
    EXPECT_EQ(parseBytes("  a  ,b ", kSanitizeFields), Lines({ { "  a  ", "b " } }));

    // A tab delimiter is never taken for whitespace.
    StringEncoding encoding = StringEncoding::UTF8;
    auto parser = CSVParser::initWithInputStream(bufferOf("\t a \t\n"), &encoding, u'\t');
    csvtest::EventLog log;
    parser->setStripsLeadingAndTrailingWhitespace(true);
    parser->setSanitizesFields(true);
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(log.events.filter("field"),
        QStringList({ "field 0 []", "field 1 [a]", "field 2 []", "field 0 []" }));
}

TEST(CSVParser, OtherDelimiters)
{
    StringEncoding encoding = StringEncoding::UTF8;
    auto parser = CSVParser::initWithInputStream(bufferOf("a;b,c;\"d;e\"\n"), &encoding, u';');
    csvtest::EventLog log;
    parser->setSanitizesFields(true);
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(log.events.filter("field"),
        QStringList({ "field 0 [a]", "field 1 [b,c]", "field 2 [d;e]", "field 0 []" }));
}

TEST(CSVParser, ABackslashDelimiterIsADelimiterWithOrWithoutEscapes)
{
    const auto fields = [](const QByteArray& bytes, quint32 options) {
        StringEncoding encoding = StringEncoding::UTF8;
        auto parser = CSVParser::initWithInputStream(bufferOf(bytes), &encoding, u'\\');
        csvtest::EventLog log;
        parser->setOptions(options);
        parser->setDelegate(&log);
        parser->parse();
        return log.events.filter("field");
    };
    const QStringList expected { "field 0 [a]", "field 1 [b]", "field 2 []", "field 0 [c]",
        "field 1 [d\\e]", "field 0 []" };
    for (const quint32 options : { kSanitizeFields, kSanitizeFields | kEscapes, kEscapes, 0u }) {
        SCOPED_TRACE(options);
        // The field that ends the line keeps its line break to itself.
        EXPECT_EQ(fields("a\\b\\\nc\\\"d\\e\"\n", options).mid(0, 3), expected.mid(0, 3));
        if (options & kSanitizeFields) {
            EXPECT_EQ(fields("a\\b\\\nc\\\"d\\e\"\n", options), expected);
        }
    }
}

TEST(CSVParser, OptionsFromTheMask)
{
    auto parser = CSVParser::initWithCSVString(QString());
    EXPECT_FALSE(parser->recognizesBackslashesAsEscapes() || parser->sanitizesFields()
        || parser->recognizesComments() || parser->stripsLeadingAndTrailingWhitespace());
    parser->setOptions(kSanitizeFields | kStrip);
    EXPECT_TRUE(parser->sanitizesFields());
    EXPECT_TRUE(parser->stripsLeadingAndTrailingWhitespace());
    EXPECT_FALSE(parser->recognizesBackslashesAsEscapes() || parser->recognizesComments());
    parser->setOptions(kEscapes | kComments);
    EXPECT_TRUE(parser->recognizesBackslashesAsEscapes() && parser->recognizesComments());
    EXPECT_FALSE(parser->sanitizesFields() || parser->stripsLeadingAndTrailingWhitespace());
}

TEST(CSVParser, CancellingStopsEverythingButTheEndOfTheDocument)
{
    csvtest::EventLog log;
    auto parser = CSVParser::initWithCSVString(QStringLiteral("a,b\nc,stop,d\ne\n\"never closed"));
    log.onField = [](CSVParser* parser, const QString& field) {
        if (field == "stop")
            parser->cancelParsing();
    };
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(log.events,
        QStringList({ "begin", "line 1", "field 0 [a]", "field 1 [b]", "/line 1", "line 2",
            "field 0 [c]", "field 1 [stop]", "end" }));

    // Cancelled in a comment: no line follows.
    struct : csvtest::EventLog {
        void parserDidReadComment(CSVParser* parser, const QString& comment) override
        {
            EventLog::parserDidReadComment(parser, comment);
            parser->cancelParsing();
        }
    } cancelling;
    auto second = CSVParser::initWithCSVString(QStringLiteral("#x\n#y\na"));
    second->setRecognizesComments(true);
    second->setDelegate(&cancelling);
    second->parse();
    EXPECT_EQ(cancelling.events, QStringList({ "begin", "comment [x]", "end" }));
}

TEST(CSVParser, MisuseRaises)
{
    StringEncoding utf8 = StringEncoding::UTF8;
    EXPECT_EQ(reasonOf([&] { CSVParser::initWithInputStream(nullptr, &utf8, u','); }),
        "Invalid parameter not satisfying: stream");
    EXPECT_EQ(reasonOf([&] { CSVParser::initWithInputStream(bufferOf("a"), &utf8, 0); }),
        "Invalid parameter not satisfying: delimiter");
    for (char16_t newline : { u'\n', u'\r', char16_t(0x2028) }) {
        EXPECT_EQ(reasonOf([&] { CSVParser::initWithInputStream(bufferOf("a"), &utf8, newline); }),
            "The field delimiter may not be a newline");
    }
    EXPECT_EQ(reasonOf([&] { CSVParser::initWithInputStream(bufferOf("a"), &utf8, u'"'); }),
        "The field delimiter may not be a double quote");
    EXPECT_EQ(reasonOf([&] { CSVParser::initWithInputStream(bufferOf("a"), &utf8, u'#'); }),
        "The field delimiter may not be an octothorpe");
    EXPECT_EQ(reasonOf([] { CSVAdditions::arrayWithContentsOfCSVFile(QString()); }),
        "Invalid parameter not satisfying: path");
}

TEST(CSVParser, AFileThatCannotBeOpenedOrReadIsAnError)
{
    const QString missing = QDir(testsupport::homePath()).filePath("missing.csv");
    platform::Error error;
    EXPECT_EQ(
        CSVAdditions::arrayWithContentsOfCSVFile(missing, kSanitizeFields, &error), std::nullopt);
    EXPECT_EQ(error.domain(), CSVErrors::Domain);
    EXPECT_EQ(error.code(), CSVErrors::FormatError);
    EXPECT_EQ(error.userInfo().value(platform::Error::FilePathKey).toString(), missing);

    // A source that breaks after two lines.
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "line,of,text\n";
    auto broken = std::make_unique<csvtest::TrickleDevice>(text, 512, 26);
    EXPECT_EQ(csvtest::parseStream(std::move(broken), 0, &error), std::nullopt);
    EXPECT_EQ(error.localizedDescription(), "Line 3 could not be read: Input/output error");
}

TEST(CSVParser, ReadsTheStreamInSmallPiecesAndCountsItsBytes)
{
    QByteArray text;
    for (int i = 0; i < 1000; ++i)
        text += QByteArray::number(i) + ",\"quoted\nfield " + QByteArray::number(i) + "\"\n";
    const QString path = QDir(testsupport::homePath()).filePath("counted.csv");
    csvtest::writeFile(path, text);

    auto parser = CSVParser::initWithContentsOfCSVFile(path);
    csvtest::EventLog log;
    parser->setSanitizesFields(true);
    parser->setDelegate(&log);
    parser->parse();
    EXPECT_EQ(parser->totalBytesRead(), quint64(text.size()));
    EXPECT_EQ(log.events.filter("field 1").size(), 1000);
    EXPECT_EQ(log.events.at(log.events.size() - 6), "field 1 [quoted\nfield 999]");

    // One field far longer than a piece of the stream.
    const QByteArray longField = QByteArray(100000, 'x') + "\"\"\n,y";
    const auto lines = parseBytes("a,\"" + longField + "\",b", kSanitizeFields);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 1);
    EXPECT_EQ(lines->first().at(1), QString(100000, u'x') + "\"\n,y");
    EXPECT_EQ(lines->first().at(2), "b");
}
