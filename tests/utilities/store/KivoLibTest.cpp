#include "common/TestSupport.h"
#include "platform/Folders.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/KivoLibAttributedString.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace cd = platform::coredata;
using platform::ui::AlertView;

namespace {

struct KivoLibFixture : ::testing::Test {
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
        delegate = std::make_unique<KivoAppDelegate>();
        open({});
    }

    // Installs a stack over the test's store, opened with the options.
    static void open(const QVariantMap& options)
    {
        platform::Error error;
        StoreStack::install(
            StoreStack::open(testsupport::homePath() + "/Kivotab.sqlite", options, &error));
        ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    }
    static StoreStack& stack() { return *StoreStack::instance(); }

    void TearDown() override
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        StoreStack::install(nullptr);
        delegate.reset();
        platform::ui::Application::shared().reset();
    }

    cd::ManagedObject* saved(const QString& entity, const QVariantMap& values)
    {
        cd::ManagedObject* object = KivoLib::addEntity(entity);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            object->setValue(it.key(), it.value());
        EXPECT_TRUE(KivoLib::Save(object));
        return object;
    }

    static QStringList idsOf(const QList<cd::ManagedObject*>& objects)
    {
        QStringList ids;
        for (auto* object : objects)
            ids << object->value("id").toString();
        return ids;
    }

    std::unique_ptr<KivoAppDelegate> delegate;
};

} // namespace

TEST_F(KivoLibFixture, NamedFetchesTakeVariablesSortsAndLimits)
{
    for (int i = 0; i < 4; ++i)
        saved("Rows",
            { { "id", QString("R%1").arg(i) }, { "order", (i * 3) % 4 },
                { "usertemplate_id", "U1" } });
    saved("Rows", { { "id", "X" }, { "order", 9 }, { "usertemplate_id", "U2" } });

    EXPECT_EQ(KivoLib::executchFetchRequest("FetchRequest_Rows_All").size(), 5);
    EXPECT_EQ(KivoLib::executchFetchRequest("FetchRequest_Rows_All", std::nullopt, std::nullopt, 0),
        KivoLib::executchFetchRequest("FetchRequest_Rows_All"));
    const QVariantMap u1 { { "USERTEMPLATE_ID", "U1" } };
    EXPECT_EQ(KivoLib::executchFetchRequest("FetchRequest_Rows", u1).size(), 4);
    EXPECT_EQ(idsOf(KivoLib::executchFetchRequest(
                  "FetchRequest_Rows", u1, QList<cd::SortDescriptor> { { "order", false } }, 2)),
        QStringList({ "R1", "R2" }));
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Rows", u1), 4u);
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Rows_All"), 5u);

    EXPECT_TRUE(KivoLib::executchFetchRequest("FetchRequest_Unknown").isEmpty());
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Unknown"), 0u);

    auto first = KivoLib::getFetchRequest("FetchRequest_Rows_All");
    auto second = KivoLib::getFetchRequest("FetchRequest_Rows_All");
    first->setSortDescriptors({ { "order", true } });
    EXPECT_TRUE(second->sortDescriptors().isEmpty());
    EXPECT_TRUE(KivoLib::getFetchRequest("FetchRequest_Rows_All")->sortDescriptors().isEmpty());
}

