#include "platform/xls/Workbook.h"
#include "common/BiffRecords.h"
#include "common/FreexlWorkbook.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

using namespace platform::xls;
using testsupport::BiffRecord;
using testsupport::le16;
using testsupport::le32;
using testsupport::readFile;
using Records = testsupport::WorkbookRecords;
constexpr auto ofType = testsupport::recordsOfType;

namespace {

constexpr quint16 ContinueRecord = 0x003C;
constexpr quint16 SstRecord = 0x00FC;
constexpr quint16 XfRecord = 0x00E0;
constexpr quint16 FontRecord = 0x0031;
constexpr quint16 LabelSstRecord = 0x00FD;
constexpr quint16 MergeCellsRecord = 0x00E5;

QString pathFor(const QString& name)
{
    return QDir(testsupport::homePath()).filePath(name);
}

Records recordsOf(const QString& path)
{
    Records records = testsupport::readWorkbookRecords(path);
    EXPECT_TRUE(records.error.isEmpty()) << records.error.toStdString();
    return records;
}

// The format record index of the text cell at a place, or -1.
int textCellFormat(const std::vector<BiffRecord>& sheet, quint16 row, quint16 col)
{
    for (const BiffRecord* record : ofType(sheet, LabelSstRecord)) {
        if (le16(record->data, 0) == row && le16(record->data, 2) == col)
            return le16(record->data, 4);
    }
    return -1;
}

} // namespace

TEST(XlsWorkbook, NumbersTextsAndBlanksReadBackCellByCell)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Data");
    const std::vector<double> numbers { 0, -1.5, M_PI, 1e300, 42, -0.000123 };
    for (int c = 0; c < int(numbers.size()); ++c)
        sheet->number(0, c, numbers[size_t(c)]);
    const QStringList texts { "plain", QString::fromUtf8("Café crème"),
        QString::fromUtf8("Ελληνικά"), QString::fromUtf8("日本語 😀"), "" };
    for (int c = 0; c < texts.size(); ++c)
        sheet->label(1, c, texts[c]);
    for (int c = 0; c < 3; ++c)
        sheet->blank(2, c);
    sheet->number(3, 4, 7);
    sheet->label(3, 4, "replaced"); // a later cell at the same place wins
    const QString path = pathFor("cells.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success) << book.lastError().toStdString();

    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok()) << read.status;
    EXPECT_EQ(read.biffVersion, unsigned(FREEXL_BIFF_VER_8));
    EXPECT_EQ(read.codePage, unsigned(FREEXL_BIFF_UTF16LE));
    ASSERT_EQ(read.sheets.size(), 1u);
    const auto& data = read.sheets[0];
    EXPECT_EQ(data.name, "Data");
    EXPECT_EQ(data.rows, 4u);
    EXPECT_EQ(data.columns, 6u);
    for (unsigned c = 0; c < numbers.size(); ++c) {
        ASSERT_TRUE(data.at(0, c).isNumber()) << c;
        EXPECT_DOUBLE_EQ(data.at(0, c).number, numbers[c]);
    }
    for (unsigned c = 0; c + 1 < unsigned(texts.size()); ++c) {
        EXPECT_TRUE(data.at(1, c).isText()) << c;
        EXPECT_EQ(data.at(1, c).text, texts[int(c)]) << c;
    }
    EXPECT_TRUE(data.at(1, 4).isNull()); // an empty text is a blank cell
    for (unsigned c = 0; c < 3; ++c)
        EXPECT_TRUE(data.at(2, c).isNull());
    EXPECT_EQ(data.at(3, 4).text, "replaced");

    // Texts whose characters all fit in a byte are stored a byte per character.
    const QByteArray file = readFile(path);
    EXPECT_TRUE(file.contains("Caf\xE9 cr\xE8me"));
    EXPECT_TRUE(file.contains(QByteArray("\x95\x03\xBB\x03", 4))); // "Ελ" as UTF-16
}

