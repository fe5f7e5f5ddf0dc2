#include "ModelFixture.h"

#include "model/FilterExtended.h"
#include "model/RowPredicate.h"
#include "model/RowValueCompare.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "model/UserTemplate.h"
#include "platform/Exception.h"
#include "utilities/data/JSONConverter.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimeZone>

#include <unicode/ucal.h>

#include <cmath>
#include <map>

using modeltest::ModelTest;

namespace {

const QString kRowsDefinition = QStringLiteral("0D5E3B1C-7A29-4F86-B0C4-9E2A6D8F1357");
const QString kRowsTable = QStringLiteral("4B7E2C90-1D3F-4A58-9C6B-8E0F2A4D6C13");
const QString kOtherTable = QStringLiteral("9F1A3C5E-7B2D-4E60-8A4C-2D6F8B0E4A71");

// A table with one column of each kind the filters and sorts treat differently.
struct RowsTest : ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        name = column(kRowsDefinition, "Name", "Text");
        amount = column(kRowsDefinition, "Amount", "Currency", 2);
        count = column(kRowsDefinition, "Count", "Numeric");
        day = column(kRowsDefinition, "Day", "Date");
        at = column(kRowsDefinition, "At", "DateTime");
        time = column(kRowsDefinition, "Time", "Time");
        done = column(kRowsDefinition, "Done", "Yes/No");
        columns = { name, amount, count, day, at, time, done };
    }

    Rows* saved(const QVariantMap& values, const Rows::Password& password = std::nullopt,
        const QString& table = kRowsTable)
    {
        Rows* row = Rows::add(table);
        row->updateData(values, columns, password);
        EXPECT_TRUE(row->saveRows());
        return row;
    }

    // Rows named by their Name values, in order.
    QStringList names(const QList<Rows*>& rows, const Rows::Password& password = std::nullopt)
    {
        QStringList list;
        for (Rows* row : rows)
            list << row->getData(columns, password).value(key(name)).toString();
        return list;
    }

    TemplateColumn *name, *amount, *count, *day, *at, *time, *done;
    QList<TemplateColumn*> columns;
};

} // namespace

TEST_F(RowsTest, RowsAreNumberedPerTableAndTheHighestNumberIsReused)
{
    Rows* first = saved({ { key(name), "a" } });
    Rows* second = saved({ { key(name), "b" } });
    EXPECT_EQ(first->order().toInt(), 0);
    EXPECT_EQ(second->order().toInt(), 1);
    EXPECT_EQ(saved({}, std::nullopt, kOtherTable)->order().toInt(), 0);
    ASSERT_TRUE(Rows::deleteRows(second));
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 1);

    // Several new rows before one save count each other.
    Rows* a = Rows::add(kRowsTable);
    context()->insertObject(a);
    Rows* b = Rows::add(kRowsTable);
    EXPECT_EQ(a->order().toInt(), 1);
    EXPECT_EQ(b->order().toInt(), 2);
    context()->rollback();
    // A deletion not yet saved counts too.
    context()->deleteObject(first);
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 0);
    context()->rollback();
    EXPECT_TRUE(Rows::doesRowExists(kRowsTable));
    EXPECT_FALSE(Rows::doesRowExists("empty"));
}

TEST_F(RowsTest, ManyRowsAddedBeforeOneSaveAreNumberedInTurn)
{
    saved({});
    for (int i = 1; i <= 50; ++i) {
        Rows* row = Rows::add(kRowsTable);
        ASSERT_EQ(row->order().toInt(), i);
        context()->insertObject(row);
        // Rows of another table in between do not disturb the count.
        if (i % 10 == 0)
            context()->insertObject(Rows::add(kOtherTable));
    }
    // A row inserted by other means with a higher number is taken into account.
    Rows* restored = Rows::add(kRowsTable);
    restored->setOrder(100);
    context()->insertObject(restored);
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 101);
    ASSERT_TRUE(KivoAppDelegate::ApplicationDelegate()->saveContext());
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 101);
    EXPECT_EQ(Rows::add(kOtherTable)->order().toInt(), 5);
}

TEST_F(RowsTest, RowsStoredMeanwhileByAnotherContextCountForTheNextNumber)
{
    saved({});
    Rows* pending = Rows::add(kRowsTable);
    context()->insertObject(pending);
    EXPECT_EQ(pending->order().toInt(), 1);
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 2);

    // Another context on the same stores saves a row numbered 10 and then one of another
    // table; each shows at the next add.
    platform::coredata::ManagedObjectContext other;
    other.setPersistentStoreCoordinator(coordinator());
    auto* row = other.insertNewObject(Rows::entityName());
    row->setValue("usertemplate_id", kRowsTable);
    row->setValue("order", 10);
    ASSERT_TRUE(other.save());
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 11);
    auto* elsewhere = other.insertNewObject(Rows::entityName());
    elsewhere->setValue("usertemplate_id", kOtherTable);
    elsewhere->setValue("order", 7);
    ASSERT_TRUE(other.save());
    EXPECT_EQ(Rows::add(kOtherTable)->order().toInt(), 8);
    // Its deletion too.
    other.deleteObject(row);
    ASSERT_TRUE(other.save());
    EXPECT_EQ(Rows::add(kRowsTable)->order().toInt(), 2);
}

