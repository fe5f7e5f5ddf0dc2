#include "AppFixture.h"

#include "common/FreexlWorkbook.h"
#include "grid/FileBrowserScreenProtocol.h"
#include "grid/FileBrowserViewController.h"
#include "grid/ListSelectViewController.h"
#include "model/CloudStoreManager.h"
#include "model/Rows.h"
#include "model/UserTemplate.h"
#include "platform/LocalNotifications.h"
#include "platform/UserDefaults.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TextField.h"
#include "reports/ExportImportDataController.h"
#include "reports/ReportController.h"
#include "screens/GenericTemplateDataController.h"
#include "utilities/shell/FileManager.h"
#include "widgets/SimplePopupViewController.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

namespace e2e {
namespace {

const QString kContactsTable = QStringLiteral("7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A");
const QString kNameColumn = QStringLiteral("319525EF-176E-4462-93BA-68EB30D7D6E7");
const QString kPhoneColumn = QStringLiteral("89C20BFE-16C0-4414-A9FD-40BDB2692BD2");
const QString kEmail = QStringLiteral("DFFE9F8F-B701-45EA-B941-8A2BFE933E28");
const QString kBirthday = QStringLiteral("FA736F30-E79F-4A5D-A794-7EE99357EE8E");
constexpr int kShareButton = 40;

const QString kHeader = QStringLiteral("Name,Phone,Email,Website,Address,Birthday,Group,Favourite");

// Python's email module reading a sent message: the one attachment's name and type, then
// its decoded bytes.
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

QString documents(const QString& name)
{
    return QDir(FileManager::documentsDirectory()).filePath(name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The newest import log of Documents' logs folder.
std::string newestLog()
{
    const QDir logs(documents(FileManager::LogsFolder));
    const QStringList names = logs.entryList(QDir::Files, QDir::Time);
    return names.isEmpty() ? std::string() : readFile(logs.filePath(names.first())).toStdString();
}

// The scheduled notifications at the moment the first alert shows, as the scheduler holds
// them then.
class ScheduledWhenAlertShows : public QObject {
public:
    ScheduledWhenAlertShows() { QCoreApplication::instance()->installEventFilter(this); }
    ~ScheduledWhenAlertShows() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !taken
            && qobject_cast<platform::ui::AlertView*>(watched)) {
            taken = true;
            scheduled = platform::LocalNotifications::shared().scheduledLocalNotifications();
        }
        return false;
    }

    bool taken = false;
    QList<platform::LocalNotification> scheduled;
};

// The notifications the scheduler's file lists, written out first.
QList<QJsonObject> notificationsFile()
{
    auto& center = platform::LocalNotifications::shared();
    center.flush();
    QFile file(center.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QJsonObject> listed;
    for (const QJsonValue& value :
        QJsonDocument::fromJson(file.readAll()).object().value("notifications").toArray())
        listed << value.toObject();
    return listed;
}

// A user table's rows, exported and imported through its share menu and the file browser
// as a person does it.
struct ExportJourney : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ApplicationScreen* databases = top();
        ASSERT_NE(databases, nullptr);
        ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
        ASSERT_TRUE(open(databases, "Household"));
        home = top();
        ASSERT_TRUE(addTable(home, "Friends", kContactsTable));
    }

    void TearDown() override
    {
        // A test that stopped half-way may have left its stand-in opener.
        ReportController::setFileOpener({});
        AppTest::TearDown();
    }

    // Opens the table's rows screen from Home.
    // A new protected table "Vault", opened with its password "s3cret" just made.
    bool openNewVault()
    {
        return addTable(home, "Vault", kContactsTable, true) && open(home, "Vault")
            && answerPrompt("Create Password", "s3cret")
            && answerPrompt("Retype Password", "s3cret");
    }

    ApplicationScreen* openRows(const QString& table = QStringLiteral("Friends"))
    {
        if (!open(home, table))
            return nullptr;
        ApplicationScreen* rows = top();
        return rows != home ? rows : nullptr;
    }

    // The share button's menu: in a popup on a tablet, pushed on a phone.
    ListSelectViewController* openMenu(ApplicationScreen* rows)
    {
        platform::ui::View* share = barButton(rows, kShareButton);
        if (!share || !share->isVisible())
            return nullptr;
        GestureSynthesizer::tap(share);
        return shownMenu(rows);
    }

