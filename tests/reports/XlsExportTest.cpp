#include "ReportFixture.h"

#include "common/FreexlWorkbook.h"
#include "reports/CSVAdditions.h"
#include "reports/CSVParser.h"
#include "reports/ReportRows.h"
#include "reports/XlsWorkBook.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>

using reporttest::FakeHost;
using reporttest::ReportTest;

namespace {

// A table made up as it is read: `rows` rows of `columns` columns whose display texts
// mix scripts, long texts and empty cells.
class MadeUpTable : public ReportProtocol {
public:
    MadeUpTable(QString title, quint64 rows, int columns)
        : m_title(std::move(title))
        , m_rows(rows)
        , m_columns(columns)
    {
    }

    static QString text(quint64 row, int column)
    {
        switch (column % 10) {
        case 0:
            return QString::number(row);
        case 1:
            return QString::fromUtf8("Zoë Ærø 日本語 😀 %1").arg(row);
        case 2:
            // Now and then a long text, longer than one record of the file holds.
            return row % 997 == 0 ? QString::fromUtf8("Straße ").repeated(1500)
                                  : QStringLiteral("text %1").arg(row);
        case 3:
            return row % 7 == 0 ? QString()
                                : QStringLiteral("every seventh empty %1").arg(row % 50);
        case 4:
            return QString::number(double(row) / 8, 'f', 3);
        case 5:
            return QString::fromUtf8("Ελληνικά, \"quoted\" %1").arg(row % 13);
        case 6:
            return row % 2 ? QStringLiteral("Yes") : QStringLiteral("No");
        case 7:
            return QStringLiteral("2024-%1-15").arg(row % 12 + 1, 2, 10, QLatin1Char('0'));
        case 8:
            return row % 5 == 0 ? QString() : QString::fromUtf8("한국어 %1").arg(row % 100);
        default:
            return QStringLiteral("line one\nline two %1").arg(row % 3);
        }
    }

    QString reportTitle() override { return m_title; }
    QList<double> reportColumnWidths() override { return QList<double>(m_columns, 120.0); }
    OrderedDictionary reportColumns() override
    {
        OrderedDictionary columns;
        for (int c = 0; c < m_columns; ++c)
            columns.setObject(
                QString::fromUtf8("Spalte %1 ä").arg(c), QStringLiteral("c%1").arg(c));
        return columns;
    }
    quint64 reportRowsCount() override { return m_rows; }
    std::shared_ptr<const ReportRows> reportRowsSnapshot() override
    {
        const int columns = m_columns;
        return std::make_shared<const ReportRows>(
            m_rows, [columns](quint64 row, bool) -> std::optional<QVariantMap> {
                QVariantMap values;
                for (int c = 0; c < columns; ++c)
                    values.insert(QStringLiteral("c%1").arg(c), text(row, c));
                return values;
            });
    }

private:
    QString m_title;
    quint64 m_rows;
    int m_columns;
};

ReportController::Snapshot snapshotOf(ReportProtocol& source)
{
    ReportController::Snapshot snapshot;
    snapshot.rowCount = source.reportRowsCount();
    snapshot.rows = source.reportRowsSnapshot();
    snapshot.columns = source.reportColumns();
    snapshot.columnWidths = source.reportColumnWidths();
    snapshot.title = source.reportTitle();
    return snapshot;
}

QString soffice()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// Every sheet of the workbook as CSV, converted by LibreOffice (sheet option -1).
bool convertEverySheet(const QString& file, const QString& folder)
{
    const QString profile = QDir(testsupport::homePath()).filePath("libreoffice-profile");
    int code = -1;
    testsupport::runTool(soffice(),
        { "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), "--headless",
            "--convert-to",
            "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
            "--outdir", folder, file },
        {}, &code);
    return code == 0;
}

struct XlsExportTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        navigation = std::make_unique<platform::ui::NavigationController>();
        host = new FakeHost(nullptr);
        navigation->pushViewController(host, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
    }