TEST_F(RowsTest, ANewRowReadsAsTheDefaultsOfItsColumnsAndNothingElse)
{
    Rows* row = Rows::add(kRowsTable);
    EXPECT_TRUE(row->json().isNull());
    const QVariantMap values = row->getData(columns, std::nullopt);
    EXPECT_EQ(values.size(), columns.size());
    EXPECT_EQ(values.value(key(name)), QVariant(QString("")));
    EXPECT_EQ(values.value(key(done)).toInt(), 0);
    EXPECT_EQ(values.value(key(day)).toDateTime().toUTC().time(), QTime(0, 0));
}

TEST_F(RowsTest, ValuesRoundTripThroughTheStoredJSON)
{
    const QDateTime moment = utc(2024, 3, 5, 14, 30, 15);
    const QString reminder = Rows::reminderKey(key(at));
    EXPECT_EQ(reminder, key(at) + "_Reminder");
    const QVariantMap values { { key(name), "Crème brûlée" }, { key(amount), 12.5 },
        { key(count), 3 }, { key(day), moment }, { key(at), moment }, { key(time), moment },
        { key(done), true }, { reminder, "Weekly" } };
    Rows* row = saved(values);

    // Stored: pretty-printed JSON keyed by column id, dates as Unix seconds.
    const QByteArray text = row->json().toString().toUtf8();
    EXPECT_TRUE(text.contains("\n    \""));
    const QJsonObject stored = QJsonDocument::fromJson(text).object();
    EXPECT_EQ(stored.size(), values.size());
    EXPECT_EQ(stored.value(key(day)).toDouble(), 1709596800.0);
    EXPECT_EQ(stored.value(key(at)).toDouble(), 1709649015.0);
    EXPECT_EQ(stored.value(key(time)).toDouble(),
        KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyTime(moment)));
    EXPECT_LT(stored.value(key(time)).toDouble(), -6.0e10);
    EXPECT_EQ(stored.value(key(done)), QJsonValue(true));
    EXPECT_EQ(stored.value(reminder).toString(), "Weekly");

    context()->reset();
    Rows* again = Rows::getRows(kRowsTable, columns, {}, {}, std::nullopt).first();
    const QVariantMap read = again->getData(columns, std::nullopt);
    EXPECT_EQ(read.value(key(name)).toString(), "Crème brûlée");
    EXPECT_EQ(read.value(key(amount)).toDouble(), 12.5);
    EXPECT_EQ(read.value(key(count)).toInt(), 3);
    EXPECT_TRUE(read.value(key(done)).toBool());
    EXPECT_EQ(read.value(key(day)).toDateTime(), utc(2024, 3, 5));
    EXPECT_EQ(read.value(key(at)).toDateTime(), moment);
    EXPECT_EQ(read.value(key(time)).toDateTime().toUTC().time(), QTime(14, 30, 15));
    EXPECT_EQ(read.value(reminder).toString(), "Weekly");
    // A key of a column not passed keeps its stored form.
    EXPECT_EQ(again->getData({ name }, std::nullopt).value(key(day)).toDouble(), 1709596800.0);
}

TEST_F(RowsTest, StoredUnixTimesKeepEveryFractionThroughAReadAndAWrite)
{
    // Another peer (or a backup) may have written finer fractions than milliseconds.
    Rows* row = Rows::add(kRowsTable);
    row->setJson(QStringLiteral(R"({"%1": 1709649015.123456, "%2": "x"})").arg(key(at), key(name)));
    const QVariantMap read = row->getData(columns, std::nullopt);
    EXPECT_EQ(read.value(key(at)).value<platform::Date>().unixTime(), 1709649015.123456);
    EXPECT_EQ(read.value(key(at)).toDateTime(), utc(2024, 3, 5, 14, 30, 15).addMSecs(123));

    // Written back unchanged (as a form does when another field was edited), the time is
    // stored as it was.
    row->updateData(read, columns, std::nullopt);
    const QJsonObject stored = QJsonDocument::fromJson(row->json().toString().toUtf8()).object();
    EXPECT_EQ(stored.value(key(at)).toDouble(), 1709649015.123456);

    // A number given for a moment is kept exactly too.
    row->updateData({ { key(at), 0.000001 } }, columns, std::nullopt);
    EXPECT_EQ(
        QJsonDocument::fromJson(row->json().toString().toUtf8()).object().value(key(at)).toDouble(),
        0.000001);
}