    // The menu list shown over the rows screen now.
    ListSelectViewController* shownMenu(ApplicationScreen* rows)
    {
        settle(100);
        if (!tablet())
            return dynamic_cast<ListSelectViewController*>(navigation->topViewController());
        SimplePopupViewController* popup = rows->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<ListSelectViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    // Taps the menu item of that text.
    bool choose(ApplicationScreen* rows, const QString& item)
    {
        ListSelectViewController* menu = openMenu(rows);
        if (!menu) {
            ADD_FAILURE() << "no menu over "
                          << navigation->topViewController()->title().toStdString();
            return false;
        }
        const int at = int(titles(menu).indexOf(item));
        if (at < 0) {
            ADD_FAILURE() << titles(menu).join("|").toStdString();
            return false;
        }
        GestureSynthesizer::tap(tileView(menu, at, 2000));
        settle(150);
        return true;
    }

    // The file browser shown now: in a popup of the rows screen on a tablet, pushed on a
    // phone.
    FileBrowserViewController* browser(ApplicationScreen* rows) const
    {
        if (auto* pushed
            = dynamic_cast<FileBrowserViewController*>(navigation->topViewController()))
            return pushed;
        SimplePopupViewController* popup = rows->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<FileBrowserViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    // Types the name into the save browser's name field and presses Return.
    static bool typeNameAndSave(FileBrowserViewController* saving, const QString& name)
    {
        platform::ui::TextField* field = saving ? saving->fileNameField() : nullptr;
        if (!field)
            return false;
        GestureSynthesizer::tap(field);
        settle();
        QLineEdit* keys = field->lineEdit();
        if (!keys)
            return false;
        QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(keys, name);
        QTest::keyClick(keys, Qt::Key_Return);
        settle(100);
        return true;
    }

    // Waits for the alert whose message starts so, for as long as a large export takes.
    static platform::ui::AlertView* waitForAlert(const QString& message)
    {
        platform::ui::AlertView* found = nullptr;
        testsupport::waitUntil(
            [&] {
                for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
                    if (alert->message().startsWith(message))
                        found = alert;
                return found != nullptr;
            },
            60000);
        settle(60);
        return found;
    }

    // Chooses the alert's first button (Close, Cancel) as a person does; the busy overlay
    // of every screen on the stack has ended by then.
    void closeAlert(platform::ui::AlertView* alert)
    {
        alert->clickButtonAtIndex(0);
        settle();
        for (platform::ui::ViewController* screen : navigation->viewControllers()) {
            if (auto* base = qobject_cast<BaseViewController*>(screen)) {
                EXPECT_EQ(base->hudCount(), 0u) << base->title().toStdString();
            }
        }
    }

    // The composer the mail item opened, sent with its Send button; the message file.
    QString sendMail()
    {
        platform::ui::MailComposeViewController* composer = nullptr;
        testsupport::waitUntil(
            [&] {
                for (auto* screen : { static_cast<platform::ui::ViewController*>(navigation.get()),
                         navigation->topViewController() }) {
                    if (!screen)
                        continue;
                    composer = qobject_cast<platform::ui::MailComposeViewController*>(
                        screen->presentedViewController());
                    if (composer)
                        return true;
                }
                return false;
            },
            60000);
        if (!composer || !composer->topViewController()) {
            ADD_FAILURE() << "no composer " << (composer != nullptr);
            return {};
        }
        settle(60);
        platform::ui::BarButtonItem* send
            = composer->topViewController()->navigationItem()->rightBarButtonItem();
        if (!send || !send->view()) {
            ADD_FAILURE() << "no send " << (send != nullptr);
            return {};
        }
        const QPointer<platform::ui::MailComposeViewController> alive(composer);
        const QDir outbox(platform::ui::MailComposeViewController::outboxFolder());
        const QStringList before = outbox.entryList({ "*.eml" }, QDir::Files);
        // Nobody to send to yet: Send is off, and a tap on it writes nothing.
        EXPECT_FALSE(send->isEnabled());
        GestureSynthesizer::tap(send->view());
        settle(60);
        EXPECT_EQ(outbox.entryList({ "*.eml" }, QDir::Files), before);
        EXPECT_TRUE(alive && alive->presentingViewController());
        // The person types the recipient.
        if (!alive || !composer->toField()) {
            ADD_FAILURE() << "the composer went without sending";
            return {};
        }
        QTest::keyClicks(composer->toField(), QStringLiteral("ana@example.com"));
        settle(60);
        EXPECT_TRUE(send->isEnabled());
        GestureSynthesizer::tap(send->view());
        // The composer goes once it has sent; the message is the one new file of the outbox.
        settle(60);
        EXPECT_TRUE(!alive || !alive->presentingViewController());
        QStringList sent = outbox.entryList({ "*.eml" }, QDir::Files);
        for (const QString& old : before)
            sent.removeAll(old);
        return sent.size() == 1 ? outbox.filePath(sent.first()) : QString();
    }

    // The attachment of a sent message as Python's email module reads it.
    static QByteArray attachmentOf(const QString& message)
    {
        int exitCode = -1;
        const QByteArray read
            = testsupport::runTool("python3", { "-c", kPythonAttachment, message }, {}, &exitCode);
        return exitCode == 0 ? read : QByteArray("python failed: " + read);
    }

    // After mailing, a phone is back on the menu list and goes back to the rows.
    void leaveMenu(ApplicationScreen* rows)
    {
        settle();
        if (!tablet()) {
            EXPECT_NE(
                dynamic_cast<ListSelectViewController*>(navigation->topViewController()), nullptr);
            back();
        }
        EXPECT_EQ(top(), rows);
    }

    // Chooses Import CSV and taps the file in the open browser; true when it was listed.
    bool importThroughMenu(
        ApplicationScreen* rows, const QString& fileName, const QString& shot = QString())
    {
        if (!choose(rows, "Import CSV"))
            return false;
        FileBrowserViewController* opening = browser(rows);
        if (!opening || opening->saveDialog())
            return false;
        const QStringList listed = titles(opening);
        if (!listed.contains(fileName)) {
            ADD_FAILURE() << fileName.toStdString() << " not in " << listed.join("|").toStdString();
            return false;
        }
        if (!shot.isEmpty() && !saveShot(shot))
            return false;
        return open(opening, fileName);
    }

    ApplicationScreen* home = nullptr;
};

TEST_P(ExportJourney, TheShareMenuSavesAndMailsTheRowsAsCsvAndXls)
{
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(
        addRow(rows, { { kNameColumn, "Ann \"the\" First, Jr." }, { kPhoneColumn, "555 1234" } }));
    ASSERT_TRUE(addRow(rows, { { kNameColumn, "Zoë Weiß" }, { kEmail, "zoe@example.com" } }));

    // Seven items: import, then the six of saving and mailing (no cloud store here).
    ListSelectViewController* menu = openMenu(rows);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu),
        QStringList({ "Import CSV", "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF",
            "Mail XLS" }));
    EXPECT_EQ(menu->title(), "Options");
    if (tablet()) {
        ASSERT_NE(rows->simplepopupController(), nullptr);
        EXPECT_EQ(rows->simplepopupController()->contentSize(), QSizeF(645, 340));
    } else {
        EXPECT_EQ(rows->simplepopupController(), nullptr);
    }
    ASSERT_TRUE(saveShot(QString("e2e-export-menu-%1.png").arg(GetParam())));
    if (tablet())
        rows->dismissPopup();
    else
        back();
    settle();
    ASSERT_EQ(top(), rows);

