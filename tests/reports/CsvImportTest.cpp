#include "ReportFixture.h"

#include "platform/coredata/ManagedObjectContext.h"

#include <QFileInfo>

using reporttest::ReportTest;

namespace {

const QString kFailed = QStringLiteral("Import failed.\r\nWould you like to view the log?");
const QString kSucceeded
    = QStringLiteral("Import completed successfully.\r\nWould you like to view the log?");

// An application delegate whose saves never reach the store.
class FailingSaveDelegate : public KivoAppDelegate {
public:
    bool saveContext() override { return false; }
};

struct CsvImportTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        addColumn("Name", TypeConstants::Text, true, 5);
        addColumn("Amount", TypeConstants::Numeric);
        addColumn("Paid", TypeConstants::YesNo);
        table = addTable("Clients");
        storeRows(table, { { { "Name", "Old" }, { "Amount", 1 } } });
        open(table);
        before = storedValues(table);
    }

    // Imports the text as a file of Documents; answers the log, or a null text when none
    // was written. A refused import never shows the overlay.
    QString import(
        const QByteArray& csv, const QString& fileName = "import.csv", bool refused = false)
    {
        const auto file = documentsFile(fileName);
        QFile out(file->fullName);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(csv);
        out.close();
        menu->setLastSelectedFileName({});
        if (refused) {
            menu->setLastClickedButton(ReportController::ImportCSV);
            menu->fileBrowseCompleted(file, nullptr);
            testsupport::processEvents(50);
            EXPECT_EQ(host->hudShown, 0);
        } else {
            run(ReportController::ImportCSV, file);
        }
        const QString log = menu->lastSelectedFileName();
        if (log.isEmpty())
            return QString();
        EXPECT_TRUE(QFileInfo(log).fileName().startsWith("Import_" + fileName + "_"))
            << log.toStdString();
        EXPECT_EQ(QFileInfo(log).absolutePath(),
            QDir(FileManager::documentsDirectory()).filePath("logs"));
        return QString::fromUtf8(readFile(log));
    }

    void expectUnchanged() { EXPECT_EQ(storedValues(table), before); }

    UserTemplate* table = nullptr;
    QList<QVariantMap> before;
};

} // namespace

TEST_F(CsvImportTest, MissingColumnsAreAllNamedAndNothingIsStored)
{
    EXPECT_EQ(
        import("Title,Name\nMr,Ann\n"), "Column Amount not found.\r\nColumn Paid not found.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
    EXPECT_EQ(host->refreshes, 0);
}

TEST_F(CsvImportTest, EveryInvalidLineIsNamedAndNothingIsStored)
{
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\n,2,0\nToo long,3,0\nBo,4,1\n"),
        "Error in row 3. Name invalid.\r\n.Error in row 4. Name invalid.\r\n.");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
}

TEST_F(CsvImportTest, BlankLinesAreSkipped)
{
    const QString log = import("Name,Amount,Paid\nAnn,1,1\n\n\"\"\nCy,3,0\n");
    EXPECT_EQ(log, "Importing row 1.\r\nImporting row 2.\r\nSuccessfully imported 2 rows.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kSucceeded }));
    const auto rows = storedValues(table);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].value(key("Name")), "Ann");
    EXPECT_EQ(rows[1].value(key("Amount")).toDouble(), 1.0);
    EXPECT_EQ(rows[1].value(key("Paid")).toBool(), true);
    EXPECT_EQ(rows[2].value(key("Name")), "Cy");
    EXPECT_EQ(host->refreshes, 1);
    EXPECT_EQ(controller->count(), 3);
}

TEST_F(CsvImportTest, EveryLineShorterThanTheHeaderIsNamedAndNothingIsStored)
{
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\nBob\nCy,3,0\nDi,4\n"),
        "Row 3 has fewer fields than the header.\r\n"
        "Row 5 has fewer fields than the header.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
    EXPECT_EQ(host->refreshes, 0);
    // Short of a column the table has, too.
    EXPECT_EQ(import("Amount,Paid,Name\n1,1\n"), "Row 2 has fewer fields than the header.\r\n");
    expectUnchanged();
}