TEST(XlsWorkbook, LongTextsCrossSharedStringRecordBoundaries)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Long");
    QStringList expected;
    // Texts that end records at every parity, in one-byte and two-byte characters and
    // both within one text.
    for (int i = 0; i < 200; ++i) {
        const int length = 1 + (i * 977) % 4000;
        QString text(length, QChar(u'a' + i % 26));
        if (i % 3 == 1)
            text[length / 2] = QChar(u'Ж');
        if (i % 3 == 2)
            text = QString(length, QChar(u'ß'));
        expected.append(text);
    }
    for (int r = 0; r < expected.size(); ++r)
        sheet->label(r, 0, expected[r]);
    const QString path = pathFor("long.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);

    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok()) << read.status;
    ASSERT_EQ(read.sheets.size(), 1u);
    ASSERT_EQ(read.sheets[0].rows, unsigned(expected.size()));
    for (int r = 0; r < expected.size(); ++r)
        EXPECT_EQ(read.sheets[0].at(unsigned(r), 0).text, expected[r]) << "row " << r;

    const Records records = recordsOf(path);
    EXPECT_GT(ofType(records.globals, ContinueRecord).size(), 40u);
    for (const BiffRecord& record : records.globals)
        EXPECT_LE(record.data.size(), 8224);
}

