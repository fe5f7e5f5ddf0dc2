#include "platform/KeyValueCoding.h"
#include "platform/Exception.h"
#include "platform/MutableDictionary.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <gtest/gtest.h>

using platform::Exception;
using platform::KeyValueCoding;
using platform::MutableDictionary;

namespace {

class Record : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(bool flag READ flag WRITE setFlag)
    Q_PROPERTY(int count READ count WRITE setCount)
    Q_PROPERTY(double amount READ amount WRITE setAmount)
    Q_PROPERTY(QVariant anything READ anything WRITE setAnything)
    Q_PROPERTY(QDateTime when READ when WRITE setWhen)
    Q_PROPERTY(Record* child READ child WRITE setChild)
    Q_PROPERTY(QString readOnly READ name)

public:
    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    bool flag() const { return m_flag; }
    void setFlag(bool flag) { m_flag = flag; }
    int count() const { return m_count; }
    void setCount(int count) { m_count = count; }
    double amount() const { return m_amount; }
    void setAmount(double amount) { m_amount = amount; }
    QVariant anything() const { return m_anything; }
    void setAnything(const QVariant& value) { m_anything = value; }
    QDateTime when() const { return m_when; }
    void setWhen(const QDateTime& when) { m_when = when; }
    Record* child() const { return m_child; }
    void setChild(Record* child) { m_child = child; }

private:
    QString m_name;
    bool m_flag = true;
    int m_count = 7;
    double m_amount = 0;
    QVariant m_anything;
    QDateTime m_when;
    Record* m_child = nullptr;
};

// A record that answers for what it lacks.
class LenientRecord : public Record, public KeyValueCoding {
    Q_OBJECT

public:
    QStringList asked;
    void setNilValueForKey(const QString& key) override
    {
        asked << "nil:" + key;
        setCount(0);
    }
    QVariant valueForUndefinedKey(const QString& key) override
    {
        asked << "get:" + key;
        return QStringLiteral("stand-in");
    }
    void setValueForUndefinedKey(const QVariant&, const QString& key) override
    {
        asked << "set:" + key;
    }
};

template<class Call> QString raisedName(Call call)
{
    try {
        call();
    } catch (const Exception& exception) {
        return exception.name();
    }
    return {};
}

} // namespace

TEST(KeyValueCoding, ObjectPropertiesByKeyAndKeyPathNilAtAMissingStep)
{
    Record parent;
    Record child;
    parent.setChild(&child);
    QObject* object = &parent;

    KeyValueCoding::setValueForKey(object, QStringLiteral("Ann"), "name");
    KeyValueCoding::setValueForKeyPath(object, QStringLiteral("Bob"), "child.name");
    KeyValueCoding::setValueForKeyPath(object, 12, "child.anything");
    EXPECT_EQ(parent.name(), "Ann");
    EXPECT_EQ(child.name(), "Bob");
    EXPECT_EQ(KeyValueCoding::valueForKeyPath(object, "child.name").toString(), "Bob");
    EXPECT_EQ(KeyValueCoding::valueForKeyPath(object, "child.anything"), QVariant(12));

    // A nil step ends the path: reading gives nil, writing does nothing.
    child.setChild(nullptr);
    EXPECT_FALSE(KeyValueCoding::valueForKeyPath(object, "child.child.name").isValid());
    KeyValueCoding::setValueForKeyPath(object, QStringLiteral("lost"), "child.child.name");

    // An unset text reads as nil; an empty one does not.
    Record empty;
    EXPECT_FALSE(KeyValueCoding::valueForKey(&empty, "name").isValid());
    empty.setName(QStringLiteral(""));
    EXPECT_TRUE(KeyValueCoding::valueForKey(&empty, "name").isValid());
    EXPECT_FALSE(KeyValueCoding::valueForKey(&empty, "when").isValid());
}

// An object held through a guarded pointer (a row of a store that may go) is read and
// written like a plain one while it lives, and is nil once it is deleted.
TEST(KeyValueCoding, AGuardedObjectIsNilOnceItIsGone)
{
    auto* record = new Record();
    const QVariant guarded = QVariant::fromValue(QPointer<QObject>(record));
    KeyValueCoding::setValueForKey(guarded, QStringLiteral("Ann"), "name");
    EXPECT_EQ(record->name(), "Ann");
    EXPECT_EQ(KeyValueCoding::valueForKey(guarded, "name").toString(), "Ann");
    EXPECT_EQ(KeyValueCoding::objectOf(guarded), record);
    EXPECT_FALSE(KeyValueCoding::isNil(guarded));

    delete record;
    EXPECT_EQ(KeyValueCoding::objectOf(guarded), nullptr);
    EXPECT_TRUE(KeyValueCoding::isNil(guarded));
    EXPECT_FALSE(KeyValueCoding::valueForKey(guarded, "name").isValid());
    // Writing into nil does nothing.
    KeyValueCoding::setValueForKey(guarded, QStringLiteral("Bob"), "name");
}