// A value its column cannot read is no value: the line is refused, not stored as 0, No or
// without a date.
TEST_F(CsvImportTest, ValuesTheirColumnsCannotReadAreNamedAndNothingIsStored)
{
    addColumn("Price", TypeConstants::Currency);
    addColumn("Due", TypeConstants::Date);
    addColumn("At", TypeConstants::Time);
    addColumn("Since", TypeConstants::DateTime);
    open(table);
    before = storedValues(table);
    const QByteArray header = "Name,Amount,Paid,Price,Due,At,Since\n";
    EXPECT_EQ(import(header
                  + "Ann,1,yes,2.5,2024-03-05 00:00:00 +0000,,\n"
                    "Bob,abc,maybe,xyz,notadate,,\n"
                    "Cy,12kg,1,3,,noon,2024-03-05\n"),
        "Error in row 3. \"abc\" is not a valid Numeric value for column Amount.\r\n"
        "Error in row 3. \"maybe\" is not a valid Yes/No value for column Paid.\r\n"
        "Error in row 3. \"xyz\" is not a valid Currency value for column Price.\r\n"
        "Error in row 3. \"notadate\" is not a valid Date value for column Due.\r\n"
        "Error in row 4. \"12kg\" is not a valid Numeric value for column Amount.\r\n"
        "Error in row 4. \"noon\" is not a valid Time value for column At.\r\n"
        "Error in row 4. \"2024-03-05\" is not a valid DateTime value for column Since.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
    EXPECT_EQ(host->refreshes, 0);

    // Refused values and a line its table refuses are all named in one pass; a value
    // refused is not named again as missing.
    addColumn("Count", TypeConstants::Numeric, true);
    open(table);
    dismissAlerts();
    EXPECT_EQ(import("Name,Amount,Paid,Price,Due,At,Since,Count\n"
                     "Too long,1,1,1,,,,x\n"),
        "Error in row 2. \"x\" is not a valid Numeric value for column Count.\r\n"
        "Error in row 2. Name invalid.\r\n.");
    expectUnchanged();
}

// No number is "not a number" or infinite: such a text is refused as any other that is no
// number, never stored nor left to fail the commit without a line named.
TEST_F(CsvImportTest, NotANumberAndInfiniteValuesAreNamedAndNothingIsStored)
{
    addColumn("Price", TypeConstants::Currency);
    open(table);
    before = storedValues(table);
    const QList<QByteArray> texts { "NaN", "nan", "\xE2\x88\x9E", "-\xE2\x88\x9E", "1e999",
        "-1e999", "inf", "-Infinity" };
    QByteArray csv = "Name,Amount,Paid,Price\n";
    QString log;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString text = QString::fromUtf8(texts[i]);
        csv += "A," + texts[i] + ",1,2\nB,3,0," + texts[i] + "\n";
        log += QStringLiteral(
            "Error in row %1. \"%2\" is not a valid Numeric value for column Amount.\r\n"
            "Error in row %3. \"%2\" is not a valid Currency value for column Price.\r\n")
                   .arg(2 * i + 2)
                   .arg(text)
                   .arg(2 * i + 3);
    }
    EXPECT_EQ(import(csv), log);
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
    EXPECT_EQ(host->refreshes, 0);

    // Numbers near the ends of a double's range still read.
    dismissAlerts();
    EXPECT_EQ(import("Name,Amount,Paid,Price\nA,1.5e308,1,-1e-300\n"),
        "Importing row 1.\r\nSuccessfully imported 1 rows.\r\n");
    const auto rows = storedValues(table);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].value(key("Amount")).toDouble(), 1.5e308);
    EXPECT_EQ(rows[1].value(key("Price")).toDouble(), -1e-300);
}

TEST_F(CsvImportTest, YesNoReadsWordsAndDigitsInAnyCaseAndEmptyAsNo)
{
    const QList<std::pair<QByteArray, bool>> cases { { "yes", true }, { "YES", true },
        { "True", true }, { "1", true }, { " yes ", true }, { "Yes", true }, { "no", false },
        { "FALSE", false }, { "0", false }, { "No", false }, { "", false } };
    QByteArray csv = "Name,Amount,Paid\n";
    QString log;
    for (const auto& [text, value] : cases) {
        csv += "N," + QByteArray::number(value) + "," + text + "\n";
        log += QStringLiteral("Importing row %1.\r\n").arg(log.count('\n') + 1);
    }
    EXPECT_EQ(
        import(csv), log + QStringLiteral("Successfully imported %1 rows.\r\n").arg(cases.size()));
    const auto rows = storedValues(table);
    ASSERT_EQ(rows.size(), cases.size() + 1);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].first.toStdString());
        EXPECT_EQ(rows[i + 1].value(key("Paid")).toBool(), cases[i].second);
    }
}