    // Save CSV: the save browser offers the table's name; a typed name is saved in
    // Documents and the rows screen is back with the alert over it.
    ASSERT_TRUE(choose(rows, "Save CSV"));
    FileBrowserViewController* saving = browser(rows);
    ASSERT_NE(saving, nullptr);
    EXPECT_TRUE(saving->saveDialog());
    EXPECT_EQ(saving->fileName(), "Friends.csv");
    EXPECT_EQ(saving->title(), "Save CSV");
    ASSERT_TRUE(saveShot(QString("e2e-export-save-browser-%1.png").arg(GetParam())));
    // A name that is not one plain name is refused and the browser stays.
    ASSERT_TRUE(typeNameAndSave(saving, "../friends.csv"));
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Invalid File Name." }));
    EXPECT_EQ(browser(rows), saving);
    EXPECT_FALSE(QFile::exists(documents("../friends.csv")));
    ASSERT_TRUE(typeNameAndSave(saving, "friends-list.csv"));
    platform::ui::AlertView* saved = waitForAlert("Successfully Saved.");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->title(), "Information");
    EXPECT_EQ(top(), rows);
    EXPECT_EQ(browser(rows), nullptr);
    ASSERT_TRUE(saveShot(QString("e2e-export-saved-alert-%1.png").arg(GetParam())));
    closeAlert(saved);
    const QByteArray csv = readFile(documents("friends-list.csv"));
    // The row form gives a new row today's date.
    const QString today = QDateTime(QDate::currentDate(), QTime(0, 0))
                              .toUTC()
                              .toString("yyyy-MM-dd HH:mm:ss +0000");
    EXPECT_EQ(csv.toStdString(),
        (kHeader + "\n\"Ann \"\"the\"\" First, Jr.\",555 1234,,,," + today
            + ",,0\nZoë Weiß,,zoe@example.com,,," + today + ",,0\n")
            .toStdString());

