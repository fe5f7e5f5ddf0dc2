#include "forms/FormAutoEntryElement.h"
#include "forms/FormBadgeElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormDynamicDataSection.h"
#include "forms/FormEmptyListElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormFloatElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSegmentedElement.h"
#include "forms/FormSelectSection.h"
#include "forms/FormTextElement.h"
#include "platform/Exception.h"
#include "platform/MutableDictionary.h"

#include "forms/FormTestSupport.h"
#include "model/Database.h"
#include "model/ModelFixture.h"
#include "model/TemplateColumn.h"

#include <QDateTime>
#include <QTimeZone>

using platform::KeyValueCoding;
using platform::MutableDictionary;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

template<class T> std::shared_ptr<T> bound(std::shared_ptr<T> element, const QString& bind)
{
    element->setBind(bind);
    return element;
}

// A form holding every element kind, each bound to one key of a dictionary.
std::shared_ptr<FormRootElement> everyKindForm()
{
    auto root = std::make_shared<FormRootElement>();
    root->setBind("title:heading");
    auto texts = std::make_shared<FormSection>();
    texts->addElement(bound(FormEntryElement::initWithTitle("Name", {}), "textValue:name"));
    auto category = FormAutoEntryElement::initWithTitle("Category", {});
    category->setAutoCompleteValues({ "Home", "Work" });
    texts->addElement(bound(category, "textValue:category"));
    auto length = FormDecimalElement::initWithTitle("Length", 0);
    texts->addElement(bound(length, "numberValue:length"));
    texts->addElement(bound(FormMultilineElement::initWithTitle("Notes", {}), "textValue:notes"));
    texts->addElement(bound(FormLabelElement::initWithTitle("About", {}), "value:about"));
    texts->addElement(bound(FormTextElement::initWithText({}), "text:readonly"));
    texts->addElement(bound(FormBadgeElement::initWithTitle("Count", {}), "badge:count"));
    root->addSection(texts);

    auto values = std::make_shared<FormSection>();
    values->addElement(
        bound(FormBooleanElement::initWithTitle("Mandatory", false), "boolValue:mandatory"));
    values->addElement(bound(FormFloatElement::initWithTitle("Ratio", 0), "floatValue:ratio"));
    values->addElement(
        bound(FormDateTimeInlineElement::initWithTitle("Due", {}, FormDateTimeInlineElement::Date),
            "dateValue:due"));
    values->addElement(bound(FormDateTimeInlineElement::initWithTitle(
                                 "Timer", {}, FormDateTimeInlineElement::CountDownTimer),
        "ticksValue:seconds"));
    values->addElement(bound(FormDateTimeElement::initWithTitle("When", {}), "dateValue:when"));
    values->addElement(
        bound(FormRadioElement::initWithItems({ "Red", "Green", "Blue" }, -1, "Colour"),
            "selectedItem:colour"));
    auto table = FormRadioElement::initWithItems({ "Customers", "Orders" }, -1, "Table");
    table->setValues(QVariantList { "id-1", "id-2" });
    values->addElement(bound(table, "selectedValue:template_id"));
    values->addElement(bound(
        FormSegmentedElement::initWithItems({ "S", "M", "L" }, -1, "Size"), "selectedItem:size"));
    root->addSection(values);
    return root;
}

QVariantMap everyKindValues()
{
    return {
        { "heading", "Order" },
        { "name", "Ann" },
        { "category", "Work" },
        { "length", 12.5 },
        { "notes", "line one\nline two" },
        { "about", 42 },
        { "readonly", "fixed" },
        { "count", "3" },
        { "mandatory", true },
        { "ratio", 0.25 },
        { "due", utc(2024, 2, 29) },
        { "seconds", 3725.0 },
        { "when", utc(2023, 12, 31, 23, 59, 30) },
        { "colour", "Green" },
        { "template_id", "id-2" },
        { "size", "L" },
    };
}

} // namespace

using BindingTest = formtest::FormTest;