// A line longer than the header keeps its first fields, and the log says what was left.
TEST_F(CsvImportTest, FieldsPastTheHeaderAreIgnoredAndNamed)
{
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1,extra\nBo,2,0\nCy,3,0,,\n"),
        "Row 2 has more fields than the header; the extra ones were ignored.\r\n"
        "Row 4 has more fields than the header; the extra ones were ignored.\r\n"
        "Importing row 1.\r\nImporting row 2.\r\nImporting row 3.\r\n"
        "Successfully imported 3 rows.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kSucceeded }));
    const auto rows = storedValues(table);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1].value(key("Name")), "Ann");
    EXPECT_EQ(rows[1].value(key("Paid")).toBool(), true);
    EXPECT_EQ(rows[3].value(key("Amount")).toDouble(), 3.0);
}

// A message names the line of the file its record begins on, as the reader's own errors
// do: blank lines and line breaks inside quotes count, the header is line 1.
TEST_F(CsvImportTest, RowNumbersAreTheLinesTheRecordsBeginOn)
{
    EXPECT_EQ(import("Name,Amount,Paid\r\n\r\n\"A\nB\",1,1\r\n\n,2,0\n"),
        "Error in row 6. Name invalid.\r\n.");
    expectUnchanged();
    // The second record, after one of two lines, begins on line 4.
    EXPECT_EQ(import("Name,Amount,Paid\n\"A\nB\",1,1\nBo,x,0\n"),
        "Error in row 4. \"x\" is not a valid Numeric value for column Amount.\r\n");
    expectUnchanged();
    EXPECT_EQ(import("Name,Amount,Paid\n\"A\nB\",1,1\nBo,2\nCy,3,0,9\n"),
        "Row 4 has fewer fields than the header.\r\n"
        "Row 5 has more fields than the header; the extra ones were ignored.\r\n");
    expectUnchanged();
}

TEST_F(CsvImportTest, TheFirstOfTwoEqualHeadersIsUsedAndOtherFieldsAreIgnored)
{
    EXPECT_EQ(import("Extra,Paid,Name,Amount,Name\nx,0,First,5,Second\n"),
        "Importing row 1.\r\nSuccessfully imported 1 rows.\r\n");
    const auto rows = storedValues(table);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].value(key("Name")), "First");
    EXPECT_EQ(rows[1].value(key("Amount")).toDouble(), 5.0);
}

TEST_F(CsvImportTest, AHeaderOnlyImportsNothingAndSucceeds)
{
    EXPECT_EQ(import("Name,Amount,Paid\n"), "Successfully imported 0 rows.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kSucceeded }));
    expectUnchanged();
}

TEST_F(CsvImportTest, AnUnterminatedQuoteIsReportedWithItsLineAndNothingIsStored)
{
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\nBob,\"2,0\nCy,3,0\n"),
        "The quoted field in line 3 has no closing double quote.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    expectUnchanged();
}

// Every reader error the log shows says in which line of the file it is; one whose text
// names its line already is not given it twice.
TEST_F(CsvImportTest, EveryReaderErrorIsLoggedWithItsLine)
{
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\n\nBob,2\"x,0\nCy,3,0\n"),
        "Line 4: Unexpected delimiter. Expected ',' (0x2C), but got '\"' (0x22)\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    dismissAlerts();
    // A record that spans lines is named by the line it begins in.
    EXPECT_EQ(import("Name,Amount,Paid\r\n\"A\nB\"x,1,1\r\n"),
        "Line 2: Unexpected delimiter. Expected ',' (0x2C), but got 'x' (0x78)\r\n");
    dismissAlerts();
    // Past the bytes the encoding is told from, so they are read as UTF-8.
    QByteArray csv = "Name,Amount,Paid\n";
    for (int i = 0; i < 100; ++i)
        csv += "Ann,1,1\n";
    EXPECT_EQ(import(csv + "Bob,caf\xE9,0\n"), "Line 102 holds bytes that are not UTF-8 text.\r\n");
    expectUnchanged();
}