TEST_F(RowsTest, AnEmptyDateStaysEmpty)
{
    Rows* row = saved({ { key(name), "no date" }, { key(at), QDateTime() } });
    const QJsonObject stored = QJsonDocument::fromJson(row->json().toString().toUtf8()).object();
    EXPECT_FALSE(stored.contains(key(at)));
    EXPECT_FALSE(stored.contains(key(day)));
    const QVariantMap read = row->getData(columns, std::nullopt);
    EXPECT_FALSE(read.contains(key(day)));
    EXPECT_FALSE(read.contains(key(at)));
    // Written back unchanged, it is still not 1970.
    row->updateData(read, columns, std::nullopt);
    EXPECT_FALSE(row->getData(columns, std::nullopt).contains(key(at)));
    EXPECT_EQ(day->getStringValue(read.value(key(day))), "");
}

TEST_F(RowsTest, StoredDatesOfEveryShapeReadAsDatesOrNothing)
{
    Rows* row = Rows::add(kRowsTable);
    // A name written with an escape and given twice (the last counts), a date inside a
    // nested member (left as it is), dates stored as null and out of range.
    QString escaped = key(time);
    escaped.replace(0, 1, "\\u00" + QString::number(key(time).at(0).unicode(), 16));
    row->setJson(QStringLiteral(R"({"%1": 1709596800, "%2": null, "%3": 1709649015,
        "%3": 1e300, "%4": "text", "%5": 12, "nested": {"%1": 5}})")
                     .arg(key(day), key(at), escaped, key(name), key(count)));
    const auto read = row->decodeData(columns, std::nullopt);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->value(key(day)).toDateTime(), utc(2024, 3, 5));
    EXPECT_FALSE(read->contains(key(at)));
    EXPECT_FALSE(read->contains(key(time)));
    EXPECT_EQ(read->value(key(name)).toString(), "text");
    EXPECT_EQ(read->value(key(count)).toInt(), 12);
    EXPECT_EQ(read->value("nested").toMap().value(key(day)).toInt(), 5);

    // A column listed twice, first under another type, still reads as a date; a member of
    // no listed column keeps its stored form.
    TemplateColumn* alias = TemplateColumn::add(kRowsDefinition);
    alias->setId(key(day));
    alias->setType("Numeric");
    const auto twice = row->decodeData({ alias, day }, std::nullopt);
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(twice->value(key(day)).toDateTime(), utc(2024, 3, 5));
    EXPECT_TRUE(twice->contains(key(at)));
    EXPECT_TRUE(twice->value(key(at)).isNull());
}

TEST_F(RowsTest, ProtectedRowsAreAESWithTheTablePassword)
{
    const QString password = QStringLiteral("s3cret pass");
    Rows* row = saved({ { key(name), "hidden" }, { key(count), 7 } }, password);
    const QString text = row->json().toString();
    EXPECT_FALSE(text.contains("hidden"));
    EXPECT_FALSE(text.contains('\n'));

    // The stored text is AES-256-CBC with a zero IV and the zero-padded password as key.
    const QByteArray keyHex = password.toUtf8().leftJustified(32, '\0').toHex();
    int exitCode = -1;
    const QByteArray plain = testsupport::runTool("openssl",
        { "enc", "-d", "-aes-256-cbc", "-base64", "-A", "-K", QString::fromLatin1(keyHex), "-iv",
            QString(32, '0') },
        text.toUtf8(), &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(plain).object().value(key(name)).toString(), "hidden");

    EXPECT_EQ(row->getData(columns, password).value(key(count)).toInt(), 7);
    // With another password (or none) nothing readable comes back, and nothing changes.
    EXPECT_TRUE(row->getData(columns, QStringLiteral("wrong")).isEmpty());
    EXPECT_FALSE(row->decodeData(columns, QStringLiteral("wrong")).has_value());
    EXPECT_FALSE(row->decodeData(columns, std::nullopt).has_value());
    EXPECT_EQ(row->json().toString(), text);
    EXPECT_FALSE(row->hasChanges());
}

TEST_F(RowsTest, ARowThatCannotBeEncryptedIsRefusedWithoutLosingAnything)
{
    Rows* row = saved({ { key(name), "kept" } }, QStringLiteral("short"));
    const QString before = row->json().toString();
    const int widthBefore = name->currentmaxlength().toInt();
    const QString tooLong(33, QChar('x'));
    try {
        row->updateData({ { key(name), "a much longer replacement text" } }, columns, tooLong);
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), Rows::RowDataException);
        EXPECT_TRUE(exception.reason().contains("32 bytes"));
    }
    EXPECT_EQ(row->json().toString(), before);
    EXPECT_EQ(name->currentmaxlength().toInt(), widthBefore);
    EXPECT_EQ(row->getData(columns, QStringLiteral("short")).value(key(name)).toString(), "kept");

    // A value with no JSON form is refused the same way.
    EXPECT_THROW(
        row->updateData({ { "x", QVariant::fromValue(QSize(1, 1)) } }, columns, std::nullopt),
        platform::Exception);
    EXPECT_EQ(row->json().toString(), before);
}