TEST_F(KivoLibFixture, AFailedFetchFindsNothingAndLogsOneError)
{
    saved("Rows", { { "id", "R1" } });
    auto& debug = DebugHelper::singleton();
    Preferences* preferences = delegate->currentPreferences();
    ASSERT_NE(preferences, nullptr);
    debug.deleteLogFile();
    const int standardError = ::dup(STDERR_FILENO);
    debug.logToFile();
    preferences->setDebug(true);

    // With the store gone the fetch and the count fail inside the context.
    ASSERT_TRUE(stack().coordinator()->removePersistentStore(
        stack().coordinator()->persistentStores().first()));
    const auto rows = KivoLib::executchFetchRequest("FetchRequest_Rows_All");
    const quint64 count = KivoLib::countFetchRequest("FetchRequest_Rows_All");

    preferences->setDebug(false);
    std::fflush(stderr);
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_EQ(count, 0u);
    QFile log(debug.logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("Crash: Error Domain="), 2) << "one entry per failed call";
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(KivoLibFixture, SaveAndDeleteCommitTheWholeContext)
{
    cd::ManagedObject* database = KivoLib::addEntity("Database");
    ASSERT_TRUE(database);
    EXPECT_EQ(database->managedObjectContext(), nullptr);
    database->setValue("id", "D1");
    EXPECT_TRUE(KivoLib::Save(database));
    EXPECT_EQ(database->managedObjectContext(), stack().context());

    // A later save of one object also stores the other pending changes.
    cd::ManagedObject* other = KivoLib::addEntity("Database");
    other->setValue("id", "D2");
    KivoLib::insertEntity(other);
    database->setValue("name", "Renamed");
    EXPECT_TRUE(KivoLib::Save(database));
    EXPECT_FALSE(stack().context()->hasChanges());
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Databases"), 2u);

    EXPECT_TRUE(KivoLib::DeleteObjects({}));
    EXPECT_TRUE(KivoLib::Delete(other));
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Databases"), 1u);

    cd::ManagedObject* pending = KivoLib::addEntity("Template");
    pending->setValue("category", "A");
    KivoLib::insertEntity(pending);
    KivoLib::rollback();
    EXPECT_FALSE(stack().context()->hasChanges());

    saved("Template", { { "category", "B" } });
    saved("Template", { { "category", "A" } });
    saved("Template", { { "category", "B" } });
    QVariantList categories = KivoLib::getDistinctValues("category", "Template");
    std::sort(categories.begin(), categories.end(),
        [](const QVariant& a, const QVariant& b) { return a.toString() < b.toString(); });
    EXPECT_EQ(categories, QVariantList({ "A", "B" }));

    EXPECT_TRUE(KivoLib::deleteEntity("Template"));
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Templates"), 0u);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(KivoLibFixture, WithoutAContextNothingIsFoundOrMade)
{
    saved("Database", { { "id", "D1" } });
    stack().dropContext();
    EXPECT_TRUE(KivoLib::executchFetchRequest("FetchRequest_Databases").isEmpty());
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Databases"), 0u);
    EXPECT_EQ(KivoLib::addEntity("Database"), nullptr);
    EXPECT_TRUE(KivoLib::fromJSON("[]").isEmpty());
}

TEST_F(KivoLibFixture, RecordFormRoundTripsEveryEntity)
{
    QList<cd::ManagedObject*> originals;
    for (const auto* entity : stack().model()->entities()) {
        cd::ManagedObject* object = KivoLib::addEntity(entity->name());
        int n = 1;
        // Every attribute set but the last, which stays unset.
        for (int i = 0; i + 1 < entity->attributes().size(); ++i, ++n) {
            const auto& attribute = entity->attributes()[i];
            switch (attribute.type) {
            case cd::AttributeType::String:
                object->setValue(i, QString("%1 \"%2\"\n é").arg(attribute.name).arg(n));
                break;
            case cd::AttributeType::Integer:
                object->setValue(i, n * 7);
                break;
            case cd::AttributeType::Double:
                object->setValue(i, 1700000000.25 + n);
                break;
            case cd::AttributeType::Boolean:
                object->setValue(i, n % 2 == 0);
                break;
            }
        }
        originals << object;
        ASSERT_TRUE(KivoLib::Save(object));
    }
    const QByteArray json = KivoLib::toJSON(originals);
    EXPECT_TRUE(json.contains("\n    {\n        \"")) << "pretty-printed";
    const QJsonArray records = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(records.size(), 5);
    EXPECT_EQ(records[0].toObject().value("ManageObjectName"), "Database");
    EXPECT_TRUE(records[0].toObject().value("name").isNull());
    EXPECT_TRUE(records[0].toObject().value("issystem").isBool());

    const QVariantList dictionaries = KivoLib::arrayFormManagedObjects(originals);
    for (const auto* entity : stack().model()->entities())
        ASSERT_TRUE(KivoLib::deleteEntity(entity->name()));

    const auto restored = KivoLib::fromJSON(json);
    ASSERT_EQ(restored.size(), 5);
    for (int i = 0; i < restored.size(); ++i) {
        EXPECT_FALSE(restored[i]->objectID().isTemporary());
        EXPECT_EQ(KivoLib::toDictionary(restored[i]), dictionaries[i].toMap());
        EXPECT_TRUE(restored[i]->values().last().isNull());
    }
    // And from what the store gives back.
    stack().context()->reset();
    const auto stored = KivoLib::executchFetchRequest("FetchRequest_Rows_All");
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(KivoLib::toDictionary(stored[0]), dictionaries[4].toMap());
}

TEST_F(KivoLibFixture, RecordsTakeFlagsEitherWayAndIgnoreOtherMembers)
{
    cd::ManagedObject* object = KivoLib::fromDictionary(
        { { "ManageObjectName", "TemplateColumn" }, { "intable", 1 }, { "intiles", false },
            { "name", QVariant::fromValue(nullptr) }, { "colour", "red" }, { "order", 2.0 } });
    ASSERT_TRUE(object);
    EXPECT_EQ(object->value("intable"), QVariant(true));
    EXPECT_EQ(object->value("intiles"), QVariant(false));
    EXPECT_TRUE(object->value("name").isNull());
    EXPECT_EQ(object->value("order").toInt(), 2);
    EXPECT_EQ(object->managedObjectContext(), nullptr);
    EXPECT_EQ(KivoLib::fromDictionary({ { "ManageObjectName", "Nothing" } }), nullptr);
}

TEST_F(KivoLibFixture, ARestoreWhoseCommitFailsLeavesNothingBehind)
{
    saved("Database", { { "id", "D1" } });
    const QByteArray json
        = KivoLib::toJSON(KivoLib::executchFetchRequest("FetchRequest_Databases"));
    ASSERT_TRUE(stack().coordinator()->removePersistentStore(
        stack().coordinator()->persistentStores().first()));
    open({ { cd::ReadOnlyPersistentStoreOption, true } });

    EXPECT_TRUE(KivoLib::fromJSON(json).isEmpty());
    EXPECT_FALSE(stack().context()->hasChanges());
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->title(), "Error");
    // A later commit of something else does not bring the restored objects in.
    EXPECT_TRUE(KivoLib::commit());
    testsupport::processEvents(50);
    EXPECT_EQ(AlertView::visibleAlerts().size(), 1);
}

TEST_F(KivoLibFixture, MalformedRecordFilesAreRefusedWhole)
{
    EXPECT_TRUE(KivoLib::fromJSON("{\"ManageObjectName\":\"Rows\"}").isEmpty());
    EXPECT_TRUE(KivoLib::fromJSON("not json").isEmpty());
    EXPECT_TRUE(KivoLib::fromJSON(R"([{"ManageObjectName":"Rows","id":"A"},
                                      {"ManageObjectName":"Nothing"}])")
                    .isEmpty());
    EXPECT_TRUE(KivoLib::fromJSON(R"([{"ManageObjectName":"Rows","id":"A"},
                                      {"ManageObjectName":"Rows","order":"tenth"}])")
                    .isEmpty());
    EXPECT_FALSE(stack().context()->hasChanges());
    EXPECT_EQ(KivoLib::countFetchRequest("FetchRequest_Rows_All"), 0u);
    EXPECT_EQ(KivoLib::fromJSON(R"([{"ManageObjectName":"Rows","id":"A"}])").size(), 1);
}

