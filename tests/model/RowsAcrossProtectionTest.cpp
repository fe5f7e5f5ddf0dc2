#include "ModelFixture.h"

#include "model/RowDecoder.h"
#include "model/Rows.h"
#include "model/UserTemplate.h"
#include "utilities/store/KivoLibContext.h"

#include <condition_variable>
#include <mutex>
#include <thread>

using modeltest::ModelTest;

namespace {

const QString kCrossingDefinition = QStringLiteral("3E8A1C57-9B2D-4F06-A4C8-1D3E5F7A9B20");
const QString kCrossingKey = QStringLiteral("key");

// One table whose protection changed on another machine while this one (or that one)
// went on writing rows in the form it knew: its rows are then of both forms.
struct RowsAcrossProtection : ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        name = column(kCrossingDefinition, "Name", "Text");
        amount = column(kCrossingDefinition, "Amount", "Numeric");
        day = column(kCrossingDefinition, "Day", "Date");
        columns = { name, amount, day };
        table = UserTemplate::add(QStringLiteral("database"));
        table->setTemplate_id(kCrossingDefinition);
        ASSERT_TRUE(table->saveUserTemplate());
    }

    QString tableId() const { return table->id().toString(); }

    // A row written as a machine that knew the table under `password` (none: unprotected)
    // writes it, with a time of its own.
    Rows* written(const QString& text, const Rows::Password& password, double time = 1000)
    {
        Rows* row = Rows::add(tableId());
        row->updateData(
            { { key(name), text }, { key(amount), text.size() }, { key(day), utc(2024, 3, 9) } },
            columns, password);
        KivoLib::insertEntity(row);
        row->setMtimestamp(time);
        EXPECT_TRUE(KivoLib::commit());
        return row;
    }

    // In creation order, each read again from the store.
    static void sorted(QList<Rows*>& rows)
    {
        for (Rows* row : rows)
            context()->refreshObject(row, false);
        std::sort(rows.begin(), rows.end(),
            [](Rows* a, Rows* b) { return a->order().toInt() < b->order().toInt(); });
    }

    // Each row's Name read with the password, "?" for a row that does not read; in
    // creation order.
    QStringList names(const Rows::Password& password) const
    {
        QStringList read;
        auto rows = Rows::getRows(tableId(), columns, {}, { sort(amount, true) }, password);
        sorted(rows);
        for (Rows* row : rows) {
            const auto values = row->decodeData(columns, password);
            read << (values ? values->value(key(name)).toString() : QStringLiteral("?"));
        }
        return read;
    }

    // Which rows' stored texts are in the clear, in creation order.
    QList<bool> clear() const
    {
        QList<Rows*> rows = Rows::getRows(tableId(), columns, {}, {}, std::nullopt);
        sorted(rows);
        QList<bool> forms;
        for (Rows* row : rows)
            forms << RowDecoder::isClearText(row->storedJson());
        return forms;
    }

    QList<double> times() const
    {
        QList<Rows*> rows = Rows::getRows(tableId(), columns, {}, {}, std::nullopt);
        sorted(rows);
        QList<double> stamps;
        for (Rows* row : rows)
            stamps << row->mtimestamp().toDouble();
        return stamps;
    }

    TemplateColumn *name = nullptr, *amount = nullptr, *day = nullptr;
    Rows::Columns columns;
    UserTemplate* table = nullptr;
};

// The application's delegate, whose commit first has another machine's edit of a row try to
// land in the store, as an import on the store's own queue would: at once when the store is
// free, else once it is. The commit goes on once the attempt is made.
class LandingBeforeCommitDelegate : public KivoAppDelegate {
public:
    std::function<void()> land;
    std::thread importer;
    bool landedBeforeCommit = false;

    bool saveContext() override
    {
        if (land && !importer.joinable()) {
            auto coordinator = KivoLib::currentContext()->persistentStoreCoordinator();
            std::mutex mutex;
            std::condition_variable tried;
            bool attempted = false;
            importer = std::thread([&, coordinator] {
                const bool free = coordinator->tryLock();
                {
                    std::lock_guard lock(mutex);
                    landedBeforeCommit = free;
                    if (free)
                        land();
                    attempted = true;
                }
                tried.notify_all();
                if (free) {
                    coordinator->unlock();
                    return;
                }
                coordinator->lock();
                land();
                coordinator->unlock();
            });
            std::unique_lock lock(mutex);
            tried.wait(lock, [&] { return attempted; });
        }
        return KivoAppDelegate::saveContext();
    }
};

} // namespace

