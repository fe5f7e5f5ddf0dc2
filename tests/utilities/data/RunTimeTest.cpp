#include "utilities/data/RunTime.h"
#include "utilities/data/JSONConverter.h"
#include "utilities/data/ObjectMapping.h"
#include "utilities/data/Util.h"
#include "utilities/text/FormatLocale.h"

#include "platform/Exception.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

class Child : public QObject {
    Q_OBJECT
};

class Record : public QObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "amount")
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString uid MEMBER uid)
    Q_PROPERTY(double count MEMBER count)
    Q_PROPERTY(QVariant amount MEMBER amount)
    Q_PROPERTY(bool flag MEMBER flag)
    Q_PROPERTY(QVariantMap nested MEMBER nested)
    Q_PROPERTY(QVariantList items MEMBER items)
    Q_PROPERTY(QVariant anything MEMBER anything)
    Q_PROPERTY(QObject* child MEMBER child)

public:
    Q_INVOKABLE Record() = default;
    QString name;
    QString uid;
    double count = 0;
    QVariant amount;
    bool flag = false;
    QVariantMap nested;
    QVariantList items;
    QVariant anything;
    QObject* child = nullptr;
};

class DerivedRecord : public Record {
    Q_OBJECT
    Q_PROPERTY(QString extra MEMBER extra)
public:
    Q_INVOKABLE DerivedRecord() = default;
    QString extra;
};

} // namespace

TEST(ObjectMapping, TypeTableListsOnlyTheClassesOwnPropertiesWithTheirKinds)
{
    const QVariantMap table = RunTime::propertiesOfClass(&Record::staticMetaObject);
    EXPECT_EQ(table.value("name").toString(), "NSString");
    EXPECT_EQ(table.value("count").toString(), "NSNumber");
    EXPECT_EQ(table.value("amount").toString(), "NSNumber");
    EXPECT_EQ(table.value("flag").toString(), "B");
    EXPECT_EQ(table.value("nested").toString(), "NSDictionary");
    EXPECT_EQ(table.value("items").toString(), "NSArray");
    EXPECT_EQ(table.value("anything").toString(), "id");
    EXPECT_EQ(table.value("child").toString(), "QObject");
    EXPECT_FALSE(table.contains("objectName"));

    const QVariantMap derived = RunTime::propertiesOfClass(&DerivedRecord::staticMetaObject);
    EXPECT_EQ(derived.keys(), QStringList { "extra" });
    EXPECT_TRUE(RunTime::propertiesOfClass(nullptr).isEmpty());
}

TEST(ObjectMapping, NumbersComeFromNumbersOrDecimalTextAndNothingElse)
{
    Record record;
    RunTime::classFromDictionary({ { "amount", "12" } }, &Record::staticMetaObject, &record);
    EXPECT_EQ(record.amount.toInt(), 12);
    RunTime::classFromDictionary({ { "amount", "abc" } }, &Record::staticMetaObject, &record);
    EXPECT_FALSE(record.amount.isValid());
    RunTime::classFromDictionary(
        { { "amount", QDateTime::currentDateTime() } }, &Record::staticMetaObject, &record);
    EXPECT_EQ(record.amount, QVariant(0));
    RunTime::classFromDictionary({ { "amount", 2.5 } }, &Record::staticMetaObject, &record);
    EXPECT_DOUBLE_EQ(record.amount.toDouble(), 2.5);
    RunTime::classFromDictionary({ { "count", "7.25" } }, &Record::staticMetaObject, &record);
    EXPECT_DOUBLE_EQ(record.count, 7.25);

    // Decimal text is read in the user's locale.
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RunTime::classFromDictionary({ { "amount", "1.234,5" } }, &Record::staticMetaObject, &record);
    FormatLocale::setDefault(QLocale::c());
    EXPECT_DOUBLE_EQ(record.amount.toDouble(), 1234.5);
}

TEST(ObjectMapping, KeysMatchExactlyAndUnknownKeysAreIgnored)
{
    Record record;
    RunTime::classFromDictionary({ { "Name", "upper" }, { "bogus", 1 }, { "name", "lower" } },
        &Record::staticMetaObject, &record);
    EXPECT_EQ(record.name, "lower");

    // Inherited properties are set too, without number conversion.
    DerivedRecord derived;
    RunTime::classFromDictionary(
        { { "name", "n" }, { "extra", "e" } }, &DerivedRecord::staticMetaObject, &derived);
    EXPECT_EQ(derived.name, "n");
    EXPECT_EQ(derived.extra, "e");
}

