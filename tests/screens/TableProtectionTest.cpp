#include "ScreensFixture.h"
#include "WalKillSwitch.h"

#include "grid/UserTableRows.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"
#include "utilities/store/StoreStack.h"

#include "common/ChildProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <sqlite3.h>

using screenstest::FakeAppScreen;

namespace {

const char* const kChildStoreVariable = "KIVOTAB_PROTECTION_CHILD_STORE";
const char* const kChildKillVariable = "KIVOTAB_PROTECTION_CHILD_KILL_MS";
constexpr int kRowCount = 120;
constexpr int kKilledRowCount = 1500;

// Home over a database with one table of clients, its rows stored in the clear.
struct TableProtectionTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        database = addDatabase("Work");
        definition = addDefinition("Clients");
        name = addColumn(templateId(), "Name", "Text");
        amount = addColumn(templateId(), "Amount", "Numeric");
        pin = addColumn(templateId(), "Pin", "Protected");
        table = addTable(database->id().toString(), templateId(), "Vault");
        nameId = name->id().toString();
    }

    QString templateId() const { return definition->id().toString(); }
    Rows::Columns columns() const { return { name, amount, pin }; }

    void fill(int count = kRowCount)
    {
        for (int i = 0; i < count; ++i) {
            Rows* row = Rows::add(table->id().toString());
            row->updateData({ { name->id().toString(), QStringLiteral("Client %1").arg(i) },
                                { amount->id().toString(), 100 + i },
                                { pin->id().toString(), QStringLiteral("pin%1").arg(i) } },
                columns(), std::nullopt);
            KivoLib::insertEntity(row);
        }
        ASSERT_TRUE(KivoLib::commit());
    }

    FakeAppScreen* openHome()
    {
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        home = open<MainDataController>("Home", link);
        controller = controllerOf<MainDataController>(home);
        home->setSelectedRow(0);
        return home;
    }

    static QString storePath() { return testsupport::homePath() + "/Kivotab.sqlite"; }

    // The rows' stored texts as the store file holds them.
    static QStringList storedTexts(const QString& path = storePath())
    {
        QStringList texts;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, "SELECT \"json\" FROM \"Rows\"", -1, &statement, nullptr),
            SQLITE_OK);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            texts << QString::fromUtf8(text ? text : "");
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return texts;
    }

    // Whether the write-ahead log ends in frames of a transaction that was never committed:
    // its last frame is no commit frame (whose header holds the database's size).
    static bool endsInOpenTransaction(const QString& path)
    {
        QFile log(path);
        if (!log.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = log.readAll();
        const auto bigEndian = [&](qsizetype at) {
            return quint32(quint8(bytes[at])) << 24 | quint32(quint8(bytes[at + 1])) << 16
                | quint32(quint8(bytes[at + 2])) << 8 | quint32(quint8(bytes[at + 3]));
        };
        constexpr qsizetype header = 32;
        constexpr qsizetype frameHeader = 24;
        if (bytes.size() < header)
            return false;
        const qsizetype frame = frameHeader + bigEndian(8);
        const qsizetype frames = (bytes.size() - header) / frame;
        return frames > 0 && bigEndian(header + (frames - 1) * frame + 4) == 0;
    }

    static bool anyClearText(const QStringList& texts)
    {
        return std::any_of(texts.cbegin(), texts.cend(), [](const QString& text) {
            return text.contains("Client ") || text.trimmed().startsWith('{');
        });
    }

    // Waits for the re-encryption started under the overlay.
    void waitForOverlay()
    {
        ASSERT_TRUE(testsupport::waitUntil([&] { return home->hudCount == 0; }));
        testsupport::processEvents(10);
    }

    // Protects the selected table with the password through the two prompts.
    void protectWith(const QString& password)
    {
        controller->protect();
        auto alerts = alertsShown();
        ASSERT_FALSE(alerts.isEmpty());
        EXPECT_EQ(alerts.last()->title(), "Create Password");
        EXPECT_EQ(alerts.last()->tag(), 301);
        answerPrompt(password);
        alerts = alertsShown();
        EXPECT_EQ(alerts.last()->title(), "Retype Password");
        EXPECT_EQ(alerts.last()->tag(), 302);
        answerPrompt(password);
        waitForOverlay();
    }

    void unprotectWith(const QString& password)
    {
        controller->unprotect();
        EXPECT_EQ(alertsShown().last()->tag(), 300);
        answerPrompt(password);
        waitForOverlay();
    }

    // Every row reads with one password: the one the table's check says, or none.
    void expectOnePassword(const QStringList& candidates, int rowCount = kRowCount)
    {
        KivoLib::currentContext()->reset();
        const auto tables = UserTemplate::getUserTemplatesAll();
        ASSERT_EQ(tables.size(), 1);
        UserTemplate* stored = tables.first();
        Rows::Password password;
        if (stored->isprotected().toBool()) {
            for (const QString& candidate : candidates) {
                if (stored->isPasswordValid(candidate))
                    password = candidate;
            }
            ASSERT_TRUE(password.has_value()) << "no password opens the protected table";
        } else {
            EXPECT_TRUE(stored->protectioncheck().toString().isEmpty());
        }
        const auto storedColumns = TemplateColumn::getColumns(stored->template_id().toString());
        const auto rows
            = Rows::getRows(stored->id().toString(), storedColumns, {}, {}, std::nullopt);
        ASSERT_EQ(rows.size(), rowCount);
        QSet<QString> names;
        for (Rows* row : rows) {
            const auto values = row->decodeData(storedColumns, password);
            ASSERT_TRUE(values.has_value()) << "a row under another password";
            names << values->value(nameId).toString();
        }
        EXPECT_EQ(names.size(), rowCount);
    }

    Database* database = nullptr;
    Template* definition = nullptr;
    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* pin = nullptr;
    UserTemplate* table = nullptr;
    QString nameId;
    FakeAppScreen* home = nullptr;
    std::shared_ptr<MainDataController> controller;
};

} // namespace

