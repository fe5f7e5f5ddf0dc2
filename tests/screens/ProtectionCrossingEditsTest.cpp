#include "ScreensFixture.h"

#include "model/RowDecoder.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/UbiquitousContent.h"
#include "screens/CloudTableDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/MainDataController.h"

using screenstest::FakeAppScreen;

namespace {

const QString kCrossingPassword = QStringLiteral("key");

// Home over one table of clients, with its rows screen. Another machine's writes arrive as
// an import does: stored through another context, then merged and announced to the screens.
struct ProtectionCrossingEdits : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        database = addDatabase("Work");
        definition = addDefinition("Clients");
        name = addColumn(definition->id().toString(), "Name", "Text");
        amount = addColumn(definition->id().toString(), "Amount", "Numeric");
        columns = { name, amount };
        table = addTable(database->id().toString(), definition->id().toString(), "Vault");
        for (const QString& client : { QString("Ann"), QString("Bob") })
            addRow(table->id().toString(), values(client, 1), columns);
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        home = open<MainDataController>("Home", link);
        homeController = controllerOf<MainDataController>(home);
        home->setSelectedRow(0);
    }

    QVariantMap values(const QString& client, int sum) const
    {
        return { { name->id().toString(), client }, { amount->id().toString(), sum } };
    }

    // Another machine's new row, or its edit of the row, written under the password it
    // knew (none: in the clear) with its time; merged here and told to the screens.
    Rows* arrive(const QString& client, const Rows::Password& password, double time,
        Rows* edited = nullptr, bool announced = true)
    {
        platform::coredata::ManagedObjectContext other;
        other.setPersistentStoreCoordinator(context()->persistentStoreCoordinator());
        platform::coredata::ManagedObject* row = edited
            ? other.existingObjectWithID(edited->objectID())
            : other.insertNewObject(Rows::entityName());
        EXPECT_NE(row, nullptr);
        if (!edited) {
            row->setValue("id", ModelRegistry::newId());
            row->setValue("usertemplate_id", table->id().toString());
            row->setValue("order", 100 + int(time));
            row->setValue("ctimestamp", time);
        }
        row->setValue("json", *Rows::encodeData(values(client, 2), columns, password));
        row->setValue("mtimestamp", time);
        EXPECT_TRUE(other.save());
        const QVariant id = QVariant::fromValue(row->objectID());
        context()->mergeChangesFromUbiquitousImport(
            { { platform::coredata::UbiquitousContent::InsertedObjectsKey,
                  edited ? QVariantList() : QVariantList { id } },
                { platform::coredata::UbiquitousContent::UpdatedObjectsKey,
                    edited ? QVariantList { id } : QVariantList() } });
        if (announced) {
            for (auto* screen : screens())
                reload(screen);
        }
        testsupport::processEvents(10);
        return qobject_cast<Rows*>(context()->existingObjectWithID(row->objectID()));
    }

    // What the application's delegate does for each screen after an import.
    static void reload(FakeAppScreen* screen)
    {
        if (auto controller = controllerOf<CloudTableDataController>(screen))
            controller->cloudStoreLoaded();
    }

    QList<FakeAppScreen*> screens() const
    {
        QList<FakeAppScreen*> list;
        for (auto* controller : navigation->viewControllers()) {
            if (auto* screen = qobject_cast<FakeAppScreen*>(controller))
                list << screen;
        }
        return list;
    }

    // Each row's Name read with the password ("?" when it does not read), its form (C in the
    // clear, E encrypted) and its time, by name.
    QStringList stored(const Rows::Password& password) const
    {
        QStringList list;
        for (Rows* row : Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt)) {
            context()->refreshObject(row, false);
            const auto read = row->decodeData(columns, password);
            list << QStringLiteral("%1 %2 %3")
                        .arg(read ? read->value(name->id().toString()).toString() : "?",
                            RowDecoder::isClearText(row->storedJson()) ? "C" : "E",
                            QString::number(row->mtimestamp().toDouble() > 1e6
                                    ? 0
                                    : row->mtimestamp().toDouble()));
        }
        list.sort();
        return list;
    }

    void protectWith(const QString& password)
    {
        home->setSelectedRow(0);
        homeController->protect();
        answerPrompt(password);
        answerPrompt(password);
        ASSERT_TRUE(testsupport::waitUntil([&] { return home->hudCount == 0; }));
        EXPECT_EQ(lastAlertText(), "Operation Completed Successfully.");
        dismissAlerts();
    }

    void unprotectWith(const QString& password)
    {
        home->setSelectedRow(0);
        homeController->unprotect();
        answerPrompt(password);
        ASSERT_TRUE(testsupport::waitUntil([&] { return home->hudCount == 0; }));
        EXPECT_EQ(lastAlertText(), "Operation Completed Successfully.");
        dismissAlerts();
    }

    // The rows screen, opened from Home as a user does (with the password for a protected
    // table).
    std::shared_ptr<GenericTemplateDataController> openRows(const Rows::Password& password)
    {
        // Chosen as a tap does: Home's reloads keep the table, and so its rows screen.
        home->setSelectedRow(0);
        homeController->tapOnItem(0);
        homeController->tapOnDisclosure(0);
        if (password)
            answerPrompt(*password);
        rows = open<GenericTemplateDataController>("Template Rows", linkFrom(home, 0));
        return controllerOf<GenericTemplateDataController>(rows);
    }

    Database* database = nullptr;
    Template* definition = nullptr;
    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    Rows::Columns columns;
    UserTemplate* table = nullptr;
    FakeAppScreen* home = nullptr;
    std::shared_ptr<MainDataController> homeController;
    FakeAppScreen* rows = nullptr;
};

} // namespace