TEST(KeyValueCoding, TextAndNumbersIntoScalarsReadAsThePlatformReadsThem)
{
    Record record;
    const std::pair<QVariant, bool> flags[]
        = { { QStringLiteral("YES"), true }, { QStringLiteral("no"), false },
              { QStringLiteral("true"), true }, { QStringLiteral("false"), false },
              { QStringLiteral(" 007"), true }, { QStringLiteral("0"), false },
              { QStringLiteral(""), false }, { 0.4, true }, { 0, false }, { 2, true } };
    for (const auto& [given, expected] : flags) {
        record.setFlag(!expected);
        KeyValueCoding::setValueForKey(&record, given, "flag");
        EXPECT_EQ(record.flag(), expected) << given.toString().toStdString();
    }

    KeyValueCoding::setValueForKey(&record, QStringLiteral("  12abc"), "count");
    EXPECT_EQ(record.count(), 12);
    KeyValueCoding::setValueForKey(&record, QStringLiteral("abc"), "count");
    EXPECT_EQ(record.count(), 0);
    KeyValueCoding::setValueForKey(&record, 2.9, "count");
    EXPECT_EQ(record.count(), 2);
    KeyValueCoding::setValueForKey(&record, -2.9, "count");
    EXPECT_EQ(record.count(), -2);
    KeyValueCoding::setValueForKey(&record, QStringLiteral("-1.5e2x"), "amount");
    EXPECT_EQ(record.amount(), -150.0);
    KeyValueCoding::setValueForKey(&record, true, "amount");
    EXPECT_EQ(record.amount(), 1.0);
}

TEST(KeyValueCoding, NilIntoAScalarGoesToTheObjectElseRaises)
{
    Record plain;
    EXPECT_EQ(raisedName([&] { KeyValueCoding::setValueForKey(&plain, QVariant(), "count"); }),
        Exception::InvalidArgument);
    EXPECT_EQ(plain.count(), 7);

    LenientRecord lenient;
    KeyValueCoding::setValueForKey(&lenient, QVariant(), "count");
    KeyValueCoding::setValueForKey(&lenient, KeyValueCoding::nullObject(), "flag");
    EXPECT_EQ(lenient.asked, QStringList({ "nil:count", "nil:flag" }));
    EXPECT_EQ(lenient.count(), 0);

    // Nil into other properties empties them; a QVariant property keeps the null object.
    plain.setName("x");
    plain.setWhen(QDateTime::currentDateTime());
    KeyValueCoding::setValueForKey(&plain, QVariant(), "name");
    KeyValueCoding::setValueForKey(&plain, KeyValueCoding::nullObject(), "when");
    KeyValueCoding::setValueForKey(&plain, KeyValueCoding::nullObject(), "anything");
    EXPECT_TRUE(plain.name().isNull());
    EXPECT_FALSE(plain.when().isValid());
    EXPECT_TRUE(KeyValueCoding::isNullObject(plain.anything()));
}

TEST(KeyValueCoding, UndefinedKeysRaiseUnlessTheObjectAnswers)
{
    Record plain;
    EXPECT_EQ(raisedName([&] { KeyValueCoding::valueForKey(&plain, "nosuch"); }),
        KeyValueCoding::UnknownKeyException);
    EXPECT_EQ(raisedName([&] { KeyValueCoding::setValueForKey(&plain, 1, "nosuch"); }),
        KeyValueCoding::UnknownKeyException);
    // A property without a setter cannot be written.
    EXPECT_EQ(raisedName([&] { KeyValueCoding::setValueForKey(&plain, "x", "readOnly"); }),
        KeyValueCoding::UnknownKeyException);
    // A value of a kind the property cannot hold.
    EXPECT_EQ(raisedName([&] {
        KeyValueCoding::setValueForKey(&plain, QVariantMap { { "a", 1 } }, "name");
    }),
        Exception::InvalidArgument);
    // Keys of plain values.
    EXPECT_EQ(raisedName([&] { KeyValueCoding::valueForKey(QVariant(5), "x"); }),
        KeyValueCoding::UnknownKeyException);

    LenientRecord lenient;
    EXPECT_EQ(KeyValueCoding::valueForKey(&lenient, "nosuch").toString(), "stand-in");
    KeyValueCoding::setValueForKey(&lenient, 1, "other");
    EXPECT_EQ(lenient.asked, QStringList({ "get:nosuch", "set:other" }));
}

TEST(KeyValueCoding, SharedDictionariesTakeWritesPlainOnesAreReadOnly)
{
    MutableDictionary row;
    const QVariant handle = QVariant::fromValue(row);
    KeyValueCoding::setValueForKey(handle, QStringLiteral("Ann"), "name");
    KeyValueCoding::setValueForKey(handle, 3, "count");
    EXPECT_EQ(row.value("name").toString(), "Ann");
    EXPECT_EQ(KeyValueCoding::valueForKey(handle, "count"), QVariant(3));
    EXPECT_FALSE(KeyValueCoding::valueForKey(handle, "absent").isValid());
    KeyValueCoding::setValueForKey(handle, QVariant(), "count");
    EXPECT_FALSE(row.contains("count"));
    KeyValueCoding::setValueForKey(handle, KeyValueCoding::nullObject(), "gone");
    EXPECT_TRUE(KeyValueCoding::isNullObject(row.value("gone")));

    // A dictionary inside a shared one: reachable by path, written only when shared too.
    MutableDictionary inner;
    row.setValue("inner", QVariant::fromValue(inner));
    row.setValue("plain", QVariantMap { { "x", 1 } });
    KeyValueCoding::setValueForKeyPath(handle, 9, "inner.y");
    EXPECT_EQ(inner.value("y"), QVariant(9));
    EXPECT_EQ(KeyValueCoding::valueForKeyPath(handle, "plain.x"), QVariant(1));
    EXPECT_EQ(raisedName([&] { KeyValueCoding::setValueForKeyPath(handle, 2, "plain.x"); }),
        KeyValueCoding::UnknownKeyException);

    // Copies are the same dictionary.
    MutableDictionary copy = row;
    copy.setValue("late", 1);
    EXPECT_TRUE(row.contains("late"));
    EXPECT_TRUE(KeyValueCoding::description(handle).startsWith("{"));
}

#include "KeyValueCodingTest.moc"
