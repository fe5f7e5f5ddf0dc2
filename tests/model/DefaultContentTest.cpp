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
    EXPECT_FALSE(delegate->context->hasChanges());
}

TEST_F(ModelTest, DefaultColoursGoOnlyIntoTheColourTableWhereverItStands)
{
    Database::loadDefaultTemplates();
    auto tables = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId);
    ASSERT_GE(tables.size(), 2);
    // The user puts another table (Contacts) first.
    UserTemplate* colours = tables.first();
    UserTemplate* other = tables.at(1);
    const int otherOrder = other->order().toInt();
    other->setOrder(-1);
    ASSERT_TRUE(other->saveUserTemplate());
    colours->setOrder(otherOrder);
    ASSERT_TRUE(colours->saveUserTemplate());
    ASSERT_EQ(UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first(), other);

    // A colour deleted by the user comes back, into the colour table alone.
    const auto columns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    const QString colourTable = colours->id().toString();
    ASSERT_TRUE(Rows::deleteRows(Rows::getRows(colourTable, columns, {}, {}, std::nullopt)[2]));
    Database::loadDefaultTemplates();
    EXPECT_FALSE(Rows::doesRowExists(other->id().toString()));
    EXPECT_EQ(Rows::getRows(colourTable, columns, {}, {}, std::nullopt).size(), 17);

    // A database without a colour table gets no colours.
    Database::loadDefaultColors("D");
    UserTemplate* plain = UserTemplate::add("D");
    plain->setTemplate_id(other->template_id());
    ASSERT_TRUE(plain->saveUserTemplate());
    Database::loadDefaultColors("D");
    EXPECT_FALSE(Rows::doesRowExists(plain->id().toString()));
    EXPECT_EQ(Rows::getRowsAll().size(), 17);
}