TEST_F(CsvImportTest, AFileThatCannotBeReadIsReportedWithTheReason)
{
    menu->setLastClickedButton(ReportController::ImportCSV);
    run(ReportController::ImportCSV, documentsFile("missing.csv"));
    const QString log = QString::fromUtf8(readFile(menu->lastSelectedFileName()));
    EXPECT_TRUE(log.startsWith("The CSV text could not be opened: ")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("\r\n"));
    expectUnchanged();
}

// An empty file reads as one line of one empty field: a header without the columns.
TEST_F(CsvImportTest, AnEmptyFileHasNoneOfTheColumns)
{
    EXPECT_EQ(import(""),
        "Column Name not found.\r\nColumn Amount not found.\r\nColumn Paid not found.\r\n");
    expectUnchanged();
}

TEST_F(CsvImportTest, AFailedCommitIsRolledBackAndLogged)
{
    delegate.reset();
    delegate = std::make_unique<FailingSaveDelegate>();
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\n"),
        "Importing row 1.\r\nUpdating the database failed.\r\n");
    EXPECT_EQ(alertMessages(), QStringList({ kFailed }));
    EXPECT_FALSE(context()->hasChanges());
    expectUnchanged();
}

TEST_F(CsvImportTest, TheLogOpensFromTheAlert)
{
    import("Name,Amount,Paid\n");
    const auto alerts = platform::ui::AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title(), "Information");
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "Cancel");
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(1), "Ok");
    EXPECT_EQ(alerts[0]->tag(), 1000);
    alerts[0]->clickButtonAtIndex(1);
    testsupport::processEvents(20);
    EXPECT_EQ(opened, QStringList({ menu->lastSelectedFileName() }));
}

TEST_F(CsvImportTest, AProtectedTableStoresEncryptedRowsWithItsPasswordAndRefusesWithout)
{
    const QString password = "s3cret";
    UserTemplate* locked = addTable("Locked", password);
    table = locked;
    before = storedValues(locked, password);

    open(locked);
    EXPECT_TRUE(import("Name,Amount,Paid\nAnn,1,1\n", "import.csv", true).isNull());
    EXPECT_EQ(alertMessages(),
        QStringList({ "This table is protected: open it with its password before importing "
                      "rows into it." }));
    dismissAlerts();
    EXPECT_TRUE(Rows::getRowFaults(locked->id().toString()).isEmpty());

    // A wrong password is no password.
    open(locked, QString("wrong"));
    EXPECT_TRUE(import("Name,Amount,Paid\nAnn,1,1\n", "import.csv", true).isNull());
    dismissAlerts();
    EXPECT_TRUE(Rows::getRowFaults(locked->id().toString()).isEmpty());

    open(locked, password);
    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\n"),
        "Importing row 1.\r\nSuccessfully imported 1 rows.\r\n");
    const auto rows = Rows::getRowFaults(locked->id().toString());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_FALSE(rows[0]->json().toString().contains("Ann"));
    EXPECT_FALSE(rows[0]->decodeData(columns, std::nullopt));
    const auto values = rows[0]->decodeData(columns, password);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->value(key("Name")), "Ann");
}

// Unprotected (on another machine, say) while the screen it was opened on holds its password:
// the rows go in the clear, as the table now has them.
TEST_F(CsvImportTest, ATableUnprotectedSinceItWasOpenedStoresItsImportedRowsInTheClear)
{
    const QString password = "s3cret";
    UserTemplate* opened = addTable("Opened", password);
    table = opened;
    open(opened, password);
    ASSERT_TRUE(opened->changeProtection(password, std::nullopt, columns));

    EXPECT_EQ(import("Name,Amount,Paid\nAnn,1,1\n"),
        "Importing row 1.\r\nSuccessfully imported 1 rows.\r\n");
    const auto rows = Rows::getRowFaults(opened->id().toString());
    ASSERT_EQ(rows.size(), 1);
    const auto values = rows[0]->decodeData(columns, std::nullopt);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->value(key("Name")), "Ann");
}

TEST_F(CsvImportTest, ResetRemindersRebuildsThenSaysSo)
{
    menu->resetReminder();
    testsupport::processEvents(20);
    EXPECT_EQ(controller->rebuilds, 1);
    EXPECT_EQ(alertMessages(), QStringList({ "Operation Completed Successfully." }));
    dismissAlerts();

    // A failure goes to the debug log only.
    controller->failRebuild = true;
    menu->resetReminder();
    testsupport::processEvents(20);
    EXPECT_EQ(controller->rebuilds, 2);
    EXPECT_TRUE(alertMessages().isEmpty());
}
