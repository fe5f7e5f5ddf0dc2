#include "reports/XlsWorkBook.h"
#include "common/BiffRecords.h"
#include "common/FreexlWorkbook.h"
#include "common/TestSupport.h"
#include "platform/Error.h"
#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::BiffRecord;
using testsupport::le16;
using testsupport::readFile;
using Records = testsupport::WorkbookRecords;
constexpr auto ofType = testsupport::recordsOfType;

namespace {

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

// The font record of the format of the text cell at a place.
QByteArray fontOfTextCell(const Records& records, size_t sheet, quint16 row, quint16 col)
{
    const auto xfs = ofType(records.globals, 0x00E0);
    const auto fonts = ofType(records.globals, 0x0031);
    for (const BiffRecord* cell : ofType(records.sheets.at(sheet), 0x00FD)) {
        if (le16(cell->data, 0) != row || le16(cell->data, 2) != col)
            continue;
        quint16 font = le16(xfs.at(le16(cell->data, 4))->data, 0);
        return fonts.at(font > 4 ? font - 1 : font)->data; // index 4 is never used
    }
    return {};
}

QStringList sheetNamesWritten(XlsWorkBook& book)
{
    const QString path = pathFor("names.xls");
    EXPECT_EQ(book.writeFile(path), 0);
    QStringList names;
    for (const auto& sheet : testsupport::readWithFreexl(path).sheets)
        names.append(sheet.name);
    return names;
}

} // namespace

// The export's own use: a titled sheet, column widths, a bold header row, text rows.
TEST(XlsWorkBook, AnExportShapedWorkbookReadsBackWithItsBoldHeaderAndWidths)
{
    XlsWorkBook book;
    const QString title = QString::fromUtf8("Kunden Übersicht");
    auto sheet = book.workSheetWithName(title);
    const QStringList headers { "Name", QString::fromUtf8("Straße"), "Notes" };
    const QList<int> widths { 120, 85, 300 };
    for (int c = 0; c < widths.size(); ++c)
        sheet->width(quint16(widths[c] * 256 / 10), c, nullptr);
    XlsFont bold = book.font("Verdana");
    bold.setBoldStyle(0);
    const XlsExtendedFormat header = book.extendedFormat(&bold);
    for (int c = 0; c < headers.size(); ++c)
        sheet->label(headers[c], 0, c, &header);
    const QList<QStringList> rows { { "Ann", QString::fromUtf8("Hauptstraße 1"), "" },
        { QString::fromUtf8("Zoë"), "", QString::fromUtf8("日本") } };
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            sheet->label(rows[r][c], r + 1, c);
    }
    const QString path = pathFor(title + ".xls");
    platform::Error error;
    ASSERT_EQ(book.writeFile(path, &error), 0);
    EXPECT_TRUE(error.isNull());

    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok()) << read.status;
    ASSERT_EQ(read.sheets.size(), 1u);
    EXPECT_EQ(read.sheets[0].name, title);
    EXPECT_EQ(read.sheets[0].rows, 3u);
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(read.sheets[0].at(0, unsigned(c)).text, headers[c]);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            EXPECT_EQ(read.sheets[0].at(unsigned(r + 1), unsigned(c)).text, rows[r][c]);
    }

    const Records records = recordsOf(path);
    const QByteArray headerFont = fontOfTextCell(records, 0, 0, 1);
    ASSERT_FALSE(headerFont.isEmpty());
    EXPECT_EQ(le16(headerFont, 6), 700); // bold style 0 is bold
    EXPECT_EQ(headerFont.mid(14), QByteArray("\x07\x00Verdana", 9));
    EXPECT_EQ(le16(fontOfTextCell(records, 0, 1, 0), 6), 400);
    std::vector<int> written;
    for (const BiffRecord* column : ofType(records.sheets[0], 0x007D))
        written.push_back(le16(column->data, 4));
    EXPECT_EQ(written, (std::vector<int> { 3072, 2176, 7680 }));
}

TEST(XlsWorkBook, SheetsAreFoundByOffsetAndNoneAtTheCount)
{
    XlsWorkBook book;
    EXPECT_EQ(book.workSheetByOffset(0), nullptr);
    auto first = book.workSheetWithName("One");
    auto second = book.workSheetWithName("Two");
    EXPECT_EQ(book.workSheetByOffset(0), first);
    EXPECT_EQ(book.workSheetByOffset(1), second);
    EXPECT_EQ(book.workSheetByOffset(2), nullptr);
    EXPECT_EQ(book.workSheets().size(), 2);
}