TEST_F(RowsTest, TheLongestDisplayTextRaisesTheColumnWidthButNeverLowersIt)
{
    saved({ { key(name), "abcdef" }, { key(done), true } });
    EXPECT_EQ(name->currentmaxlength().toInt(), 6);
    EXPECT_EQ(done->currentmaxlength().toInt(), 3); // "Yes"
    saved({ { key(name), "abc" } });
    EXPECT_EQ(name->currentmaxlength().toInt(), 6);
    saved({ { key(name), "abcdefghij" } });
    EXPECT_EQ(name->currentmaxlength().toInt(), 10);
    context()->reset();
    EXPECT_EQ(TemplateColumn::getColumnForId(key(name), TemplateColumn::getColumns(kRowsDefinition))
                  ->currentmaxlength()
                  .toInt(),
        10);
}

// Most values' display texts are not made on adding: what the columns keep must still be
// the longest text of every value given, as showing each one would find it.
TEST_F(RowsTest, TheLongestLengthsAfterRandomRowsEqualARecountOfEveryValue)
{
    QList<TemplateColumn*> all = columns;
    all << column(kRowsDefinition, "Price", "Currency", 0)
        << column(kRowsDefinition, "Ratio", "Numeric", 5)
        << column(kRowsDefinition, "Link", "Link");
    QRandomGenerator random(29);
    const auto number = [&]() -> QVariant {
        switch (random.bounded(6u)) {
        case 0:
            return QVariant();
        case 1:
            return 9.995 * std::pow(10.0, random.bounded(0, 12));
        case 2:
            return -std::pow(10.0, -3.0 + random.bounded(19.0));
        case 3:
            return QStringLiteral("12");
        default:
            return std::pow(10.0, -2.0 + random.bounded(11.0)) * random.bounded(1.0);
        }
    };
    const auto moment = [&]() -> QVariant {
        // From year 1 to beyond 9999, as dates, stored seconds and texts.
        const qint64 seconds = qint64(-62135596800.0 + random.bounded(382135596800.0));
        switch (random.bounded(5u)) {
        case 0:
            return QVariant();
        case 1:
            return double(seconds) + 0.5;
        case 2:
            return QVariant::fromValue(platform::Date::fromUnixTime(double(seconds) + 0.25));
        default:
            return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
        }
    };
    const auto text = [&]() -> QVariant {
        QString made;
        for (quint32 i = random.bounded(40u); i > 0; --i)
            made += random.bounded(4u) ? QChar(u'a' + char16_t(random.bounded(26u))) : QChar(u'é');
        if (random.bounded(3u) == 0)
            made += QString::fromUtf8("\xF0\x9F\x98\x80"); // a surrogate pair
        return random.bounded(8u) ? QVariant(made) : QVariant(qint64(random.bounded(100000u)));
    };
    std::map<TemplateColumn*, qsizetype> longest;
    for (int i = 0; i < 600; ++i) {
        QVariantMap values;
        for (TemplateColumn* c : std::as_const(all)) {
            if (random.bounded(10u) == 0)
                continue; // absent
            const QString type = c->typeName();
            if (type == "Yes/No")
                values.insert(
                    key(c), random.bounded(3u) ? QVariant(random.bounded(2u) == 1) : QVariant());
            else if (type == "Date" || type == "DateTime" || type == "Time")
                values.insert(key(c), moment());
            else if (type == "Currency" || type == "Numeric")
                values.insert(key(c), number());
            else
                values.insert(key(c), text());
        }
        Rows* row = Rows::add(kRowsTable);
        row->updateData(values, all, std::nullopt);
        for (TemplateColumn* c : std::as_const(all))
            longest[c] = std::max(longest[c], c->getStringValue(values.value(key(c))).size());
        if (i % 100 == 99) {
            ASSERT_TRUE(KivoLib::commit());
        }
    }
    QHash<QString, qsizetype> byId;
    for (TemplateColumn* c : std::as_const(all)) {
        EXPECT_EQ(c->currentmaxlength().toLongLong(), longest[c]) << c->typeName().toStdString();
        byId.insert(key(c), longest[c]);
    }
    // What was stored is the same.
    context()->reset();
    const auto stored = TemplateColumn::getColumns(kRowsDefinition);
    ASSERT_EQ(stored.size(), byId.size());
    for (TemplateColumn* c : stored)
        EXPECT_EQ(c->currentmaxlength().toLongLong(), byId.value(key(c), -1));
}