TEST(ObjectMapping, DictionaryLeavesOutUnsetValuesAndRoundTripsEveryKind)
{
    Record record;
    record.name = "Ada";
    record.count = 3;
    record.amount = 4.5;
    record.flag = true;
    record.nested = { { "inner", QVariantList { 1, "two" } } };
    record.items = { 1, 2, 3 };
    const QVariantMap dictionary = RunTime::dictionaryFromClass(&record);
    EXPECT_FALSE(dictionary.contains("uid"));
    EXPECT_FALSE(dictionary.contains("anything"));
    EXPECT_FALSE(dictionary.contains("child"));

    const QByteArray json = JSONConverter::ToJSON(&record);
    ASSERT_FALSE(json.isNull());
    EXPECT_TRUE(json.contains("\n    \"")) << "pretty-printed, one member per line";
    EXPECT_FALSE(json.contains("uid"));

    auto copy = JSONConverter::FromJSON<Record>(json);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->name, "Ada");
    EXPECT_EQ(copy->count, 3);
    EXPECT_DOUBLE_EQ(copy->amount.toDouble(), 4.5);
    EXPECT_TRUE(copy->flag);
    EXPECT_EQ(copy->nested.value("inner").toList().value(1).toString(), "two");
    EXPECT_EQ(copy->items.size(), 3);
    EXPECT_TRUE(copy->uid.isNull());
}

TEST(ObjectMapping, ValuesJsonCannotHoldGiveNoDataAndDictionariesWriteThemselves)
{
    Child child;
    Record record;
    record.child = &child;
    EXPECT_TRUE(JSONConverter::ToJSON(&record).isNull());
    record.child = nullptr;
    record.anything = QDateTime::currentDateTime();
    EXPECT_TRUE(JSONConverter::ToJSON(&record).isNull());
    record.anything = std::nan("");
    EXPECT_TRUE(JSONConverter::ToJSON(&record).isNull());

    const QByteArray json = JSONConverter::ToJSON(QVariantMap { { "a", 1 }, { "b", QVariant() } });
    EXPECT_EQ(QJsonDocument::fromJson(json).object().value("a").toInt(), 1);
    EXPECT_TRUE(QJsonDocument::fromJson(json).object().value("b").isNull());
}

TEST(ObjectMapping, BadJsonGivesAnEmptyInstanceAndAClearError)
{
    for (const QByteArray& bad : { QByteArray("{ \"name\": "), QByteArray("[1, 2]"), QByteArray(""),
             QByteArray("\"text\""), QByteArray("\xff\xfe") }) {
        platform::Error error;
        auto record = JSONConverter::FromJSON<Record>(bad, &error);
        ASSERT_TRUE(record) << bad.constData();
        EXPECT_TRUE(record->name.isNull());
        EXPECT_FALSE(error.isNull());
        EXPECT_FALSE(error.localizedDescription().isEmpty());
        EXPECT_FALSE(JSONConverter::FromJSONDictionary(bad).has_value());
    }
    // Wrong kinds are converted or dropped, never a crash.
    auto record = JSONConverter::FromJSON<Record>(R"({"name": 5, "flag": "yes", "items": {"a": 1},
                                                     "nested": [1], "count": {"x": 1}})");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "5");
    EXPECT_EQ(record->count, 0);
}

TEST(ObjectMapping, InstanceFormsMakeNewObjectsOfTheReceiversOwnClass)
{
    DerivedRecord receiver;
    receiver.name = "kept";
    receiver.extra = "mine";
    // Only the properties the receiver's class declares itself are written.
    const QByteArray json = ObjectMapping::ToJSON(receiver);
    EXPECT_EQ(json, JSONConverter::ToJSON(&receiver));
    EXPECT_EQ(QJsonDocument::fromJson(json).object().keys(), QStringList { "extra" });

    // Reached through a base reference, the class is still the receiver's own.
    const Record& base = receiver;
    auto made = ObjectMapping::FromJSON(base, R"({"extra": "new", "name": "other"})");
    ASSERT_TRUE(made);
    auto* derived = qobject_cast<DerivedRecord*>(made.get());
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->extra, "new");
    EXPECT_EQ(derived->name, "other");
    EXPECT_NE(made.get(), &receiver);
    EXPECT_EQ(receiver.name, "kept");
    EXPECT_EQ(receiver.extra, "mine");

    platform::Error error;
    auto empty = ObjectMapping::FromJSON(base, "{ not json", &error);
    ASSERT_TRUE(qobject_cast<DerivedRecord*>(empty.get()));
    EXPECT_TRUE(empty->name.isNull());
    EXPECT_FALSE(error.isNull());

    auto filled = ObjectMapping::FromDictionary(base, { { "extra", "x" }, { "count", "2" } });
    ASSERT_TRUE(qobject_cast<DerivedRecord*>(filled.get()));
    EXPECT_EQ(static_cast<DerivedRecord*>(filled.get())->extra, "x");
    EXPECT_EQ(filled->count, 2);
    EXPECT_EQ(receiver.count, 0);

    // A class that cannot be made gives nothing.
    const Child child;
    EXPECT_FALSE(ObjectMapping::FromDictionary(child, { { "a", 1 } }));
}

