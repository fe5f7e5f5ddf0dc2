#include "ModelFixture.h"

#include "model/FilterExtended.h"
#include "model/RowDecoder.h"
#include "model/RowPredicate.h"
#include "model/RowText.h"
#include "model/Rows.h"
#include "model/Sort.h"
#include "utilities/crypto/KivoAES256.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/text/LocalizedStrings.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <stdexcept>
#include <thread>

using modeltest::ModelTest;

namespace {

const QString kDefinition = QStringLiteral("5C1E7A93-2B4D-4F60-8E1A-3C5D7E9F1B24");
const QString kTable = QStringLiteral("8A2C4E60-1B3D-4F57-9A6C-0E2F4A6C8E13");
const QString kPassword = QStringLiteral("hot path");

// A table with a column of each kind filters and sorts treat differently, and a
// Protected one.
struct RowsDecodeTest : ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        name = column(kDefinition, "Name", "Text");
        amount = column(kDefinition, "Amount", "Currency", 2);
        count = column(kDefinition, "Count", "Numeric");
        day = column(kDefinition, "Day", "Date");
        at = column(kDefinition, "At", "DateTime");
        done = column(kDefinition, "Done", "Yes/No");
        secret = column(kDefinition, "Secret", "Protected");
        columns = { name, amount, count, day, at, done, secret };
    }

    // Random values with many ties, empty and missing ones.
    QVariantMap randomValues(QRandomGenerator& random) const
    {
        static const QStringList words { "", "amber", "Amber", "ámbar", "ember", "December", "kelp",
            "Zoë", "zoe", "a\"b\\c", "😀 smile" };
        const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
        QVariantMap values;
        if (random.bounded(10u) != 0)
            values.insert(key(name), word() + " " + word());
        if (random.bounded(8u) != 0)
            values.insert(key(amount), double(random.bounded(200u)) / 4 - 10);
        if (random.bounded(6u) != 0)
            values.insert(key(count), int(random.bounded(20u)));
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(
            1600000000 + qint64(random.bounded(4000u)) * 43200, QTimeZone::utc());
        if (random.bounded(5u) != 0)
            values.insert(key(day), moment);
        if (random.bounded(5u) != 0)
            values.insert(key(at), moment.addMSecs(random.bounded(2u) * 500));
        values.insert(key(done), random.bounded(2u) == 1);
        values.insert(key(secret), word());
        return values;
    }

    QList<Rows*> addRandomRows(int count, const Rows::Password& password)
    {
        QRandomGenerator random(29);
        for (int i = 0; i < count; ++i) {
            Rows* row = Rows::add(kTable);
            row->updateData(randomValues(random), columns, password);
            context()->insertObject(row);
        }
        // A row never given values reads as its columns' defaults.
        context()->insertObject(Rows::add(kTable));
        EXPECT_TRUE(context()->save());
        context()->reset();
        return Rows::getRows(kTable, columns, {}, {}, password);
    }

    // The filter and the sort as a row at a time through the whole decode would have them.
    using Decoded = QHash<Rows*, QVariantMap>;
    Decoded decodeAll(const QList<Rows*>& rows, const Rows::Password& password)
    {
        Decoded values;
        for (Rows* row : rows)
            values.insert(row, row->getData(columns, password));
        return values;
    }

    QList<Rows*> referenceFilter(
        const QList<Rows*>& rows, const Rows::Filters& filters, const Decoded& values)
    {
        const RowPredicate predicate(columns, filters);
        QList<Rows*> kept;
        for (Rows* row : rows) {
            if (predicate.evaluate(values[row]))
                kept.append(row);
        }
        return kept;
    }

    // Each row decoded whole once, then ordered as the columns compare their values.
    QList<Rows*> referenceSort(QList<Rows*> rows, const Rows::Sorts& sorts, const Decoded& values)
    {
        std::stable_sort(rows.begin(), rows.end(), [&](Rows* a, Rows* b) {
            for (const auto& s : sorts) {
                const TemplateColumn* c = TemplateColumn::getColumnForId(s->Column(), columns);
                const int order = c->Compare(
                    values[a].value(s->Column()), values[b].value(s->Column()), s->Ascending());
                if (order != 0)
                    return order < 0;
            }
            return false;
        });
        return rows;
    }

    void expectReference(const QList<Rows*>& rows, const Rows::Password& password)
    {
        const Decoded values = decodeAll(rows, password);
        const auto contains = [&](TemplateColumn* c, const QString& text,
                                  const QString& joiner = LocalizedStrings::And()) {
            auto f = filter(c, LocalizedStrings::Contains(), joiner);
            f->setTextValue(text);
            return f;
        };
        auto notContains = filter(name, LocalizedStrings::NotContains());
        notContains->setTextValue("AMB");
        auto more = filter(amount, LocalizedStrings::GreaterThanOrEqualTo());
        more->setNumericValue(12.5);
        auto equalCount = filter(count, LocalizedStrings::EqualTo(), LocalizedStrings::Or());
        equalCount->setNumericValue(3);
        auto before = filter(day, LocalizedStrings::LessThan());
        before->setDateValue(QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc()));
        auto yes = filter(done, LocalizedStrings::EqualTo());
        yes->setYesnoValue(true);
        const QList<Rows::Filters> filterLists { { contains(name, "amb") },
            { contains(name, "ZOE") }, { contains(name, "") }, { contains(secret, "amber") },
            { notContains }, { more, equalCount }, { before, yes, contains(name, "e") },
            { contains(name, "kelp"), equalCount, more,
                contains(secret, "z", LocalizedStrings::Or()) } };
        for (const auto& filters : filterLists) {
            const auto kept = Rows::applyFilter(rows, columns, filters, password);
            EXPECT_EQ(kept, referenceFilter(rows, filters, values));
        }
        const QList<Rows::Sorts> sortLists { { sort(name, true) }, { sort(amount, false) },
            { sort(count, true), sort(day, false) }, { sort(at, true), sort(name, false) },
            { sort(done, false), sort(secret, true), sort(count, true) } };
        for (const auto& sorts : sortLists)
            EXPECT_EQ(Rows::applySort(rows, columns, sorts, password),
                referenceSort(rows, sorts, values));
        // The comparison of two rows agrees with the sort.
        const Rows::Sorts both { sort(count, true), sort(name, false) };
        const auto sorted = Rows::applySort(rows, columns, both, password);
        for (qsizetype i = 1; i < std::min<qsizetype>(sorted.size(), 200); ++i)
            EXPECT_LE(Rows::sortFunction(sorted[i - 1], sorted[i], both, 0, columns, password), 0);
    }

    TemplateColumn *name, *amount, *count, *day, *at, *done, *secret;
    QList<TemplateColumn*> columns;
};

} // namespace

