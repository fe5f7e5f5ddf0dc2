#include "CSVTestSupport.h"

#include "reports/CSVAdditions.h"
#include "reports/CSVWriter.h"

#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using Lines = QList<QStringList>;

namespace {

constexpr quint32 kSanitizingOptions = CSVParserOptionsSanitizesFields;

// Each awkward field alone, beside its neighbours, first and last on a line, and all of
// them on one line.
Lines awkwardLines()
{
    const QStringList fields = csvtest::awkwardFields();
    Lines lines;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        lines.append({ fields[i] });
        lines.append({ fields[i], fields[(i + 1) % fields.size()] });
        lines.append({ QStringLiteral("x"), fields[i], QString() });
    }
    lines.append(fields);
    return lines;
}

// Many lines of awkward fields, some long enough to cross several pieces of the stream.
Lines randomLines(int count)
{
    QRandomGenerator random(7);
    const QStringList fields = csvtest::awkwardFields();
    Lines lines;
    for (int i = 0; i < count; ++i) {
        QStringList line;
        const int width = random.bounded(1, 8);
        for (int f = 0; f < width; ++f) {
            QString field = fields[random.bounded(int(fields.size()))];
            if (random.bounded(20) == 0)
                field = field.repeated(random.bounded(50, 200));
            line.append(field);
        }
        lines.append(line);
    }
    return lines;
}

QString pathFor(const char* name)
{
    return QDir(testsupport::homePath()).filePath(QString::fromLatin1(name));
}

bool writeFile(const QString& path, const Lines& lines)
{
    auto writer = CSVWriter::initForWritingToCSVFile(path);
    for (const QStringList& line : lines)
        writer->writeLineOfFields(line);
    return writer->closeStream();
}

const char kPythonReader[] = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    json.dump(list(csv.reader(f)), sys.stdout)
)";

const char kPythonWriter[] = R"(
import csv, json, sys
rows = json.load(sys.stdin)
with open(sys.argv[1], 'w', newline='', encoding='utf-8') as f:
    csv.writer(f).writerows(rows)
)";

Lines linesOfJson(const QByteArray& json)
{
    Lines lines;
    for (const QJsonValue& row : QJsonDocument::fromJson(json).array()) {
        QStringList line;
        for (const QJsonValue& field : row.toArray())
            line.append(field.toString());
        lines.append(line);
    }
    return lines;
}

QByteArray jsonOfLines(const Lines& lines)
{
    QJsonArray rows;
    for (const QStringList& line : lines)
        rows.append(QJsonArray::fromStringList(line));
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

} // namespace

TEST(CSVRoundTrip, WriterToReaderUnchanged)
{
    for (const Lines& lines : { awkwardLines(), randomLines(3000) }) {
        const QString path = pathFor("roundtrip.csv");
        ASSERT_TRUE(writeFile(path, lines));
        const auto read = CSVAdditions::arrayWithContentsOfCSVFile(path, kSanitizingOptions);
        ASSERT_TRUE(read);
        EXPECT_EQ(csvtest::withoutFinalEmptyLine(*read), lines);

        QVariantList array;
        for (const QStringList& line : lines)
            array.append(QVariant(line));
        const auto components = CSVAdditions::CSVComponentsWithOptions(
            CSVAdditions::CSVString(array), kSanitizingOptions);
        ASSERT_TRUE(components);
        EXPECT_EQ(csvtest::withoutFinalEmptyLine(*components), lines);
    }
}

TEST(CSVRoundTrip, EveryEncodingTheWriterTakes)
{
    const Lines lines = awkwardLines();
    for (StringEncoding encoding :
        { StringEncoding::UTF8, StringEncoding::UTF16, StringEncoding::UTF32 }) {
        QByteArray bytes;
        auto writer
            = CSVWriter::initWithOutputStream(std::make_unique<QBuffer>(&bytes), encoding, u',');
        for (const QStringList& line : lines)
            writer->writeLineOfFields(line);
        ASSERT_TRUE(writer->closeStream());
        StringEncoding found = StringEncoding::Unknown;
        const auto read = csvtest::parseBytes(bytes, kSanitizingOptions, nullptr, &found);
        ASSERT_TRUE(read);
        EXPECT_EQ(csvtest::withoutFinalEmptyLine(*read), lines);
        EXPECT_NE(found, StringEncoding::Unknown);
    }
}

TEST(CSVRoundTrip, PythonsCsvModuleReadsOurFieldsAndWeReadItsOwn)
{
    const Lines lines = awkwardLines() + randomLines(300);
    const QString ours = pathFor("ours.csv");
    ASSERT_TRUE(writeFile(ours, lines));
    int exitCode = -1;
    const QByteArray json
        = testsupport::runTool("python3", { "-c", kPythonReader, ours }, {}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(linesOfJson(json), lines);

    // Python's writer ends lines with "\r\n" and quotes in its own way.
    const QString theirs = pathFor("theirs.csv");
    testsupport::runTool("python3", { "-c", kPythonWriter, theirs }, jsonOfLines(lines), &exitCode);
    ASSERT_EQ(exitCode, 0);
    const auto read = CSVAdditions::arrayWithContentsOfCSVFile(theirs, kSanitizingOptions);
    ASSERT_TRUE(read);
    EXPECT_EQ(csvtest::withoutFinalEmptyLine(*read), lines);
}

TEST(CSVRoundTrip, NumbersUnderAGermanLocale)
{
    csvtest::GermanLocale german;
    const QVariantList array { QVariantList { 1234.5, -0.001, 7, true },
        QVariantList { QLocale().toString(1234.5), QStringLiteral("x") } };
    const QString text = CSVAdditions::CSVString(array);
    EXPECT_EQ(text, "1234.5,-0.001,7,1\n\"1.234,5\",x\n");
    EXPECT_EQ(CSVAdditions::CSVComponentsWithOptions(text, kSanitizingOptions),
        Lines({ { "1234.5", "-0.001", "7", "1" }, { "1.234,5", "x" }, { "" } }));
}
