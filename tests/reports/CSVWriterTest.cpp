#include "CSVTestSupport.h"

#include "platform/Exception.h"

#include "reports/CSVAdditions.h"
#include "reports/CSVErrors.h"
#include "reports/CSVWriter.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <functional>

using Lines = QList<QStringList>;

namespace {

QByteArray written(const std::function<void(CSVWriter&)>& write,
    StringEncoding encoding = StringEncoding::UTF8, char16_t delimiter = u',')
{
    QByteArray bytes;
    auto writer
        = CSVWriter::initWithOutputStream(std::make_unique<QBuffer>(&bytes), encoding, delimiter);
    write(*writer);
    platform::Error error;
    EXPECT_TRUE(writer->closeStream(&error)) << error.localizedDescription().toStdString();
    return bytes;
}

QByteArray line(const QStringList& fields, char16_t delimiter = u',')
{
    return written([&](CSVWriter& writer) { writer.writeLineOfFields(fields); },
        StringEncoding::UTF8, delimiter);
}

// A folder this process cannot create files in. Permissions do not stop the superuser,
// so it gets a folder of the kernel's instead.
QString unwritableFolder()
{
    const QString folder = QDir(testsupport::homePath()).filePath("read-only");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(QDir(folder).filePath("probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return folder;
    probe.close();
    probe.remove();
    return QStringLiteral("/proc");
}

} // namespace

TEST(CSVWriter, QuotesOnlyFieldsWithLineBreaksDelimitersOrQuotes)
{
    EXPECT_EQ(line({ "a", "b,c" }), "a,\"b,c\"\n");
    EXPECT_EQ(line({ "say \"hi\"" }), "\"say \"\"hi\"\"\"\n");
    EXPECT_EQ(line({ "\"" }), "\"\"\"\"\n");
    EXPECT_EQ(line({ "l\nf", "c\rr", "w\r\nb", "u\u2028s" }),
        "\"l\nf\",\"c\rr\",\"w\r\nb\",\"u\xE2\x80\xA8s\"\n");
    // Spaces, tabs, "#", backslashes and other scripts need no quotes.
    EXPECT_EQ(line({ " lead", "trail ", "\tt", "#h", "b\\s", "é日😀" }),
        " lead,trail ,\tt,#h,b\\s,\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\n");
    EXPECT_EQ(line({ "a,b", "c;d" }, u';'), "a,b;\"c;d\"\n");
}

TEST(CSVWriter, EmptyFieldsValuesAndLines)
{
    const QByteArray bytes = written([](CSVWriter& writer) {
        writer.writeLineOfFields(QVariantList { "a", QVariant(), "b" });
        writer.writeLineOfFields(QVariantList { QVariant(), QVariant() });
        // A line of one empty field stays a line when read back.
        writer.writeLineOfFields(QVariantList { QVariant() });
        writer.writeLineOfFields(QStringList { QString() });
        writer.writeLineOfFields(QVariantList {});
    });
    EXPECT_EQ(bytes, "a,,b\n,\n\"\"\n\"\"\n\n");
    EXPECT_EQ(CSVAdditions::CSVComponentsWithOptions(
                  QString::fromUtf8(bytes), CSVParserOptionsSanitizesFields),
        Lines({ { "a", "", "b" }, { "", "" }, { "" }, { "" }, { "" } }));
}

TEST(CSVWriter, ValuesAreWrittenInTheirPlainFormWhateverTheLocale)
{
    const QDateTime date(QDate(2024, 3, 5), QTime(14, 30, 5), QTimeZone(3600));
    const QVariantList values { 1.5, -0.25, 3.0, 1e20, 42, qint64(9007199254740993LL), true, false,
        date, QStringLiteral("1.234,5") };
    const QByteArray expected
        = "1.5,-0.25,3,1e+20,42,9007199254740993,1,0,2024-03-05 13:30:05 +0000,\"1.234,5\"\n";
    EXPECT_EQ(written([&](CSVWriter& writer) { writer.writeLineOfFields(values); }), expected);

    csvtest::GermanLocale german;
    EXPECT_EQ(QLocale().toString(1.5), "1,5");
    EXPECT_EQ(written([&](CSVWriter& writer) { writer.writeLineOfFields(values); }), expected);
    EXPECT_EQ(
        CSVAdditions::CSVString(QVariantList { QVariant(values) }), QString::fromUtf8(expected));
}

TEST(CSVWriter, FieldsCommentsAndLinesInAnyOrder)
{
    const QByteArray bytes = written([](CSVWriter& writer) {
        writer.writeField(QStringLiteral("a"));
        writer.writeField(QVariant(2));
        writer.writeComment(QStringLiteral("one\ntwo, three"));
        writer.writeField(QStringLiteral("b"));
        writer.writeLineOfFields(QStringList { "c" });
        writer.writeComment(QStringLiteral("x\r\ny"));
        writer.finishLine();
    });
    EXPECT_EQ(bytes, "a,2\n#one\n#two, three\nb\nc\n#x\n#\n#y\n\n");
}

TEST(CSVWriter, UTF8WithoutAMarkAndMarkedEncodingsWithOneMark)
{
    const QStringList fields { "é", "日本", "😀", "a,\"b\"" };
    const QByteArray utf8 = line(fields);
    EXPECT_EQ(utf8, "\xC3\xA9,\xE6\x97\xA5\xE6\x9C\xAC,\xF0\x9F\x98\x80,\"a,\"\"b\"\"\"\n");

    const QByteArray littleMark("\xFF\xFE", 2);
    const QByteArray bigMark("\xFE\xFF", 2);
    for (StringEncoding encoding : { StringEncoding::UTF16, StringEncoding::UTF32 }) {
        const QByteArray bytes = written(
            [&](CSVWriter& writer) {
                writer.writeLineOfFields(fields);
                writer.writeLineOfFields(fields);
            },
            encoding);
        const bool little = bytes.startsWith(littleMark);
        ASSERT_TRUE(little || bytes.startsWith(bigMark));
        EXPECT_EQ(bytes.count(little ? littleMark : bigMark), 1);
        EXPECT_EQ(csvtest::parseBytes(bytes, CSVParserOptionsSanitizesFields),
            Lines({ fields, fields, { "" } }));
        // A writer that writes nothing still marks its stream.
        EXPECT_FALSE(written([](CSVWriter&) {}, encoding).isEmpty());
    }
    // The encodings of one byte order carry no mark.
    EXPECT_EQ(written([](CSVWriter& writer) { writer.writeField(QStringLiteral("a")); },
                  StringEncoding::UTF16BigEndian),
        QByteArray("\0a", 2));
    EXPECT_TRUE(written([](CSVWriter&) {}).isEmpty());
}

TEST(CSVWriter, ISO2022KRDesignatesOnce)
{
    const QByteArray bytes = written(
        [](CSVWriter& writer) {
            writer.writeLineOfFields(QStringList { "a", "한" });
            writer.writeLineOfFields(QStringList { "국", "b" });
        },
        StringEncoding::ISO2022KR);
    EXPECT_TRUE(bytes.startsWith("\x1b$)C"));
    EXPECT_EQ(bytes.count("\x1b$)C"), 1);
    EXPECT_EQ(csvtest::parseBytes(bytes), Lines({ { "a", "한" }, { "국", "b" }, { "" } }));
}

TEST(CSVWriter, ACharacterTheEncodingCannotHoldIsAnError)
{
    QByteArray bytes;
    auto writer = CSVWriter::initWithOutputStream(
        std::make_unique<QBuffer>(&bytes), StringEncoding::MacOSRoman, u',');
    writer->writeLineOfFields(QStringList { "café", "日本" });
    platform::Error error;
    EXPECT_FALSE(writer->closeStream(&error));
    EXPECT_EQ(error.domain(), CSVErrors::Domain);
    EXPECT_EQ(error.code(), CSVErrors::FormatError);
    EXPECT_EQ(error.localizedDescription(),
        "The CSV text holds characters that cannot be written in Mac OS Roman.");
}

TEST(CSVWriter, ADelimiterTheEncodingCannotHoldIsAnErrorAndWritesNothing)
{
    for (const char16_t delimiter : { char16_t(0xFFFD), char16_t(0x3000) }) {
        SCOPED_TRACE(int(delimiter));
        QByteArray bytes;
        auto writer = CSVWriter::initWithOutputStream(
            std::make_unique<QBuffer>(&bytes), StringEncoding::MacOSRoman, delimiter);
        writer->writeLineOfFields(QStringList { "a", "b", "c" });
        platform::Error error;
        EXPECT_FALSE(writer->closeStream(&error));
        EXPECT_EQ(error.code(), CSVErrors::FormatError);
        EXPECT_EQ(error.localizedDescription(),
            "The CSV text holds characters that cannot be written in Mac OS Roman.");
        EXPECT_TRUE(bytes.isEmpty()) << bytes.toStdString();
    }
}

TEST(CSVWriter, WritesAFileAndReplacesWhatWasThere)
{
    const QString path = QDir(testsupport::homePath()).filePath("out.csv");
    csvtest::writeFile(path, QByteArray(100000, 'z'));
    auto writer = CSVWriter::initForWritingToCSVFile(path);
    writer->writeLineOfFields(QStringList { "a", "b" });
    EXPECT_TRUE(writer->closeStream());
    EXPECT_EQ(csvtest::readFile(path), "a,b\n");
}

TEST(CSVWriter, AFullDiskOrAReadOnlyFolderIsReportedNotSuccess)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    auto full = CSVWriter::initForWritingToCSVFile("/dev/full");
    EXPECT_TRUE(full->error().isNull());
    full->writeLineOfFields(QStringList { "a", "b" });
    platform::Error error;
    EXPECT_FALSE(full->closeStream(&error));
    EXPECT_EQ(error.code(), CSVErrors::FormatError);
    EXPECT_TRUE(error.localizedDescription().startsWith("The CSV text could not be written: "));
    EXPECT_EQ(error.userInfo().value(platform::Error::FilePathKey).toString(), "/dev/full");

    // Large output fails while it is written, not only when the stream closes.
    auto large = CSVWriter::initForWritingToCSVFile("/dev/full");
    for (int i = 0; i < 10000 && large->error().isNull(); ++i)
        large->writeLineOfFields(QStringList { "some", "text", QString::number(i) });
    EXPECT_FALSE(large->error().isNull());
    EXPECT_FALSE(large->closeStream());

    const QString path = QDir(unwritableFolder()).filePath("export.csv");
    auto readOnly = CSVWriter::initForWritingToCSVFile(path);
    EXPECT_FALSE(readOnly->error().isNull());
    readOnly->writeLineOfFields(QStringList { "a" });
    EXPECT_FALSE(readOnly->closeStream(&error));
    EXPECT_EQ(error.userInfo().value(platform::Error::FilePathKey).toString(), path);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(CSVWriter, FieldsWrittenAfterClosingAreReported)
{
    QByteArray bytes;
    auto writer = CSVWriter::initWithOutputStream(
        std::make_unique<QBuffer>(&bytes), StringEncoding::UTF8, u',');
    writer->writeField(QStringLiteral("a"));
    EXPECT_TRUE(writer->closeStream());
    writer->writeField(QStringLiteral("b"));
    EXPECT_FALSE(writer->closeStream());
    EXPECT_EQ(bytes, "a");
}

TEST(CSVString, WritesTheListsAmongTheElements)
{
    const QVariantList array { QVariantList { "a", 1, QVariant() }, QStringLiteral("not a line"),
        QStringList { "b,c", "d\"e" }, 5, QVariant(), QVariant::fromValue(QList<int> { 7, 8 }) };
    EXPECT_EQ(CSVAdditions::CSVString(array), "a,1,\n\"b,c\",\"d\"\"e\"\n7,8\n");
    EXPECT_EQ(CSVAdditions::CSVString({}), "");
}

TEST(CSVWriter, MisuseRaises)
{
    EXPECT_THROW(
        CSVWriter::initWithOutputStream(nullptr, StringEncoding::UTF8, u','), platform::Exception);
    EXPECT_THROW(
        CSVWriter::initWithOutputStream(std::make_unique<QBuffer>(), StringEncoding(12345), u','),
        platform::Exception);
}