TEST_F(TableProtectionTest, ProtectingStoresEveryRowEncryptedAndUnprotectingInTheClear)
{
    fill();
    openHome();
    ASSERT_FALSE(anyClearText({ "x" }));
    ASSERT_TRUE(anyClearText(storedTexts()));

    protectWith("s3cret");
    EXPECT_GE(home->hudShows, 1);
    EXPECT_EQ(alertTexts(), QStringList({ "Operation Completed Successfully." }));
    dismissAlerts();
    const QStringList encrypted = storedTexts();
    ASSERT_EQ(encrypted.size(), kRowCount);
    EXPECT_FALSE(anyClearText(encrypted));
    EXPECT_TRUE(table->isprotected().toBool());
    EXPECT_TRUE(table->isPasswordValid("s3cret"));
    expectOnePassword({ "s3cret" });
    home->refreshView();

    // A wrong password changes nothing and asks again.
    home->setSelectedRow(0);
    controller->unprotect();
    answerPrompt("S3cret");
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0]->tag(), 300);
    EXPECT_EQ(alerts[1]->message(), "Password is invalid.");
    dismissAlerts();
    EXPECT_EQ(storedTexts(), encrypted);

    home->setSelectedRow(0);
    unprotectWith("s3cret");
    EXPECT_EQ(alertTexts(), QStringList({ "Operation Completed Successfully." }));
    const QStringList clear = storedTexts();
    EXPECT_TRUE(std::all_of(clear.cbegin(), clear.cend(),
        [](const QString& text) { return text.trimmed().startsWith('{'); }));
    expectOnePassword({});
}