    // Save XLS the same way, under the name offered.
    ASSERT_TRUE(choose(rows, "Save XLS"));
    saving = browser(rows);
    ASSERT_NE(saving, nullptr);
    EXPECT_EQ(saving->fileName(), "Friends.xls");
    ASSERT_TRUE(typeNameAndSave(saving, "Friends.xls"));
    saved = waitForAlert("Successfully Saved.");
    ASSERT_NE(saved, nullptr);
    // Open shows the saved file.
    QStringList shown;
    ReportController::setFileOpener([&shown](const QString& path) { shown << path; });
    saved->clickButtonAtIndex(1);
    settle();
    ReportController::setFileOpener({});
    EXPECT_EQ(shown, QStringList({ documents("Friends.xls") }));
    const QByteArray xls = readFile(documents("Friends.xls"));
    const testsupport::FreexlWorkbook book = testsupport::readWithFreexl(documents("Friends.xls"));
    ASSERT_TRUE(book.ok()) << book.status;
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].name, "Friends");
    EXPECT_EQ(book.sheets[0].at(0, 0).text, "Name");
    EXPECT_EQ(book.sheets[0].at(1, 0).text, "Ann \"the\" First, Jr.");
    EXPECT_EQ(book.sheets[0].at(2, 0).text, "Zoë Weiß");
    EXPECT_EQ(book.sheets[0].at(2, 2).text, "zoe@example.com");

    // Mailing attaches the same bytes the saves wrote.
    ASSERT_TRUE(choose(rows, "Mail CSV"));
    QString message = sendMail();
    ASSERT_FALSE(message.isEmpty());
    EXPECT_TRUE(message.endsWith(".eml"));
    EXPECT_EQ(attachmentOf(message), "Friends.csv\ntext/csv\n" + csv);
    leaveMenu(rows);
    ASSERT_TRUE(choose(rows, "Mail XLS"));
    message = sendMail();
    ASSERT_FALSE(message.isEmpty());
    EXPECT_EQ(attachmentOf(message), "Friends.xls\napplication/vnd.ms-excel\n" + xls);
    leaveMenu(rows);
    EXPECT_EQ(top(), rows);
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().isEmpty());
}