TEST_F(RowsDecodeTest, FiltersAndSortsEqualARowByRowReference)
{
    const auto rows = addRandomRows(10000, std::nullopt);
    ASSERT_EQ(rows.size(), 10001);
    expectReference(rows, std::nullopt);
}

TEST_F(RowsDecodeTest, ProtectedRowsFilterAndSortAsTheReferenceOnlyWithThePassword)
{
    const auto rows = addRandomRows(1500, kPassword);
    expectReference(rows, kPassword);
    // Without the password (or with another) no row's values are read.
    auto f = filter(name, LocalizedStrings::Contains());
    f->setTextValue("e");
    for (const Rows::Password& wrong : { Rows::Password(), Rows::Password("nope") }) {
        const Decoded values = decodeAll(rows, wrong);
        EXPECT_EQ(
            Rows::applyFilter(rows, columns, { f }, wrong), referenceFilter(rows, { f }, values));
        EXPECT_EQ(Rows::applySort(rows, columns, { sort(name, true) }, wrong),
            referenceSort(rows, { sort(name, true) }, values));
    }
}

TEST_F(RowsDecodeTest, OneColumnDecodesAsThatColumnOfAWholeDecode)
{
    for (const Rows::Password& password : { Rows::Password(), Rows::Password(kPassword) }) {
        QRandomGenerator random(7);
        for (int i = 0; i < 300; ++i) {
            const auto text = Rows::encodeData(randomValues(random), columns, password);
            ASSERT_TRUE(text.has_value());
            const auto whole = Rows::decodeStoredData(*text, columns, password);
            ASSERT_TRUE(whole.has_value());
            const auto layout = Rows::storedLayout(columns);
            for (TemplateColumn* c : std::as_const(columns)) {
                const auto one = Rows::decodeStoredData(*text, { c }, password, true);
                ASSERT_TRUE(one.has_value());
                EXPECT_EQ(one->value(key(c)), whole->value(key(c)));
                EXPECT_LE(one->size(), 1);
                // The same from the stored bytes, as the store holds them.
                if (!password) {
                    const auto bytes
                        = Rows::decodeStoredData(QVariant(text->toUtf8()), { c }, password, true);
                    ASSERT_TRUE(bytes.has_value());
                    EXPECT_EQ(*bytes, *one);
                }
            }
            EXPECT_EQ(Rows::decodeStoredData(*text, layout, password), whole);
        }
    }
}