TEST_F(BindingTest, EveryKindRoundTripsThroughADictionary)
{
    auto root = everyKindForm();
    const QVariantMap values = everyKindValues();
    root->bindToObject(values);
    EXPECT_EQ(root->title(), "Order");

    MutableDictionary fetched;
    root->fetchValueUsingBindingsIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.toMap(), values);
    for (const QString& key : values.keys())
        EXPECT_EQ(fetched.value(key), values.value(key)) << key.toStdString();
}

TEST_F(BindingTest, FetchingOverwritesBoundKeysAndKeepsTheOthers)
{
    auto root = everyKindForm();
    root->bindToObject(everyKindValues());
    MutableDictionary target(QVariantMap { { "name", "old" }, { "untouched", 1 } });
    root->fetchValueUsingBindingsIntoObject(QVariant::fromValue(target));
    EXPECT_EQ(target.value("name").toString(), "Ann");
    EXPECT_EQ(target.value("untouched"), QVariant(1));
}

TEST_F(BindingTest, ItemsAreTrimmedAndTextAfterASecondColonIgnored)
{
    auto entry = FormEntryElement::initWithTitle("Name", {});
    entry->setBind("  textValue :\tname \n ,placeholder:hint:ignored, ");
    entry->bindToObject(QVariantMap { { "name", "Ann" }, { "hint", "Your name" } });
    EXPECT_EQ(entry->textValue(), "Ann");
    EXPECT_EQ(entry->placeholder(), "Your name");

    MutableDictionary fetched;
    entry->fetchValueUsingBindingsIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.toMap(), (QVariantMap { { "name", "Ann" }, { "hint", "Your name" } }));
}

TEST_F(BindingTest, MissingFlagIsNoAndNilTextKeepsTheStoredEntry)
{
    auto flag = FormBooleanElement::initWithTitle("Mandatory", true);
    flag->setBind("boolValue:mandatory");
    int changes = 0;
    flag->onValueChanged = [&](FormRootElement*) { ++changes; };
    flag->bindToObject(QVariantMap {});
    EXPECT_FALSE(flag->boolValue());
    EXPECT_EQ(changes, 1);
    MutableDictionary flags;
    flag->fetchValueUsingBindingsIntoObject(QVariant::fromValue(flags));
    EXPECT_EQ(flags.value("mandatory"), QVariant(false));
    // A missing number sets a slider to 0.
    auto ratio = FormFloatElement::initWithTitle("Ratio", 0.5f);
    ratio->setBind("floatValue:ratio");
    ratio->bindToObject(QVariantMap {});
    EXPECT_EQ(ratio->floatValue(), 0.0f);

    auto entry = FormEntryElement::initWithTitle("Name", {});
    entry->setBind("textValue:name");
    entry->bindToObject(QVariantMap {});
    EXPECT_TRUE(entry->textValue().isNull());
    MutableDictionary stored(QVariantMap { { "name", "kept" } });
    entry->fetchValueUsingBindingsIntoObject(QVariant::fromValue(stored));
    EXPECT_EQ(stored.value("name").toString(), "kept");

    // A field the user emptied holds "", which is written.
    entry->setTextFromField(QString());
    entry->fetchValueUsingBindingsIntoObject(QVariant::fromValue(stored));
    EXPECT_TRUE(stored.contains("name"));
    EXPECT_EQ(stored.value("name").toString(), "");
    EXPECT_FALSE(stored.value("name").toString().isNull());
}

TEST_F(BindingTest, UndefinedKeysRaiseOnBindAndAreLoggedAndSkippedOnFetch)
{
    auto entry = FormEntryElement::initWithTitle("Name", {});
    entry->setBind("nosuchProperty:name");
    EXPECT_THROW(entry->bindToObject(QVariantMap { { "name", "Ann" } }), platform::Exception);
    entry->setBind("textValue");
    EXPECT_THROW(entry->bindToObject(QVariantMap { { "name", "Ann" } }), platform::Exception);

    entry->setTextValue("Ann");
    entry->setBind("nosuchProperty:first, textValue, textValue:plain.inner, textValue:name");
    MutableDictionary target;
    target.setValue("plain", QVariantMap {});
    formtest::LogCapture log;
    entry->fetchValueUsingBindingsIntoObject(QVariant::fromValue(target));
    EXPECT_EQ(target.value("name").toString(), "Ann");
    ASSERT_EQ(log.lines().size(), 3);
    EXPECT_TRUE(log.lines()[0].startsWith("Couldn't set property first on object {"));
    EXPECT_TRUE(log.lines()[1].startsWith("Couldn't set property textValue on object {"));
    EXPECT_TRUE(log.lines()[2].startsWith("Couldn't set property plain.inner on object {"));
}

