#include "StoreFixture.h"

#include "platform/Exception.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoredText.h"

#include <QUuid>

#include <sqlite3.h>

using namespace storetest;

namespace {

// Long texts of every kind: ASCII, beyond ASCII with pairs and NUL, and one with a lone
// surrogate, which SQLite stores as a replacement character.
QStringList longTexts()
{
    QString lone = QString(300, QChar(u'x'));
    lone[150] = QChar(0xD800);
    return { QString(cd::StoredText::LongTextBytes, QChar(u'a')),
        QString::fromUtf8("é😀\u4e2d") + QChar(0) + QString(400, QChar(u'b')), lone };
}

// The text a value reads as when its stored bytes are read the one way every text was.
QString readBack(const QString& written)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT ?", -1, &statement, nullptr);
    sqlite3_bind_text16(statement, 1, written.utf16(), int(written.size() * 2), SQLITE_TRANSIENT);
    sqlite3_step(statement);
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
            sqlite3_column_bytes(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return text;
}

cd::ManagedObject* byId(const QList<cd::ManagedObject*>& objects, const QString& id)
{
    for (cd::ManagedObject* object : objects) {
        if (object->value("id") == id)
            return object;
    }
    return nullptr;
}

} // namespace

TEST_F(StoreTest, LongTextsAreHeldAsTheirBytesButReadAsTextEverywhere)
{
    const QStringList texts = longTexts();
    for (int i = 0; i < texts.size(); ++i)
        make("Database", { { "id", QString::number(i) }, { "name", texts[i] } });
    make("Database", { { "id", "short" }, { "name", "plain" } });
    ASSERT_TRUE(context->save());
    auto fresh = reopen();
    const auto objects = fresh->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(objects.size(), texts.size() + 1);
    const int name = objects[0]->entity().indexOfAttribute("name");
    for (int i = 0; i < texts.size(); ++i) {
        cd::ManagedObject* object = byId(objects, QString::number(i));
        ASSERT_TRUE(object);
        EXPECT_EQ(object->value("name").typeId(), QMetaType::QString);
        EXPECT_EQ(object->value("name").toString(), readBack(texts[i])) << i;
        EXPECT_EQ(object->values().value(name).typeId(), QMetaType::QString);
        EXPECT_EQ(object->property("name").toString(), readBack(texts[i]));
        // Held as the stored bytes, which read as that text.
        const QVariant held = object->storedValue(name);
        EXPECT_EQ(held.typeId(), QMetaType::QByteArray) << i;
        EXPECT_EQ(QString::fromUtf8(held.toByteArray()), readBack(texts[i]));
        // The same text given again is no change.
        object->setValue("name", readBack(texts[i]));
        EXPECT_FALSE(object->hasChanges()) << i;
    }
    EXPECT_EQ(byId(objects, "short")->storedValue(name).typeId(), QMetaType::QString);
}

TEST_F(StoreTest, LongTextsHeldAsBytesCompareAndAreWrittenBackAsText)
{
    const QString later = QString(300, QChar(u'b'));
    const QString earlier = QString(300, QChar(u'a')) + QString::fromUtf8("😀");
    make("Database", { { "id", "B" }, { "name", later } });
    make("Database", { { "id", "A" }, { "name", earlier } });
    make("Database", { { "id", "N" }, { "name", "7" } });
    ASSERT_TRUE(context->save());
    auto fresh = reopen();
    const auto objects = fresh->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(objects.size(), 3);
    // A pending change makes the fetches compare and sort the held values here.
    for (cd::ManagedObject* object : objects)
        object->setValue("descr", "changed");
    cd::FetchRequest equal("Database");
    equal.setPredicate(cd::Predicate::equal("name", earlier));
    EXPECT_EQ(ids(fresh->executeFetchRequest(equal)), QStringList { "A" });
    cd::FetchRequest sorted("Database");
    sorted.setSortDescriptors({ { "name", true } });
    EXPECT_EQ(ids(fresh->executeFetchRequest(sorted)), (QStringList { "N", "A", "B" }));
    // Saved again with every value, the held texts are stored as they were.
    fresh->setMergePolicy(cd::ManagedObjectContext::MergePolicy::Overwrite);
    ASSERT_TRUE(fresh->save());
    auto third = reopen();
    const auto again = third->executeFetchRequest(sorted);
    ASSERT_EQ(again.size(), 3);
    EXPECT_EQ(ids(again), (QStringList { "N", "A", "B" }));
    EXPECT_EQ(again[1]->value("name").toString(), earlier);
    EXPECT_EQ(again[2]->value("name").toString(), later);
    EXPECT_EQ(again[1]->value("descr").toString(), "changed");
}

