#include "utilities/store/JSONRecordWriter.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"
#include "utilities/store/KivoLibObject.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace cd = platform::coredata;

namespace {

// Attribute names out of key order, one of each kind.
const cd::EntityDescription kEntity(QStringLiteral("Sample"),
    { { "text", cd::AttributeType::String }, { "count", cd::AttributeType::Integer },
        { "stamp", cd::AttributeType::Double }, { "flag", cd::AttributeType::Boolean },
        { "Zone", cd::AttributeType::String } },
    {}, 0);

// What QJsonDocument writes for the same records.
QByteArray reference(const QList<cd::ManagedObject*>& objects)
{
    QJsonArray array;
    for (const QVariant& record : KivoLib::arrayFormManagedObjects(objects))
        array.append(QJsonObject::fromVariantMap(record.toMap()));
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

TEST(JSONRecordWriter, WritesWhatQJsonDocumentWrites)
{
    std::vector<std::unique_ptr<cd::ManagedObject>> owned;
    QList<cd::ManagedObject*> objects;
    const auto make = [&](const QVariant& text, const QVariant& count, const QVariant& stamp,
                          const QVariant& flag) {
        owned.push_back(std::make_unique<cd::ManagedObject>(&kEntity));
        cd::ManagedObject* object = owned.back().get();
        object->setValue("text", text);
        object->setValue("count", count);
        object->setValue("stamp", stamp);
        object->setValue("flag", flag);
        objects << object;
    };
    EXPECT_EQ(JSONRecordWriter::write(objects), reference(objects)) << "no records";

    make(QStringLiteral("plain"), 7, 1700000000.25, true);
    make(QStringLiteral("quote \" backslash \\ slash / tab\t cr\r lf\n bell\x07 del\x7f"), -3, 0.1,
        false);
    make(QStringLiteral("é ü € 中文 😀"), qlonglong(1) << 53, 1e21, QVariant());
    make(QString(QChar(0xd800)) + "lone" + QChar(0xdc00), 0, -0.0, 1);
    make(QVariant(), QVariant(), 1700000000.0, QVariant());
    make(QString(""), std::numeric_limits<qlonglong>::min(), 5e-324, false);
    make(QString("big"), 1, 1152921504606846976.0, true); // 2^60
    make(QString("small"), 1, 123456.789e-3, true);
    const QByteArray written = JSONRecordWriter::write(objects);
    EXPECT_EQ(written.toStdString(), reference(objects).toStdString());
    EXPECT_EQ(QJsonDocument::fromJson(written).array().size(), objects.size());
}

TEST(JSONRecordWriter, RefusesNumbersThatAreNotFinite)
{
    for (const double bad :
        { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() }) {
        cd::ManagedObject object(&kEntity);
        object.setValue("stamp", bad);
        EXPECT_TRUE(JSONRecordWriter::write({ &object }).isNull());
    }
}

} // namespace
