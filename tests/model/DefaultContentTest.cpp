#include "ModelFixture.h"

#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/UserTemplate.h"

using modeltest::ModelTest;

TEST_F(ModelTest, AStoredDefinitionKeepsItsColumnsWhateverTheirMembersSay)
{
    const QString mineId = QStringLiteral("A1B2C3D4-0000-4000-8000-000000000001");
    const QString otherId = QStringLiteral("A1B2C3D4-0000-4000-8000-000000000002");
    Template* other = Template::add();
    other->setId(otherId);
    ASSERT_TRUE(other->saveTemplate());

    // A downloaded object whose column names another definition.
    const QVariantMap object { { "id", mineId }, { "name", "Mine" },
        { "columns",
            QVariantList { QVariantMap { { "id", "C-1" }, { "name", "Title" }, { "type", "Text" },
                { "template_id", otherId } } } } };
    ASSERT_NE(DefaultContent::storeTemplate(object), nullptr);
    EXPECT_EQ(TemplateColumn::getColumnsCount(mineId), 1u);
    EXPECT_EQ(TemplateColumn::getColumnsCount(otherId), 0u);

    // Stored again, the column is refreshed in place rather than made twice.
    ASSERT_NE(DefaultContent::storeTemplate(object), nullptr);
    EXPECT_EQ(TemplateColumn::getColumnsAll().size(), 1);
}

TEST_F(ModelTest, DefaultColoursAreNotWrittenInTheClearIntoAProtectedTable)
{
    Database::loadDefaultTemplates();
    const auto columns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    UserTemplate* colours
        = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first();
    const QString tableId = colours->id().toString();
    ASSERT_TRUE(colours->changeProtection(std::nullopt, QStringLiteral("pw"), columns));
    QStringList before;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        before << row->json().toString();
    ASSERT_EQ(before.size(), 17);

    Database::loadDefaultColors(DefaultContent::SystemDatabaseId);
    QStringList after;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        after << row->json().toString();
    EXPECT_EQ(after, before);
    EXPECT_FALSE(context()->hasChanges());
}