// freexl misreads texts that run over more than two records (whoever wrote them), so
// these are read by the strict reader of the tests, and by LibreOffice in its own test.
TEST(XlsWorkbook, TextsOverManyRecordsAreContinuedAndCutAtTheCellLimit)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Longest");
    QStringList expected { QString(20000, QChar(u'a')), QString(20000, QChar(u'Ж')),
        QString(12000, QChar(u'b')) + QString::fromUtf8("ü€") };
    expected.append(QString(40000, QChar(u'x')));
    expected.append(QString(32766, QChar(u'y')) + QString::fromUtf8("😀") + "tail");
    for (int r = 0; r < expected.size(); ++r)
        sheet->label(r, 0, expected[r]);
    // Cut at the limit, and a surrogate pair at the cut is not split.
    expected[3] = expected[3].left(MaxTextLength);
    expected[4] = QString(32766, QChar(u'y'));
    const QString path = pathFor("longest.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);

    const Records records = recordsOf(path);
    bool ok = false;
    const QStringList texts = testsupport::readSharedStrings(records.globals, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(texts, expected);
    for (const BiffRecord& record : records.globals)
        EXPECT_LE(record.data.size(), 8224);
}

TEST(XlsWorkbook, SeveralSheetsKeepTheirNamesCellsAndTheActiveOne)
{
    Workbook book;
    Worksheet* first = book.sheet("First");
    Worksheet* second = book.sheet(QString::fromUtf8("Zweite Übersicht"));
    book.sheet("Empty");
    first->label(0, 0, "one");
    second->number(4, 2, 2.5);
    second->label(5, 3, "two");
    second->makeActive();
    const QString path = pathFor("sheets.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);

    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok()) << read.status;
    ASSERT_EQ(read.sheets.size(), 3u);
    EXPECT_EQ(read.sheets[0].name, "First");
    EXPECT_EQ(read.sheets[1].name, QString::fromUtf8("Zweite Übersicht"));
    EXPECT_EQ(read.sheets[2].name, "Empty");
    EXPECT_EQ(read.sheets[0].at(0, 0).text, "one");
    EXPECT_EQ(read.sheets[1].at(4, 2).number, 2.5);
    EXPECT_EQ(read.sheets[1].at(5, 3).text, "two");
    EXPECT_TRUE(read.sheets[1].at(0, 0).isNull());
    EXPECT_EQ(read.sheets[2].rows, 0u);

    const Records records = recordsOf(path);
    const auto window1 = ofType(records.globals, 0x003D);
    ASSERT_EQ(window1.size(), 1u);
    EXPECT_EQ(le16(window1[0]->data, 10), 1); // the active tab
    ASSERT_EQ(records.sheets.size(), 3u);
    for (size_t s = 0; s < 3; ++s) {
        const auto window2 = ofType(records.sheets[s], 0x023E);
        ASSERT_EQ(window2.size(), 1u);
        EXPECT_EQ(bool(le16(window2[0]->data, 0) & 0x0200), s == 1) << s;
    }
    // The used area of the second sheet: rows 4 to 5, columns 2 to 3.
    const auto dimensions = ofType(records.sheets[1], 0x0200);
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_EQ(le32(dimensions[0]->data, 0), 4u);
    EXPECT_EQ(le32(dimensions[0]->data, 4), 6u);
    EXPECT_EQ(le16(dimensions[0]->data, 8), 2);
    EXPECT_EQ(le16(dimensions[0]->data, 10), 4);
}

// A sheet holds 65536 rows, so 100000 rows take two sheets.
TEST(XlsWorkbook, HundredThousandRowsNeedMoreAllocationSectorsThanTheHeaderListsAndReadBack)
{
    constexpr int rows = 100000;
    constexpr int perSheet = MaxRow + 1;
    const QString longText = QString::fromUtf8("Lang ü ").repeated(400);
    const auto textAt = [&](int r, int c) -> QString {
        switch (c) {
        case 1:
            return QStringLiteral("Zeile %1 äöü").arg(r);
        case 2:
            return QString::fromUtf8("строка %1").arg(r);
        case 3:
            return r % 1000 == 0 ? longText + QString::number(r) : QString();
        case 7:
            return r % 2 ? "Yes" : "No";
        case 8:
            return QString::fromUtf8("行%1").arg(r % 5000);
        default:
            return {};
        }
    };

    Workbook book;
    QElapsedTimer timer;
    timer.start();
    Worksheet* sheets[] = { book.sheet("Big 1"), book.sheet("Big 2") };
    for (int r = 0; r < rows; ++r) {
        Worksheet* sheet = sheets[r / perSheet];
        const int row = r % perSheet;
        sheet->number(row, 0, r);
        for (int c : { 1, 2, 7, 8 })
            sheet->label(row, c, textAt(r, c));
        if (r % 1000 == 0)
            sheet->label(row, 3, textAt(r, 3));
        // Column 4 stays empty; column 5 holds blank cells.
        sheet->blank(row, 5);
        sheet->number(row, 6, r / 7.0);
        sheet->number(row, 9, -r);
    }
    const qint64 built = timer.restart();
    const QString path = pathFor("big.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success) << book.lastError().toStdString();
    std::printf("100000 rows x 10 columns: cells set in %lld ms, file written in %lld ms\n",
        static_cast<long long>(built), static_cast<long long>(timer.elapsed()));

    const auto contents = testsupport::readCompoundFile(readFile(path));
    ASSERT_TRUE(contents.ok) << contents.error.toStdString();
    EXPECT_GT(contents.fatSectors, 109u);
    EXPECT_GT(contents.difatSectors, 0u);

    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok()) << read.status;
    EXPECT_EQ(read.fatCount, contents.fatSectors * 128); // entries, not sectors
    ASSERT_EQ(read.sheets.size(), 2u);
    // Each distinct text is stored once, whichever sheet uses it.
    EXPECT_EQ(read.stringCount, unsigned(rows + rows + rows / 1000 + 2 + 5000));
    EXPECT_EQ(read.sheets[0].rows, unsigned(perSheet));
    EXPECT_EQ(read.sheets[1].rows, unsigned(rows - perSheet));
    int mismatches = 0;
    for (int r = 0; r < rows && mismatches < 10; ++r) {
        const auto& big = read.sheets[size_t(r / perSheet)];
        const unsigned row = unsigned(r % perSheet);
        ASSERT_EQ(big.columns, 10u);
        const auto check = [&](bool same, int c) {
            if (!same && ++mismatches <= 10)
                ADD_FAILURE() << "row " << r << " column " << c;
        };
        check(big.at(row, 0).isNumber() && big.at(row, 0).number == r, 0);
        for (int c : { 1, 2, 7, 8 })
            check(big.at(row, c).text == textAt(r, c), c);
        check(r % 1000 ? big.at(row, 3).isNull() : big.at(row, 3).text == textAt(r, 3), 3);
        check(big.at(row, 4).isNull() && big.at(row, 5).isNull(), 4);
        check(std::abs(big.at(row, 6).number - r / 7.0) < 1e-9, 6);
        check(big.at(row, 9).number == -r, 9);
    }
}

TEST(XlsWorkbook, MergedAreasAreWrittenAndOverlapsRefused)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Merged");
    sheet->label(1, 1, "title");
    EXPECT_TRUE(sheet->merge(2, 3, 1, 1)); // corners in any order
    EXPECT_TRUE(sheet->merge(5, 0, 5, 4));
    EXPECT_FALSE(sheet->merge(2, 2, 6, 2)); // overlaps both
    EXPECT_FALSE(sheet->merge(8, 8, 8, 8)); // a single cell
    Worksheet* many = book.sheet("Many");
    for (int i = 0; i < 1100; ++i)
        ASSERT_TRUE(many->merge(i, 0, i, 1));
    const QString path = pathFor("merged.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);

    const Records records = recordsOf(path);
    const auto merged = ofType(records.sheets[0], MergeCellsRecord);
    ASSERT_EQ(merged.size(), 1u);
    const QByteArray& data = merged[0]->data;
    ASSERT_EQ(le16(data, 0), 2);
    EXPECT_EQ((std::vector<int> { le16(data, 2), le16(data, 4), le16(data, 6), le16(data, 8) }),
        (std::vector<int> { 1, 2, 1, 3 }));
    EXPECT_EQ((std::vector<int> { le16(data, 10), le16(data, 12), le16(data, 14), le16(data, 16) }),
        (std::vector<int> { 5, 5, 0, 4 }));
    // A record holds at most 1027 areas; the rest follow in another.
    const auto parts = ofType(records.sheets[1], MergeCellsRecord);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(le16(parts[0]->data, 0) + le16(parts[1]->data, 0), 1100);
    EXPECT_EQ(le16(parts[1]->data, 2 + 8 * (le16(parts[1]->data, 0) - 1)), 1099);

    EXPECT_EQ(testsupport::readWithFreexl(path).sheets.at(0).at(1, 1).text, "title");
}

TEST(XlsWorkbook, CellSettersChangeOnlyThatCellAndEqualFormatsShareOneRecord)
{
    Workbook book;
    Font* boldFont = book.font("Verdana");
    boldFont->setBoldStyle(Boldness::Bold);
    ExtendedFormat* bold = book.xformat(boldFont);
    ExtendedFormat* sameAsBold = book.xformat(boldFont);
    Worksheet* sheet = book.sheet("Formats");
    Cell a = sheet->label(0, 0, "a", bold);
    Cell b = sheet->label(1, 0, "b", bold);
    Cell c = sheet->label(2, 0, "c", bold);
    Cell d = sheet->label(3, 0, "d", bold);
    sheet->label(4, 0, "e", sameAsBold);
    sheet->label(5, 0, "plain");
    b.setHAlign(HAlign::Center);
    c.setHAlign(HAlign::Center);
    d.setFontItalic(true);

    EXPECT_EQ(a.xf(), bold);
    EXPECT_EQ(bold->hAlign(), HAlign::General);
    EXPECT_NE(b.xf(), bold);
    EXPECT_EQ(b.xf(), c.xf());
    EXPECT_EQ(b.xf()->font(), boldFont);
    EXPECT_TRUE(d.xf()->font()->italic());
    EXPECT_FALSE(boldFont->italic());
    EXPECT_EQ(d.xf()->font()->boldStyle(), Boldness::Bold);

    const QString path = pathFor("formats.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    const Records records = recordsOf(path);
    const auto& cells = records.sheets.at(0);
    const int boldRecord = textCellFormat(cells, 0, 0);
    EXPECT_GE(boldRecord, 16);
    EXPECT_EQ(textCellFormat(cells, 4, 0), boldRecord); // equal formats, one record
    EXPECT_EQ(textCellFormat(cells, 5, 0), 15); // the default cell format
    EXPECT_EQ(textCellFormat(cells, 1, 0), textCellFormat(cells, 2, 0));
    EXPECT_NE(textCellFormat(cells, 1, 0), boldRecord);
    EXPECT_NE(textCellFormat(cells, 3, 0), boldRecord);

    // Style formats, the default, bold, bold centred, bold italic.
    const auto xfs = ofType(records.globals, XfRecord);
    ASSERT_EQ(xfs.size(), 19u);
    EXPECT_EQ(testsupport::readWithFreexl(path).xfCount, 19u);
    const QByteArray centred = xfs[size_t(textCellFormat(cells, 1, 0))]->data;
    EXPECT_EQ(centred[6] & 0x07, 2);
    EXPECT_EQ(le16(centred, 0), le16(xfs[size_t(boldRecord)]->data, 0));

    // Fonts 0 to 3 are the defaults; the bold font is index 5, bold italic 6.
    const auto fonts = ofType(records.globals, FontRecord);
    ASSERT_EQ(fonts.size(), 6u);
    EXPECT_EQ(le16(xfs[size_t(boldRecord)]->data, 0), 5);
    EXPECT_EQ(le16(fonts[4]->data, 6), 700);
    EXPECT_EQ(fonts[4]->data.mid(14), QByteArray("\x07\x00Verdana", 9));
    EXPECT_EQ(le16(xfs[size_t(textCellFormat(cells, 3, 0))]->data, 0), 6);
    EXPECT_EQ(le16(fonts[5]->data, 2) & 0x02, 0x02);
}

TEST(XlsWorkbook, NumberFormatsBuiltInAndCustomReachTheirRecords)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Numbers");
    ExtendedFormat* custom = book.xformat();
    custom->setFormat(book.format("0.000"));
    ExtendedFormat* again = book.xformat();
    again->setFormat(book.format("0.000"));
    again->setHAlign(HAlign::Right);
    sheet->number(0, 0, 1.5, NumberFormat::Percent);
    sheet->number(1, 0, 2.25, custom);
    sheet->number(2, 0, 3.125, again);
    const QString path = pathFor("numbers.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);

    const Records records = recordsOf(path);
    const auto formats = ofType(records.globals, 0x041E);
    ASSERT_EQ(formats.size(), 1u); // one record for the equal texts
    EXPECT_EQ(le16(formats[0]->data, 0), 164);
    EXPECT_EQ(formats[0]->data.mid(2),
        QByteArray("\x05\x00\x00"
                   "0.000",
            8));
    const auto xfs = ofType(records.globals, XfRecord);
    std::vector<int> numberFormats;
    for (const BiffRecord* record : ofType(records.sheets[0], 0x0203))
        numberFormats.push_back(le16(xfs.at(le16(record->data, 4))->data, 2));
    EXPECT_EQ(numberFormats, (std::vector<int> { 9, 164, 164 }));
    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok());
    EXPECT_DOUBLE_EQ(read.sheets[0].at(2, 0).number, 3.125);
}

TEST(XlsWorkbook, PositionsPastTheSheetAreRefusedAndNothingWraps)
{
    Workbook book;
    Worksheet* sheet = book.sheet("Edges");
    sheet->label(MaxRow, MaxColumn, "corner");
    const auto refused = [](auto write) {
        try {
            write();
        } catch (const platform::Exception& e) {
            EXPECT_EQ(e.name(), platform::Exception::RangeError);
            EXPECT_FALSE(e.reason().isEmpty());
            return true;
        }
        return false;
    };
    EXPECT_TRUE(refused([&] { sheet->label(MaxRow + 1, 0, "wrapped"); }));
    EXPECT_TRUE(refused([&] { sheet->number(0, MaxColumn + 1, 1); }));
    EXPECT_TRUE(refused([&] { sheet->blank(-1, 0); }));
    EXPECT_TRUE(refused([&] { sheet->colwidth(256, 1000); }));
    EXPECT_TRUE(refused([&] { sheet->merge(0, 0, 0, 300); }));
    EXPECT_FALSE(sheet->findCell(MaxRow + 1, 0));
    EXPECT_FALSE(sheet->findCell(0, 0));
    ASSERT_TRUE(sheet->findCell(MaxRow, MaxColumn));

    const QString path = pathFor("edges.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    const Records records = recordsOf(path);
    const auto cells = ofType(records.sheets.at(0), LabelSstRecord);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(le16(cells[0]->data, 0), MaxRow);
    EXPECT_EQ(le16(cells[0]->data, 2), MaxColumn);
    const auto dimensions = ofType(records.sheets.at(0), 0x0200);
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_EQ(le32(dimensions[0]->data, 4), quint32(MaxRow) + 1);
    EXPECT_EQ(le16(dimensions[0]->data, 10), MaxColumn + 1);
}

TEST(XlsWorkbook, DocumentPropertiesGoToSmallStreamsAndOnlyWhenSet)
{
    Workbook plain;
    plain.sheet("S")->label(0, 0, "x");
    const QString plainPath = pathFor("plain.xls");
    ASSERT_EQ(plain.dump(plainPath), Workbook::Success);
    auto contents = testsupport::readCompoundFile(readFile(plainPath));
    ASSERT_TRUE(contents.ok) << contents.error.toStdString();
    EXPECT_EQ(contents.streams.keys(), QStringList { "Workbook" });
    // Padded so that it is never taken for one of the mini stream's.
    EXPECT_GT(contents.streams.value("Workbook").size(), 4096);

    Workbook book;
    book.sheet("S")->label(0, 0, "x");
    EXPECT_TRUE(book.property(Property::Title, QString::fromUtf8("Quartal Übersicht")));
    EXPECT_TRUE(book.property(Property::Author, "Ann"));
    EXPECT_TRUE(book.property(Property::Company, "Solvane"));
    EXPECT_FALSE(book.property(Property(99), "unknown"));
    const QString path = pathFor("properties.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    contents = testsupport::readCompoundFile(readFile(path));
    ASSERT_TRUE(contents.ok) << contents.error.toStdString();
    const QByteArray summary = contents.streams.value("\x05SummaryInformation");
    const QByteArray document = contents.streams.value("\x05"
                                                       "DocumentSummaryInformation");
    ASSERT_FALSE(summary.isEmpty());
    ASSERT_FALSE(document.isEmpty());
    EXPECT_LT(summary.size(), 4096);
    const auto utf16 = [](const QString& text) {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    EXPECT_TRUE(summary.contains(utf16(QString::fromUtf8("Quartal Übersicht"))));
    EXPECT_TRUE(summary.contains(utf16("Ann")));
    EXPECT_TRUE(document.contains(utf16("Solvane")));
    EXPECT_EQ(le16(summary, 0), 0xFFFE);
    EXPECT_TRUE(testsupport::readWithFreexl(path).ok());
}

TEST(XlsWorkbook, AFailedWriteReportsWhyAndLeavesNoFile)
{
    Workbook empty;
    EXPECT_EQ(empty.dump(pathFor("empty.xls")), Workbook::InvalidWorkbook);
    EXPECT_FALSE(empty.lastError().isEmpty());
    EXPECT_FALSE(QFile::exists(pathFor("empty.xls")));

    Workbook book;
    book.sheet("S")->label(0, 0, "x");
    const QString missing = pathFor("no/such/folder/out.xls");
    EXPECT_EQ(book.dump(missing), Workbook::FileError);
    EXPECT_TRUE(book.lastError().contains(missing));
    EXPECT_FALSE(QFile::exists(missing));

    // A folder nobody may write into, with an older file in it that must stay as it was.
    const QString folder = pathFor("readonly");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString old = folder + "/report.xls";
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old bytes");
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    bool immutable = false;
    if (QFile probe(folder + "/probe"); probe.open(QIODevice::WriteOnly)) {
        // The super-user writes anywhere unless the folder is made immutable.
        probe.remove();
        int code = -1;
        testsupport::runTool("chattr", { "+i", folder }, {}, &code);
        immutable = code == 0;
        if (!immutable) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            GTEST_SKIP() << "no way to make a read-only folder here";
        }
    }
    const int status = book.dump(old);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (immutable)
        testsupport::runTool("chattr", { "-i", folder });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(status, Workbook::FileError);
    EXPECT_FALSE(book.lastError().isEmpty());
    EXPECT_EQ(left, QStringList { "report.xls" });
    EXPECT_EQ(readFile(old), "old bytes");
}

// A file written to be read back at once holds the same bytes; one the disk stops part way
// is reported and removed, as is one that cannot be made.
TEST(XlsWorkbook, ATemporaryFileHoldsTheSameBytesAndAFailedOneIsRemoved)
{
    Workbook book;
    Worksheet* sheet = book.sheet("S");
    for (int r = 0; r < 3000; ++r) {
        sheet->label(r, 0, QStringLiteral("row %1 ünïcode 日本").arg(r));
        sheet->number(r, 1, r * 1.5);
    }
    ASSERT_EQ(book.dump(pathFor("kept.xls")), Workbook::Success);
    ASSERT_EQ(book.dumpTemporary(pathFor("temporary.xls")), Workbook::Success);
    EXPECT_EQ(readFile(pathFor("temporary.xls")), readFile(pathFor("kept.xls")));

    const QString missing = pathFor("no/such/folder/out.xls");
    EXPECT_EQ(book.dumpTemporary(missing), Workbook::FileError);
    EXPECT_TRUE(book.lastError().contains(missing));

    struct rlimit previous { };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int status = book.dumpTemporary(pathFor("cut.xls"));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(status, Workbook::FileError);
    EXPECT_FALSE(book.lastError().isEmpty());
    EXPECT_FALSE(QFile::exists(pathFor("cut.xls")));
}