TEST_F(RowsTest, TextFiltersFoldCaseAndAccentsOnlyForContains)
{
    for (const char* text : { "Crème Brûlée", "creme brulee", "Apple", "apple pie", "" })
        saved({ { key(name), QString::fromUtf8(text) } });
    const auto run = [&](const QString& condition, const QString& value) {
        auto f = filter(name, condition);
        f->setTextValue(value);
        return names(Rows::getRows(kRowsTable, columns, { f }, {}, std::nullopt));
    };
    EXPECT_EQ(run(LocalizedStrings::Contains(), "CREME"),
        QStringList({ "Crème Brûlée", "creme brulee" }));
    EXPECT_EQ(
        run(LocalizedStrings::Contains(), "brûl"), QStringList({ "Crème Brûlée", "creme brulee" }));
    EXPECT_EQ(
        run(LocalizedStrings::NotContains(), "CREME"), QStringList({ "Apple", "apple pie", "" }));
    EXPECT_EQ(run(LocalizedStrings::EqualTo(), "Apple"), QStringList({ "Apple" }));
    EXPECT_EQ(run(LocalizedStrings::NotEqualTo(), "Apple"),
        QStringList({ "Crème Brûlée", "creme brulee", "apple pie", "" }));
    // Order is by code unit: upper case before lower case.
    EXPECT_EQ(run(LocalizedStrings::GreaterThan(), "apple"),
        QStringList({ "creme brulee", "apple pie" }));
    EXPECT_EQ(run(LocalizedStrings::GreaterThanOrEqualTo(), "apple pie"),
        QStringList({ "creme brulee", "apple pie" }));
    EXPECT_EQ(run(LocalizedStrings::LessThan(), "B"), QStringList({ "Apple", "" }));
    EXPECT_EQ(run(LocalizedStrings::LessThanOrEqualTo(), "Apple"), QStringList({ "Apple", "" }));
    // A filter without a condition restricts nothing.
    EXPECT_EQ(run(LocalizedStrings::None(), "x").size(), 5);
}

TEST_F(RowsTest, NumberDateAndYesNoFiltersCompareTypedValues)
{
    saved({ { key(name), "r1" }, { key(count), 1 }, { key(amount), 9.99 },
        { key(day), utc(2024, 1, 10, 8) }, { key(at), utc(2024, 1, 10, 8) },
        { key(time), utc(2024, 1, 10, 8) }, { key(done), true } });
    saved({ { key(name), "r2" }, { key(count), 10 }, { key(amount), 10.0 },
        { key(day), utc(2024, 1, 11, 23) }, { key(at), utc(2024, 1, 11, 23) },
        { key(time), utc(2024, 1, 11, 23) }, { key(done), false } });
    saved({ { key(name), "r3" }, { key(count), 2.5 }, { key(amount), 100.0 },
        { key(day), utc(2023, 12, 31) }, { key(at), utc(2023, 12, 31) },
        { key(time), utc(2023, 12, 31) }, { key(done), 0 } });
    saved({ { key(name), "r4" } }); // no values: matches no comparison but "Not Equal To"

    const auto number = [&](TemplateColumn* c, const QString& condition, double value) {
        auto f = filter(c, condition);
        f->setNumericValue(value);
        return names(Rows::getRows(kRowsTable, columns, { f }, {}, std::nullopt));
    };
    EXPECT_EQ(number(count, LocalizedStrings::EqualTo(), 10), QStringList({ "r2" }));
    EXPECT_EQ(number(count, LocalizedStrings::NotEqualTo(), 10), QStringList({ "r1", "r3", "r4" }));
    EXPECT_EQ(number(count, LocalizedStrings::GreaterThan(), 2), QStringList({ "r2", "r3" }));
    EXPECT_EQ(
        number(count, LocalizedStrings::GreaterThanOrEqualTo(), 2.5), QStringList({ "r2", "r3" }));
    EXPECT_EQ(number(count, LocalizedStrings::LessThan(), 2.5), QStringList({ "r1" }));
    EXPECT_EQ(
        number(amount, LocalizedStrings::LessThanOrEqualTo(), 10), QStringList({ "r1", "r2" }));

    const auto date = [&](TemplateColumn* c, const QString& condition, const QDateTime& value) {
        auto f = filter(c, condition);
        f->setDateValue(value);
        return names(Rows::getRows(kRowsTable, columns, { f }, {}, std::nullopt));
    };
    // "Date" compares days: any moment of the day matches.
    EXPECT_EQ(
        date(day, LocalizedStrings::EqualTo(), utc(2024, 1, 10, 17, 45)), QStringList({ "r1" }));
    EXPECT_EQ(date(day, LocalizedStrings::GreaterThan(), utc(2024, 1, 10, 23, 59)),
        QStringList({ "r2" }));
    EXPECT_EQ(date(day, LocalizedStrings::LessThanOrEqualTo(), utc(2024, 1, 10)),
        QStringList({ "r1", "r3" }));
    // "DateTime" compares moments.
    EXPECT_TRUE(date(at, LocalizedStrings::EqualTo(), utc(2024, 1, 10, 17, 45)).isEmpty());
    EXPECT_EQ(date(at, LocalizedStrings::GreaterThanOrEqualTo(), utc(2024, 1, 10, 8)),
        QStringList({ "r1", "r2" }));
    // "Time" compares the time of day whatever the date.
    EXPECT_EQ(date(time, LocalizedStrings::GreaterThan(), utc(1999, 6, 1, 7)),
        QStringList({ "r1", "r2" }));
    EXPECT_EQ(date(time, LocalizedStrings::LessThan(), utc(1999, 6, 1, 7)), QStringList({ "r3" }));
    EXPECT_EQ(date(time, LocalizedStrings::EqualTo(), utc(2030, 1, 1, 23)), QStringList({ "r2" }));

    const auto yesno = [&](const QString& condition, bool value) {
        auto f = filter(done, condition);
        f->setYesnoValue(value);
        return names(Rows::getRows(kRowsTable, columns, { f }, {}, std::nullopt));
    };
    EXPECT_EQ(yesno(LocalizedStrings::EqualTo(), true), QStringList({ "r1" }));
    EXPECT_EQ(yesno(LocalizedStrings::EqualTo(), false), QStringList({ "r2", "r3" }));
    EXPECT_EQ(yesno(LocalizedStrings::NotEqualTo(), false), QStringList({ "r1", "r4" }));
}