TEST_F(RowsAcrossProtection, ARowInTheClearReadsWithThePasswordAndAnEncryptedOneNeverAsEmpty)
{
    // The form is told by the text alone.
    EXPECT_TRUE(RowDecoder::isClearText(QString("{\n    \"a\": 1\n}")));
    EXPECT_TRUE(RowDecoder::isClearText(QByteArray(" \r\n\t{}")));
    EXPECT_TRUE(RowDecoder::isClearText(QByteArray("\xEF\xBB\xBF{}")));
    EXPECT_TRUE(RowDecoder::isClearText(QString(QChar(0xFEFF)) + "{}"));
    EXPECT_FALSE(RowDecoder::isClearText(QString("{}").toUtf8().toBase64()));
    EXPECT_FALSE(RowDecoder::isClearText(QString("[{}]")));
    EXPECT_FALSE(RowDecoder::isClearText(QString()));
    EXPECT_FALSE(RowDecoder::isClearText(QVariant()));

    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns));
    written("sealed", kCrossingKey, 1);
    // Written by a machine that had not yet heard of the protection.
    Rows* plain = written("plain", std::nullopt, 2);
    ASSERT_TRUE(RowDecoder::isClearText(plain->storedJson()));

    // Every reader of the table's rows reads both with the password.
    EXPECT_EQ(names(kCrossingKey), QStringList({ "sealed", "plain" }));
    EXPECT_EQ(plain->getData(columns, kCrossingKey).value(key(name)), "plain");
    EXPECT_EQ(plain->getData(columns, kCrossingKey).value(key(day)).toDateTime(), utc(2024, 3, 9));
    const auto kept = Rows::applyFilter(Rows::getRows(tableId(), columns, {}, {}, kCrossingKey),
        columns, { [&] {
            auto f = filter(name, LocalizedStrings::Contains());
            f->setTextValue("lai");
            return f;
        }() },
        kCrossingKey);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.first(), plain);
    RowDecoder decoder(columns, kCrossingKey);
    ASSERT_TRUE(decoder.decode(plain->storedJson()));
    EXPECT_EQ(decoder.value(0), "plain");
    int decoded = 0;
    Rows::decodeEach(Rows::getRowFaults(tableId()), decoder,
        [&](qsizetype, const QVariant*, bool read) { decoded += read ? 1 : 0; });
    EXPECT_EQ(decoded, 2);

    // Without the password the encrypted row does not read: nothing, not an empty row.
    EXPECT_EQ(names(std::nullopt), QStringList({ "?", "plain" }));
    // Nor does it with another password.
    EXPECT_EQ(names(QString("other")), QStringList({ "?", "plain" }));
}

TEST_F(RowsAcrossProtection, ProtectingAndUnprotectingTakeRowsAlreadyInTheNewFormAsTheyAre)
{
    // Unprotected here, while a machine that still had the table under "key" added a row.
    written("clear", std::nullopt, 10);
    Rows* sealed = written("sealed", kCrossingKey, 20);
    const QString sealedText = sealed->storedJson().toString();
    EXPECT_EQ(names(std::nullopt), QStringList({ "clear", "?" }));

    // Another password cannot read that row: nothing changes.
    QString message;
    EXPECT_FALSE(table->changeProtection(std::nullopt, QString("other"), columns, &message));
    EXPECT_EQ(message, Rows::RowDecryptionFailed);
    KivoLib::rollback();
    EXPECT_FALSE(table->isprotected().toBool());
    EXPECT_EQ(clear(), QList<bool>({ true, false }));

    // The password it was encrypted with makes every row readable; that row stays as it is
    // and every row keeps its time.
    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns, &message))
        << message.toStdString();
    EXPECT_EQ(clear(), QList<bool>({ false, false }));
    EXPECT_EQ(sealed->storedJson().toString(), sealedText);
    EXPECT_EQ(names(kCrossingKey), QStringList({ "clear", "sealed" }));
    EXPECT_EQ(times(), QList<double>({ 10, 20 }));

    // Protected here, while a machine that had not heard of it added a row in the clear:
    // unprotecting takes it as it is.
    written("late", std::nullopt, 30);
    EXPECT_EQ(names(kCrossingKey), QStringList({ "clear", "sealed", "late" }));
    ASSERT_TRUE(table->changeProtection(kCrossingKey, std::nullopt, columns, &message))
        << message.toStdString();
    EXPECT_EQ(clear(), QList<bool>({ true, true, true }));
    EXPECT_EQ(names(std::nullopt), QStringList({ "clear", "sealed", "late" }));
    EXPECT_EQ(times(), QList<double>({ 10, 20, 30 }));

    // A row under a password neither side knows keeps a protected table as it is.
    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns, &message))
        << message.toStdString();
    written("lost", QString("third"), 40);
    EXPECT_FALSE(table->changeProtection(kCrossingKey, std::nullopt, columns, &message));
    EXPECT_EQ(message, Rows::RowDecryptionFailed);
    KivoLib::rollback();
    EXPECT_TRUE(table->isprotected().toBool());
    EXPECT_EQ(clear(), QList<bool>({ false, false, false, false }));
}