TEST_F(StoreTest, TextSetAsBytesIsStoredAsTheSameText)
{
    const QString text = QString::fromUtf8("é😀 ") + QString(300, QChar(u'c'));
    cd::ManagedObject* object = make("Database", { { "id", "A" } });
    const int name = object->entity().indexOfAttribute("name");
    object->setStoredText(name, text.toUtf8());
    EXPECT_EQ(object->value("name").toString(), text);
    EXPECT_EQ(object->storedValue(name).typeId(), QMetaType::QByteArray);
    // Short, or not UTF-8: held as the text it reads as.
    cd::ManagedObject* other = make("Database", { { "id", "B" } });
    other->setStoredText(name, QByteArray("short"));
    EXPECT_EQ(other->storedValue(name), QVariant("short"));
    const QByteArray broken = QByteArray(300, 'd') + "\xff";
    other->setStoredText(name, broken);
    EXPECT_EQ(other->storedValue(name), QVariant(QString::fromUtf8(broken)));
    // An attribute of another type takes the text as setValue would.
    EXPECT_THROW(other->setStoredText(other->entity().indexOfAttribute("issystem"), "x"),
        platform::Exception);
    ASSERT_TRUE(context->save());
    auto fresh = reopen();
    cd::FetchRequest request("Database");
    request.setSortDescriptors({ { "id", true } });
    const auto objects = fresh->executeFetchRequest(request);
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0]->value("name").toString(), text);
    EXPECT_EQ(objects[1]->value("name").toString(), QString::fromUtf8(broken));
}

TEST(StoredTextTest, AnIdReadsBackAsExactlyTheTextItWasHeldFrom)
{
    for (int i = 0; i < 200; ++i) {
        const QByteArray text = QUuid::createUuid().toByteArray(QUuid::WithoutBraces).toUpper();
        const auto id = cd::StoredText::idOf(text.constData(), text.size());
        ASSERT_TRUE(id) << text.constData();
        EXPECT_EQ(cd::StoredText::idText(*id), QString::fromLatin1(text));
    }
    for (const QByteArray& other : { QByteArray("00000000-0000-0000-0000-00000000000"),
             QByteArray("00000000-0000-0000-0000-0000000000000"),
             QByteArray("00000000-0000-0000-0000-00000000000a"),
             QByteArray("00000000+0000-0000-0000-000000000000"),
             QByteArray("0000000-00000-0000-0000-000000000000"),
             QByteArray("00000000-0000-0000-0000-00000000000\xc3") })
        EXPECT_FALSE(cd::StoredText::idOf(other.constData(), other.size())) << other.constData();
    const QByteArray zero("00000000-0000-0000-0000-000000000000");
    EXPECT_EQ(cd::StoredText::idText(*cd::StoredText::idOf(zero.constData(), zero.size())),
        QString::fromLatin1(zero));
}

TEST_F(StoreTest, IdsAreHeldInTheirBytesButReadAsTheTextStored)
{
    const QString first = QStringLiteral("0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9");
    const QString second = QStringLiteral("FFFFFFFF-0000-4000-8000-000000000001");
    // Only the upper-case form reads back exactly from 16 bytes; anything else stays a text.
    const QString lower = QStringLiteral("0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9");
    const QString braced = QStringLiteral("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
    const QString notHex = QStringLiteral("0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG");
    for (const QString& id : { first, second, lower, braced, notHex })
        make("Database", { { "id", id }, { "name", second } });
    ASSERT_TRUE(context->save());
    auto fresh = reopen();
    cd::FetchRequest sorted("Database");
    sorted.setSortDescriptors({ { "id", true } });
    const auto objects = fresh->executeFetchRequest(sorted);
    ASSERT_EQ(objects.size(), 5);
    const QStringList expected { first, notHex, lower, second, braced };
    EXPECT_EQ(ids(objects), expected);
    const int id = objects[0]->entity().indexOfAttribute("id");
    const int name = objects[0]->entity().indexOfAttribute("name");
    for (qsizetype i = 0; i < objects.size(); ++i) {
        cd::ManagedObject* object = objects[i];
        EXPECT_EQ(object->value("id").typeId(), QMetaType::QString);
        EXPECT_EQ(object->value("id").toString(), expected[i]);
        EXPECT_EQ(object->values().value(id), QVariant(expected[i]));
        EXPECT_EQ(object->storedValue(id), QVariant(expected[i]));
        EXPECT_EQ(object->property("id").toString(), expected[i]);
        // The same id repeated in every row reads the same.
        EXPECT_EQ(object->value("name").toString(), second);
        object->setValue("id", expected[i]);
        EXPECT_FALSE(object->hasChanges()) << i;
    }
    // Compared, matched and sorted as texts while held, with changes pending.
    objects[4]->setValue("descr", "changed");
    cd::FetchRequest equal("Database");
    equal.setPredicate(cd::Predicate::equal("id", second));
    EXPECT_EQ(ids(fresh->executeFetchRequest(equal)), QStringList { second });
    EXPECT_EQ(ids(fresh->executeFetchRequest(sorted)), expected);
    cd::FetchRequest byName("Database");
    byName.setPredicate(cd::Predicate::equal("name", second));
    EXPECT_EQ(fresh->executeFetchRequest(byName).size(), 5);
    // Written back with every value, each is stored as it was.
    fresh->setMergePolicy(cd::ManagedObjectContext::MergePolicy::Overwrite);
    for (cd::ManagedObject* object : objects)
        object->setValue("descr", "again");
    ASSERT_TRUE(fresh->save());
    auto third = reopen();
    const auto again = third->executeFetchRequest(sorted);
    EXPECT_EQ(ids(again), expected);
    for (cd::ManagedObject* object : again) {
        EXPECT_EQ(object->value("name").toString(), second);
        EXPECT_EQ(object->storedValue(name), QVariant(second));
    }
}