TEST_F(RowsTest, FiltersJoinByTheirOwnJoinerWithAndBeforeOr)
{
    saved({ { key(name), "a" }, { key(count), 1 }, { key(done), true } });
    saved({ { key(name), "b" }, { key(count), 2 }, { key(done), false } });
    saved({ { key(name), "c" }, { key(count), 3 }, { key(done), true } });

    auto a = filter(name, LocalizedStrings::EqualTo(), LocalizedStrings::Or()); // joiner unused
    a->setTextValue("a");
    auto b = filter(count, LocalizedStrings::EqualTo(), LocalizedStrings::Or());
    b->setNumericValue(2);
    auto c = filter(done, LocalizedStrings::EqualTo(), LocalizedStrings::And());
    c->setYesnoValue(false);
    const Rows::Filters filters { a, b, c };
    EXPECT_EQ(a->AndOrEnglish(), "OR");
    EXPECT_EQ(c->AndOrEnglish(), "AND");

    const RowPredicate probe(columns, filters);
    EXPECT_EQ(probe.format(), "%K == %@ OR %K == %@ AND %K == %@");
    // a OR (b AND c).
    EXPECT_EQ(names(Rows::applyFilter(Rows::getRows(kRowsTable, columns, {}, {}, std::nullopt),
                  columns, filters, std::nullopt)),
        QStringList({ "a", "b" }));
    c->setYesnoValue(true);
    EXPECT_EQ(
        names(Rows::getRows(kRowsTable, columns, filters, {}, std::nullopt)), QStringList({ "a" }));
    // A filter on a column the table does not have is left out.
    auto stray = filter(name, LocalizedStrings::EqualTo());
    stray->setColumn("gone");
    EXPECT_EQ(names(Rows::getRows(kRowsTable, columns, { stray }, {}, std::nullopt)).size(), 3);
}

TEST_F(RowsTest, SortsUseLaterKeysOnTiesAndPutMissingValuesAtOneEnd)
{
    saved({ { key(name), "x" }, { key(count), 2 }, { key(amount), 5.0 } });
    saved({ { key(name), "y" }, { key(amount), 1.0 } });
    saved({ { key(name), "z" }, { key(count), 1 }, { key(amount), 5.0 } });
    saved({ { key(name), "w" }, { key(count), 2 }, { key(amount), 1.0 } });
    saved({ { key(name), "v" } });

    const auto sorted = [&](const Rows::Sorts& sorts) {
        return names(Rows::getRows(kRowsTable, columns, {}, sorts, std::nullopt));
    };
    EXPECT_EQ(sorted({ sort(count, true) }), QStringList({ "y", "v", "z", "x", "w" }));
    EXPECT_EQ(sorted({ sort(count, false) }), QStringList({ "x", "w", "z", "y", "v" }));
    EXPECT_EQ(sorted({ sort(amount, false), sort(count, true) }),
        QStringList({ "z", "x", "y", "w", "v" }));
    EXPECT_EQ(sorted({ sort(name, true) }), QStringList({ "v", "w", "x", "y", "z" }));

    // A key whose column is gone makes every pair equal: the fetch order stays.
    auto gone = sort(count, true);
    gone->setColumn("gone");
    EXPECT_EQ(sorted({ gone, sort(name, true) }), QStringList({ "x", "y", "z", "w", "v" }));
    EXPECT_EQ(sorted({}), QStringList({ "x", "y", "z", "w", "v" }));

    const auto rows = Rows::getRows(kRowsTable, columns, {}, {}, std::nullopt);
    const Rows::Sorts two { sort(amount, true), sort(name, false) };
    // x and z tie on the amount; the name, descending, decides.
    EXPECT_EQ(Rows::sortFunction(rows[0], rows[2], two, 0, columns, std::nullopt), 1);
    // x against w: the amount decides from position 0, the name alone from position 1.
    EXPECT_EQ(Rows::sortFunction(rows[0], rows[3], two, 0, columns, std::nullopt), 1);
    EXPECT_EQ(Rows::sortFunction(rows[0], rows[3], two, 1, columns, std::nullopt), -1);
    EXPECT_EQ(Rows::sortFunction(rows[1], rows[0], two, 0, columns, std::nullopt), -1);
    EXPECT_EQ(Rows::sortFunction(rows[4], rows[1], two, 0, columns, std::nullopt), -1);
    EXPECT_EQ(Rows::sortFunction(rows[0], rows[0], two, 0, columns, std::nullopt), 0);
}