TEST_F(TableProtectionTest, EmptyAndMismatchedPasswordsAreRefused)
{
    fill(3);
    openHome();
    controller->protect();
    answerPrompt("");
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0]->tag(), 301);
    EXPECT_EQ(alerts[1]->message(), "Password is invalid.");
    alerts[1]->clickButtonAtIndex(0);
    answerPrompt("one");
    answerPrompt("two");
    alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0]->tag(), 302);
    EXPECT_EQ(alerts[1]->message(), "Password does not match.");
    dismissAlerts();
    // Cancelled: nothing changed.
    EXPECT_FALSE(table->isprotected().toBool());
    EXPECT_TRUE(anyClearText(storedTexts()));
    EXPECT_EQ(home->hudShows, 0);
}

TEST_F(TableProtectionTest, AProtectedTableOpensOnlyWithItsPassword)
{
    table->setIsprotected(true);
    ASSERT_TRUE(table->saveUserTemplate());
    openHome();

    // No password yet: a new one, twice.
    controller->tapOnDisclosure(0);
    EXPECT_EQ(alertsShown().last()->title(), "Create Password");
    answerPrompt("vault");
    EXPECT_EQ(alertsShown().last()->title(), "Retype Password");
    answerPrompt("vaul");
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[1]->message(), "Password does not match.");
    alerts[1]->clickButtonAtIndex(0);
    answerPrompt("vault");
    EXPECT_TRUE(alertsShown().isEmpty());
    EXPECT_EQ(home->segues, QStringList({ "Menu" }));
    EXPECT_TRUE(table->isPasswordValid("vault"));
    ASSERT_TRUE(controller->secret().has_value());

    // Afterwards: "Password" once; a wrong or empty one opens nothing.
    home->segues.clear();
    controller->tapOnDisclosure(0);
    EXPECT_FALSE(controller->secret().has_value());
    alerts = alertsShown();
    EXPECT_EQ(alerts.last()->title(), "Password");
    EXPECT_EQ(alerts.last()->tag(), 200);
    for (const QString& wrong : { QString("Vault"), QString() }) {
        answerPrompt(wrong);
        alerts = alertsShown();
        ASSERT_EQ(alerts.size(), 2);
        EXPECT_EQ(alerts[1]->message(), "Password is invalid.");
        alerts[1]->clickButtonAtIndex(0);
        EXPECT_EQ(alertsShown().last()->tag(), 200);
    }
    EXPECT_TRUE(home->segues.isEmpty());
    answerPrompt("vault");
    EXPECT_EQ(home->segues, QStringList({ "Menu" }));
    EXPECT_EQ(controller->secret(), Rows::Password("vault"));
}

TEST_F(TableProtectionTest, TheRowsOfAnOpenedProtectedTableAreReadAndWrittenEncrypted)
{
    fill(5);
    openHome();
    protectWith("key");
    dismissAlerts();
    controller->tapOnDisclosure(0);
    answerPrompt("key");

    FakeAppScreen* rows = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
    auto rowsController = controllerOf<GenericTemplateDataController>(rows);
    EXPECT_FALSE(rowsController->isLocked());
    ASSERT_EQ(rowsController->count(), 5);
    EXPECT_EQ(rows->record->title, "Vault");
    EXPECT_EQ(rowsController->getTitle(), "Vault");
    EXPECT_TRUE(rowsController->getGridData(0)->Menu.startsWith("Client"));
    EXPECT_EQ(rowsController->columnValues(0).last(), GenericTemplateDataController::HiddenValue);

    // The password stays with the rows after Home forgets it.
    controller->tapOnDisclosure(0);
    dismissAlerts();
    rowsController->add(nullptr);
    EXPECT_TRUE(rowsController->saveRow(QVariantMap { { name->id().toString(), "Client new" },
        { amount->id().toString(), 7 }, { pin->id().toString(), "1234" } }));
    rows->refreshView();
    EXPECT_EQ(rowsController->count(), 6);
    EXPECT_FALSE(anyClearText(storedTexts()));
    EXPECT_EQ(storedTexts().size(), 6);
    // Nothing searches a Protected column.
    rowsController->searchData("1234");
    EXPECT_EQ(rowsController->count(), 0);
    EXPECT_TRUE(rowsController->getAutoCompleteValues(pin->id().toString()).isEmpty());
}