// Home protects; the other machine, which had not heard of it, edits a row and adds one in
// the clear. Home holds the password of its change and stores them encrypted as they
// arrive, keeping their times; every row reads, and unprotecting works.
TEST_F(ProtectionCrossingEdits, HomeStoresRowsArrivingInTheClearEncryptedAfterItProtected)
{
    Rows* bob = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).last();
    protectWith(kCrossingPassword);
    arrive("Bob edited", std::nullopt, 500, bob);
    arrive("Cy", std::nullopt, 600);
    EXPECT_EQ(
        stored(kCrossingPassword), QStringList({ "Ann E 0", "Bob edited E 500", "Cy E 600" }));

    unprotectWith(kCrossingPassword);
    EXPECT_EQ(stored(std::nullopt), QStringList({ "Ann C 0", "Bob edited C 500", "Cy C 600" }));
}

// The mirror: Home unprotects while the other machine still writes with the password.
TEST_F(ProtectionCrossingEdits, HomeStoresRowsArrivingEncryptedInTheClearAfterItUnprotected)
{
    protectWith(kCrossingPassword);
    Rows* bob = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).last();
    unprotectWith(kCrossingPassword);
    arrive("Bob edited", kCrossingPassword, 500, bob);
    arrive("Cy", kCrossingPassword, 600);
    EXPECT_EQ(stored(std::nullopt), QStringList({ "Ann C 0", "Bob edited C 500", "Cy C 600" }));

    // Tapping another table lets the password go: rows arriving after are left as they are,
    // and protecting again with the password they have makes them readable.
    homeController->tapOnDisclosure(0);
    arrive("Di", kCrossingPassword, 700);
    EXPECT_EQ(stored(std::nullopt),
        QStringList({ "? E 700", "Ann C 0", "Bob edited C 500", "Cy C 600" }));
    protectWith(kCrossingPassword);
    EXPECT_EQ(stored(kCrossingPassword),
        QStringList({ "Ann E 0", "Bob edited E 500", "Cy E 600", "Di E 700" }));
}

// An open table protected elsewhere under a password its screen lacks is locked: it shows
// no rows and writes none in the clear, not even from a form opened before. It says so and
// asks for the password as Home does; a Save refused meanwhile asks again, without saying
// that a password was wrong when none was asked for.
TEST_F(ProtectionCrossingEdits, AnOpenTableProtectedElsewhereIsLockedAndWritesNothing)
{
    auto controller = openRows(std::nullopt);
    ASSERT_EQ(controller->count(), 2);
    rows->setSelectedRow(0);
    controller->edit(nullptr);
    ASSERT_FALSE(rows->shownForms.isEmpty());
    // The form, open through the reloads.
    platform::ui::ViewController form;
    controller->setLastDetailViewController(&form);

    // Protected on the other machine (here through the model, as its import would leave it).
    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingPassword, columns));
    const QStringList before = stored(kCrossingPassword);
    EXPECT_FALSE(controller->saveRow(values("Ann edited", 3)));
    ASSERT_EQ(alertsShown().size(), 2);
    EXPECT_EQ(alertsShown().first()->title(), "Password");
    EXPECT_EQ(alertsShown().first()->tag(), MainDataController::OpenPasswordTag);
    EXPECT_EQ(lastAlertText(), GenericTemplateDataController::ProtectedMeanwhile);
    alertsShown().last()->dismissWithClickedButtonIndex(0, false);
    // Cancel: nothing is written, and the table stays locked.
    answerPrompt(QString(), 0);
    EXPECT_TRUE(alertsShown().isEmpty());
    EXPECT_EQ(stored(kCrossingPassword), before);

    reload(rows);
    EXPECT_TRUE(controller->isLocked());
    EXPECT_EQ(controller->count(), 0);
    EXPECT_FALSE(controller->saveRow(values("Ann edited", 3)));
    EXPECT_EQ(alertTexts(), QStringList({ "\n" }));
    answerPrompt(QString(), 0);

    // Unprotected again: it opens again.
    ASSERT_TRUE(table->changeProtection(kCrossingPassword, std::nullopt, columns));
    reload(rows);
    EXPECT_FALSE(controller->isLocked());
    EXPECT_EQ(controller->count(), 2);
    EXPECT_TRUE(alertsShown().isEmpty());
}