TEST_F(RowsDecodeTest, ADecoderOfEveryColumnReadsEachRowAsTheWholeDecode)
{
    for (const Rows::Password& password : { Rows::Password(), Rows::Password(kPassword) }) {
        const auto rows = addRandomRows(400, password);
        ASSERT_EQ(rows.size(), 401);
        // One decoder, its slots reused row after row: a member one row lacks is not the
        // previous row's.
        RowDecoder decoder(columns, password);
        ASSERT_EQ(decoder.size(), columns.size());
        for (Rows* row : rows) {
            const auto whole = row->decodeData(columns, password);
            ASSERT_TRUE(whole.has_value());
            ASSERT_TRUE(decoder.decode(row->storedJson()));
            // A row never given values reads as the defaults, dates as the time of reading.
            if (row->storedJson().isNull())
                continue;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                EXPECT_EQ(decoder.keys()[i], key(columns[i]));
                EXPECT_EQ(decoder.value(i), whole->value(key(columns[i])));
            }
        }
        // Text that does not decrypt or parse leaves every slot empty.
        RowDecoder wrong(columns, password ? Rows::Password("other") : Rows::Password());
        ASSERT_TRUE(wrong.decode(rows.first()->storedJson()) == !password);
        EXPECT_FALSE(decoder.decode(QVariant(QByteArray(300, '{'))));
        for (qsizetype i = 0; i < decoder.size(); ++i)
            EXPECT_FALSE(decoder.value(i).isValid());
        // Only the asked columns, in the asked order.
        RowDecoder two(columns, { key(done), key(name) }, password);
        RowDecoder all(columns, password);
        for (Rows* row : rows.mid(0, 50)) {
            ASSERT_TRUE(two.decode(row->storedJson()) && all.decode(row->storedJson()));
            EXPECT_EQ(two.value(0), all.value(columns.indexOf(done)));
            EXPECT_EQ(two.value(1), all.value(columns.indexOf(name)));
        }
        context()->reset();
        for (Rows* row : Rows::getRows(kTable, columns, {}, {}, password))
            ASSERT_TRUE(Rows::deleteRows(row));
        ASSERT_TRUE(context()->save());
    }
}

TEST_F(RowsDecodeTest, RowsNotYetReadAreReadOnThePoolAsTouchingThemReadsThem)
{
    const auto rows = addRandomRows(3000, std::nullopt);
    ASSERT_EQ(rows.size(), 3001);
    ASSERT_TRUE(std::all_of(rows.cbegin(), rows.cend(), [](Rows* r) { return r->isFault(); }));
    // An unsaved change is read from memory; a row deleted behind the context's back reads
    // as a row gone, as when it is touched.
    rows[100]->updateData({ { key(name), "kelp unsaved" } }, columns, std::nullopt);
    const qint64 gone = rows[2000]->objectID().key;
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(
            sqlite3_open((testsupport::homePath() + "/Kivotab.sqlite").toUtf8(), &db), SQLITE_OK);
        const QByteArray sql = "DELETE FROM \"Rows\" WHERE \"_pk\" = " + QByteArray::number(gone);
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    auto kelp = filter(name, LocalizedStrings::Contains());
    kelp->setTextValue("KELP");
    const Rows::Sorts sorts { sort(name, true), sort(count, false) };
    const auto kept = Rows::applyFilter(rows, columns, { kelp }, std::nullopt);
    const auto sorted = Rows::applySort(rows, columns, sorts, std::nullopt);
    const RowDecoder decoder(columns, std::nullopt);
    std::vector<QVariantList> decoded(size_t(rows.size()));
    std::vector<char> read(size_t(rows.size()), 0);
    Rows::decodeEach(rows, decoder, [&](qsizetype i, const QVariant* values, bool ok) {
        decoded[size_t(i)] = QVariantList(values, values + decoder.size());
        read[size_t(i)] = ok;
    });
    // Every row is in memory after, as touching it would have left it, but the one gone.
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]->isFault(), i == 2000) << i;
    EXPECT_EQ(rows[2000]->managedObjectContext(), nullptr);

    const Decoded values = decodeAll(rows, std::nullopt);
    EXPECT_EQ(kept, referenceFilter(rows, { kelp }, values));
    EXPECT_TRUE(kept.contains(rows[100]));
    EXPECT_EQ(sorted, referenceSort(rows, sorts, values));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(read[size_t(i)]) << i;
        // Rows without a text read as the defaults, dates as the time of reading.
        if (rows[i]->storedJson().isNull())
            continue;
        for (qsizetype c = 0; c < columns.size(); ++c)
            EXPECT_EQ(decoded[size_t(i)][c], values[rows[i]].value(key(columns[c]))) << i;
    }
}