TEST_F(KivoLibFixture, DeletedObjectsAreNoLongerDataOK)
{
    cd::ManagedObject* row = saved("Rows", { { "id", "R1" } });
    EXPECT_TRUE(KivoLib::isDataOK(row));
    EXPECT_TRUE(KivoLib::Delete(row));
    EXPECT_FALSE(KivoLib::isDataOK(row));
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->title(), "Information");
    EXPECT_EQ(
        AlertView::visibleAlerts().first()->message(), "Data has been changed or deleted by Sync.");
}

TEST_F(KivoLibFixture, FetchedObjectsAreReadInBatchesAndDataOKBeforeTheyAreRead)
{
    for (int i = 0; i < 30; ++i)
        saved("Rows", { { "id", QString("R%1").arg(i) }, { "order", i } });
    stack().makeContext();
    const auto rows = KivoLib::executchFetchRequest(
        "FetchRequest_Rows_All", std::nullopt, QList<cd::SortDescriptor> { { "order", true } }, 0);
    ASSERT_EQ(rows.size(), 30);
    EXPECT_TRUE(rows[25]->isFault()) << "values are read when first touched";
    EXPECT_TRUE(KivoLib::isDataOK(rows[25]));
    EXPECT_FALSE(rows[25]->isFault());
    EXPECT_TRUE(rows[0]->isFault()) << "another batch";
    EXPECT_EQ(rows[0]->value("id"), "R0");
    testsupport::processEvents(20);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST(KivoLibAttributedString, ReplacesTheFirstOccurrenceWithAnEscapedLink)
{
    QTextDocument document;
    document.setPlainText("see help, then help again");
    const auto linked = KivoLib::replaceText(
        document, "help", "the manual", "https://example.com/a page/é?x=1&y=2");
    EXPECT_EQ(linked->toPlainText(), "see the manual, then help again");
    EXPECT_EQ(document.toPlainText(), "see help, then help again") << "the original is kept";
    QTextCursor cursor(linked.get());
    cursor.setPosition(6);
    EXPECT_TRUE(cursor.charFormat().isAnchor());
    EXPECT_EQ(cursor.charFormat().anchorHref(), "https://example.com/a%20page/%C3%A9?x=1&y=2");
    cursor.setPosition(20);
    EXPECT_FALSE(cursor.charFormat().isAnchor());

    const auto unchanged = KivoLib::replaceText(document, "Help", "x", "y");
    EXPECT_EQ(unchanged->toPlainText(), document.toPlainText());
}

TEST(IsSubclass, WalksTheAncestorsOnly)
{
    EXPECT_TRUE(isSubclass(&KivoAppDelegate::staticMetaObject, &KivoAppDelegate::staticMetaObject));
    EXPECT_TRUE(isSubclass(&cd::ManagedObject::staticMetaObject, &QObject::staticMetaObject));
    EXPECT_FALSE(isSubclass(&QObject::staticMetaObject, &cd::ManagedObject::staticMetaObject));
    EXPECT_FALSE(isSubclass(nullptr, &QObject::staticMetaObject));
}
