#include "ReportFixture.h"

#include "common/FreexlWorkbook.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/ui/Device.h"
#include "platform/ui/MailComposeViewController.h"
#include "reports/CSVAdditions.h"
#include "reports/ReportRows.h"
#include "utilities/shell/HudProtocol.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QRegularExpression>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using reporttest::ReportTest;

namespace {

// Python's email module reading a sent message: the single attachment's name, type and
// decoded bytes.
const char* const kPythonAttachment = R"(import email, sys
from email import policy
with open(sys.argv[1], 'rb') as f:
    message = email.message_from_binary_file(f, policy=policy.default)
parts = list(message.iter_attachments())
assert len(parts) == 1, len(parts)
part = parts[0]
sys.stdout.buffer.write((part.get_filename() + '\n' + part.get_content_type() + '\n').encode())
sys.stdout.buffer.write(part.get_payload(decode=True))
)";

// Sends what the composer holds and reads the message file back with Python.
QByteArray sendAndReadAttachment(platform::ui::MailComposeViewController* composer)
{
    // The composer goes once it has sent, to the recipient the person gives.
    composer->setToRecipients({ QStringLiteral("ana@example.com") });
    composer->send();
    const QString path = composer->lastSentPath();
    testsupport::processEvents(20);
    int exitCode = -1;
    const QByteArray read
        = testsupport::runTool("python3", { "-c", kPythonAttachment, path }, {}, &exitCode);
    return exitCode == 0 ? read : QByteArray();
}

// While it lives, the calling thread (only) loses the right of root to write where the
// permissions say no.
class ObeyFilePermissions {
public:
    ObeyFilePermissions()
    {
        m_held = syscall(SYS_capget, &m_header, m_saved) == 0;
        if (!m_held)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        reduced[0].effective
            &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &m_header, reduced);
    }
    ~ObeyFilePermissions()
    {
        if (m_held)
            syscall(SYS_capset, &m_header, m_saved);
    }
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_held = false;
};

// An application delegate whose cloud documents store is available and switched on.
class CloudOnDelegate : public KivoAppDelegate {
public:
    bool cloudAvailable() const override { return true; }
    bool cloudEnabled() const override { return true; }
};

struct ExportMenuTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        addColumn("Name", TypeConstants::Text);
        addColumn("Amount", TypeConstants::Numeric);
        addColumn("Paid", TypeConstants::YesNo);
        table = addTable("Clients");
        storeRows(table,
            { { { "Name", "Ann, \"the\" first" }, { "Amount", 12.5 }, { "Paid", true } },
                { { "Name", QString::fromUtf8("Zoë\nSmith") }, { "Amount", 1234 },
                    { "Paid", false } },
                { { "Name", "No amount" } } });
        open(table);
    }

    UserTemplate* table = nullptr;
};

QString documents(const QString& name)
{
    return QDir(FileManager::documentsDirectory()).filePath(name);
}

} // namespace

TEST_F(ExportMenuTest, TheUserTableMenuHasImportFirstAndKeepsEveryExportCode)
{
    menu->showMenu();
    EXPECT_EQ(host->menuTitle, "Options");
    EXPECT_EQ(host->menuTexts,
        QStringList({ "Import CSV", "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF",
            "Mail XLS" }));
    EXPECT_EQ(host->menuImages,
        QStringList(
            { "import", "savecsv", "savepdf", "savexls", "mailcsv", "mailpdf", "mailxls" }));
    EXPECT_EQ(host->menuSize, QSizeF(645, 340));

    // Position i runs code i + 1000: Save XLS (position 3) asks for a file to save.
    host->menuSelect(3);
    EXPECT_EQ(menu->lastClickedButton(), 1003u);
    ASSERT_EQ(host->browsers.size(), 1);
    const auto& request = host->browsers.first();
    EXPECT_FALSE(request.cloud);
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.defaultFileName, "Clients.xls");
    EXPECT_EQ(request.type, "xls");
    EXPECT_TRUE(request.startupDir.isEmpty());
    EXPECT_EQ(request.title, "Save XLS");
    EXPECT_EQ(request.delegate, menu.get());

    // Import opens a file to read.
    host->menuSelect(0);
    EXPECT_EQ(menu->lastClickedButton(), 1000u);
    ASSERT_EQ(host->browsers.size(), 2);
    EXPECT_FALSE(host->browsers.last().save);
    EXPECT_EQ(host->browsers.last().defaultFileName, "Clients.csv");
    EXPECT_EQ(host->browsers.last().title, "Import CSV");
}

