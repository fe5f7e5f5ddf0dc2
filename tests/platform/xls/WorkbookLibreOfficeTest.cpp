#include "common/TestSupport.h"
#include "platform/xls/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <variant>

using namespace platform::xls;

// LibreOffice, when installed, reads our workbooks as a second outside reader: every
// sheet is converted to CSV and compared cell by cell.
namespace {

const QString CsvFilter = QStringLiteral(
    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1");

QString soffice()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

bool convert(const QString& file, const QString& filter, const QString& folder)
{
    // A profile of its own, so a LibreOffice already running elsewhere is not disturbed.
    const QString profile = QDir(testsupport::homePath()).filePath("libreoffice-profile");
    int code = -1;
    testsupport::runTool(soffice(),
        { "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), "--headless",
            "--convert-to", filter, "--outdir", folder, file },
        {}, &code);
    return code == 0;
}

// Fields of CSV text: commas, double quotes around fields that need them, "" inside.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(u'"');
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\n') {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
        } else if (c != u'\r') {
            field.append(c);
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        rows.append(row);
    }
    // Trailing empty fields and rows say nothing.
    for (QStringList& r : rows) {
        while (!r.isEmpty() && r.last().isEmpty())
            r.removeLast();
    }
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

using Value = std::variant<std::monostate, double, QString>;
using Grid = QList<QList<Value>>;

void write(Worksheet* sheet, const Grid& grid)
{
    for (int r = 0; r < grid.size(); ++r) {
        for (int c = 0; c < grid[r].size(); ++c) {
            if (const auto* number = std::get_if<double>(&grid[r][c]))
                sheet->number(r, c, *number);
            else if (const auto* text = std::get_if<QString>(&grid[r][c]))
                sheet->label(r, c, *text);
            else
                sheet->blank(r, c);
        }
    }
}

void expectSame(const Grid& grid, const QList<QStringList>& csv, const QString& sheet)
{
    int rows = int(grid.size());
    while (rows > 0) {
        const auto& last = grid[rows - 1];
        if (std::any_of(last.begin(), last.end(),
                [](const Value& v) { return !std::holds_alternative<std::monostate>(v); }))
            break;
        --rows;
    }
    ASSERT_EQ(csv.size(), rows) << sheet.toStdString();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < grid[r].size(); ++c) {
            const QString field = c < csv[r].size() ? csv[r][c] : QString();
            const Value& want = grid[r][c];
            if (const auto* number = std::get_if<double>(&want)) {
                bool ok = false;
                const double got = field.toDouble(&ok);
                EXPECT_TRUE(
                    ok && std::abs(got - *number) <= 1e-12 * std::max(1.0, std::abs(*number)))
                    << sheet.toStdString() << " " << r << "," << c << ": " << field.toStdString();
            } else if (const auto* text = std::get_if<QString>(&want)) {
                EXPECT_EQ(field, text->left(MaxTextLength))
                    << sheet.toStdString() << " " << r << "," << c;
            } else {
                EXPECT_TRUE(field.isEmpty()) << sheet.toStdString() << " " << r << "," << c;
            }
        }
    }
}

} // namespace

