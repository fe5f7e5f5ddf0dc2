#include "ModelFixture.h"

#include "model/DefinitionRules.h"
#include "model/Template.h"

using modeltest::ModelTest;

namespace {

const QString kDefinition = QStringLiteral("0F3C2A61-5D7B-4E19-8A42-6B1E9D3C7F05");

// A new column of the definition, not stored, with the values the form gathered.
TemplateColumn* drafted(const QString& name, const QString& type, const QVariant& length,
    const QVariant& precision = 0, const QVariant& listValues = QString())
{
    TemplateColumn* made = TemplateColumn::add(kDefinition);
    made->setName(name);
    made->setType(type);
    made->setLength(length);
    made->setPrecision(precision);
    made->setListvalues(listValues);
    return made;
}

Template* definition(const QVariant& tiles, const QString& image = QStringLiteral("todo"))
{
    Template* made = Template::add();
    made->setName(QStringLiteral("Books"));
    made->setDescr(QStringLiteral("Read and unread"));
    made->setTilescolumns(tiles);
    made->setImage(image);
    return made;
}

} // namespace

TEST_F(ModelTest, DefinitionRulesTakeOneToFourTilesAndNothingElse)
{
    for (const QVariant& tiles : { QVariant(1), QVariant(4), QVariant(2.0) })
        EXPECT_TRUE(DefinitionRules::templateProblems(definition(tiles), {}, false).isEmpty())
            << tiles.toString().toStdString();
    for (const QVariant& tiles :
        { QVariant(0), QVariant(5), QVariant(-1), QVariant(-2147483647), QVariant() })
        EXPECT_EQ(DefinitionRules::templateProblems(definition(tiles), {}, false),
            QStringList({ "Invalid Tiles Column" }))
            << tiles.toString().toStdString();
}

TEST_F(ModelTest, DefinitionRulesGatherEveryProblemAndGiveAnEmptyImageTheDefault)
{
    Template* stored = definition(2);
    ASSERT_TRUE(stored->saveTemplate());
    Template* other = definition(9, QString());
    other->setDescr(QString());
    // Name taken, no description, bad tiles: all three, in that order.
    EXPECT_EQ(DefinitionRules::templateProblems(other, { stored }, false),
        QStringList({ "Duplicate Entry.", "Invalid Description.", "Invalid Tiles Column" }));
    EXPECT_EQ(other->image().toString(), "template");
    other->setName(QString());
    EXPECT_EQ(
        DefinitionRules::templateProblems(other, { stored }, false).value(0), "Invalid Name.");
    // Its own name is no duplicate while edited, but is for an add.
    EXPECT_TRUE(DefinitionRules::templateProblems(stored, { stored }, true).isEmpty());
    EXPECT_EQ(DefinitionRules::templateProblems(stored, { stored }, false),
        QStringList({ "Duplicate Entry." }));
}

TEST_F(ModelTest, ColumnRulesNormaliseByTypeWhateverTheFormHeld)
{
    TemplateColumn* link = drafted("Site", "Link", 5, 3, "a,b");
    EXPECT_TRUE(DefinitionRules::columnProblems(link, {}, false).isEmpty());
    EXPECT_EQ(link->length().toInt(), 2000);
    EXPECT_EQ(link->precision().toInt(), 0);
    EXPECT_TRUE(link->listvalues().isNull());

    TemplateColumn* list = drafted("Kind", "List", 30, 2, QString());
    EXPECT_EQ(
        DefinitionRules::columnProblems(list, {}, false), QStringList({ "Invalid List Values." }));
    EXPECT_EQ(list->length().toInt(), 0);
    EXPECT_EQ(list->precision().toInt(), 0);

    for (const char* type : { "Date", "DateTime", "Time", "Yes/No" }) {
        TemplateColumn* plain = drafted("When", type, -7, 40, "x");
        EXPECT_TRUE(DefinitionRules::columnProblems(plain, {}, false).isEmpty()) << type;
        EXPECT_EQ(plain->length().toInt(), 0) << type;
        EXPECT_EQ(plain->precision().toInt(), 0) << type;
        EXPECT_TRUE(plain->listvalues().isNull()) << type;
    }

    TemplateColumn* text = drafted("Title", "Text", 40, 3);
    EXPECT_TRUE(DefinitionRules::columnProblems(text, {}, false).isEmpty());
    EXPECT_EQ(text->precision().toInt(), 0);
    // A number keeps its precision.
    TemplateColumn* price = drafted("Price", "Currency", 10, 2);
    EXPECT_TRUE(DefinitionRules::columnProblems(price, {}, false).isEmpty());
    EXPECT_EQ(price->precision().toInt(), 2);
}