TEST_F(BindingTest, IterateRebuildsSectionsFromTemplatesOrShowsTheEmptyMessage)
{
    auto root = std::make_shared<FormRootElement>();
    root->setBind("iterate:self");
    root->setEmptyMessage("Nothing here");
    root->setSectionTemplate(QVariantMap {
        { "bind", "title:name, iterate:columns" },
        { "elementTemplate",
            QVariantMap { { "type", "FormEntryElement" },
                { "bind", "title:name, textValue:value, key:id" } } },
        { "beforeTemplateElements",
            QVariantList { QVariantMap { { "type", "FormLabelElement" }, { "title", "First" } } } },
        { "afterTemplateElements",
            QVariantList { QVariantMap { { "type", "FormButtonElement" }, { "title", "Last" } } } },
    });
    root->addSection(FormSection::initWithTitle("stale"));

    const QVariantList tables {
        QVariantMap { { "name", "People" },
            { "columns",
                QVariantList {
                    QVariantMap { { "name", "Name" }, { "value", "Ann" }, { "id", "c1" } },
                    QVariantMap { { "name", "Town" }, { "value", "Oslo" }, { "id", "c2" } } } } },
        QVariantMap { { "name", "Empty" }, { "columns", QVariantList {} } },
    };
    root->bindToObject(tables);
    ASSERT_EQ(root->numberOfSections(), 2);
    FormSection* people = root->getSectionForIndex(0);
    EXPECT_EQ(people->title(), "People");
    ASSERT_EQ(people->elements().size(), 4);
    EXPECT_EQ(people->elementAt(0)->metaObject()->className(), QByteArray("FormLabelElement"));
    EXPECT_EQ(qobject_cast<FormLabelElement*>(people->elementAt(0))->title(), "First");
    auto* town = qobject_cast<FormEntryElement*>(people->elementAt(2));
    ASSERT_NE(town, nullptr);
    EXPECT_EQ(town->title(), "Town");
    EXPECT_EQ(town->textValue(), "Oslo");
    EXPECT_EQ(town->parentSection(), people);
    EXPECT_EQ(root->elementWithKey("c1"), people->elementAt(1));
    EXPECT_EQ(people->elementAt(3)->metaObject()->className(), QByteArray("FormButtonElement"));
    EXPECT_EQ(root->getSectionForIndex(1)->elements().size(), 2);

    // Fetching skips the iterate item and writes what the rows hold.
    MutableDictionary fetched;
    root->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.toMap(), (QVariantMap { { "c1", "Ann" }, { "c2", "Oslo" } }));

    root->bindToObject(QVariantList {});
    ASSERT_EQ(root->numberOfSections(), 1);
    ASSERT_EQ(root->getSectionForIndex(0)->elements().size(), 1);
    auto* message = qobject_cast<FormTextElement*>(root->getSectionForIndex(0)->elementAt(0));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "Nothing here");
}

TEST_F(BindingTest, IteratePropertiesMakesOneRowPerEntryAndIgnoresNull)
{
    auto section = std::make_shared<FormSection>();
    section->setBind("iterateproperties:settings");
    section->setElementTemplate(
        QVariantMap { { "type", "FormLabelElement" }, { "bind", "title:key, value:value" } });
    auto root = std::make_shared<FormRootElement>();
    root->addSection(section);

    root->bindToObject(QVariantMap { { "settings", QVariantMap { { "a", 1 }, { "b", "two" } } } });
    ASSERT_EQ(section->elements().size(), 2);
    auto* second = qobject_cast<FormLabelElement*>(section->elementAt(1));
    EXPECT_EQ(second->title(), "b");
    EXPECT_EQ(second->value().toString(), "two");

    // The null object keeps the rows; nil empties the section.
    root->bindToObject(QVariantMap { { "settings", KeyValueCoding::nullObject() } });
    EXPECT_EQ(section->elements().size(), 2);
    root->bindToObject(QVariantMap {});
    EXPECT_TRUE(section->elements().isEmpty());
}