TEST_P(ExportJourney, ImportThroughTheMenuStoresAllLinesOrNoneAndLogsWhy)
{
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(addRow(rows, { { kNameColumn, "Kept Row" } }));
    const QStringList before = storedTexts();

    // Columns missing from the header: each is named, nothing is stored.
    ASSERT_TRUE(writeFile(documents("missing.csv"), "Name,Phone,Email\nAnn,1,\n"));
    ASSERT_TRUE(importThroughMenu(
        rows, "missing.csv", QString("e2e-import-browser-%1.png").arg(GetParam())));
    platform::ui::AlertView* logged = waitForAlert("Import failed.");
    ASSERT_NE(logged, nullptr);
    EXPECT_EQ(logged->title(), "Information");
    EXPECT_EQ(logged->message(), "Import failed.\r\nWould you like to view the log?");
    EXPECT_EQ(top(), rows);
    ASSERT_TRUE(saveShot(QString("e2e-import-log-alert-%1.png").arg(GetParam())));
    closeAlert(logged);
    EXPECT_EQ(newestLog(),
        "Column Website not found.\r\nColumn Address not found.\r\nColumn Birthday not "
        "found.\r\nColumn Group not found.\r\nColumn Favourite not found.\r\n");
    EXPECT_EQ(storedTexts(), before);

    // A line without the mandatory name and one with a phone over its length: both are
    // named by their lines in the file, the blank one counted, and nothing is stored.
    ASSERT_TRUE(writeFile(documents("invalid.csv"),
        (kHeader + "\nBob,1,,,,,,0\n,2,,,,,,0\n\nCleo,012345678901234567890,,,,,,1\n").toUtf8()));
    ASSERT_TRUE(importThroughMenu(rows, "invalid.csv"));
    logged = waitForAlert("Import failed.");
    ASSERT_NE(logged, nullptr);
    closeAlert(logged);
    EXPECT_EQ(newestLog(), "Error in row 3. Name invalid.\r\n.Error in row 5. Phone invalid.\r\n.");
    EXPECT_EQ(storedTexts(), before);

    // An unterminated quote: the reason and its line, nothing stored.
    ASSERT_TRUE(
        writeFile(documents("quote.csv"), (kHeader + "\nDan,1,,,,,,0\n\"Eve,2\n").toUtf8()));
    ASSERT_TRUE(importThroughMenu(rows, "quote.csv"));
    logged = waitForAlert("Import failed.");
    ASSERT_NE(logged, nullptr);
    closeAlert(logged);
    EXPECT_NE(newestLog().find("line 3"), std::string::npos) << newestLog();
    EXPECT_EQ(storedTexts(), before);

    // Header fields in another order, an unknown one and a blank line: stored in one go,
    // the grid shows them.
    ASSERT_TRUE(writeFile(documents("good.csv"),
        "Favourite,Group,Birthday,Address,Website,Email,Phone,Name,Extra\n"
        "1,,,,,fay@example.com,777,Fay Good,x\n"
        "\n"
        "0,,,,,,,\"Gil, Short\",\n"));
    ASSERT_TRUE(importThroughMenu(rows, "good.csv"));
    logged = waitForAlert("Import completed successfully.");
    ASSERT_NE(logged, nullptr);
    EXPECT_EQ(
        logged->message(), "Import completed successfully.\r\nWould you like to view the log?");
    ASSERT_TRUE(saveShot(QString("e2e-import-success-alert-%1.png").arg(GetParam())));
    // Ok shows the log.
    QStringList shown;
    ReportController::setFileOpener([&shown](const QString& path) { shown << path; });
    logged->clickButtonAtIndex(1);
    settle(250);
    ReportController::setFileOpener({});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().startsWith(documents("logs/Import_good.csv_")))
        << shown.first().toStdString();
    EXPECT_EQ(
        newestLog(), "Importing row 1.\r\nImporting row 2.\r\nSuccessfully imported 2 rows.\r\n");
    EXPECT_EQ(titles(rows), QStringList({ "Fay Good", "Gil, Short", "Kept Row" }));
    EXPECT_EQ(storedTexts().size(), before.size() + 2);
    EXPECT_TRUE(storedTextsHold("fay@example.com"));

    // A header only: nothing to add, and that is a success.
    const QStringList three = storedTexts();
    ASSERT_TRUE(writeFile(documents("header.csv"), (kHeader + "\n").toUtf8()));
    ASSERT_TRUE(importThroughMenu(rows, "header.csv"));
    logged = waitForAlert("Import completed successfully.");
    ASSERT_NE(logged, nullptr);
    closeAlert(logged);
    EXPECT_EQ(newestLog(), "Successfully imported 0 rows.\r\n");
    EXPECT_EQ(storedTexts(), three);

    // Two header fields of one name: the first one counts.
    ASSERT_TRUE(writeFile(
        documents("twice.csv"), (kHeader + ",Name\nHal First,,,,,,,0,Hal Second\n").toUtf8()));
    ASSERT_TRUE(importThroughMenu(rows, "twice.csv"));
    logged = waitForAlert("Import completed successfully.");
    ASSERT_NE(logged, nullptr);
    closeAlert(logged);
    settle(250);
    EXPECT_EQ(newestLog(), "Importing row 1.\r\nSuccessfully imported 1 rows.\r\n");
    EXPECT_TRUE(titles(rows).contains("Hal First"));
    EXPECT_FALSE(storedTextsHold("Hal Second"));
}