TEST_F(ExportMenuTest, TheCloudItemsAppearOnlyWithTheCloudStoreOn)
{
    auto plain = ReportController::create(host, source);
    plain->showMenu();
    EXPECT_EQ(host->menuTexts.size(), 6);
    EXPECT_EQ(host->menuSize, QSizeF(645, 275));

    delegate.reset();
    delegate = std::make_unique<CloudOnDelegate>();
    plain->showMenu();
    EXPECT_EQ(host->menuTexts.mid(6),
        QStringList({ "Save CSV [iCloud]", "Save PDF [iCloud]", "Save XLS [iCloud]" }));
    EXPECT_EQ(host->menuImages.mid(6), QStringList({ "icloudcsv", "icloudpdf", "icloudxls" }));
    EXPECT_EQ(host->menuSize, QSizeF(645, 405));
    host->menuSelect(8);
    EXPECT_EQ(plain->lastClickedButton(), 1009u);
    ASSERT_FALSE(host->browsers.isEmpty());
    EXPECT_TRUE(host->browsers.last().cloud);
    EXPECT_EQ(host->browsers.last().defaultFileName, "Clients.xls");

    menu->showMenu();
    EXPECT_EQ(host->menuTexts.size(), 10);
    EXPECT_EQ(host->menuSize, QSizeF(645, 405));
    host->menuSelect(9);
    EXPECT_EQ(menu->lastClickedButton(), 1009u);
}

// The help names every item the menu shows, with the cloud store off and on, and says
// where each Save item writes: the plain ones into Documents with iCloud on as well.
TEST_F(ExportMenuTest, TheHelpNamesEachItemAndWhereItWritesWithTheCloudOnAndOff)
{
    QFile page(platform::Folders::resources() + "/Web/export.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    // As a reader sees it: no tags, one space between words.
    const QString help = QString::fromUtf8(page.readAll())
                             .remove(QRegularExpression(QStringLiteral("<[^>]*>")))
                             .simplified();
    menu->showMenu();
    QStringList items = host->menuTexts;
    delegate.reset();
    delegate = std::make_unique<CloudOnDelegate>();
    menu->showMenu();
    items += host->menuTexts;
    ASSERT_EQ(items.size(), 17);
    for (const QString& item : std::as_const(items))
        EXPECT_TRUE(help.contains(item)) << item.toStdString();
    EXPECT_TRUE(help.contains("always write on this computer, with iCloud on or off"));
    EXPECT_TRUE(help.contains("write the file into the iCloud Documents folder"));
}

TEST_F(ExportMenuTest, ATabletClosesThePopupBeforeTheActionAPhoneKeepsItsStack)
{
    ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    menu->showMenu();
    host->menuSelect(1);
    EXPECT_EQ(host->menuDismissals, 1);
    ASSERT_TRUE(platform::ui::Device::current().selectModel("phone"));
    menu->showMenu();
    host->menuSelect(1);
    EXPECT_EQ(host->menuDismissals, 1);
    ASSERT_TRUE(platform::ui::Device::current().selectModel("tablet"));
}

TEST_F(ExportMenuTest, SaveCsvWritesRawValuesAndOffersToOpenTheFile)
{
    run(ReportController::SaveCSV, documentsFile("Clients.csv"));
    const QByteArray written = readFile(documents("Clients.csv"));
    EXPECT_EQ(written,
        "Name,Amount,Paid\n"
        "\"Ann, \"\"the\"\" first\",12.5,1\n"
        "\"Zo\xC3\xAB\nSmith\",1234,0\n"
        "No amount,,\n");
    EXPECT_EQ(menu->lastSelectedFileName(), documents("Clients.csv"));

    const auto alerts = platform::ui::AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->title(), "Information");
    EXPECT_EQ(alerts[0]->message(), "Successfully Saved.");
    EXPECT_EQ(alerts[0]->tag(), 1000);
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "Close");
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(1), "Open");
    alerts[0]->clickButtonAtIndex(1);
    testsupport::processEvents(20);
    EXPECT_EQ(opened, QStringList({ documents("Clients.csv") }));
}

