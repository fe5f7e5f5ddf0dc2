#include "model/RowText.h"
#include "utilities/data/JSONConverter.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

TEST(RowText, ReadsWhatTheJSONWriterWrites)
{
    const QVariantMap values { { "text", QString::fromUtf8("Crème \"brûlée\"\n\\ \t😀 \x01") },
        { "whole", 1709596800 }, { "negative", -62135596800.0 }, { "fraction", 12.5 },
        { "tiny", 1.25e-7 }, { "yes", true }, { "no", false }, { "none", QVariant() },
        { "list", QVariantList { 1, "two", QVariantMap { { "k", 3.5 } } } },
        { "object", QVariantMap { { "inner", "x" } } }, { "", "empty key" } };
    const QByteArray json = JSONConverter::ToJSON(values);
    ASSERT_FALSE(json.isNull());
    const auto ours = RowText::parseObject(QString::fromUtf8(json), { "text", "whole" });
    const auto reference = JSONConverter::FromJSONDictionary(json);
    ASSERT_TRUE(ours.has_value());
    ASSERT_TRUE(reference.has_value());
    EXPECT_EQ(*ours, *reference);
    EXPECT_EQ(ours->value("whole").typeId(), QMetaType::LongLong);
    EXPECT_EQ(ours->value("fraction").typeId(), QMetaType::Double);
    EXPECT_TRUE(ours->value("none").isNull());
}

TEST(RowText, RefusesAnythingButOneJSONObject)
{
    for (const char* text :
        { "", "[]", "\"x\"", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\" 1}", "{\"a\":01}", "{\"a\":1.}",
            "{\"a\":-}", "{\"a\":tru}", "{\"a\":\"\\x\"}", "{\"a\":\"\\u12\"}", "{\"a\":1} x",
            "{\"a\":\"line\nbreak\"}", "{'a':1}", "{\"a\":1e999}", "{\"a\":NaN}" })
        EXPECT_FALSE(RowText::parseObject(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_EQ(RowText::parseObject(QStringLiteral(" { } \n"))->size(), 0);
    EXPECT_EQ(RowText::parseObject(QStringLiteral("{\"a\":\"\\u00e9\\ud83d\\ude00\"}"))->value("a"),
        QString::fromUtf8("é😀"));
    // Every one-letter escape, between plain runs.
    EXPECT_EQ(RowText::parseObject(QStringLiteral(R"({"a":"x\"\\\/\b\f\n\r\ty"})"))->value("a"),
        QStringLiteral("x\"\\/\b\f\n\r\ty"));
    // Nesting deep enough to exhaust the stack is refused, not followed.
    const QString deep
        = "{\"a\":" + QString("[").repeated(100000) + QString("]").repeated(100000) + "}";
    EXPECT_FALSE(RowText::parseObject(deep).has_value());
    // Numbers beyond 64 bits still read, as doubles.
    EXPECT_DOUBLE_EQ(RowText::parseObject(QStringLiteral("{\"a\":123456789012345678901234567890}"))
                         ->value("a")
                         .toDouble(),
        1.2345678901234568e29);
}

TEST(RowText, MembersInAnyOrderAndTheLastOfARepeatedName)
{
    const auto values = RowText::parseObject(
        QStringLiteral(R"({"b": 1, "a": {"z": 1, "y": 2, "z": 3}, "c": 2E2, "b": "last"})"),
        { "b", "c" });
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->keys(), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(values->value("b"), QVariant(QStringLiteral("last")));
    EXPECT_EQ(values->value("a").toMap(), QVariantMap({ { "y", 2 }, { "z", 3 } }));
    EXPECT_EQ(values->value("c").toDouble(), 200.0);
    // A number longer than any stored one still reads.
    const QString digits = QString("1").repeated(100);
    EXPECT_DOUBLE_EQ(RowText::parseObject("{\"a\": 0." + digits + "}")->value("a").toDouble(),
        0.11111111111111111);
}

TEST(RowText, OnlyKnownMembersAreKeptButEveryMemberIsChecked)
{
    const QString text = QStringLiteral(
        R"({"a": "x\n", "b": [1, {"c": "d"}], "\u0061b": 1.5, "k": "kept", "n": null, "t": true})");
    const auto values = RowText::parseObject(text, { "k", "ab" }, {}, true);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(*values, QVariantMap({ { "ab", 1.5 }, { "k", "kept" } }));
    // What would make the whole text unreadable still does, kept or not.
    for (const char* bad : { R"({"a": "\x", "k": 1})", R"({"a": 1e999, "k": 1})",
             R"({"a": [1,], "k": 1})", R"({"a": tru, "k": 1})", R"({"a": "open, "k": 1})",
             "{\"a\": \"line\nbreak\", \"k\": 1}", R"({"k": 1, "a": 1} x)" })
        EXPECT_FALSE(RowText::parseObject(QString::fromUtf8(bad), { "k" }, {}, true).has_value())
            << bad;
}