TEST(XlsWorkbookLibreOffice, EverySheetConvertsToCsvWithTheSameCells)
{
    if (soffice().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    const Value none;
    std::map<QString, Grid> sheets;
    sheets["Numbers"] = { { 0.0, 1.0, -2.25, 1234567.125 }, { M_PI, 1e-5, -1e15, 0.1 },
        { none, 42.0, none, 7.5 } };
    sheets["Texts"] = { { QString("plain"), QString::fromUtf8("Café crème"),
                            QString::fromUtf8("Ελληνικά 日本語 😀") },
        { QString("comma, and \"quotes\""), none, QString("after an empty cell") },
        { QString(20000, QChar(u'a')), QString(20000, QChar(u'Ж')), QString(40000, QChar(u'x')) },
        { QString::fromUtf8("ß").repeated(9000) + "end", QString("short"), none } };
    Grid many;
    for (int r = 0; r < 500; ++r) {
        many.append({ double(r), QStringLiteral("Zeile %1 äöü").arg(r),
            QString::fromUtf8("строка %1").arg(r), r % 3 ? Value(double(r) / 3) : none });
    }
    sheets["Rows"] = many;
    sheets["Merged"] = { { QString("title"), none, none }, { 1.0, 2.0, 3.0 } };

    Workbook book;
    for (const auto& [name, grid] : sheets) {
        Worksheet* sheet = book.sheet(name);
        write(sheet, grid);
        if (name == "Merged")
            sheet->merge(0, 0, 0, 2);
    }
    const QString folder = QDir(testsupport::homePath()).filePath("converted");
    QDir().mkpath(folder);
    const QString path = QDir(testsupport::homePath()).filePath("book.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    ASSERT_TRUE(convert(path, CsvFilter, folder));

    for (const auto& [name, grid] : sheets) {
        QFile file(folder + "/book-" + name + ".csv");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        expectSame(grid, parseCsv(QString::fromUtf8(file.readAll())), name);
    }
}

// A picture of a workbook as LibreOffice prints it, for a person to look at.
TEST(XlsWorkbookLibreOffice, RendersAFormattedSheetToAPicture)
{
    if (soffice().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    Workbook book;
    Worksheet* sheet = book.sheet("Report");
    Font* boldFont = book.font("Verdana");
    boldFont->setBoldStyle(Boldness::Bold);
    ExtendedFormat* header = book.xformat(boldFont);
    header->setFillFGColor(quint8(ColorName::PaleBlue));
    header->setFillStyle(FillPattern::Solid);
    header->setBorderStyle(BorderSide::Bottom, BorderStyle::Medium);
    const QStringList headers { "Name", "City", "Amount", "Notes" };
    const QList<quint16> widths { 4000, 5000, 3500, 9000 };
    for (int c = 0; c < headers.size(); ++c) {
        sheet->colwidth(c, widths[c]);
        sheet->label(1, c, headers[c], header);
    }
    Cell title = sheet->label(0, 0, QString::fromUtf8("Kunden – Übersicht"));
    title.setFontHeight(280);
    title.setFontBold(Boldness::Bold);
    title.setHAlign(HAlign::Center);
    sheet->merge(0, 0, 0, 3);
    sheet->rowheight(0, 420);
    const QList<QStringList> rows { { "Ann", QString::fromUtf8("Zürich"), "1250.5", "first" },
        { QString::fromUtf8("Zoë"), QString::fromUtf8("Αθήνα"), "-80",
            QString::fromUtf8("日本語のメモ") },
        { "Bob", "Oslo", "0.125", "" } };
    for (int r = 0; r < rows.size(); ++r) {
        sheet->label(r + 2, 0, rows[r][0]);
        sheet->label(r + 2, 1, rows[r][1]);
        sheet->number(r + 2, 2, rows[r][2].toDouble(), NumberFormat::Thousands2);
        Cell note = sheet->label(r + 2, 3, rows[r][3]);
        note.setFontItalic(true);
    }
    const QString path = QDir(testsupport::homePath()).filePath("report.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    const QString folder = QDir(testsupport::homePath()).filePath("picture");
    QDir().mkpath(folder);
    // This LibreOffice has no picture export for sheets; its PDF is drawn by poppler.
    ASSERT_TRUE(convert(path, "pdf", folder));
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    const QString picture = testsupport::outputPath("xls-report");
    QFile::remove(picture + ".png");
    int code = -1;
    testsupport::runTool("pdftoppm",
        { "-png", "-r", "110", "-singlefile", "-f", "1", folder + "/report.pdf", picture }, {},
        &code);
    ASSERT_EQ(code, 0);
    EXPECT_GT(QFileInfo(picture + ".png").size(), 1000);
}

TEST(XlsWorkbookLibreOffice, DocumentPropertiesAreReadBack)
{
    if (soffice().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    Workbook book;
    book.sheet("S")->label(0, 0, "x");
    book.property(Property::Title, QString::fromUtf8("Quartal Übersicht"));
    book.property(Property::Author, "Ann");
    book.property(Property::Keywords, "first second");
    const QString path = QDir(testsupport::homePath()).filePath("properties.xls");
    ASSERT_EQ(book.dump(path), Workbook::Success);
    const QString folder = QDir(testsupport::homePath()).filePath("flat");
    QDir().mkpath(folder);
    ASSERT_TRUE(convert(path, "fods", folder));
    QFile file(folder + "/properties.fods");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QString::fromUtf8("<dc:title>Quartal Übersicht</dc:title>")));
    EXPECT_TRUE(text.contains("<meta:initial-creator>Ann</meta:initial-creator>"));
    EXPECT_TRUE(text.contains("<meta:keyword>first second</meta:keyword>"));
}
