#include "utilities/data/JSONConverter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

// Rows are stored as the text JSONConverter writes; it must stay exactly what the JSON
// document writer gives for the same values, byte for byte.
namespace {

QJsonValue documentValue(const QVariant& value);

QJsonObject documentObject(const QVariantMap& map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it)
        object.insert(it.key(), documentValue(it.value()));
    return object;
}

// What the document writer is given for each kind of value.
QJsonValue documentValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::ULongLong:
        return double(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QVariantMap:
        return documentObject(value.toMap());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant& item : value.toList())
            array.append(documentValue(item));
        return array;
    }
    default:
        return value.toLongLong();
    }
}

QByteArray documentText(const QVariantMap& map)
{
    return QJsonDocument(documentObject(map)).toJson(QJsonDocument::Indented);
}

QString units(std::initializer_list<char16_t> codes)
{
    QString text;
    for (char16_t code : codes)
        text += QChar(code);
    return text;
}

} // namespace

TEST(JSONConverter, WritesEveryKindOfValueAsTheDocumentWriterDoes)
{
    const QList<double> numbers { 0.0, -0.0, 5.0, -1.5, 0.1, 1e-7, 5e-324, 1234.5, 1e15, 2e15,
        9007199254740990.0, 9007199254740991.0, 9007199254740992.0, 9007199254740994.0,
        9007199254741000.0, -9007199254740992.0, -9007199254740994.0, 1e16, 1e17,
        123456789012345678.0, 9.2233720368547758e18, -9.2233720368547758e18, 1e20,
        1.7976931348623157e308, -2.2250738585072014e-308 };
    QVariantList numberList;
    for (double number : numbers)
        numberList << number;
    const QVariantMap values {
        { "7A3E9C21-5B4D-4F68-8E0A-1C2B3D4E5F60", QStringLiteral("amber birch 12") },
        { "escapes", QStringLiteral("\"\\/\b\f\n\r\t") + QChar(0) + QChar(0x1f) + QChar(0x7f) },
        { "non-ASCII", QStringLiteral("caf\u00e9 \u20ac \u4e2d") + units({ 0xD83D, 0xDE00 }) },
        { "lone halves", units({ 0xD800, u'a', 0xDC00, 0xDBFF, 0xD800, 0xDFFF }) },
        { "high at the end", units({ u'x', 0xD83D }) },
        { "empty", QString() },
        { "numbers", numberList },
        { "integers",
            QVariantList { 0, -1, qlonglong(9007199254740993LL),
                std::numeric_limits<qlonglong>::max(), std::numeric_limits<qlonglong>::min(),
                QVariant::fromValue(quint64(18446744073709551615ULL)), float(0.1f) } },
        { "flags", QVariantList { true, false } },
        { "nothing", QVariant() },
        { "empty map", QVariantMap() },
        { "empty list", QVariantList() },
        { "nested",
            QVariantMap {
                { "list", QVariantList { 1, QVariantMap { { "x", "y" } }, QVariantList() } },
                { "words", QStringList { "a", "b" } } } },
    };
    EXPECT_EQ(JSONConverter::ToJSON(values), documentText(values));
    EXPECT_EQ(JSONConverter::ToJSON(QVariantMap()), documentText(QVariantMap()));
    EXPECT_EQ(JSONConverter::ToJSON(QVariantMap()), QByteArray("{\n}\n"));
}

TEST(JSONConverter, WritesAnyFiniteNumberAsTheDocumentWriterDoes)
{
    QRandomGenerator random(42);
    for (int i = 0; i < 5000; ++i) {
        const quint64 bits = random.generate64();
        double number;
        std::memcpy(&number, &bits, sizeof number);
        if (!std::isfinite(number))
            continue;
        // Also whole numbers of every size, where integers and doubles part ways.
        const double whole = std::ldexp(double(random.bounded(1 << 20)), int(random.bounded(70)));
        const QVariantMap values { { "a", number }, { "b", whole }, { "c", -whole } };
        ASSERT_EQ(JSONConverter::ToJSON(values), documentText(values)) << number << " " << whole;
    }
}

TEST(JSONConverter, NamesBeyondASCIIKeepTheDocumentsOrder)
{
    const QVariantMap values { { "z", 1 }, { QStringLiteral("\u00e9"), 2 },
        { units({ 0xD83D, 0xDE00 }), 3 }, { QStringLiteral("\uFF21"), 4 }, { "a", 5 },
        { "inner", QVariantMap { { QStringLiteral("\u00e9"), 1 }, { "b", 2 } } } };
    EXPECT_EQ(JSONConverter::ToJSON(values), documentText(values));
}

TEST(JSONConverter, AValueWithoutJsonFormGivesNoText)
{
    for (const QVariant& bad : { QVariant(std::nan("")), QVariant(INFINITY),
             QVariant(QDateTime::currentDateTime()), QVariant(QByteArray("x")) }) {
        EXPECT_TRUE(JSONConverter::ToJSON(QVariantMap { { "a", 1 }, { "b", bad } }).isNull());
        EXPECT_TRUE(
            JSONConverter::ToJSON(QVariantMap { { "n", QVariantList { 1, bad } } }).isNull());
        EXPECT_TRUE(
            JSONConverter::ToJSON(QVariantMap { { QStringLiteral("\u00e9"), bad } }).isNull());
    }
}

// Members replaced or left out by the address of their values write what a changed copy
// writes: first, last and every member, a value with no JSON form put in or taken out,
// names beyond ASCII, and a replacement that is no member of the dictionary.
TEST(JSONConverter, ReplacedMembersWriteAsAChangedCopy)
{
    const QVariantMap plain { { "a", 1 }, { "b", QDateTime::currentDateTime() },
        { "c", QVariantMap { { "x", 1 } } }, { "d", "text" } };
    QVariantMap named = plain;
    named.insert(QStringLiteral("\u00e9"), 2.5);
    const QVariant stranger = 7;
    for (const QVariantMap& values : { plain, named }) {
        const QList<QString> keys = values.keys();
        for (int mask = 0; mask < (1 << (2 * keys.size())); ++mask) {
            QList<JSONConverter::Replacement> replacements;
            QVariantMap copy = values;
            for (qsizetype i = 0; i < keys.size(); ++i) {
                const int what = (mask >> (2 * i)) & 3;
                const QVariant* of = &*values.constFind(keys[i]);
                if (what == 1) {
                    replacements.append({ of, std::nullopt });
                    copy.remove(keys[i]);
                } else if (what == 2) {
                    replacements.append({ of, QVariant(1709596800.25) });
                    copy.insert(keys[i], 1709596800.25);
                } else if (what == 3) {
                    replacements.append({ of, QVariant(QByteArray("no form")) });
                    copy.insert(keys[i], QByteArray("no form"));
                }
            }
            replacements.append({ &stranger, std::nullopt });
            const QByteArray written = JSONConverter::ToJSON(values, replacements);
            ASSERT_EQ(written, JSONConverter::ToJSON(copy)) << mask;
            ASSERT_EQ(written.isNull(), JSONConverter::ToJSON(copy).isNull()) << mask;
        }
    }
    // Every member left out.
    QList<JSONConverter::Replacement> all;
    for (auto it = plain.cbegin(); it != plain.cend(); ++it)
        all.append({ &it.value(), std::nullopt });
    EXPECT_EQ(JSONConverter::ToJSON(plain, all), QByteArray("{\n}\n"));
}