    // Saves the table as a workbook in Documents through the menu; answers its path.
    QString saveWorkbook(std::shared_ptr<ReportProtocol> table, const QString& name)
    {
        menu = GenericTemplateReportController::create(host, std::move(table));
        const auto file = documentsFile(name);
        run(ReportController::SaveXLS, file);
        return file->fullName;
    }
};

} // namespace

// The whole table comes back from two outside readers, cell by cell: 100,000 rows go on
// in a second sheet, each sheet with the header.
TEST_F(XlsExportTest, AHundredThousandRowsReadBackCellByCellOnSheetsWithHeaders)
{
    constexpr quint64 Rows = 100000;
    constexpr int Columns = 10;
    auto table = std::make_shared<MadeUpTable>("Ledger", Rows, Columns);
    const OrderedDictionary headers = table->reportColumns();
    const QString path = saveWorkbook(table, "Ledger.xls");
    EXPECT_EQ(alertMessages(), QStringList({ "Successfully Saved." }));

    const auto book = testsupport::readWithFreexl(path);
    ASSERT_TRUE(book.ok()) << book.status;
    ASSERT_EQ(book.sheets.size(), 2u);
    EXPECT_EQ(book.sheets[0].name, "Ledger");
    EXPECT_EQ(book.sheets[1].name, "Ledger (2)");
    EXPECT_EQ(book.sheets[0].rows, 65536u);
    EXPECT_EQ(book.sheets[1].rows, Rows - 65535 + 1);
    quint64 row = 0;
    int mismatches = 0;
    for (const auto& sheet : book.sheets) {
        ASSERT_EQ(sheet.columns, Columns);
        for (int c = 0; c < Columns; ++c)
            EXPECT_EQ(sheet.at(0, unsigned(c)).text, headers.objectForKey(headers.keyAtIndex(c)));
        for (unsigned r = 1; r < sheet.rows; ++r, ++row) {
            for (int c = 0; c < Columns; ++c) {
                const QString want = MadeUpTable::text(row, c);
                const auto& cell = sheet.at(r, unsigned(c));
                const bool same = want.isEmpty() ? cell.isNull() : cell.text == want;
                if (!same && ++mismatches < 10)
                    ADD_FAILURE() << "row " << row << " column " << c;
            }
        }
    }
    EXPECT_EQ(row, Rows);
    EXPECT_EQ(mismatches, 0);

    if (soffice().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString folder = QDir(testsupport::homePath()).filePath("converted");
    QDir().mkpath(folder);
    ASSERT_TRUE(convertEverySheet(path, folder));
    row = 0;
    mismatches = 0;
    for (const QString& sheet : { QStringLiteral("Ledger"), QStringLiteral("Ledger (2)") }) {
        const QString csvPath = folder + "/Ledger-" + sheet + ".csv";
        ASSERT_TRUE(QFile::exists(csvPath)) << csvPath.toStdString();
        platform::Error error;
        auto lines = CSVAdditions::arrayWithContentsOfCSVFile(
            csvPath, CSVParserOptionsSanitizesFields, &error);
        ASSERT_TRUE(lines) << error.localizedDescription().toStdString();
        while (!lines->isEmpty() && lines->last() == QStringList { QString() })
            lines->removeLast();
        ASSERT_FALSE(lines->isEmpty());
        for (int c = 0; c < Columns; ++c)
            EXPECT_EQ(lines->first().value(c), headers.objectForKey(headers.keyAtIndex(c)));
        for (qsizetype r = 1; r < lines->size(); ++r, ++row) {
            for (int c = 0; c < Columns; ++c) {
                if (lines->at(r).value(c) != MadeUpTable::text(row, c) && ++mismatches < 10)
                    ADD_FAILURE() << sheet.toStdString() << " row " << row << " column " << c;
            }
        }
    }
    EXPECT_EQ(row, Rows);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(XlsExportTest, ASheetHoldsTheHeaderAnd65535RowsAndTheNextRowStartsASheet)
{
    MadeUpTable full("Edge", 65535, 1);
    auto data = ReportController::toExcelData(snapshotOf(full));
    QString path = QDir(testsupport::homePath()).filePath("full.xls");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(data);
    out.close();
    auto book = testsupport::readWithFreexl(path);
    ASSERT_TRUE(book.ok());
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].rows, 65536u);
    EXPECT_EQ(book.sheets[0].at(65535, 0).text, "65534");

    MadeUpTable over("Edge", 65536, 1);
    data = ReportController::toExcelData(snapshotOf(over));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(data);
    out.close();
    book = testsupport::readWithFreexl(path);
    ASSERT_TRUE(book.ok());
    ASSERT_EQ(book.sheets.size(), 2u);
    EXPECT_EQ(book.sheets[1].name, "Edge (2)");
    ASSERT_EQ(book.sheets[1].rows, 2u);
    EXPECT_EQ(book.sheets[1].at(0, 0).text, QString::fromUtf8("Spalte 0 ä"));
    EXPECT_EQ(book.sheets[1].at(1, 0).text, "65535");
}