TEST_P(ExportJourney, TheRowDisplaysShareMenuSavesTheOneRow)
{
    constexpr int kDetailButton = 27;
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(addRow(rows, { { kNameColumn, "Zoë Weiß" }, { kEmail, "zoe@example.com" } }));
    rows->setSelectedRow(0);
    platform::ui::View* detail = barButton(rows, kDetailButton);
    ASSERT_NE(detail, nullptr);
    GestureSynthesizer::tap(detail);
    QuickDetailViewController* display = awaitedForm(rows);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(QString(display->metaObject()->className()), "RowDetailViewController");
    platform::ui::View* share = barButton(display, kShareButton);
    ASSERT_NE(share, nullptr);
    GestureSynthesizer::tap(share);
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownMenu(rows) != nullptr; }));

    // Six items, without import.
    ListSelectViewController* menu = nullptr;
    if (tablet()) {
        SimplePopupViewController* popup = rows->simplepopupController();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->contentSize(), QSizeF(645, 275));
        menu = dynamic_cast<ListSelectViewController*>(
            dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
                ->topViewController());
    } else {
        menu = dynamic_cast<ListSelectViewController*>(navigation->topViewController());
    }
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu),
        QStringList({ "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF", "Mail XLS" }));
    ASSERT_TRUE(saveShot(QString("e2e-row-export-menu-%1.png").arg(GetParam())));
    GestureSynthesizer::tap(tileView(menu, 0, 2000));
    settle(150);
    ASSERT_TRUE(testsupport::waitUntil([&] { return browser(rows) != nullptr; }));
    FileBrowserViewController* saving = browser(rows);
    ASSERT_NE(saving, nullptr);
    ASSERT_TRUE(typeNameAndSave(saving, "zoe.csv"));
    platform::ui::AlertView* saved = waitForAlert("Successfully Saved.");
    ASSERT_NE(saved, nullptr);
    // Back on the row's display that the menu was opened from.
    EXPECT_TRUE(testsupport::waitUntil([&] { return navigation->topViewController() == display; }));
    EXPECT_EQ(navigation->topViewController(), display);
    closeAlert(saved);
    const std::string csv = readFile(documents("zoe.csv")).toStdString();
    EXPECT_NE(csv.find("Name,Zoë Weiß\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Email,zoe@example.com\n"), std::string::npos) << csv;
}

TEST_P(ExportJourney, AProtectedTableImportsItsRowsEncryptedWithItsPassword)
{
    ASSERT_TRUE(openNewVault());
    ApplicationScreen* rows = top();
    ASSERT_NE(rows, home);
    ASSERT_TRUE(writeFile(documents("vault.csv"),
        (kHeader + "\nHidden Hana,4242,,,,,,1\nSecret Sam,,,,,,,0\n").toUtf8()));
    ASSERT_TRUE(importThroughMenu(rows, "vault.csv"));
    platform::ui::AlertView* logged = waitForAlert("Import completed successfully.");
    ASSERT_NE(logged, nullptr);
    closeAlert(logged);
    EXPECT_EQ(
        newestLog(), "Importing row 1.\r\nImporting row 2.\r\nSuccessfully imported 2 rows.\r\n");
    EXPECT_EQ(titles(rows), QStringList({ "Hidden Hana", "Secret Sam" }));
    EXPECT_FALSE(storedTextsHold("Hana"));
    EXPECT_FALSE(storedTextsHold("4242"));

    // Opened again with its password, the rows read back.
    back();
    ASSERT_TRUE(open(home, "Vault"));
    ASSERT_TRUE(answerPrompt("Password", "s3cret"));
    rows = top();
    ASSERT_NE(rows, home);
    EXPECT_EQ(titles(rows), QStringList({ "Hidden Hana", "Secret Sam" }));
}

// The same with the cloud documents store on from the start.
struct CloudExportJourney : ExportJourney {
    void SetUp() override
    {
        const QString cloud = testsupport::homePath() + "/cloud";
        ASSERT_TRUE(QDir().mkpath(cloud));
        qputenv("KIVOTAB_CLOUD", cloud.toUtf8());
        platform::UserDefaults::standard().setBool(CloudStoreManager::CloudEnabledKey, true);
        ExportJourney::SetUp();
    }
    void TearDown() override
    {
        ExportJourney::TearDown();
        qunsetenv("KIVOTAB_CLOUD");
    }
};

TEST_P(CloudExportJourney, TheMenuAddsTheThreeCloudSaves)
{
    ASSERT_TRUE(delegate->cloudAvailable());
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    ListSelectViewController* menu = openMenu(rows);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu),
        QStringList({ "Import CSV", "Save CSV", "Save PDF", "Save XLS", "Mail CSV", "Mail PDF",
            "Mail XLS", "Save CSV [iCloud]", "Save PDF [iCloud]", "Save XLS [iCloud]" }));
    if (tablet()) {
        ASSERT_NE(rows->simplepopupController(), nullptr);
        EXPECT_EQ(rows->simplepopupController()->contentSize(), QSizeF(645, 405));
    }
    ASSERT_TRUE(saveShot(QString("e2e-export-menu-cloud-%1.png").arg(GetParam())));
}