TEST_F(RowsAcrossProtection, RowsLeftInTheOtherFormAreRestoredInTheTablesFormKeepingTheirTimes)
{
    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns));
    written("sealed", kCrossingKey, 1);
    written("plain", std::nullopt, 2);
    written("also plain", std::nullopt, 3);

    // Only the password that opens the table encrypts them.
    EXPECT_EQ(table->restoreRowsInItsForm(QString("other"), columns), 0);
    EXPECT_EQ(clear(), QList<bool>({ false, true, true }));
    EXPECT_EQ(table->restoreRowsInItsForm(kCrossingKey, columns), 2);
    EXPECT_EQ(clear(), QList<bool>({ false, false, false }));
    EXPECT_EQ(names(kCrossingKey), QStringList({ "sealed", "plain", "also plain" }));
    EXPECT_EQ(times(), QList<double>({ 1, 2, 3 }));
    EXPECT_EQ(table->restoreRowsInItsForm(kCrossingKey, columns), 0);

    // Unprotected elsewhere while rows were still being written under the password here.
    ASSERT_TRUE(table->changeProtection(kCrossingKey, std::nullopt, columns));
    written("under key", kCrossingKey, 4);
    written("under another", QString("other"), 5);
    EXPECT_EQ(table->restoreRowsInItsForm(kCrossingKey, columns), 1);
    EXPECT_EQ(clear(), QList<bool>({ true, true, true, true, false }));
    EXPECT_EQ(
        names(std::nullopt), QStringList({ "sealed", "plain", "also plain", "under key", "?" }));
    EXPECT_EQ(times(), QList<double>({ 1, 2, 3, 4, 5 }));
}

TEST_F(RowsAcrossProtection, AProtectionChangeReadsWhatTheStoreHoldsNotWhatWasLoadedBefore)
{
    Rows* row = written("before", std::nullopt, 1);
    // Loaded here.
    ASSERT_EQ(row->getData(columns, std::nullopt).value(key(name)), "before");

    // Another machine's edit lands in the store (an import this context has not merged).
    platform::coredata::ManagedObjectContext other;
    other.setPersistentStoreCoordinator(coordinator());
    auto* otherRow = other.existingObjectWithID(row->objectID());
    ASSERT_NE(otherRow, nullptr);
    const auto edited = Rows::encodeData(
        { { key(name), "edited elsewhere" }, { key(amount), 7 } }, columns, std::nullopt);
    ASSERT_TRUE(edited.has_value());
    otherRow->setValue("json", *edited);
    otherRow->setValue("mtimestamp", 50.0);
    ASSERT_TRUE(other.save());

    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns));
    EXPECT_EQ(names(kCrossingKey), QStringList({ "edited elsewhere" }));
    EXPECT_EQ(times(), QList<double>({ 50 }));
}

TEST_F(RowsAcrossProtection, NoOtherMachinesEditLandsBetweenAProtectionChangesReadsAndItsCommit)
{
    Rows* row = written("before", std::nullopt, 1);
    const auto objectId = row->objectID();
    const auto edited = Rows::encodeData(
        { { key(name), "edited elsewhere" }, { key(amount), 7 } }, columns, std::nullopt);
    ASSERT_TRUE(edited.has_value());
    delegate.reset();
    auto landing = std::make_unique<LandingBeforeCommitDelegate>();
    LandingBeforeCommitDelegate* hooks = landing.get();
    delegate = std::move(landing);
    const auto coordinatorOfStore = coordinator();
    hooks->land = [&] {
        platform::coredata::ManagedObjectContext other(
            platform::coredata::ManagedObjectContext::ConcurrencyType::Confinement);
        other.setPersistentStoreCoordinator(coordinatorOfStore);
        auto* otherRow = other.existingObjectWithID(objectId);
        ASSERT_NE(otherRow, nullptr);
        otherRow->setValue("json", *edited);
        otherRow->setValue("mtimestamp", 50.0);
        ASSERT_TRUE(other.save());
    };

    ASSERT_TRUE(table->changeProtection(std::nullopt, kCrossingKey, columns));
    hooks->importer.join();
    // The edit came after the commit, so it stands (in the clear, until a machine with the
    // password stores it encrypted).
    EXPECT_FALSE(hooks->landedBeforeCommit);
    EXPECT_EQ(names(kCrossingKey), QStringList({ "edited elsewhere" }));
    EXPECT_EQ(clear(), QList<bool>({ true }));
}