TEST(XlsWorkBook, SheetNamesAreMadeValidAndUniqueIgnoringCase)
{
    XlsWorkBook book;
    for (const QString& name : { QString("a[b]c:d*e?f/g\\h"), QString("'Quarter's'"), QString(""),
             QString("'''"), QString("Data"), QString("DATA"), QString("data"),
             QString(40, QChar(u'L')), QString(31, QChar(u'L')), QString(30, QChar(u'z')) + "'x" })
        book.workSheetWithName(name);
    const QStringList names = sheetNamesWritten(book);
    EXPECT_EQ(names,
        (QStringList { "a_b_c_d_e_f_g_h", "Quarter's", "Sheet3", "Sheet4", "Data", "DATA (2)",
            "data (3)", QString(31, QChar(u'L')), QString(27, QChar(u'L')) + " (2)",
            QString(30, QChar(u'z')) }));
    for (const QString& name : names)
        EXPECT_LE(name.size(), 31);
}

TEST(XlsWorkBook, NonAsciiNamesAndTextsReachTheFileUnchanged)
{
    XlsWorkBook book;
    const QString name = QString::fromUtf8("Ελληνικά 表");
    auto sheet = book.workSheetWithName(name);
    sheet->label(QString::fromUtf8("Привет, мир 😀"), 0, 0);
    sheet->cLabel("Caf\xE9", 1, 0); // one byte, one character
    sheet->number(0.25, 2, 0, 9); // the built-in percent format
    const QString path = pathFor("unicode.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    const auto read = testsupport::readWithFreexl(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.sheets[0].name, name);
    EXPECT_EQ(read.sheets[0].at(0, 0).text, QString::fromUtf8("Привет, мир 😀"));
    EXPECT_EQ(read.sheets[0].at(1, 0).text, QString::fromUtf8("Café"));
    EXPECT_DOUBLE_EQ(read.sheets[0].at(2, 0).number, 0.25);
}

TEST(XlsWorkBook, MergeTakesARectangleOfOriginAndExtent)
{
    XlsWorkBook book;
    auto sheet = book.workSheetWithName("M");
    sheet->label("merged", 2, 1);
    EXPECT_TRUE(sheet->merge(QRectF(1, 2, 3, 1)));
    EXPECT_FALSE(sheet->merge(QRectF(4, 3, 0, 0))); // overlaps
    const QString path = pathFor("merge.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    const Records records = recordsOf(path);
    const auto merges = ofType(records.sheets.at(0), 0x00E5);
    ASSERT_EQ(merges.size(), 1u);
    const QByteArray& data = merges[0]->data;
    ASSERT_EQ(le16(data, 0), 1);
    // Rows 2 to 3, columns 1 to 4.
    EXPECT_EQ((std::vector<int> { le16(data, 2), le16(data, 4), le16(data, 6), le16(data, 8) }),
        (std::vector<int> { 2, 3, 1, 4 }));
}

TEST(XlsWorkBook, PlacesPastTheSheetAreRefusedInsteadOfWrapping)
{
    XlsWorkBook book;
    auto sheet = book.workSheetWithName("Edges");
    sheet->label("last", 65535, 255);
    const auto refusal = [](auto write) -> QString {
        try {
            write();
        } catch (const platform::Exception& e) {
            EXPECT_EQ(e.name(), platform::Exception::RangeError);
            return e.reason();
        }
        return {};
    };
    EXPECT_TRUE(refusal([&] { sheet->label("row", 65536, 0); }).contains("65536"));
    EXPECT_TRUE(refusal([&] { sheet->label("col", 0, 256); }).contains("256"));
    EXPECT_FALSE(refusal([&] { sheet->number(1, -1, 0); }).isEmpty());
    EXPECT_FALSE(refusal([&] { sheet->width(100, 300, nullptr); }).isEmpty());
    EXPECT_FALSE(refusal([&] { sheet->merge(QRectF(250, 0, 10, 1)); }).isEmpty());
    EXPECT_FALSE(refusal([&] { sheet->merge(QRectF(0, 1e12, 1, 1)); }).isEmpty());
    EXPECT_FALSE(sheet->cell(65536, 0));
    EXPECT_FALSE(sheet->cell(0, 0));
    ASSERT_TRUE(sheet->cell(65535, 255));
    EXPECT_EQ(sheet->cell(65535, 255)->row(), 65535);
    EXPECT_EQ(sheet->cell(65535, 255)->col(), 255);

    const QString path = pathFor("edges.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    const Records records = recordsOf(path);
    const auto cells = ofType(records.sheets.at(0), 0x00FD);
    ASSERT_EQ(cells.size(), 1u); // nothing landed at a wrapped-around place
}

TEST(XlsWorkBook, TextsOverTheCellLimitAreCutThere)
{
    XlsWorkBook book;
    auto sheet = book.workSheetWithName("Long");
    sheet->label(QString(40000, QChar(u'Ж')), 0, 0);
    const QString path = pathFor("cut.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    bool ok = false;
    const QStringList texts = testsupport::readSharedStrings(recordsOf(path).globals, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(texts, QStringList { QString(32767, QChar(u'Ж')) });
}

TEST(XlsWorkBook, CellSettersCopyTheFormatAndLeaveOtherCellsAlone)
{
    XlsWorkBook book;
    auto sheet = book.workSheetWithName("F");
    XlsFont bold = book.font("Verdana");
    bold.setBoldStyle(0);
    XlsExtendedFormat header = book.extendedFormat(&bold);
    XlsCell first = sheet->label("a", 0, 0, &header);
    XlsCell second = sheet->label("b", 0, 1, &header);
    second.horzAlign(2);
    second.fontItalic(true);
    EXPECT_EQ(header.hAlign(), 0);
    EXPECT_FALSE(header.font().italic());
    EXPECT_EQ(first.extendedFormat().extFormat(), header.extFormat());
    EXPECT_EQ(second.extendedFormat().hAlign(), 2);
    EXPECT_TRUE(second.extendedFormat().font().italic());
    EXPECT_EQ(second.extendedFormat().font().boldStyle(), 0);

    XlsExtendedFormat copy = XlsExtendedFormat::formatWithFormat(header);
    copy.setWrap(true);
    copy.setBorderStyle(1, 2);
    EXPECT_FALSE(header.wrap());
    EXPECT_EQ(copy.borderStyle(1), 2);
    EXPECT_EQ(header.borderStyle(1), 0);
    second.setExtendedFormat(copy);
    EXPECT_TRUE(sheet->cell(0, 1)->extendedFormat().wrap());
    // Options no format has are ignored, not wrapped into another.
    copy.setHAlign(256 + 2);
    EXPECT_EQ(copy.hAlign(), 0);

    const QString path = pathFor("cow.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    const Records records = recordsOf(path);
    EXPECT_EQ(le16(fontOfTextCell(records, 0, 0, 0), 2) & 0x02, 0); // not italic
    EXPECT_EQ(le16(fontOfTextCell(records, 0, 0, 1), 2) & 0x02, 0); // the copy's font
    EXPECT_EQ(le16(fontOfTextCell(records, 0, 0, 1), 6), 700);
}

TEST(XlsWorkBook, AFailedWriteIsReportedAndLeavesNoFile)
{
    XlsWorkBook book;
    book.workSheetWithName("S")->label("x", 0, 0);
    const QString path = pathFor("missing/folder/out.xls");
    platform::Error error;
    EXPECT_NE(book.writeFile(path, &error), 0);
    EXPECT_EQ(error.domain(), XlsWorkBook::ErrorDomain);
    EXPECT_TRUE(error.localizedDescription().contains(path));
    EXPECT_FALSE(QFile::exists(path));

    XlsWorkBook empty;
    EXPECT_NE(empty.writeFile(pathFor("empty.xls"), &error), 0);
    EXPECT_FALSE(QFile::exists(pathFor("empty.xls")));
}

TEST(XlsWorkBook, PropertiesAreSetWhenKnown)
{
    XlsWorkBook book;
    book.workSheetWithName("S");
    EXPECT_TRUE(book.property(1, "Title"));
    EXPECT_FALSE(book.property(0, "nothing"));
    EXPECT_FALSE(book.property(1000, "nothing"));
    book.windPosition(100, 200);
    book.windSize(12000, 9000);
    book.firstTab(0);
    book.tabBarWidth(500);
    const QString path = pathFor("props.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    const Records records = recordsOf(path);
    const auto window = ofType(records.globals, 0x003D);
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ((std::vector<int> { le16(window[0]->data, 0), le16(window[0]->data, 2),
                  le16(window[0]->data, 4), le16(window[0]->data, 6), le16(window[0]->data, 16) }),
        (std::vector<int> { 100, 200, 12000, 9000, 500 }));
}