TEST_F(ModelTest, ColumnRulesRefuseLengthsAndPrecisionsNoRowCanUse)
{
    // No type: only that, whatever the length.
    EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", QString(), -5), {}, false),
        QStringList({ "Invalid Type." }));
    EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", "Number", 10), {}, false),
        QStringList({ "Invalid Type." }));
    for (const QVariant& length : { QVariant(), QVariant(0) })
        for (const char* type : { "Text", "BigText", "Numeric", "Currency" })
            EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", type, length), {}, false),
                QStringList({ "Invalid Length." }))
                << type;
    // Negative or absurd lengths, once only, also where the type sets none.
    for (const QVariant& length : { QVariant(-1), QVariant(-2147483648LL), QVariant(1000001) }) {
        EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", "Text", length), {}, false),
            QStringList({ "Invalid Length." }));
        EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", "Protected", length), {}, false),
            QStringList({ "Invalid Length." }));
    }
    // Precision from 0 to the formatter's most decimals.
    EXPECT_TRUE(
        DefinitionRules::columnProblems(drafted("A", "Numeric", 8, 20), {}, false).isEmpty());
    for (const QVariant& precision : { QVariant(21), QVariant(-1) })
        EXPECT_EQ(DefinitionRules::columnProblems(drafted("A", "Numeric", 8, precision), {}, false),
            QStringList({ "Invalid Precision." }))
            << precision.toString().toStdString();
    EXPECT_EQ(DefinitionRules::columnProblems(drafted(QString(), "Numeric", -3, 99), {}, false),
        QStringList({ "Invalid Name.", "Invalid Length.", "Invalid Precision." }));
}

TEST_F(ModelTest, ColumnNamesAreUniqueWithinTheirDefinitionOnly)
{
    TemplateColumn* name = column(kDefinition, "Name", "Text");
    name->setLength(20);
    ASSERT_TRUE(name->saveTemplateColumn());
    TemplateColumn* elsewhere = column(QStringLiteral("OTHER"), "Phone", "Text");
    const QList<TemplateColumn*> siblings { name };
    EXPECT_EQ(DefinitionRules::columnProblems(drafted("Name", "Text", 5), siblings, false),
        QStringList({ "Duplicate Entry." }));
    EXPECT_TRUE(
        DefinitionRules::columnProblems(drafted("Phone", "Text", 5), siblings, false).isEmpty());
    EXPECT_TRUE(DefinitionRules::columnProblems(name, siblings, true).isEmpty());
    (void)elsewhere;
}

TEST(DefinitionRules, ChangesOfAUsedColumnStayInTheirFamilyAndTextNeverShrinks)
{
    const auto change = [](const char* from, int length, const char* to, int newLength, bool used) {
        return DefinitionRules::changeProblem(from, length, to, newLength, used);
    };
    EXPECT_EQ(change("Numeric", 10, "Currency", 10, true), QString());
    EXPECT_EQ(change("Text", 10, "Numeric", 10, true), "Invalid Type.");
    EXPECT_EQ(change("List", 0, "Protected", 0, true), QString());
    EXPECT_EQ(change("Date", 0, "Time", 0, true), QString());
    EXPECT_EQ(change("Yes/No", 0, "Date", 0, true), "Invalid Type.");
    // Unused definitions change freely, except for a shorter text.
    EXPECT_EQ(change("Text", 10, "Numeric", 10, false), QString());
    EXPECT_EQ(change("Text", 50, "Text", 20, false), "Invalid Length.");
    EXPECT_EQ(change("Text", 50, "BigText", 49, true), "Invalid Length.");
    EXPECT_EQ(change("Text", 50, "BigText", 500, true), QString());
    EXPECT_EQ(change("List", 0, "Text", 20, true), QString());
}