TEST_F(RowsDecodeTest, AJobThatThrowsEndsWithItsExceptionHereOnceEveryRangeIsDone)
{
    const auto rows = addRandomRows(3000, std::nullopt);
    const RowDecoder decoder(columns, std::nullopt);
    // From a range a pool thread likely does, then from every range, this thread's too.
    for (const qsizetype failing : { qsizetype(1000), qsizetype(-1) }) {
        std::atomic<int> calls = 0;
        EXPECT_THROW(Rows::decodeEach(rows, decoder,
                         [&](qsizetype i, const QVariant*, bool) {
                             ++calls;
                             if (failing < 0 || i == failing)
                                 throw std::runtime_error("job failed");
                         }),
            std::runtime_error);
        // Nothing of the job runs on after it has thrown.
        const int seen = calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(calls, seen);
    }
    // The next job finds every row as before.
    std::vector<char> read(size_t(rows.size()), 0);
    Rows::decodeEach(
        rows, decoder, [&](qsizetype i, const QVariant*, bool ok) { read[size_t(i)] = ok; });
    EXPECT_TRUE(std::all_of(read.cbegin(), read.cend(), [](char ok) { return ok; }));
}

namespace {

// Rows as the earlier build stored them (its encoder wrote these texts for the values
// below; the protected one with kPassword), and the SHA-256 of its text of a 1 MB row.
const char kStoredPlain[] = R"({
    "10000000-0000-4000-8000-000000000001": "nul \u0000 pair 😀 𝄞 accents éñ quote \" backslash \\ control \u0001 tab \t line\nend",
    "20000000-0000-4000-8000-000000000002": 1.7976931348623157e+308,
    "30000000-0000-4000-8000-000000000003": 5e-324,
    "40000000-0000-4000-8000-000000000004": 1709596800,
    "50000000-0000-4000-8000-000000000005": 1709649015.25,
    "50000000-0000-4000-8000-000000000005_Reminder": "Weekly",
    "60000000-0000-4000-8000-000000000006": true,
    "70000000-0000-4000-8000-000000000007": "s3cret",
    "beyond53": 9007199254740993,
    "fraction": 0.1,
    "lowest": -1.7976931348623157e+308,
    "narrowest": -9223372036854775808,
    "smallest": 2.2250738585072014e-308,
    "widest": 9223372036854775807
}
)";
const char kStoredProtected[]
    = "zdFpNL5LjDCInuLU89IGeEn+7KWNyrspeTBJbg9/n7bTTJxS2GwxliIOZJ/IaApE+GWnn2T1gkLQ+kDH"
      "jkVQPQs2HCvhmZhfybjZFMb7ellKogDl4T2FtAGWGNpKFklcVS07RgTSqDOaJGph6lYHufSEqByM6bPL"
      "W7DxFt/4dOK7eYikpar5wr8fhyapU5YOUK8YM7dzV7AzZxJpLB5h/V5rwSU8Q6fBEOPXUcL70u2v0h9t"
      "zZ1FS9R+VYeLBdCmRKIviPVYojsqdN7cn2lS/IacgZYp0UD0E113cb1DORlIMDJwj4y7aa89BjN9+Wa8"
      "i4S4sFgC5tQkThSjnBshS/hnuljTXMkhq5LbtwB4XX+BaRFR5kbETjsTpdosEfpQ3eSkRCR9pNBl3ZeX"
      "gcHn0AbiGIFzgFl7xjCB1p1ezhgom/ZbCc93WrMLYA2bAXVdDUjmkh9nKQLi2nuAiIgzftFVl33PGI+X"
      "yQuXMBfJkBvdyETnE/WLvgteM1/xqMPmAP46KcTgnHth7ZOziVbhSeAGoZUIQtE9WtAQedZumtq6xLqf"
      "LpBNjrrelU88XosDmt5RsViV5UptBuejAi7qDK7dpRjCVO7Qp2MDsfP8yD8gRvOaGzw5xhrfWIuS7MoT"
      "8vZkYYMdDnHwdje/0rS3gffcbN8g4vtYhzvUE2DJOADI1LSI4LiCD5XNfs2p8kRJj7lQfasZc0hWS8kZ"
      "45Pfei3Lc1Enp5KUCxJmdZQcPdqO6L03qncGZzVht/7EXscIygLTaaIQFHzQCFjEUfa5XW7oSccBMR7n"
      "hQJc0yp2uejEnZ2lGXrldPpR8w3QJtD7TZBlDC86b3hpT/viJX7LCdSckmVF4w+1YD6zmjOmIUHF9QN2"
      "UURuGQc3lIOV/gdIMzBxs3efll3K6qeJWlCApgTiEL7meXzOixCyKEL46jfaGIlL2rLEga6yucEHAVzQ"
      "tS/rxQsMU9tLm/CRAw0pMcQKZHuJXcJNhymtePCjUbl0LE3+JojDPi9vzGAZJPd1";