TEST_F(ExportMenuTest, SaveXlsWritesTheDisplayTextsUnderABoldHeader)
{
    run(ReportController::SaveXLS, documentsFile("Clients.xls"));
    const auto book = testsupport::readWithFreexl(documents("Clients.xls"));
    ASSERT_TRUE(book.ok()) << book.status;
    ASSERT_EQ(book.sheets.size(), 1u);
    const auto& sheet = book.sheets[0];
    EXPECT_EQ(sheet.name, "Clients");
    ASSERT_EQ(sheet.rows, 4u);
    EXPECT_EQ(sheet.at(0, 0).text, "Name");
    EXPECT_EQ(sheet.at(0, 2).text, "Paid");
    EXPECT_EQ(sheet.at(1, 0).text, "Ann, \"the\" first");
    EXPECT_EQ(sheet.at(1, 1).text, "12.50");
    EXPECT_EQ(sheet.at(1, 2).text, "Yes");
    EXPECT_EQ(sheet.at(2, 1).text, "1,234.00");
    EXPECT_EQ(sheet.at(2, 2).text, "No");
    EXPECT_TRUE(sheet.at(3, 1).isNull());
    EXPECT_EQ(alertMessages(), QStringList({ "Successfully Saved." }));
}

TEST_F(ExportMenuTest, MailedMessagesCarryTheSameBytesASaveWrites)
{
    run(ReportController::SaveCSV, documentsFile("Clients.csv"));
    dismissAlerts();
    run(ReportController::MailCSV);
    auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_TRUE(composer);
    const auto message = composer->message();
    EXPECT_EQ(message.subject, "Clients");
    EXPECT_TRUE(message.to.isEmpty());
    ASSERT_EQ(message.attachments.size(), 1);
    EXPECT_EQ(message.attachments[0].fileName, "Clients.csv");
    EXPECT_EQ(message.attachments[0].mimeType, "text/csv");
    EXPECT_EQ(message.attachments[0].data, readFile(documents("Clients.csv")));
    EXPECT_EQ(sendAndReadAttachment(composer),
        "Clients.csv\ntext/csv\n" + readFile(documents("Clients.csv")));
    testsupport::processEvents(20);

    run(ReportController::SaveXLS, documentsFile("Clients.xls"));
    dismissAlerts();
    run(ReportController::MailXLS);
    composer = qobject_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_TRUE(composer);
    ASSERT_EQ(composer->message().attachments.size(), 1);
    EXPECT_EQ(composer->message().attachments[0].mimeType, "application/vnd.ms-excel");
    EXPECT_EQ(composer->message().attachments[0].fileName, "Clients.xls");
    // Two workbooks of the same table differ only in nothing: the writer is deterministic.
    EXPECT_EQ(composer->message().attachments[0].data, readFile(documents("Clients.xls")));
    EXPECT_EQ(sendAndReadAttachment(composer),
        "Clients.xls\napplication/vnd.ms-excel\n" + readFile(documents("Clients.xls")));
}

TEST_F(ExportMenuTest, ATableWithoutRowsExportsItsHeaderOnly)
{
    open(addTable("Empty"));
    host->setTitle("Empty");
    run(ReportController::SaveCSV, documentsFile("Empty.csv"));
    EXPECT_EQ(readFile(documents("Empty.csv")), "Name,Amount,Paid\n");
    dismissAlerts();
    run(ReportController::SaveXLS, documentsFile("Empty.xls"));
    const auto book = testsupport::readWithFreexl(documents("Empty.xls"));
    ASSERT_TRUE(book.ok());
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].rows, 1u);
    EXPECT_EQ(book.sheets[0].at(0, 1).text, "Amount");
}