TEST(ObjectMapping, DictionaryReceiversAnswerWithDictionaries)
{
    const QVariantMap receiver { { "a", 1 } };
    EXPECT_EQ(ObjectMapping::ToJSON(receiver), JSONConverter::ToJSON(receiver));
    const QVariantMap given { { "b", QVariantList { 1, "two" } } };
    EXPECT_EQ(ObjectMapping::FromDictionary(receiver, given), given);
    const auto parsed = ObjectMapping::FromJSON(receiver, R"({"c": true})");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, (QVariantMap { { "c", true } }));
    platform::Error error;
    EXPECT_FALSE(ObjectMapping::FromJSON(receiver, "[1]", &error).has_value());
    EXPECT_FALSE(error.isNull());
}

TEST(ObjectMapping, IntrospectionAnswersForOwnAndInheritedProperties)
{
    const QMetaObject* cls = &DerivedRecord::staticMetaObject;
    EXPECT_TRUE(Introspection::hasProperties(cls));
    EXPECT_TRUE(Introspection::hasPropertyNamed(cls, "name"));
    EXPECT_FALSE(Introspection::hasPropertyNamed(cls, "missing"));
    EXPECT_TRUE(Introspection::hasPropertyNamed(cls, "name", "T@\"NSString\""));
    EXPECT_TRUE(Introspection::hasPropertyNamed(cls, "flag", "TB"));
    EXPECT_FALSE(Introspection::hasPropertyNamed(cls, "flag", "T@\"NSString\""));
    EXPECT_TRUE(Introspection::hasPropertyForKVCKey(cls, "Name"));
    EXPECT_EQ(Introspection::typeOfPropertyNamed(cls, "amount"), "T@\"NSNumber\"");
    EXPECT_TRUE(Introspection::typeOfPropertyNamed(cls, "missing").isNull());
    EXPECT_EQ(Introspection::getterForPropertyNamed(cls, "name"), "name");
    EXPECT_EQ(Introspection::setterForPropertyNamed(cls, "name"), "setName:");
    EXPECT_EQ(Introspection::retentionMethodOfPropertyNamed(cls, "name"), "copy");
    EXPECT_EQ(Introspection::retentionMethodOfPropertyNamed(cls, "child"), "retain");
    EXPECT_EQ(Introspection::retentionMethodOfPropertyNamed(cls, "flag"), "assign");
    EXPECT_EQ(Introspection::propertyNames(cls), QStringList { "extra" });
    EXPECT_EQ(Introspection::propertyNames(&Record::staticMetaObject).first(), "name");

    EXPECT_EQ(Introspection::propertyStyleString("Name"), "name");
    EXPECT_EQ(Introspection::propertyStyleString("N"), "n");
    EXPECT_EQ(Introspection::propertyStyleString(""), "");
}

TEST(Util, EmptyStringsRecordsAndDictionaries)
{
    Record record;
    record.uid = "1234";
    record.count = 9;
    Util::initObjectWithEmptyString(&record);
    EXPECT_EQ(record.uid, "");
    EXPECT_TRUE(record.name.isNull()) << "a null text stays null";
    EXPECT_EQ(record.count, 9);

    DerivedRecord derived;
    derived.name = "base";
    derived.uid = "skipped";
    derived.extra = "own";
    const QVariantMap texts = Util::ObjectToDictionary(&derived);
    EXPECT_EQ(texts.value("name").toString(), "base");
    EXPECT_EQ(texts.value("extra").toString(), "own");
    EXPECT_FALSE(texts.contains("uid"));

    derived.count = 1;
    Util::DictionaryToObject({ { "name", "x" }, { "count", "42.5" } }, &derived);
    EXPECT_EQ(derived.name, "x");
    EXPECT_DOUBLE_EQ(derived.count, 42.5);

    // A number is taken as it is: its text "2.5" would read as 25 in German.
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Util::DictionaryToObject({ { "count", 2.5 } }, &derived);
    FormatLocale::setDefault(QLocale::c());
    EXPECT_DOUBLE_EQ(derived.count, 2.5);
}

TEST(Util, AppendRoundAndClassName)
{
    EXPECT_EQ(Util::append({ "a", "b", QString(), "c" }), "ab");
    EXPECT_EQ(Util::append({ QString(), "b" }), "");
    EXPECT_FLOAT_EQ(Util::Round(1.239f, 2), 1.23f);
    EXPECT_FLOAT_EQ(Util::Round(-1.239f, 2), -1.23f);
    EXPECT_FLOAT_EQ(Util::Round(7.9f, 0), 7.0f);
    Record record;
    EXPECT_EQ(Util::GetClassName(&record), "Record");
}

#include "RunTimeTest.moc"
