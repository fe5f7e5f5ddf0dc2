#include "StoreFixture.h"

#include "platform/Exception.h"

#include <cmath>
#include <limits>

using namespace storetest;

TEST(ManagedObjectModel, DescribesTheFiveEntitiesWithAttributesInDeclaredOrder)
{
    auto model = kivotabModel();
    ASSERT_TRUE(model);
    QStringList names;
    for (const auto* entity : model->entities())
        names << entity->name();
    EXPECT_EQ(
        names, QStringList({ "Database", "UserTemplate", "Template", "TemplateColumn", "Rows" }));

    EXPECT_EQ(model->entity("Database")->attributeNames().join(','),
        "ctimestamp,descr,id,issystem,mtimestamp,name");
    EXPECT_EQ(model->entity("UserTemplate")->attributeNames().join(','),
        "ctimestamp,database_id,descr,id,isprotected,mtimestamp,name,template_id,order,"
        "protectioncheck");
    EXPECT_EQ(model->entity("Template")->attributeNames().join(','),
        "category,ctimestamp,descr,id,image,isprotected,issystem,mtimestamp,name,tilescolumns");
    EXPECT_EQ(model->entity("TemplateColumn")->attributeNames().join(','),
        "autocomplete,ctimestamp,currentmaxlength,id,intable,intiles,length,listvalues,"
        "mandatory,mtimestamp,name,order,precision,sortascending,sortfield,template_id,type,"
        "reminder");
    EXPECT_EQ(model->entity("Rows")->attributeNames().join(','),
        "ctimestamp,id,json,mtimestamp,order,usertemplate_id");
    EXPECT_EQ(model->entity("Rows")->attribute("order")->type, cd::AttributeType::Integer);
    EXPECT_EQ(model->entity("Template")->attribute("issystem")->type, cd::AttributeType::Boolean);
    EXPECT_EQ(model->entity("Rows")->attribute("ctimestamp")->type, cd::AttributeType::Double);
}

TEST(ManagedObjectModel, NamesThirteenTemplatesWithTheirVariables)
{
    auto model = kivotabModel();
    const QMap<QString, QString> expected {
        { "FetchRequest_Databases", "" },
        { "FetchRequest_Database", "DATABASE_ID" },
        { "FetchRequest_UserTemplates", "DATABASE_ID" },
        { "FetchRequest_UserTemplates_DatabaseId", "DATABASE_ID" },
        { "FetchRequest_UserTemplates_TemplateId", "TEMPLATE_ID" },
        { "FetchRequest_UserTemplate_All", "" },
        { "FetchRequest_Templates", "" },
        { "FetchRequest_Template", "TEMPLATE_ID" },
        { "FetchRequest_Template_All", "" },
        { "FetchRequest_Columns", "TEMPLATE_ID" },
        { "FetchRequest_TemplateColumn_All", "" },
        { "FetchRequest_Rows", "USERTEMPLATE_ID" },
        { "FetchRequest_Rows_All", "" },
    };
    EXPECT_EQ(model->fetchRequestTemplateNames(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const auto request = model->fetchRequestTemplate(it.key());
        ASSERT_TRUE(request);
        EXPECT_EQ(request->predicate().variables().join(','), it.value()) << it.key().toStdString();
    }
}

TEST(ManagedObjectModel, TemplateCopiesAreIndependentAndVariablesMustBeGiven)
{
    auto model = kivotabModel();
    auto first = model->fetchRequestTemplate("FetchRequest_Rows");
    auto second = model->fetchRequestTemplate("FetchRequest_Rows");
    first->setSortDescriptors({ { "order", false } });
    EXPECT_TRUE(second->sortDescriptors().isEmpty());
    EXPECT_TRUE(model->fetchRequestTemplate("FetchRequest_Rows")->sortDescriptors().isEmpty());
    EXPECT_FALSE(model->fetchRequestTemplate("FetchRequest_Nothing"));

    const auto bound
        = model->fetchRequestFromTemplate("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } });
    EXPECT_EQ(bound->predicate().format(), "usertemplate_id == \"U1\"");
    EXPECT_THROW(model->fetchRequestFromTemplate("FetchRequest_Rows", {}), platform::Exception);
}

TEST(ManagedObjectModel, RejectsMalformedModelFiles)
{
    platform::Error error;
    EXPECT_FALSE(cd::ManagedObjectModel::fromJson("[1,2]", &error));
    EXPECT_FALSE(error.isNull());
    EXPECT_FALSE(cd::ManagedObjectModel::fromJson(
        R"({"entities":[{"name":"A","attributes":[{"name":"x","type":"Blob"}]}]})"));
    EXPECT_FALSE(cd::ManagedObjectModel::fromJson(
        R"({"entities":[{"name":"A","attributes":[{"name":"x","type":"String"}]}],
            "fetchRequests":[{"name":"F","entity":"A","predicate":{"y":"$Y"}}]})"));
}

TEST(ManagedObject, ConvertsValuesToTheAttributeTypeAndRefusesOtherKinds)
{
    auto model = kivotabModel();
    cd::ManagedObject object(model->entity("TemplateColumn"));
    object.setValue("order", 3.0);
    EXPECT_EQ(object.value("order").metaType().id(), QMetaType::LongLong);
    object.setValue("mandatory", 1);
    EXPECT_EQ(object.value("mandatory"), QVariant(true));
    object.setValue("name", QVariant());
    EXPECT_TRUE(object.value("name").isNull());
    EXPECT_THROW(object.setValue("order", "three"), platform::Exception);
    EXPECT_THROW(object.setValue("name", 12), platform::Exception);
    EXPECT_THROW(object.value("nothing"), platform::Exception);

    // Numbers no 64-bit integer holds are refused, and the value stays as it was.
    object.setValue("order", 7);
    EXPECT_THROW(object.setValue("order", std::nan("")), platform::Exception);
    EXPECT_THROW(object.setValue("order", 1e300), platform::Exception);
    EXPECT_THROW(object.setValue("order", -HUGE_VAL), platform::Exception);
    EXPECT_THROW(
        object.setValue("order", QVariant::fromValue(quint64(1) << 63)), platform::Exception);
    EXPECT_EQ(object.value("order").toLongLong(), 7);
    object.setValue("order", -9223372036854775808.0);
    EXPECT_EQ(object.value("order").toLongLong(), std::numeric_limits<qlonglong>::min());
}