TEST_F(BindingTest, DynamicSectionShowsLoadingThenItemsOrTheEmptyRow)
{
    auto section = std::make_shared<FormDynamicDataSection>();
    ASSERT_EQ(section->elements().size(), 1);
    EXPECT_EQ(section->elementAt(0)->metaObject()->className(), QByteArray("FormLoadingElement"));
    section->setBind("iterate:rows");
    section->setEmptyMessage("No rows");
    section->setElementTemplate(
        QVariantMap { { "type", "FormLabelElement" }, { "bind", "title:self" } });

    section->bindToObject(QVariantMap { { "rows", QVariantList { "a", "b" } } });
    EXPECT_EQ(section->elements().size(), 2);
    section->bindToObject(QVariantMap { { "rows", QVariantList {} } });
    ASSERT_EQ(section->elements().size(), 1);
    auto* empty = qobject_cast<FormEmptyListElement*>(section->elementAt(0));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->title(), "No rows");
    section->bindToObject(QVariantMap {});
    EXPECT_TRUE(section->elements().isEmpty());
}

TEST_F(BindingTest, ASelectSectionKeepsItsRowsWhenTheFormIsBound)
{
    auto root = std::make_shared<FormRootElement>();
    auto select = FormSelectSection::initWithItems({ "a", "b" }, QVariantList { 1 });
    select->setKey("ticks");
    root->addSection(select);
    root->addSection(std::make_shared<FormSection>());
    root->getSectionForIndex(1)->addElement(
        bound(FormEntryElement::initWithTitle("N", {}), "textValue:n"));
    root->bindToObject(QVariantMap { { "n", "x" } });
    EXPECT_EQ(select->elements().size(), 2);
    MutableDictionary fetched;
    root->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("ticks"), QVariant(QVariantList { 1 }));
}

// Forms bound to records of the store.
class EntityBindingTest : public modeltest::ModelTest { };