// The worker reads the rows as they were when the action began, whatever the screen
// does meanwhile.
TEST_F(ExportMenuTest, TheRowsAreTakenWhenTheActionStarts)
{
    QList<QVariantMap> many;
    for (int i = 0; i < 3000; ++i)
        many.append({ { "Name", QStringLiteral("Row %1").arg(i) }, { "Amount", i } });
    storeRows(table, many);
    controller->loadData(nullptr);
    const int busyBefore = host->hudShown;
    menu->setLastClickedButton(ReportController::SaveCSV);
    menu->fileBrowseCompleted(documentsFile("Snapshot.csv"), nullptr);
    // A search narrows the rows, then every row goes.
    controller->filterRows("Row 1", [](const QVariant&) { return false; });
    for (const QVariant& row : controller->rows())
        ASSERT_TRUE(Rows::deleteRows(qobject_cast<Rows*>(RowObject::object(row))));
    controller->setRows({});
    waitUntilIdle(busyBefore);
    const auto lines
        = CSVAdditions::CSVComponents(QString::fromUtf8(readFile(documents("Snapshot.csv"))));
    ASSERT_TRUE(lines);
    // The header, 3003 rows and the empty line after the last line end.
    EXPECT_EQ(lines->size(), 1 + 3003 + 1);
    EXPECT_EQ(lines->at(3003 + 0).value(0), "Row 2999");
}

TEST_F(ExportMenuTest, AProtectedTableExportsClearValuesWithItsPassword)
{
    const QString password = "s3cret";
    UserTemplate* locked = addTable("Locked", password);
    storeRows(locked, { { { "Name", "Hidden" }, { "Amount", 7 } } }, password);
    open(locked, password);
    run(ReportController::SaveCSV, documentsFile("Locked.csv"));
    EXPECT_EQ(readFile(documents("Locked.csv")), "Name,Amount,Paid\nHidden,7,\n");
}

TEST_F(ExportMenuTest, ARowThatDoesNotDecodeStopsTheExportWithAnError)
{
    const QString password = "s3cret";
    UserTemplate* locked = addTable("Locked", password);
    storeRows(locked, { { { "Name", "Hidden" } } }, password);
    // The screen was opened without the password.
    open(locked);
    run(ReportController::SaveCSV, documentsFile("Locked.csv"));
    EXPECT_FALSE(QFile::exists(documents("Locked.csv")));
    const QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Row 1 could not be read")) << messages[0].toStdString();
    dismissAlerts();
    run(ReportController::MailXLS);
    EXPECT_FALSE(navigation->presentedViewController());
    EXPECT_EQ(alertMessages().size(), 1);
}

TEST_F(ExportMenuTest, AWriteIntoAReadOnlyFolderShowsAnErrorAndLeavesNoFile)
{
    const QString folder = QDir(FileManager::documentsDirectory()).filePath("ReadOnly");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    // Files are saved on the main thread: it alone obeys the folder's permissions, even
    // when the tests run as root.
    ObeyFilePermissions obeying;
    for (unsigned code :
        { unsigned(ReportController::SaveCSV), unsigned(ReportController::SaveXLS) }) {
        run(code, documentsFile("Clients.out", folder));
        const QStringList messages = alertMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith("The file could not be saved: "))
            << messages[0].toStdString();
        EXPECT_NE(messages[0], "Successfully Saved.");
        EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        dismissAlerts();
    }
    QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ExportMenuTest, AFailingCloudSaveShowsItsErrorAndEndsTheOverlay)
{
    // The cloud container is a file: its documents folder cannot be made.
    const QString container = QDir(testsupport::homePath()).filePath("cloud-file");
    QFile blocker(container);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("KIVOTAB_CLOUD", container.toUtf8());
    auto file = std::make_shared<FileInfo>();
    file->name = "Clients.csv";
    run(ReportController::SaveCSVToCloud, file);
    qunsetenv("KIVOTAB_CLOUD");
    const QStringList messages = alertMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_NE(messages[0], "Successfully Saved.");
    EXPECT_TRUE(host->idle());
}

