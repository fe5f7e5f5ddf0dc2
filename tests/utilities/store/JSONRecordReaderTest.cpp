#include "utilities/store/JSONRecordReader.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/StoredText.h"
#include "utilities/store/JSONRecordWriter.h"

#include <QJsonDocument>
#include <QMap>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace cd = platform::coredata;

namespace {

const cd::EntityDescription kEntity(QStringLiteral("Sample"),
    { { "text", cd::AttributeType::String }, { "count", cd::AttributeType::Integer },
        { "stamp", cd::AttributeType::Double }, { "flag", cd::AttributeType::Boolean } },
    {}, 0);

using Failure = JSONRecordReader::Failure;

std::optional<std::vector<QList<QVariant>>> read(const QByteArray& json, Failure* failure = nullptr)
{
    return JSONRecordReader::read(json, kEntity, failure);
}

TEST(JSONRecordReader, ReadsBackWhatTheWriterWrote)
{
    std::vector<std::unique_ptr<cd::ManagedObject>> owned;
    QList<cd::ManagedObject*> objects;
    const QList<QList<QVariant>> values {
        { QStringLiteral("plain"), 7LL, 1700000000.25, true },
        { QStringLiteral("quote \" backslash \\ / tab\t lf\n bell\x07"), -3LL, 0.1, false },
        { QStringLiteral("é ü € 中文 😀"), qlonglong(1) << 60, 1e21, QVariant() },
        { QString(QChar(0xd800)) + "lone" + QChar(0xdc00), 0LL, -2.5e-300, true },
        { QVariant(), std::numeric_limits<qlonglong>::min(), 1700000000.0, QVariant() },
        { QStringLiteral("{\"inner\": \"json \\\"text\\\"\", \"n\": [1, 2]}"), 1LL, QVariant(),
            false },
    };
    for (const auto& record : values) {
        owned.push_back(std::make_unique<cd::ManagedObject>(&kEntity));
        for (int i = 0; i < record.size(); ++i)
            owned.back()->setValue(i, record[i]);
        objects << owned.back().get();
    }
    Failure failure;
    const auto records = read(JSONRecordWriter::write(objects), &failure);
    ASSERT_TRUE(records) << failure.detail.toStdString();
    ASSERT_EQ(records->size(), size_t(values.size()));
    for (qsizetype n = 0; n < values.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ((*records)[size_t(n)], objects[n]->values());
    }
    EXPECT_EQ(read("[]")->size(), 0u);
}

TEST(JSONRecordReader, TakesAnyLayoutAndIgnoresOtherMembers)
{
    const auto records = read(" \r\n[{\"count\":2.0,\"flag\" : 1, \"extra\": {\"a\": [1, {\"b\": "
                              "null}], \"c\": \"\\u00e9\"}, \"ManageObjectName\":\"Sample\","
                              "\"t\\u0065xt\": \"x\\/y\\u00e9\\ud83d\\ude00\", \"stamp\": null},\n"
                              "\t{\"ManageObjectName\": \"Sample\", \"flag\": false, \"other\": "
                              "[]}]\n");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    const QList<QVariant>& first = (*records)[0];
    EXPECT_EQ(first[0], QVariant(QStringLiteral("x/yé😀")));
    EXPECT_EQ(first[1], QVariant(2LL));
    EXPECT_TRUE(first[2].isNull());
    EXPECT_EQ(first[3], QVariant(true));
    const QList<QVariant>& second = (*records)[1];
    EXPECT_TRUE(second[0].isNull());
    EXPECT_TRUE(second[1].isNull());
    EXPECT_EQ(second[3], QVariant(false));
}

TEST(JSONRecordReader, TextThatIsNotJSONIsRefusedAsSuch)
{
    const QByteArray good = "[{\"ManageObjectName\": \"Sample\", \"text\": \"a\", \"count\": 1}]";
    const QList<QByteArray> bad { "", "   ", good.left(good.size() - 1), good.left(30), good + "x",
        good + ",", "[{\"ManageObjectName\": \"Sample\",}]",
        "[{\"ManageObjectName\": \"Sample\"},]", "[{\"ManageObjectName\" \"Sample\"}]",
        "[{\"ManageObjectName\": \"Sample\", \"count\": 01}]",
        "[{\"ManageObjectName\": \"Sample\", \"count\": -}]",
        "[{\"ManageObjectName\": \"Sample\", \"count\": +1}]",
        "[{\"ManageObjectName\": \"Sample\", \"count\": tru}]",
        "[{\"ManageObjectName\": \"Sample\", \"text\": \"a\\u12\"}]",
        "[{\"ManageObjectName\": \"Sample\", \"text\": \"\xc3\x28\"}]",
        "[{\"ManageObjectName\": \"Sample\", \"text\": \"open}]",
        "[{\"ManageObjectName\": \"Sample\", \"x\": [1, 2}]", "[1 2]", "{\"a\": 1", "nul" };
    for (const QByteArray& json : bad) {
        SCOPED_TRACE(json.toStdString());
        QJsonParseError error;
        QJsonDocument::fromJson(json, &error);
        EXPECT_NE(error.error, QJsonParseError::NoError) << "QJsonDocument takes it";
        Failure failure;
        EXPECT_FALSE(read(json, &failure));
        EXPECT_EQ(failure.kind, Failure::Kind::Syntax) << failure.detail.toStdString();
        EXPECT_TRUE(failure.detail.contains(" at byte ")) << failure.detail.toStdString();
    }
    // What the JSON grammar forbids though QJsonDocument lets it pass.
    for (const QByteArray& json :
        { QByteArray("[{\"ManageObjectName\": \"Sample\", \"count\": 1.}]"),
            QByteArray("[{\"ManageObjectName\": \"Sample\", \"text\": \"a\\x\"}]"),
            QByteArray("[{\"ManageObjectName\": \"Sample\", \"text\": \"tab\there\"}]") }) {
        SCOPED_TRACE(json.toStdString());
        Failure failure;
        EXPECT_FALSE(read(json, &failure));
        EXPECT_EQ(failure.kind, Failure::Kind::Syntax);
    }
    // Nesting in ignored members is bounded, not followed to the end of the stack.
    Failure failure;
    EXPECT_FALSE(read("[{\"x\": " + QByteArray(100000, '[') + "}]", &failure));
    EXPECT_EQ(failure.kind, Failure::Kind::Syntax);
}

TEST(JSONRecordReader, JSONThatHoldsNoRecordsOfTheEntityIsRefused)
{
    const QList<std::pair<QByteArray, QString>> cases {
        { "{\"ManageObjectName\": \"Sample\"}", "the file holds no list" },
        { "\"text\"", "the file holds no list" },
        { "[{\"ManageObjectName\": \"Sample\"}, 3]", "record 2 is no object" },
        { "[{\"ManageObjectName\": \"Sample\"}, {\"text\": \"a\"}]", "record 2 is no Sample" },
        { "[{\"ManageObjectName\": \"Rows\", \"count\": \"x\"}]", "record 1 is no Sample" },
        { "[{\"ManageObjectName\": [\"Sample\"]}]", "record 1 is no Sample" },
        { "[{\"ManageObjectName\": \"Sample\", \"count\": \"seven\"}]",
            "record 1 has a value of the wrong kind for \"count\"" },
        { "[{\"ManageObjectName\": \"Sample\", \"text\": 5}]",
            "record 1 has a value of the wrong kind for \"text\"" },
        { "[{\"ManageObjectName\": \"Sample\", \"flag\": \"yes\"}]",
            "record 1 has a value of the wrong kind for \"flag\"" },
        { "[{\"ManageObjectName\": \"Sample\", \"stamp\": {\"a\": 1}}]",
            "record 1 has a value of the wrong kind for \"stamp\"" },
        { "[{\"ManageObjectName\": \"Sample\", \"count\": 1e300}]",
            "record 1 has a value of the wrong kind for \"count\"" },
    };
    for (const auto& [json, detail] : cases) {
        SCOPED_TRACE(json.toStdString());
        Failure failure;
        EXPECT_FALSE(read(json, &failure));
        EXPECT_EQ(failure.kind, Failure::Kind::Records);
        EXPECT_EQ(failure.detail, detail);
    }
}

TEST(JSONRecordReader, FindsWhatEndsOrEscapesAStringWhereverItFalls)
{
    // Strings are passed many bytes at a time: each kind of special byte at every place of
    // strings of many lengths, read as QJsonDocument reads them.
    const QList<QByteArray> specials { "\\\"", "\\\\", "\\n", "\\/", "\\u00e9", "\\ud83d\\ude00",
        "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "" };
    for (const QByteArray& special : specials) {
        for (int at = 0; at < 40; ++at) {
            const QByteArray body = QByteArray(at, 'a') + special + QByteArray(at % 19, 'b');
            const QByteArray json = "[{\"ManageObjectName\": \"Sample\", \"text\": \"" + body
                + "\", \"count\": " + QByteArray::number(at) + "}]";
            SCOPED_TRACE(json.toStdString());
            const auto records = read(json);
            ASSERT_TRUE(records);
            const QJsonDocument expected = QJsonDocument::fromJson(json);
            EXPECT_EQ((*records)[0][0].toString(), expected[0]["text"].toString());
            EXPECT_EQ((*records)[0][1], QVariant(qlonglong(at)));
        }
    }
    for (int at = 0; at < 40; ++at) {
        const QByteArray json
            = "[{\"ManageObjectName\": \"Sample\", \"text\": \"" + QByteArray(at, 'a') + "\tb\"}]";
        Failure failure;
        EXPECT_FALSE(read(json, &failure));
        EXPECT_EQ(failure.detail,
            QStringLiteral("control character in string at byte %1").arg(json.indexOf('\t')));
    }
}

} // namespace

namespace {

// A file big enough to be read in parts: `count` pretty-printed records, those at the
// positions given replaced by the texts given.
QByteArray bigFile(int count, const QMap<int, QByteArray>& replaced = {})
{
    QByteArray json = "[\n";
    const QByteArray filler(200, 'f');
    for (int i = 0; i < count; ++i) {
        json += i ? ",\n" : "";
        if (replaced.contains(i)) {
            json += replaced.value(i);
            continue;
        }
        json += "    {\n        \"ManageObjectName\": \"Sample\",\n        \"text\": \"" + filler
            + QByteArray::number(i) + "\",\n        \"count\": " + QByteArray::number(i)
            + ",\n        \"stamp\": null\n    }";
    }
    return json + "\n]\n";
}

TEST(JSONRecordReader, ABigFileReadInPartsGivesEveryRecordInOrder)
{
    const int count = 30000;
    // Records with text and nested members that look like the start of a record, where a
    // part may be guessed to begin.
    const QByteArray decoy = "    {\n        \"ManageObjectName\": \"Sample\",\n        "
                             "\"other\": [\n            1,\n            {\"a\": 1},\n       "
                             "     {\"b\": [{}, {}]}\n        ],\n        \"text\": \"a, {b} "
                             ",{ c\",\n        \"count\": -1\n    }";
    QMap<int, QByteArray> decoys;
    for (int i = 0; i < count; i += 3)
        decoys.insert(i, decoy);
    for (const QByteArray& json : { bigFile(count), bigFile(count, decoys) }) {
        ASSERT_GT(json.size(), 6 * 1024 * 1024);
        Failure failure;
        const auto records = read(json, &failure);
        ASSERT_TRUE(records) << failure.detail.toStdString();
        ASSERT_EQ(records->size(), size_t(count));
        for (int i = 0; i < count; ++i) {
            const auto& record = (*records)[size_t(i)];
            const bool decoyed = decoys.contains(i) && record[0].toString().startsWith("a,");
            ASSERT_EQ(record[1].toLongLong(), decoyed ? -1 : i) << i;
        }
    }
}

// Reads the file as it would be read while unpacked: in pieces of 256 KiB put in place one
// after another.
std::optional<std::vector<QList<QVariant>>> readWhileFilled(const QByteArray& json)
{
    JSONRecordReader::InParts reader(json.constData(), json.size(), kEntity, 8);
    for (qsizetype filled = 0; filled < json.size();) {
        filled = std::min(json.size(), filled + 256 * 1024);
        reader.written(filled);
    }
    return reader.finish();
}

TEST(JSONRecordReader, AFileReadWhileItFillsIsReadInOrderToItsEnd)
{
    const int count = 30000;
    const QByteArray decoy = "    {\"ManageObjectName\": \"Sample\", \"other\": [{\"a\": 1}, "
                             "{}], \"text\": \"a, {b} ,{ c\", \"count\": -1}";
    // Decoys among the last records, which are shared out only once all bytes are in.
    QMap<int, QByteArray> decoys;
    for (int i = count - 4000; i < count; i += 2)
        decoys.insert(i, decoy);
    const QByteArray json = bigFile(count, decoys);
    const auto records = readWhileFilled(json);
    ASSERT_TRUE(records);
    EXPECT_TRUE(*records == *read(json));
    ASSERT_EQ(records->size(), size_t(count));
    EXPECT_EQ(records->back()[1].toLongLong(), count - 1);

    // A fault in the last records refuses the whole file, as does a file cut short.
    for (const int at : { count - 1, count - 900, count - 2500 }) {
        SCOPED_TRACE(at);
        EXPECT_FALSE(readWhileFilled(
            bigFile(count, { { at, "{\"ManageObjectName\": \"Sample\", \"count\": \"many\"}" } })));
    }
    EXPECT_FALSE(readWhileFilled(json.left(json.size() - 3)));
}

// Fills the buffer on a thread of its own, in pieces of 256 KiB, up to `until` bytes, then
// ends it (complete when it got to the end), while this thread takes the records part by
// part: the records given before the reader stopped, and how it stopped.
struct Taken {
    std::vector<QList<QVariant>> records;
    int parts = 0;
    JSONRecordReader::InParts::Next last = JSONRecordReader::InParts::Next::Records;
    std::optional<std::vector<QList<QVariant>>> rest;
    Failure failure { Failure::Kind::Syntax, {} };
};
Taken takeWhileFilled(const QByteArray& json, qsizetype until)
{
    using Next = JSONRecordReader::InParts::Next;
    JSONRecordReader::InParts reader(json.constData(), json.size(), kEntity, 32);
    std::thread filling([&] {
        for (qsizetype filled = 0; filled < until;) {
            filled = std::min(until, filled + 256 * 1024);
            reader.written(filled);
        }
        reader.end(until == json.size());
    });
    Taken taken;
    for (;;) {
        std::vector<QList<QVariant>> records;
        taken.last = reader.next(records);
        if (taken.last != Next::Records)
            break;
        ++taken.parts;
        std::move(records.begin(), records.end(), std::back_inserter(taken.records));
    }
    filling.join();
    if (taken.last == Next::Refused)
        taken.rest = reader.readRest(&taken.failure);
    return taken;
}

TEST(JSONRecordReader, RecordsAreTakenInOrderWhileTheFileFills)
{
    using Next = JSONRecordReader::InParts::Next;
    const int count = 30000;
    const QByteArray json = bigFile(count);
    const auto whole = read(json);
    ASSERT_TRUE(whole);

    Taken taken = takeWhileFilled(json, json.size());
    EXPECT_EQ(taken.last, Next::End);
    EXPECT_GT(taken.parts, 4);
    EXPECT_TRUE(taken.records == *whole);

    // Filled only in part: what was given is the file's first records, then it stops.
    taken = takeWhileFilled(json, json.size() / 2);
    EXPECT_EQ(taken.last, Next::Unfilled);
    ASSERT_LT(taken.records.size(), whole->size());
    EXPECT_TRUE(std::equal(taken.records.begin(), taken.records.end(), whole->begin()));

    // Every record holds text that looks like the start of one: parts begun there are
    // refused, and the rest is read from where the records given end.
    const QByteArray decoy = "    {\"ManageObjectName\": \"Sample\", \"other\": [{\"a\": 1}, "
                             "{}], \"text\": \"a, {b} ,{ c\", \"count\": -1}";
    QMap<int, QByteArray> decoys;
    for (int i = 0; i < 2 * count; ++i)
        decoys.insert(i, decoy);
    const QByteArray decoyed = bigFile(2 * count, decoys);
    taken = takeWhileFilled(decoyed, decoyed.size());
    ASSERT_EQ(taken.last, Next::Refused);
    ASSERT_TRUE(taken.rest) << taken.failure.detail.toStdString();
    std::move(taken.rest->begin(), taken.rest->end(), std::back_inserter(taken.records));
    EXPECT_TRUE(taken.records == *read(decoyed));

    // A fault among the last records: refused where it lies, and numbered as a whole
    // reading numbers it.
    const QByteArray wrong
        = bigFile(count, { { count - 2, "{\"ManageObjectName\": \"Sample\", \"count\": \"x\"}" } });
    taken = takeWhileFilled(wrong, wrong.size());
    ASSERT_EQ(taken.last, Next::Refused);
    EXPECT_GT(taken.parts, 4);
    EXPECT_FALSE(taken.rest);
    EXPECT_EQ(taken.failure.kind, Failure::Kind::Records);
    EXPECT_EQ(taken.failure.detail,
        QStringLiteral("record %1 has a value of the wrong kind for \"count\"").arg(count - 1));
}

// Reads the file in parts, texts in their bytes, as a restore reads its rows.
std::optional<std::vector<QList<QVariant>>> readAsBytes(
    const QByteArray& json, Failure* failure = nullptr)
{
    JSONRecordReader::InParts reader(
        json.constData(), json.size(), kEntity, 8, JSONRecordReader::Texts::AsBytes);
    reader.written(json.size());
    reader.end(true);
    std::vector<QList<QVariant>> records;
    for (;;) {
        std::vector<QList<QVariant>> part;
        switch (reader.next(part)) {
        case JSONRecordReader::InParts::Next::Records:
            std::move(part.begin(), part.end(), std::back_inserter(records));
            continue;
        case JSONRecordReader::InParts::Next::Refused:
            return reader.readRest(failure);
        default:
            return records;
        }
    }
}

TEST(JSONRecordReader, TextsAskedForInTheirBytesReadAsTheSameTexts)
{
    const QByteArray padding(300, 'x');
    auto record = [](const QByteArray& text) {
        return "{\"ManageObjectName\": \"Sample\", \"text\": \"" + text + "\", \"count\": 1}";
    };
    const QByteArray escaped = "\xc3\xa9 \\\"q\\\" \\u20ac \\ud83d\\ude00 " + padding;
    const QByteArray lone = "\\ud800 " + padding;
    const QByteArray json = bigFile(30000,
        { { 7, record(escaped) }, { 8, record("short \\u00e9") }, { 9, record(lone) },
            { 10, record("") }, { 29999, record(padding) } });
    Failure failure;
    const auto asBytes = readAsBytes(json, &failure);
    ASSERT_TRUE(asBytes) << failure.detail.toStdString();
    const auto asStrings = read(json);
    ASSERT_TRUE(asStrings);
    ASSERT_EQ(asBytes->size(), asStrings->size());
    for (size_t i = 0; i < asBytes->size(); ++i)
        ASSERT_EQ(cd::StoredText::readable((*asBytes)[i][0]), (*asStrings)[i][0]) << i;
    // Texts long and short in their UTF-8, unescaped; one holding a lone surrogate (no
    // UTF-8 holds one) as text.
    EXPECT_EQ((*asBytes)[7][0], QVariant(QStringLiteral("é \"q\" € 😀 ").toUtf8() + padding));
    EXPECT_EQ((*asBytes)[29999][0], QVariant(padding));
    EXPECT_EQ((*asBytes)[8][0], QVariant(QStringLiteral("short é").toUtf8()));
    EXPECT_EQ((*asBytes)[9][0].metaType().id(), QMetaType::QString);
    // An empty text is a text, not nothing.
    EXPECT_EQ((*asBytes)[10][0].metaType().id(), QMetaType::QByteArray);
    EXPECT_FALSE((*asBytes)[10][0].isNull());

    // A text that is no UTF-8 is refused as one read as text is, long or short.
    for (const QByteArray& bad : { QByteArray("\xc3\x28" + padding), QByteArray("\xc3\x28") }) {
        const QByteArray broken = bigFile(30000, { { 20000, record(bad) } });
        Failure bytesFailure, stringsFailure;
        EXPECT_FALSE(readAsBytes(broken, &bytesFailure));
        EXPECT_FALSE(read(broken, &stringsFailure));
        EXPECT_EQ(bytesFailure.kind, Failure::Kind::Syntax);
        EXPECT_EQ(bytesFailure.detail, stringsFailure.detail);
    }
}

TEST(JSONRecordReader, AFaultInABigFileIsToldAsInASmallOne)
{
    const int count = 30000;
    const QByteArray wrongKind = "{\"ManageObjectName\": \"Sample\", \"count\": \"many\"}";
    const QByteArray otherEntity = "{\"ManageObjectName\": \"Other\"}";
    const QByteArray broken = "{\"ManageObjectName\": \"Sample\", \"text\": \"open}";
    const struct {
        int at;
        QByteArray record;
        Failure::Kind kind;
        QString detail;
    } cases[] {
        { 29000, wrongKind, Failure::Kind::Records,
            "record 29001 has a value of the wrong kind for \"count\"" },
        { 20000, otherEntity, Failure::Kind::Records, "record 20001 is no Sample" },
        { 10000, broken, Failure::Kind::Syntax, "" },
    };
    for (const auto& fault : cases) {
        SCOPED_TRACE(fault.at);
        Failure failure;
        EXPECT_FALSE(read(bigFile(count, { { fault.at, fault.record } }), &failure));
        EXPECT_EQ(failure.kind, fault.kind);
        if (!fault.detail.isEmpty()) {
            EXPECT_EQ(failure.detail, fault.detail);
        }
    }
    // Cut short: the last part cannot end.
    Failure failure;
    const QByteArray whole = bigFile(count);
    EXPECT_FALSE(read(whole.left(whole.size() - 3), &failure));
    EXPECT_EQ(failure.kind, Failure::Kind::Syntax);
}

} // namespace