TEST_F(XlsExportTest, MoreThan256ColumnsGiveAClearMessageAndNoFile)
{
    const QString path = saveWorkbook(std::make_shared<MadeUpTable>("Wide", 3, 257), "Wide.xls");
    EXPECT_EQ(alertMessages(),
        QStringList({ "A workbook sheet holds at most 256 columns; this table has 257." }));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(host->idle());
    dismissAlerts();

    const QString widest
        = saveWorkbook(std::make_shared<MadeUpTable>("Wide", 3, 256), "Widest.xls");
    const auto book = testsupport::readWithFreexl(widest);
    ASSERT_TRUE(book.ok());
    EXPECT_EQ(book.sheets[0].columns, 256);
    EXPECT_EQ(book.sheets[0].at(3, 255).text, MadeUpTable::text(2, 255));
}

TEST_F(XlsExportTest, TheTemporaryFileNameStaysInsideItsFolder)
{
    const QString folder = QDir(testsupport::homePath()).filePath("tmp-job");
    for (const QString& title : { QString("../../escape"), QString("/etc/passwd"), QString(".."),
             QString("."), QString(""), QString("a\\b/c"), QString("..hidden"),
             QString("line\nbreak"), QString(300, QChar(u'x')) }) {
        const QString name = ReportController::temporaryFileName(title);
        const QFileInfo file(QDir(folder).filePath(name));
        EXPECT_EQ(file.absolutePath(), folder) << title.toStdString();
        EXPECT_FALSE(name.contains('/')) << title.toStdString();
        EXPECT_FALSE(name.startsWith('.')) << title.toStdString();
        EXPECT_TRUE(name.endsWith(".xls"));
        EXPECT_LE(name.size(), 104);
    }
    EXPECT_EQ(ReportController::temporaryFileName(QString::fromUtf8("Kunden Übersicht")),
        QString::fromUtf8("Kunden Übersicht.xls"));
    // An export titled so still writes its workbook, and nothing outside the folder.
    const QString path = saveWorkbook(std::make_shared<MadeUpTable>("../../escape", 2, 2), "E.xls");
    EXPECT_TRUE(testsupport::readWithFreexl(path).ok());
    EXPECT_FALSE(QFile::exists(QDir(testsupport::homePath()).filePath("escape.xls")));
}

// A workbook the disk will not take: the error shows and nothing is saved or mailed.
TEST_F(XlsExportTest, AWorkbookThatCannotBeWrittenSavesAndMailsNothing)
{
    struct rlimit previous { };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString path = saveWorkbook(std::make_shared<MadeUpTable>("Big", 20000, 4), "Big.xls");
    run(ReportController::MailXLS);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(navigation->presentedViewController());
    const QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 2);
    for (const QString& message : messages)
        EXPECT_TRUE(message.startsWith("The workbook could not be written: "))
            << message.toStdString();
    EXPECT_TRUE(host->idle());
}