TEST_F(ExportMenuTest, ACloudSaveStoresTheDocumentAndItsAlertOpensIt)
{
    const QString container = QDir(testsupport::homePath()).filePath("cloud");
    qputenv("KIVOTAB_CLOUD", container.toUtf8());
    auto file = std::make_shared<FileInfo>();
    file->name = "Clients.xls";
    run(ReportController::SaveXLSToCloud, file);
    const QString saved = QDir(container).filePath("Documents/Clients.xls");
    EXPECT_TRUE(testsupport::readWithFreexl(saved).ok());
    const auto alerts = platform::ui::AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->tag(), 1001);
    alerts[0]->clickButtonAtIndex(1);
    testsupport::processEvents(20);
    qunsetenv("KIVOTAB_CLOUD");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QFileInfo(opened[0]).canonicalFilePath(), QFileInfo(saved).canonicalFilePath());
}

TEST_F(ExportMenuTest, ThePdfItemsAskForAFileOrComposeAMail)
{
    menu->showMenu();
    host->menuSelect(2);
    ASSERT_EQ(host->browsers.size(), 1);
    EXPECT_EQ(host->browsers[0].defaultFileName, "Clients.pdf");
    EXPECT_EQ(host->browsers[0].type, "pdf");
    EXPECT_EQ(menu->lastClickedButton(), 1002u);

    menu->showMenu();
    const int before = host->hudShown;
    host->menuSelect(5);
    waitUntilIdle(before);
    EXPECT_EQ(menu->lastClickedButton(), 1005u);
    EXPECT_TRUE(alertMessages().isEmpty());
    auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_TRUE(composer);
    ASSERT_EQ(composer->message().attachments.size(), 1);
    EXPECT_EQ(composer->message().attachments[0].fileName, "Clients.pdf");
}

// A source that fails while its rows are read on the worker.
TEST_F(ExportMenuTest, AnExceptionOnTheWorkerIsShownAndTheOverlayEnds)
{
    class Failing : public ReportProtocol {
    public:
        QString reportTitle() override { return "Failing"; }
        OrderedDictionary reportColumns() override
        {
            OrderedDictionary columns;
            columns.setObject("A", "a");
            return columns;
        }
        quint64 reportRowsCount() override { return 1; }
        std::shared_ptr<const ReportRows> reportRowsSnapshot() override
        {
            return std::make_shared<const ReportRows>(
                1, [](quint64, bool) -> std::optional<QVariantMap> {
                    throw platform::Exception(platform::Exception::Generic, "worker failed");
                });
        }
    };
    menu = GenericTemplateReportController::create(host, std::make_shared<Failing>());
    run(ReportController::SaveCSV, documentsFile("Failing.csv"));
    EXPECT_EQ(alertMessages(), QStringList({ "worker failed" }));
    EXPECT_FALSE(QFile::exists(documents("Failing.csv")));
}

// On a phone the save browser may still cover the grid when the action starts: the
// overlay shows on the screen on top, and ends there.
TEST_F(ExportMenuTest, TheOverlayShowsOnTheScreenOnTopOfTheGrid)
{
    class Covering : public platform::ui::ViewController, public HudProtocol {
    public:
        void showHud() override { ++shown; }
        void hideHud() override { ++hidden; }
        int shown = 0;
        int hidden = 0;
    };
    auto* top = new Covering;
    navigation->pushViewController(top, false);
    menu->setLastClickedButton(ReportController::SaveCSV);
    menu->fileBrowseCompleted(documentsFile("Covered.csv"), nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return top->shown == 1 && top->hidden == 1; }, 60000));
    EXPECT_EQ(host->hudShown, 0);
    EXPECT_TRUE(QFileInfo::exists(documents("Covered.csv")));
}