TEST_F(RowsTest, FilteringAndSortingReadProtectedRowsWithThePassword)
{
    const QString password = QStringLiteral("pw");
    for (const char* text : { "beta", "alpha", "gamma" })
        saved({ { key(name), text } }, password);
    auto f = filter(name, LocalizedStrings::Contains());
    f->setTextValue("a");
    EXPECT_EQ(
        names(Rows::getRows(kRowsTable, columns, { f }, { sort(name, true) }, password), password),
        QStringList({ "alpha", "beta", "gamma" }));
    f->setTextValue("mm");
    EXPECT_EQ(names(Rows::getRows(kRowsTable, columns, { f }, {}, password), password),
        QStringList({ "gamma" }));
}

TEST_F(RowsTest, ProtectingAndUnprotectingRestoresEveryRowOnlyWithTheRightPassword)
{
    UserTemplate* table = UserTemplate::add("db");
    table->setTemplate_id(kRowsDefinition);
    ASSERT_TRUE(table->saveUserTemplate());
    const QString tableId = table->id().toString();
    saved({ { key(name), "one" }, { key(day), utc(2024, 2, 2) } }, std::nullopt, tableId);
    saved({ { key(name), "two" } }, std::nullopt, tableId);
    ASSERT_TRUE(Rows::add(tableId)->saveRows()); // a row never given values stays so

    QString message;
    ASSERT_TRUE(table->changeProtection(std::nullopt, QStringLiteral("pw"), columns, &message));
    EXPECT_TRUE(table->isprotected().toBool());
    EXPECT_TRUE(table->isPasswordValid("pw"));
    EXPECT_FALSE(table->isPasswordValid("PW"));
    EXPECT_EQ(
        names(Rows::getRows(tableId, columns, {}, {}, QStringLiteral("pw")), QStringLiteral("pw")),
        QStringList({ "one", "two", "" }));

    // A wrong password is refused and leaves every stored text as it was.
    QStringList before;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        before << row->json().toString();
    EXPECT_FALSE(table->changeProtection(QStringLiteral("nope"), std::nullopt, columns, &message));
    EXPECT_EQ(message, LocalizedStrings::PasswordInvalid());
    EXPECT_FALSE(
        table->changeProtection(QStringLiteral("pw"), QString(40, 'k'), columns, &message));
    EXPECT_EQ(message, Rows::RowEncryptionFailed);
    context()->reset();
    QStringList after;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        after << row->json().toString();
    EXPECT_EQ(after, before);

    table = UserTemplate::getUserTemplates("db").first();
    ASSERT_TRUE(table->changeProtection(QStringLiteral("pw"), std::nullopt, columns, &message));
    EXPECT_FALSE(table->isprotected().toBool());
    EXPECT_TRUE(table->protectioncheck().isNull());
    const auto rows = Rows::getRows(tableId, columns, {}, {}, std::nullopt);
    EXPECT_EQ(names(rows), QStringList({ "one", "two", "" }));
    EXPECT_EQ(
        rows[0]->getData(columns, std::nullopt).value(key(day)).toDateTime(), utc(2024, 2, 2));
    EXPECT_TRUE(rows[2]->json().isNull());
}

TEST_F(RowsTest, ARowThatReadsAsEmptyNeitherMatchesNorSortsByWhatItsTextHolds)
{
    // A member name with a raw control character makes the text unreadable: the row
    // shows empty, so filters and sorts must not find "apple" in it either.
    Rows* broken = Rows::add(kRowsTable);
    broken->setJson(
        QStringLiteral("{\"\x01x\": 1, \"%1\": \"apple\", \"%2\": 1}").arg(key(name), key(count)));
    ASSERT_TRUE(broken->saveRows());
    Rows* fine = saved({ { key(name), "apple pie" }, { key(count), 5 } });
    EXPECT_FALSE(broken->decodeData(columns, std::nullopt).has_value());
    EXPECT_TRUE(broken->getData(columns, std::nullopt).isEmpty());

    auto contains = std::make_shared<FilterExtended>();
    contains->setColumn(key(name));
    contains->setOperator(LocalizedStrings::Contains());
    contains->setTextValue("apple");
    EXPECT_EQ(Rows::applyFilter({ broken, fine }, columns, { contains }, std::nullopt),
        QList<Rows*> { fine });

    // Sorted as a row without values: before every row that has one, either way round.
    auto byCount = std::make_shared<Sort>();
    byCount->setColumn(key(count));
    byCount->setAscending(true);
    EXPECT_EQ(Rows::applySort({ fine, broken }, columns, { byCount }, std::nullopt),
        (QList<Rows*> { broken, fine }));
    EXPECT_EQ(Rows::sortFunction(fine, broken, { byCount }, 0, columns, std::nullopt), 1);
}