TEST_F(EntityBindingTest, EveryKindRoundTripsThroughStoreRecords)
{
    Database* database = Database::add();
    ASSERT_NE(database, nullptr);
    database->setName("Shop");
    database->setDescr("Everything we sell\nand more");
    database->setIssystem(true);
    database->setCtimestamp(1700000000.25);
    TemplateColumn* column = TemplateColumn::add("T-1");
    column->setName("Price");
    column->setListvalues("a,b");
    column->setLength(12);
    column->setPrecision(2);
    column->setMandatory(true);
    column->setMtimestamp(1600000000.5);
    column->setType("Currency");
    column->setOrder(3);
    column->setCurrentmaxlength(40);

    auto root = std::make_shared<FormRootElement>();
    auto section = std::make_shared<FormSection>();
    root->addSection(section);
    section->addElement(bound(FormEntryElement::initWithTitle("Name", {}), "textValue:name"));
    section->addElement(
        bound(FormAutoEntryElement::initWithTitle("List", {}), "textValue:listvalues"));
    section->addElement(
        bound(FormDecimalElement::initWithTitle("Length", 0), "numberValue:length"));
    section->addElement(
        bound(FormBooleanElement::initWithTitle("Mandatory", false), "boolValue:mandatory"));
    section->addElement(
        bound(FormDateTimeElement::initWithTitle("Changed", {}), "ticksValue:mtimestamp"));
    section->addElement(bound(
        FormRadioElement::initWithItems({ "Text", "Currency" }, -1, "Type"), "selectedItem:type"));
    auto definition = FormRadioElement::initWithItems({ "Products", "Prices" }, -1, "Table");
    definition->setValues(QVariantList { "T-0", "T-1" });
    section->addElement(bound(definition, "selectedValue:template_id"));
    section->addElement(bound(FormLabelElement::initWithTitle("Order", {}), "value:order"));
    section->addElement(
        bound(FormFloatElement::initWithTitle("Width", 0), "floatValue:currentmaxlength"));
    auto precision = FormSegmentedElement::initWithItems({ "0", "1", "2" }, -1, "Precision");
    section->addElement(bound(precision, "selected:precision"));

    auto about = std::make_shared<FormRootElement>();
    auto aboutSection = std::make_shared<FormSection>();
    about->addSection(aboutSection);
    aboutSection->addElement(
        bound(FormMultilineElement::initWithTitle("About", {}), "textValue:descr"));
    aboutSection->addElement(bound(FormBadgeElement::initWithTitle("Name", {}), "badge:name"));
    aboutSection->addElement(bound(FormTextElement::initWithText({}), "text:id"));
    aboutSection->addElement(
        bound(FormBooleanElement::initWithTitle("System", false), "boolValue:issystem"));
    aboutSection->addElement(bound(FormDateTimeInlineElement::initWithTitle(
                                       "Made", {}, FormDateTimeInlineElement::DateAndTime),
        "ticksValue:ctimestamp"));

    root->bindToObject(KeyValueCoding::wrap(column));
    about->bindToObject(KeyValueCoding::wrap(database));
    MutableDictionary fetched;
    root->fetchValueUsingBindingsIntoObject(QVariant::fromValue(fetched));
    MutableDictionary fetchedAbout;
    about->fetchValueUsingBindingsIntoObject(QVariant::fromValue(fetchedAbout));

    const QVariantMap expected {
        { "name", "Price" },
        { "listvalues", "a,b" },
        { "length", 12 },
        { "mandatory", true },
        { "mtimestamp", 1600000000.5 },
        { "type", "Currency" },
        { "template_id", "T-1" },
        { "order", 3 },
        { "currentmaxlength", 40 },
        { "precision", 2 },
    };
    EXPECT_EQ(fetched.toMap(), expected);
    for (const QString& key : expected.keys())
        EXPECT_EQ(fetched.value(key), expected.value(key)) << key.toStdString();
    const QVariantMap expectedAbout {
        { "descr", "Everything we sell\nand more" },
        { "name", "Shop" },
        { "id", database->id() },
        { "issystem", true },
        { "ctimestamp", 1700000000.25 },
    };
    EXPECT_EQ(fetchedAbout.toMap(), expectedAbout);

    // Back into another record: the store converts each value to its attribute's type.
    TemplateColumn* copy = TemplateColumn::add("T-9");
    root->fetchValueUsingBindingsIntoObject(KeyValueCoding::wrap(copy));
    EXPECT_EQ(copy->name().toString(), "Price");
    EXPECT_EQ(copy->length(), QVariant(qlonglong(12)));
    EXPECT_EQ(copy->mandatory(), QVariant(true));
    EXPECT_EQ(copy->mtimestamp(), QVariant(1600000000.5));
    EXPECT_EQ(copy->template_id().toString(), "T-1");
    EXPECT_EQ(copy->currentmaxlength(), QVariant(qlonglong(40)));
}

TEST_F(EntityBindingTest, AnAttributeTheRecordLacksRaisesOnBindAndIsSkippedOnFetch)
{
    Database* database = Database::add();
    database->setName("Shop");
    auto entry = FormEntryElement::initWithTitle("Name", {});
    entry->setBind("textValue:nosuch");
    EXPECT_THROW(entry->bindToObject(KeyValueCoding::wrap(database)), platform::Exception);

    entry->setBind("textValue:nosuch, textValue:descr");
    entry->setTextValue("written");
    formtest::LogCapture log;
    entry->fetchValueUsingBindingsIntoObject(KeyValueCoding::wrap(database));
    EXPECT_EQ(database->descr().toString(), "written");
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("Couldn't set property nosuch on object <Database 0x"));

    // A value the attribute cannot hold is refused the same way.
    auto when = FormDateTimeInlineElement::initWithTitle("When", QDateTime::currentDateTime(), 0);
    when->setBind("dateValue:name");
    when->fetchValueUsingBindingsIntoObject(KeyValueCoding::wrap(database));
    EXPECT_EQ(database->name().toString(), "Shop");
    EXPECT_EQ(log.lines().size(), 2);
}