const char kStoredLargeHash[] = "b78a96d2a0e3b9a9768ab7faef535dea859928a547bd13afb91c7f127248c041";

} // namespace

TEST_F(RowsDecodeTest, RowsStoredByTheEarlierBuildReadTheSameAndAreStoredTheSame)
{
    // Fixed ids: the stored texts name them.
    const QStringList ids { "10000000-0000-4000-8000-000000000001",
        "20000000-0000-4000-8000-000000000002", "30000000-0000-4000-8000-000000000003",
        "40000000-0000-4000-8000-000000000004", "50000000-0000-4000-8000-000000000005",
        "60000000-0000-4000-8000-000000000006", "70000000-0000-4000-8000-000000000007" };
    for (qsizetype i = 0; i < columns.size(); ++i)
        columns[i]->setId(ids[i]);
    const QString text = QStringLiteral("nul ") + QChar(0)
        + QString::fromUtf8(
            " pair 😀 𝄞 accents éñ quote \" backslash \\ control \x01 tab \t line\nend");
    const QDateTime moment = utc(2024, 3, 5, 14, 30, 15).addMSecs(250);
    const QVariantMap values { { key(name), text },
        { key(amount), std::numeric_limits<double>::max() },
        { key(count), std::numeric_limits<double>::denorm_min() }, { key(day), moment },
        { key(at), moment }, { key(done), true }, { key(secret), QStringLiteral("s3cret") },
        { "lowest", std::numeric_limits<double>::lowest() },
        { "smallest", std::numeric_limits<double>::min() },
        { "widest", std::numeric_limits<qlonglong>::max() },
        { "narrowest", std::numeric_limits<qlonglong>::min() },
        { "beyond53", qlonglong(9007199254740993) }, { "fraction", 0.1 },
        { Rows::reminderKey(key(at)), QStringLiteral("Weekly") } };
    // Rows written now read the same in the earlier build: they are the same texts.
    const auto plain = Rows::encodeData(values, columns, std::nullopt);
    const auto secured = Rows::encodeData(values, columns, kPassword);
    ASSERT_TRUE(plain && secured);
    EXPECT_EQ(*plain, QString::fromUtf8(kStoredPlain)) << plain->toStdString();
    EXPECT_EQ(*secured, QString::fromUtf8(kStoredProtected)) << secured->toStdString();
    const QString large = QString(1024 * 1024, QChar(u'é')) + QChar(0xd83d) + QChar(0xde00);
    const auto largeText = Rows::encodeData({ { key(name), large } }, columns, std::nullopt);
    ASSERT_TRUE(largeText.has_value());
    const QByteArray largeHash
        = QCryptographicHash::hash(largeText->toUtf8(), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(largeHash, QByteArray(kStoredLargeHash)) << largeHash.toStdString();

    // Rows given these values now are stored as those texts, whichever way they are made.
    for (const auto& [password, expected] :
        { std::pair(Rows::Password(), *plain), std::pair(Rows::Password(kPassword), *secured) }) {
        Rows* row = Rows::add(kTable);
        row->updateData(values, columns, password);
        EXPECT_EQ(row->json().toString(), expected);
        ASSERT_TRUE(row->saveRows());
        const QString id = row->id().toString();
        context()->reset();
        const auto stored = Rows::getRows(kTable, columns, {}, {}, std::nullopt);
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(stored[0]->id().toString(), id);
        EXPECT_EQ(stored[0]->json().toString(), expected);
        EXPECT_EQ(stored[0]->storedJson().toByteArray(), expected.toUtf8());
        ASSERT_TRUE(Rows::deleteRows(stored[0]));
        ASSERT_TRUE(context()->save());
    }

    // What the earlier build stored reads back as the values, through the store.
    for (const QString& stored :
        { QString::fromUtf8(kStoredPlain), QString::fromUtf8(kStoredProtected), *largeText }) {
        Rows* row = Rows::add(kTable);
        row->setJson(stored);
        ASSERT_TRUE(row->saveRows());
    }
    context()->reset();
    const auto rows = Rows::getRows(kTable, columns, {}, {}, std::nullopt);
    ASSERT_EQ(rows.size(), 3);
    for (const auto& [row, password] :
        { std::pair(rows[0], Rows::Password()), std::pair(rows[1], Rows::Password(kPassword)) }) {
        const QVariantMap read = row->getData(columns, password);
        EXPECT_EQ(read.value(key(name)).toString(), text);
        EXPECT_EQ(read.value(key(amount)).toDouble(), std::numeric_limits<double>::max());
        EXPECT_EQ(read.value(key(count)).toDouble(), std::numeric_limits<double>::denorm_min());
        EXPECT_EQ(read.value(key(day)).toDateTime(), utc(2024, 3, 5));
        EXPECT_EQ(read.value(key(at)).toDateTime(), moment);
        EXPECT_EQ(read.value(key(done)), QVariant(true));
        EXPECT_EQ(read.value("lowest").toDouble(), std::numeric_limits<double>::lowest());
        EXPECT_EQ(read.value("smallest").toDouble(), std::numeric_limits<double>::min());
        EXPECT_EQ(read.value("widest"), QVariant(std::numeric_limits<qlonglong>::max()));
        EXPECT_EQ(read.value("narrowest"), QVariant(std::numeric_limits<qlonglong>::min()));
        EXPECT_EQ(read.value("beyond53"), QVariant(qlonglong(9007199254740993)));
        EXPECT_EQ(read.value("fraction"), QVariant(0.1));
        EXPECT_EQ(read.value(Rows::reminderKey(key(at))), QVariant("Weekly"));
        EXPECT_EQ(read.size(), values.size());
        // A filter and a sort read it as the whole decode does.
        auto f = filter(name, LocalizedStrings::Contains());
        f->setTextValue(QString::fromUtf8("😀 𝄞 ACCENTS ÉÑ"));
        EXPECT_EQ(Rows::applyFilter({ row }, columns, { f }, password).size(), 1);
    }
    EXPECT_EQ(rows[2]->getData(columns, std::nullopt).value(key(name)).toString(), large);
    // The protected row is not read without its password.
    EXPECT_TRUE(rows[1]->getData(columns, std::nullopt).isEmpty());
    EXPECT_TRUE(rows[1]->getData(columns, QStringLiteral("other")).isEmpty());
}

TEST_F(RowsDecodeTest, ProtectedBytesReadAsTheirDecryptedTextReadsOrAreRefusedAlike)
{
    const QString id = key(name);
    const QByteArray row = "{\"" + id.toUtf8() + "\": \"caf\xc3\xa9\", \"n\": 1}";
    QList<QByteArray> payloads { row, "\xef\xbb\xbf" + row, "\xef\xbb\xbf", "",
        "\xef\xbb\xbf\xef\xbb\xbf" + row, QByteArray(row).replace("caf", "\xc0\xaf"),
        QByteArray(row).replace("caf", "\xed\xa0\x80"),
        QByteArray(row).replace("caf", "\xf4\x90\x80\x80"),
        QByteArray(row).replace("caf", "\xe2\x82"),
        QByteArray(row).replace("caf", QByteArray(1, '\0')), row.left(row.size() - 1) };
    for (const QByteArray& plain : payloads) {
        const auto encrypted = KivoAES256::AES256EncryptWithKey(plain, kPassword);
        ASSERT_TRUE(encrypted.has_value());
        const QString stored = *KivoBase64::base64EncodedStringWithWrapWidth(*encrypted, 0);
        // What the text of the decrypted bytes read as before.
        const auto text = KivoAES256::AES256DecryptWithKey(stored, kPassword);
        const auto reference = text && !text->isEmpty()
            ? RowText::parseObject(*text, { id }, {}, false)
            : std::nullopt;
        const auto read = Rows::decodeStoredData(stored, { name }, kPassword);
        ASSERT_EQ(read.has_value(), reference.has_value()) << plain.toHex().toStdString();
        if (read) {
            EXPECT_EQ(*read, *reference) << plain.toHex().toStdString();
        }
    }
}