TEST_P(CloudExportJourney, SaveToTheCloudListsItsDocumentsAndSavesThere)
{
    const QString cloudDocuments = testsupport::homePath() + "/cloud/Documents";
    ASSERT_TRUE(QDir().mkpath(cloudDocuments + "/nested"));
    ASSERT_TRUE(writeFile(cloudDocuments + "/older.csv", "a\n"));
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);

    ASSERT_TRUE(choose(rows, "Save CSV [iCloud]"));
    FileBrowserViewController* saving = browser(rows);
    ASSERT_NE(saving, nullptr);
    EXPECT_TRUE(saving->saveDialog());
    EXPECT_EQ(saving->fileName(), "Friends.csv");
    // The cloud store keeps documents only: the folder inside is not offered.
    EXPECT_EQ(titles(saving), QStringList({ "older.csv" }));
    ASSERT_TRUE(saveShot(QString("e2e-export-cloud-browser-%1.png").arg(GetParam())));

    ASSERT_TRUE(typeNameAndSave(saving, "friends-cloud.csv"));
    platform::ui::AlertView* saved = waitForAlert("Successfully Saved");
    ASSERT_NE(saved, nullptr);
    closeAlert(saved);
    EXPECT_TRUE(readFile(cloudDocuments + "/friends-cloud.csv").startsWith(kHeader.toUtf8()));
    EXPECT_FALSE(QFile::exists(documents("friends-cloud.csv")));

    // Saved again, the list shows the new document too.
    ASSERT_TRUE(choose(rows, "Save CSV [iCloud]"));
    saving = browser(rows);
    ASSERT_NE(saving, nullptr);
    QStringList listed = titles(saving);
    listed.sort();
    EXPECT_EQ(listed, QStringList({ "friends-cloud.csv", "older.csv" }));
}

INSTANTIATE_TEST_SUITE_P(Devices, CloudExportJourney, ::testing::Values("tablet", "phone"));

INSTANTIATE_TEST_SUITE_P(Devices, ExportJourney, ::testing::Values("tablet", "phone"));

// The older user-table menu over the same rows screen (no screen opens it): with the cloud
// store on it ends with Reset Reminders.
TEST_P(CloudExportJourney, TheOlderMenuShowsElevenItems)
{
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    auto older = ExportImportDataController::create(rows->dataController().get());
    older->showMenu();
    ListSelectViewController* menu = shownMenu(rows);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu).size(), 11);
    EXPECT_EQ(titles(menu).last(), "Reset Reminders");
    if (tablet()) {
        EXPECT_EQ(rows->simplepopupController()->contentSize(), QSizeF(645, 470));
    }
    ASSERT_TRUE(saveShot(QString("e2e-older-export-menu-cloud-%1.png").arg(GetParam())));
}

TEST_P(ExportJourney, TheOlderMenuShowsSevenItems)
{
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    auto older = ExportImportDataController::create(rows->dataController().get());
    older->showMenu();
    ListSelectViewController* menu = shownMenu(rows);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(titles(menu).size(), 7);
    if (tablet()) {
        EXPECT_EQ(rows->simplepopupController()->contentSize(), QSizeF(645, 340));
    }
    ASSERT_TRUE(saveShot(QString("e2e-older-export-menu-%1.png").arg(GetParam())));
}

// Reset Reminders of the older menu: every row's reminder of the table, plain or
// protected, is in the scheduler (and its file) when the message shows; a reminder of a
// row gone is cancelled, another table's is kept.
struct ResetRemindersJourney : CloudExportJourney {
    // Rows with a yearly birthday reminder each, stored as the row form stores them; the
    // ids and their birthdays.
    QMap<QString, QDateTime> addBirthdays(ApplicationScreen* rows, int count)
    {
        auto* table = controllerOf<GenericTemplateDataController>(rows);
        QMap<QString, QDateTime> birthdays;
        for (int i = 0; i < count; ++i) {
            const QDateTime birthday(
                QDate(1990 + i, 1 + i % 12, 1 + i % 28), QTime(9, 0), QTimeZone::utc());
            Rows* row = Rows::add(table->userTemplate()->id().toString());
            row->updateData({ { kNameColumn, QString("Friend %1").arg(i) }, { kBirthday, birthday },
                                { Rows::reminderKey(kBirthday), "Yearly" } },
                table->Columns(), table->secret());
            EXPECT_TRUE(row->saveRows());
            birthdays.insert(row->id().toString(), birthday);
        }
        reload(rows);
        // A protected table rebuilds its reminders a moment after it opens.
        settle(2 * GenericTemplateDataController::ReminderRebuildDelayMs);
        return birthdays;
    }