// The open table protected elsewhere while its rows show: the reload says so and asks for
// the password. A wrong one is refused and asked for again; the right one shows the rows,
// and a Save made then stores the row encrypted with it.
TEST_F(ProtectionCrossingEdits, AnOpenTableProtectedElsewhereOpensAgainWithThePassword)
{
    auto controller = openRows(std::nullopt);
    ASSERT_EQ(controller->count(), 2);
    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingPassword, columns));
    reload(rows);
    EXPECT_TRUE(controller->isLocked());
    EXPECT_EQ(controller->count(), 0);
    EXPECT_EQ(
        alertTexts(), QStringList({ "\n", GenericTemplateDataController::ProtectedMeanwhile }));
    alertsShown().last()->dismissWithClickedButtonIndex(0, false);
    // Another reload while the prompt waits asks nothing more.
    reload(rows);
    EXPECT_EQ(alertsShown().size(), 1);

    answerPrompt("wrong");
    EXPECT_EQ(alertTexts(), QStringList({ "\n", "Password is invalid." }));
    EXPECT_TRUE(controller->isLocked());
    alertsShown().last()->dismissWithClickedButtonIndex(0, false);
    answerPrompt(kCrossingPassword);
    EXPECT_TRUE(alertsShown().isEmpty());
    EXPECT_FALSE(controller->isLocked());
    EXPECT_EQ(controller->count(), 2);

    rows->setSelectedRow(0);
    controller->edit(nullptr);
    ASSERT_TRUE(controller->saveRow(values("Ann edited", 3)));
    EXPECT_EQ(stored(kCrossingPassword).filter("edited"), QStringList({ "Ann edited E 0" }))
        << stored(kCrossingPassword).join(", ").toStdString();
}

// An open table unprotected elsewhere writes in the clear from then on, and stores rows
// that arrive encrypted with the password it holds in the clear.
TEST_F(ProtectionCrossingEdits, AnOpenTableUnprotectedElsewhereWritesInTheClear)
{
    protectWith(kCrossingPassword);
    auto controller = openRows(kCrossingPassword);
    ASSERT_EQ(controller->count(), 2);
    ASSERT_TRUE(table->changeProtection(kCrossingPassword, std::nullopt, columns));

    controller->add(nullptr);
    ASSERT_TRUE(controller->saveRow(values("Eve", 4)));
    const QStringList clear = stored(std::nullopt);
    EXPECT_TRUE(std::any_of(clear.cbegin(), clear.cend(), [](const QString& row) {
        return row.startsWith("Eve C");
    })) << clear.join(", ").toStdString();

    arrive("Fay", kCrossingPassword, 800);
    EXPECT_EQ(stored(std::nullopt).filter("Fay"), QStringList({ "Fay C 800" }));
    EXPECT_EQ(controller->count(), 4);
    EXPECT_FALSE(controller->isLocked());
}

// A row that does not read (encrypted under a password this screen does not hold) says so
// and is never opened, nor written over with a form's values.
TEST_F(ProtectionCrossingEdits, ARowThatDoesNotReadIsNeitherOpenedNorWrittenOver)
{
    auto controller = openRows(std::nullopt);
    Rows* bob = Rows::getRows(table->id().toString(), columns, {}, {}, std::nullopt).last();
    rows->setSelectedRow(1);
    controller->edit(nullptr);
    ASSERT_EQ(rows->shownForms.size(), 1);

    // The other machine's edit, under a password this machine never had, merged before
    // the form's Save stores nothing over it.
    arrive("Bob sealed", QString("theirs"), 900, bob, false);
    const QString text = bob->storedJson().toString();
    EXPECT_FALSE(controller->saveRow(values("Bob", 5)));
    EXPECT_EQ(lastAlertText(),
        "This row could not be read with the table's password, so it is neither opened nor "
        "changed.");
    dismissAlerts();
    context()->refreshObject(bob, false);
    EXPECT_EQ(bob->storedJson().toString(), text);

    // Once reloaded, its tile and first cell say so.
    reload(rows);
    qint64 sealed = -1;
    for (qint64 i = 0; i < controller->count(); ++i) {
        if (controller->isRowUnreadable(i))
            sealed = i;
    }
    ASSERT_GE(sealed, 0);
    EXPECT_EQ(controller->getGridData(sealed)->Menu, "This row could not be read.");
    EXPECT_EQ(controller->columnValues(sealed),
        QStringList({ "This row could not be read.", QString() }));

    // Nor is it opened again.
    rows->shownForms.clear();
    rows->setSelectedRow(sealed);
    controller->edit(nullptr);
    EXPECT_TRUE(rows->shownForms.isEmpty());
    EXPECT_FALSE(lastAlertText().isEmpty());
    dismissAlerts();
}