TEST_F(TableProtectionTest, WithoutItsPasswordAProtectedTableIsNeitherReadNorWritten)
{
    fill(4);
    openHome();
    protectWith("key");
    dismissAlerts();
    const QStringList before = storedTexts();

    // Opened without Home's verified password (a link from elsewhere).
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(table);
    FakeAppScreen* rows = open<GenericTemplateDataController>("Template Rows", link);
    auto rowsController = controllerOf<GenericTemplateDataController>(rows);
    EXPECT_TRUE(rowsController->isLocked());
    EXPECT_EQ(rowsController->count(), 0);
    EXPECT_EQ(lastAlertText(), "Password is invalid.");
    dismissAlerts();

    rowsController->add(nullptr);
    EXPECT_TRUE(rows->shownForms.isEmpty());
    EXPECT_FALSE(rowsController->saveRow(QVariantMap { { name->id().toString(), "Clear" } }));
    EXPECT_FALSE(rowsController->checkMarkTouched(0, true));
    EXPECT_EQ(storedTexts(), before);
}

// Run as a child process by the test below: protects and unprotects the table of the
// store it is given, round after round. It is killed with SIGKILL once the given number
// of bytes has gone into the store's write-ahead log since the first protection began: in
// the middle of writing a commit.
TEST_F(TableProtectionTest, ReencryptionChildProcess)
{
    const QString path = qEnvironmentVariable(kChildStoreVariable);
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledDuringReencryption";
    const qint64 killAfterBytes = qEnvironmentVariable(kChildKillVariable).toLongLong();
    StoreStack::install(nullptr);
    screenstest::WalKillSwitch::install();
    platform::Error error;
    StoreStack::install(StoreStack::open(path, {}, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    database = Database::getDatabase(
        UserTemplate::getUserTemplatesAll().first()->database_id().toString());
    openHome();
    for (int round = 0;; ++round) {
        const QString password = round % 2 ? "beta" : "alpha";
        home->setSelectedRow(0);
        controller->protect();
        answerPrompt(password);
        platform::ui::AlertView* retype = alertsShown().last();
        retype->textFieldAtIndex(0)->setText(password);
        if (round == 0)
            screenstest::WalKillSwitch::arm(killAfterBytes);
        retype->clickButtonAtIndex(1);
        waitForOverlay();
        dismissAlerts();
        home->setSelectedRow(0);
        unprotectWith(password);
        dismissAlerts();
    }
}

TEST_F(TableProtectionTest, KilledDuringReencryptionEveryRowStaysUnderOnePassword)
{
    fill(kKilledRowCount);
    StoreStack::install(nullptr);
    int midTransaction = 0;
    for (const qint64 killAfterBytes : { 100, 8 * 1024, 64 * 1024, 256 * 1024, 1024 * 1024 }) {
        testsupport::ChildProcess child;
        child.setEnvironment(kChildStoreVariable, storePath());
        child.setEnvironment(kChildKillVariable, QString::number(killAfterBytes));
        ASSERT_TRUE(child.startTests("TableProtectionTest.ReencryptionChildProcess"))
            << child.report();
        ASSERT_TRUE(child.waitForExit(120000)) << child.report();
        ASSERT_TRUE(child.killedBySignal()) << child.report();
        midTransaction += endsInOpenTransaction(storePath() + "-wal") ? 1 : 0;

        platform::Error error;
        StoreStack::install(StoreStack::open(storePath(), {}, &error));
        ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
        expectOnePassword({ "alpha", "beta" }, kKilledRowCount);
        StoreStack::install(nullptr);
    }
    // The kills came while a commit was being written, not between two.
    EXPECT_GE(midTransaction, 4);
}

TEST_F(TableProtectionTest, ProtectingOrUnprotectingDropsTheSearchTextsMadeBefore)
{
    fill(3);
    UserTableRows rows(table->id().toString(), columns(), std::nullopt);
    const QVariantList list = rows.fetch();
    // Name and Amount: the Protected column is never searched.
    ASSERT_EQ(rows.searchableColumns().size(), 2);
    const auto found = [&](const QString& text) {
        rows.prepareSearchTexts(list);
        int count = 0;
        for (const QVariant& row : list)
            count
                += rows.searchMatches(qobject_cast<Rows*>(RowObject::object(row)), text, { 0, 1 });
        return count;
    };
    EXPECT_EQ(found("client 1"), 1);
    EXPECT_EQ(rows.searchTextCount(), 3);

    ASSERT_TRUE(table->changeProtection(std::nullopt, QString("key"), columns()));
    // Read without the password, nothing is found any more.
    EXPECT_EQ(found("client 1"), 0);
    rows.setTable(table->id().toString(), columns(), QString("key"));
    EXPECT_EQ(found("client 1"), 1);

    // Under another password the rows no longer read with the first.
    ASSERT_TRUE(table->changeProtection(QString("key"), QString("other"), columns()));
    EXPECT_EQ(found("client 1"), 0);
    rows.setTable(table->id().toString(), columns(), QString("other"));
    EXPECT_EQ(found("client 1"), 1);

    ASSERT_TRUE(table->changeProtection(QString("other"), std::nullopt, columns()));
    rows.setTable(table->id().toString(), columns(), std::nullopt);
    EXPECT_EQ(found("client 1"), 1);
}

TEST_F(TableProtectionTest, AProtectedTablesDecryptedTextsGoWhenItIsClosedOrLocked)
{
    fill(5);
    openHome();
    protectWith("key");
    dismissAlerts();
    controller->tapOnDisclosure(0);
    answerPrompt("key");
    FakeAppScreen* rows = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
    auto rowsController = controllerOf<GenericTemplateDataController>(rows);
    rowsController->searchData("client 3");
    EXPECT_EQ(rowsController->count(), 1);
    EXPECT_EQ(rowsController->tableRows().searchTextCount(), 5);

    // The store going away takes them.
    rowsController->cloudStoreUnloaded();
    EXPECT_EQ(rowsController->tableRows().searchTextCount(), 0);
    rowsController->cloudStoreLoaded();
    testsupport::processEvents(20);
    rowsController->searchData("client 3");
    EXPECT_EQ(rowsController->count(), 1);

    // Closing the table takes them with its rows.
    std::weak_ptr<GenericTemplateDataController> closed = rowsController;
    rowsController.reset();
    navigation->popViewController(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testsupport::processEvents(20);
    EXPECT_TRUE(closed.expired());

    // A table opened without its password keeps nothing, whatever is asked of it.
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(table);
    FakeAppScreen* locked = open<GenericTemplateDataController>("Template Rows", link);
    auto lockedController = controllerOf<GenericTemplateDataController>(locked);
    dismissAlerts();
    EXPECT_TRUE(lockedController->isLocked());
    lockedController->searchData("client");
    testsupport::processEvents(20);
    EXPECT_EQ(lockedController->count(), 0);
    EXPECT_EQ(lockedController->tableRows().searchTextCount(), 0);
}

TEST_F(TableProtectionTest, APasswordVerifiedForAnotherCheckValueOpensNothing)
{
    fill(3);
    openHome();
    protectWith("key");
    dismissAlerts();
    controller->tapOnDisclosure(0);
    answerPrompt("key");
    EXPECT_EQ(controller->verifiedSecret(table), Rows::Password("key"));
    // Protected anew under another password before the rows opened.
    ASSERT_TRUE(table->changeProtection(QString("key"), QString("other"), columns()));
    EXPECT_FALSE(controller->verifiedSecret(table).has_value());
    FakeAppScreen* rows = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
    auto rowsController = controllerOf<GenericTemplateDataController>(rows);
    EXPECT_TRUE(rowsController->isLocked());
    EXPECT_EQ(rowsController->count(), 0);
    dismissAlerts();
}