// A large table's CSV is written in parts on several threads: the lines still come in
// row order, each once, and an unreadable row in a late part stops the export naming it.
TEST(CsvExport, ALargeTableIsWrittenInRowOrderAndAnUnreadableRowStopsIt)
{
    MadeUpTable table(QStringLiteral("Large"), 50001, 4);
    ReportController::Snapshot snapshot = snapshotOf(table);
    const QByteArray csv = ReportController::toCSV(snapshot);
    const auto parsed = CSVAdditions::CSVComponentsWithOptions(
        QString::fromUtf8(csv), CSVParserOptionsSanitizesFields);
    ASSERT_TRUE(parsed);
    const QList<QStringList>& lines = *parsed;
    ASSERT_EQ(lines.size(), 50003); // the header, the rows, the empty end
    EXPECT_EQ(lines[0][3], QString::fromUtf8("Spalte 3 ä"));
    for (quint64 r = 0; r < 50001; r += 997) {
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(lines[qsizetype(r + 1)][c], MadeUpTable::text(r, c)) << r << " " << c;
    }
    EXPECT_EQ(lines[50001][0], "50000");

    snapshot.rows = std::make_shared<const ReportRows>(
        50001, [](quint64 row, bool) -> std::optional<QVariantMap> {
            if (row == 40000 || row == 45000)
                return std::nullopt;
            return QVariantMap { { "c0", QString::number(row) } };
        });
    try {
        ReportController::toCSV(snapshot);
        FAIL() << "an unreadable row was written";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("Row 40001 could not be read"))
            << error.what();
    }
}

// The texts are made in parts on several threads and the sheets filled as the parts come
// in: the file must be the very one written cell by cell in row order, and an unreadable
// row stops the export naming the first such row, whichever part reaches it first.
TEST(XlsExport, TheWorkbookIsTheOneWrittenCellByCellAndTheFirstUnreadableRowIsNamed)
{
    MadeUpTable table(QStringLiteral("Parts"), 70001, 4);
    ReportController::Snapshot snapshot = snapshotOf(table);
    const QByteArray made = ReportController::toExcelData(snapshot);

    XlsWorkBook book;
    XlsFont font = book.font(QStringLiteral("Verdana"));
    font.setBoldStyle(0);
    const XlsExtendedFormat bold = book.extendedFormat(&font);
    const QStringList keys = snapshot.columns.keyEnumerator();
    for (quint64 first = 0; first < 70001; first += 65535) {
        auto sheet = book.workSheetWithName(QStringLiteral("Parts"));
        for (int c = 0; c < 4; ++c) {
            sheet->width(quint16(120 * 256 / 10), c, nullptr);
            sheet->label(snapshot.columns.objectForKey(keys[c]).toString(), 0, c, &bold);
        }
        for (quint64 r = first; r < std::min<quint64>(70001, first + 65535); ++r) {
            for (int c = 0; c < 4; ++c) {
                const QString text = MadeUpTable::text(r, c);
                if (!text.isEmpty())
                    sheet->label(text, int(r - first + 1), c);
            }
        }
    }
    const QString path = QDir(testsupport::homePath()).filePath("serial.xls");
    ASSERT_EQ(book.writeFile(path), 0);
    QFile serial(path);
    ASSERT_TRUE(serial.open(QIODevice::ReadOnly));
    const QByteArray expected = serial.readAll();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_TRUE(made == expected) << made.size() << " bytes against " << expected.size();

    snapshot.rows = std::make_shared<const ReportRows>(
        70001, [](quint64 row, bool) -> std::optional<QVariantMap> {
            if (row == 9000 || row == 66000 || row == 69999)
                return std::nullopt;
            return QVariantMap { { "c0", QString::number(row) } };
        });
    try {
        ReportController::toExcelData(snapshot);
        FAIL() << "an unreadable row was written";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("Row 9001 could not be read"))
            << error.what();
    }
}