namespace {

// The stored text as a copy of the values with every date column's value replaced by its
// Unix seconds (column by column, a missing or empty date left out) gives it.
QByteArray storedByCopy(const QVariantMap& values, const QList<TemplateColumn*>& columns)
{
    QVariantMap copy = values;
    for (TemplateColumn* c : columns) {
        const QString type = c->typeName();
        if (type != "Date" && type != "DateTime" && type != "Time")
            continue;
        const auto it = copy.find(c->id().toString());
        if (it == copy.end())
            continue;
        platform::Date date = RowValueCompare::momentOf(*it);
        if (date.isValid() && type == "Date")
            date = KivoDateUtils::getOnlyDate(date.toDateTime());
        else if (date.isValid() && type == "Time")
            date = KivoDateUtils::getOnlyTime(date.toDateTime());
        if (date.isValid())
            *it = date.unixTime();
        else
            copy.erase(it);
    }
    return JSONConverter::ToJSON(copy);
}

} // namespace

// Dates are written in place of the given values, and the columns are read once for many
// rows: the text is still the one a reduced copy of the values gives, also for a column
// listed twice, a type or precision changed between rows, columns read back from the store,
// names the writer leaves to the JSON document, and dates around changes of summer time.
TEST_F(RowsTest, StoredTextIsTheValuesWithTheirDatesReducedInACopy)
{
    UErrorCode status = U_ZERO_ERROR;
    ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"Europe/Berlin"), &status);
    ASSERT_TRUE(U_SUCCESS(status));
    QRandomGenerator random(41);
    const auto moment = [&]() -> QVariant {
        // Mostly within days of the 2021 changes of summer time, sometimes anywhere.
        const double seconds = random.bounded(4u) == 0
            ? -62135596800.0 + random.bounded(320000000000.0)
            : (random.bounded(2u) ? 1616893200.0 : 1635642000.0)
                + (random.bounded(8.0) - 4.0) * 86400;
        switch (random.bounded(5u)) {
        case 0:
            return QVariant();
        case 1:
            return std::floor(seconds) + 0.25;
        case 2:
            return QVariant::fromValue(platform::Date::fromUnixTime(seconds));
        default:
            return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000), QTimeZone::utc());
        }
    };
    QStringList ids; // the columns given, one listed twice
    for (TemplateColumn* c : std::as_const(columns))
        ids << key(c);
    ids << key(day);
    QList<TemplateColumn*> listed = columns;
    listed << day;
    const auto column = [&](int at) { return listed[at]; };
    QHash<QString, qsizetype> longest;
    for (int i = 0; i < 400; ++i) {
        if (i == 100)
            column(3)->setType("DateTime");
        if (i == 150)
            column(4)->setType("Time");
        if (i == 200)
            column(1)->setPrecision(4);
        if (i == 250) {
            // Read back from the store: the ids are held in their stored form.
            ASSERT_TRUE(KivoLib::commit());
            context()->reset();
            const auto read = TemplateColumn::getColumns(kRowsDefinition);
            for (qsizetype c = 0; c < ids.size(); ++c)
                listed[c] = TemplateColumn::getColumnForId(ids[c], read);
            ASSERT_FALSE(listed.contains(nullptr));
        }
        if (i == 300)
            column(3)->setType("Date");
        QVariantMap values { { ids[0], QStringLiteral("row %1").arg(i) },
            { ids[1], random.bounded(100000.0) }, { ids[3], moment() }, { ids[4], moment() },
            { ids[5], moment() } };
        if (random.bounded(5u) == 0)
            values.remove(ids[4]);
        if (random.bounded(5u) == 0)
            values.insert(QStringLiteral("Notiz \u00e9"), i); // a name beyond ASCII
        Rows* row = Rows::add(kRowsTable);
        row->updateData(values, listed, std::nullopt);
        ASSERT_EQ(row->json().toString().toUtf8(), storedByCopy(values, listed)) << i;
        const auto encoded = Rows::encodeData(values, listed, std::nullopt);
        ASSERT_TRUE(encoded);
        ASSERT_EQ(encoded->toUtf8(), storedByCopy(values, listed)) << i;
        for (TemplateColumn* c : std::as_const(listed)) {
            longest[key(c)] = std::max(
                longest.value(key(c), 0), c->getStringValue(values.value(key(c))).size());
        }
    }
    // The longest texts followed each column's type and precision of the moment.
    for (TemplateColumn* c : std::as_const(listed))
        EXPECT_EQ(c->currentmaxlength().toLongLong(), longest.value(key(c)))
            << c->typeName().toStdString();
    ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"UTC"), &status);
}