TEST(RowText, BothWaysOfReadingAgreeOnEveryText)
{
    // A raw control character in a member name makes the text unreadable, whichever
    // members are kept.
    for (const char* bad : { "{\"\x01x\": \"y\", \"k\": \"kept\"}", "{\"k\x1f\": 1}",
             "{\"k\": 1, \"\tk\": 2}", "{\"a\": {\"\x02\": 1}, \"k\": 1}" }) {
        const QString text = QString::fromUtf8(bad);
        EXPECT_FALSE(RowText::parseObject(text, { "k" }).has_value()) << bad;
        EXPECT_FALSE(RowText::parseObject(text, { "k" }, {}, true).has_value()) << bad;
        EXPECT_FALSE(RowText::parseObject(text, { "k", "a" }, {}, true).has_value()) << bad;
    }

    // Texts made by changing one character of a stored row: the reader that keeps only the
    // known members refuses exactly what the whole reader refuses, and keeps the same.
    const QString row = QString::fromUtf8(JSONConverter::ToJSON(
        { { "k", "kept" }, { "n", 12.5 }, { "other", QVariantList { 1, "two" } },
            { "m", QVariantMap { { "inner", true } } }, { QString::fromUtf8("é\\\""), "x" } }));
    const QStringList known { "k", "n" };
    const QList<QChar> replacements { QChar(0x01), QChar(0x1f), QChar(0x7f), QChar('"'),
        QChar('\\'), QChar('{'), QChar('}'), QChar(':'), QChar(','), QChar(' '), QChar('\n'),
        QChar('u'), QChar('0'), QChar(0xd800) };
    int readable = 0;
    for (qsizetype at = 0; at < row.size(); ++at) {
        for (const QChar c : replacements) {
            for (const bool insert : { false, true }) {
                QString text = row;
                if (insert)
                    text.insert(at, c);
                else
                    text[at] = c;
                const auto whole = RowText::parseObject(text, known);
                const auto part = RowText::parseObject(text, known, {}, true);
                ASSERT_EQ(whole.has_value(), part.has_value()) << text.toStdString();
                if (!whole)
                    continue;
                ++readable;
                QVariantMap kept;
                for (const QString& key : known) {
                    if (whole->contains(key))
                        kept.insert(key, whole->value(key));
                }
                EXPECT_EQ(kept, *part) << text.toStdString();
            }
        }
    }
    EXPECT_GT(readable, 0);
}

namespace {

// What reading the bytes gives against reading the text made of them, in every form.
void expectBytesReadAsTheirText(const QByteArray& bytes, const QStringList& known)
{
    const QString text = QString::fromUtf8(bytes);
    for (const bool onlyKnown : { false, true }) {
        const auto fromText = RowText::parseObject(text, known, {}, onlyKnown);
        const auto fromBytes = RowText::parseObject(QByteArrayView(bytes), known, {}, onlyKnown);
        ASSERT_EQ(fromText.has_value(), fromBytes.has_value()) << bytes.toHex().toStdString();
        if (fromText) {
            EXPECT_EQ(*fromText, *fromBytes) << bytes.toHex().toStdString();
        }
    }
    // One value per known key, as the dictionary of the known members has them.
    const auto reference = RowText::parseObject(text, known, {}, true);
    for (const bool utf8 : { false, true }) {
        QVariantList values(known.size(), QVariant(42));
        const bool read = utf8
            ? RowText::parseKnown(QByteArrayView(bytes), known, {}, values.data())
            : RowText::parseKnown(text, known, {}, values.data());
        ASSERT_EQ(read, reference.has_value()) << bytes.toHex().toStdString();
        for (qsizetype i = 0; i < known.size(); ++i) {
            const QVariant expected = reference ? reference->value(known[i]) : QVariant();
            EXPECT_EQ(values[i], expected) << bytes.toHex().toStdString();
            EXPECT_EQ(values[i].typeId(), expected.typeId()) << bytes.toHex().toStdString();
        }
    }
}

} // namespace

TEST(RowText, StoredBytesReadAsTheTextMadeOfThem)
{
    const QByteArray row
        = JSONConverter::ToJSON({ { "k", QString::fromUtf8("kept é 😀") }, { "n", 12.5 },
            { "other", QVariantList { 1, "two" } }, { "m", QVariantMap { { "inner", true } } },
            { QString::fromUtf8("é\\\""), "x" }, { QString::fromUtf8("ké"), 1 } });
    const QStringList known { "k", "n", QString::fromUtf8("ké"), "absent" };
    expectBytesReadAsTheirText(row, known);
    // Bytes that are not UTF-8, control bytes and JSON's punctuation, put in at every place:
    // lone lead and continuation bytes, an encoded surrogate, an overlong form.
    const QList<QByteArray> pieces { "\x80", "\xc3", "\xe2\x82", "\xed\xa0\x80", "\xc0\xaf", "\xff",
        QByteArray(1, '\0'), "\x1f", "\"", "\\", "{", "}", ":", ",", " ", "u", "0" };
    for (qsizetype at = 0; at < row.size(); ++at) {
        for (const QByteArray& piece : pieces) {
            expectBytesReadAsTheirText(QByteArray(row).insert(at, piece), known);
            expectBytesReadAsTheirText(QByteArray(row).replace(at, 1, piece), known);
        }
    }
}

TEST(RowText, RandomBytesNeverCrashTheReaderAndReadAsTheirText)
{
    QRandomGenerator random(29);
    const QByteArray alphabet
        = QByteArrayLiteral("{}[]\":,\\ tfnrule0123456789-.+Ek\xc3\xa9\x80\xff\x01");
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int size = int(random.bounded(40u));
        for (int i = 0; i < size; ++i) {
            bytes += random.bounded(4u) == 0
                ? char(random.bounded(256u))
                : alphabet[qsizetype(random.bounded(quint32(alphabet.size())))];
        }
        if (random.bounded(2u) == 1)
            bytes = "{\"k\":" + bytes + "}";
        expectBytesReadAsTheirText(bytes, { "k", "e" });
    }
}