    static platform::LocalNotification reminder(const QString& table, const QString& row)
    {
        platform::LocalNotification made;
        made.fireDate = QDateTime(QDate(2031, 5, 5), QTime(9, 0), QTimeZone::utc());
        made.userInfo = { { "Template", table }, { "Row", row }, { "Column", kBirthday },
            { "Repeat", "Yearly" }, { "Date", made.fireDate } };
        return made;
    }

    void expectEveryReminderRebuilt(ApplicationScreen* rows, int count)
    {
        const QMap<QString, QDateTime> birthdays = addBirthdays(rows, count);
        const QString table
            = controllerOf<GenericTemplateDataController>(rows)->userTemplate()->id().toString();
        // Nothing left of what was scheduled, but a row gone and another table's.
        auto& center = platform::LocalNotifications::shared();
        center.cancelAllLocalNotifications();
        center.scheduleLocalNotification(reminder(table, "gone"));
        center.scheduleLocalNotification(reminder("another table", birthdays.firstKey()));

        auto older = ExportImportDataController::create(rows->dataController().get());
        older->showMenu();
        ListSelectViewController* menu = shownMenu(rows);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(titles(menu).last(), "Reset Reminders");
        // The last item, scrolled to where a phone's list shows it.
        menu->collectionView()->scrollToItemAtIndexPath(platform::ui::IndexPath(10, 0),
            platform::ui::CollectionView::ScrollPositionBottom, false);
        settle();
        platform::ui::View* item = tileView(menu, 10, 2000);
        ASSERT_NE(item, nullptr);
        ScheduledWhenAlertShows watch;
        GestureSynthesizer::tap(item);
        platform::ui::AlertView* done = waitForAlert("Operation Completed Successfully.");
        ASSERT_NE(done, nullptr);
        ASSERT_TRUE(watch.taken);
        closeAlert(done);

        QStringList atMessage;
        for (const platform::LocalNotification& scheduled : std::as_const(watch.scheduled))
            atMessage << scheduled.userInfo.value("Template").toString() + "/"
                    + scheduled.userInfo.value("Row").toString();
        atMessage.sort();
        QStringList expected { "another table/" + birthdays.firstKey() };
        for (const QString& row : birthdays.keys())
            expected << table + "/" + row;
        expected.sort();
        EXPECT_EQ(atMessage.join(" ").toStdString(), expected.join(" ").toStdString());

        // The file lists each row's reminder with the row's own date and repeat.
        const QList<QJsonObject> listed = notificationsFile();
        ASSERT_EQ(listed.size(), count + 1);
        int mine = 0;
        for (const QJsonObject& object : listed) {
            const auto notification = platform::LocalNotification::fromJson(object);
            ASSERT_TRUE(notification);
            const QVariantMap info = notification->userInfo;
            if (info.value("Template").toString() != table)
                continue;
            ++mine;
            const QString row = info.value("Row").toString();
            ASSERT_TRUE(birthdays.contains(row)) << row.toStdString();
            EXPECT_EQ(info.value("Column").toString(), kBirthday);
            EXPECT_EQ(info.value("Repeat").toString(), "Yearly");
            // A Date column keeps the day: the reminder fires at its start.
            EXPECT_EQ(notification->fireDate.date(), birthdays.value(row).date());
            EXPECT_EQ(notification->fireDate.time(), QTime(0, 0));
            EXPECT_EQ(notification->repeatInterval, platform::LocalNotification::YearCalendarUnit);
        }
        EXPECT_EQ(mine, count);
    }
};

TEST_P(ResetRemindersJourney, EveryReminderOfAPlainTable)
{
    ApplicationScreen* rows = openRows();
    ASSERT_NE(rows, nullptr);
    expectEveryReminderRebuilt(rows, 12);
}

TEST_P(ResetRemindersJourney, EveryReminderOfAProtectedTableWithItsPassword)
{
    ASSERT_TRUE(openNewVault());
    ApplicationScreen* rows = top();
    ASSERT_NE(rows, home);
    ASSERT_EQ(controllerOf<GenericTemplateDataController>(rows)->secret().value_or(""), "s3cret");
    expectEveryReminderRebuilt(rows, 12);
}

INSTANTIATE_TEST_SUITE_P(Devices, ResetRemindersJourney, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
