#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSortingSection.h"
#include "forms/FormTestSupport.h"
#include "platform/Folders.h"
#include "platform/ui/Image.h"
#include "utilities/text/FormatLocale.h"
#include "utilities/text/StringsLanguage.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLocale>
#include <QTemporaryDir>

namespace {

using formtest::LogCapture;
using platform::KeyValueCoding;

QVariantMap parsed(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).toVariant().toMap();
}

// A bundle of its own: the JSON resources and a German strings table the test writes,
// the application's images beside them.
struct JsonForms : formtest::FormTest {
    QTemporaryDir bundle;

    void SetUp() override
    {
        formtest::FormTest::SetUp();
        ASSERT_TRUE(bundle.isValid());
        QDir().mkpath(bundle.path() + "/strings");
        QFile::link(platform::Folders::resources() + "/images", bundle.path() + "/images");
        qputenv("KIVOTAB_RESOURCES", bundle.path().toUtf8());
        platform::ui::Image::clearCache();
    }
    void TearDown() override
    {
        qunsetenv("KIVOTAB_RESOURCES");
        platform::ui::Image::clearCache();
        FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        StringsLanguage::load();
    }

    void write(const QString& name, const QByteArray& content)
    {
        QFile file(bundle.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // German, with translations for texts a description might hold.
    void speakGerman()
    {
        write("strings/de.json",
            R"({"Name": "Bezeichnung", "Notes": "Notizen", "textValue:name": "kaputt",
                "FormEntryElement": "FormLabelElement", "One": "Eins", "Two": "Zwei"})");
        FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // The strings table is chosen once, as at start-up.
        StringsLanguage::load();
    }
};

TEST_F(JsonForms, RootBuildMapsEnumerationNamesAndTranslatesOtherTexts)
{
    speakGerman();
    EXPECT_FALSE(FormRootBuilder::hasMappings());
    FormRootBuilder builder;
    const auto root = builder.buildWithObject(parsed(R"({
        "type": "FormEntryElement", "title": "Notes", "grouped": true,
        "presentationMode": "ModalForm",
        "sections": [{"title": "Name", "elements": [
            {"type": "FormLabelElement", "title": "Name", "accessoryType": "DisclosureIndicator",
             "key": "label"},
            {"type": "FormEntryElement", "key": "alpha", "keyboardType": "Alphabet",
             "bind": "textValue:name", "returnKeyType": "Done", "labelingPolicy": "trimTitle"},
            {"type": "FormEntryElement", "key": "ascii", "keyboardType": "ASCIICapable",
             "autocapitalizationType": "AllCharacters", "autocorrectionType": "No"},
            {"type": "FormEntryElement", "key": "decimal", "keyboardType": "DecimalPad",
             "keyboardAppearance": "Alert"}
        ]}]})"));
    EXPECT_TRUE(FormRootBuilder::hasMappings()) << "the first root build makes the table";
    // The top level is always a plain root, whatever its "type".
    EXPECT_EQ(root->metaObject(), &FormRootElement::staticMetaObject);
    EXPECT_EQ(root->title(), "Notizen");
    EXPECT_TRUE(root->grouped());
    EXPECT_EQ(root->presentationMode(), FormRootElement::ModalForm);
    ASSERT_EQ(root->numberOfSections(), 1);
    EXPECT_EQ(root->getSectionForIndex(0)->title(), "Bezeichnung");

    auto* label = qobject_cast<FormLabelElement*>(root->elementWithKey("label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->title(), "Bezeichnung");
    EXPECT_EQ(label->accessoryType(), 1);
    auto entry = [&](const char* key) {
        return qobject_cast<FormEntryElement*>(root->elementWithKey(key));
    };
    ASSERT_NE(entry("alpha"), nullptr);
    EXPECT_EQ(entry("alpha")->keyboardType(), 1);
    EXPECT_EQ(entry("ascii")->keyboardType(), 1);
    // Read as a number the name would be 0, the default keyboard.
    EXPECT_EQ(entry("decimal")->keyboardType(), 8);
    EXPECT_EQ(entry("decimal")->keyboardAppearance(), 1);
    EXPECT_EQ(entry("alpha")->returnKeyType(), 9);
    EXPECT_EQ(entry("alpha")->labelingPolicy(), 1);
    EXPECT_EQ(entry("ascii")->autocapitalizationType(), 3);
    EXPECT_EQ(entry("ascii")->autocorrectionType(), 1);
    // The strings table translates both, yet neither is touched.
    EXPECT_EQ(entry("alpha")->bind(), "textValue:name");
    EXPECT_EQ(entry("alpha")->metaObject(), &FormEntryElement::staticMetaObject);
}

TEST_F(JsonForms, UnknownNamesNullsAndArraysAreSetAsTheBuilderPromises)
{
    speakGerman();
    FormRootBuilder::initializeMappings();
    auto entry = std::make_shared<FormEntryElement>();
    entry->setKeyboardType(4);
    entry->setTitle("Old");
    LogCapture log;
    FormRootBuilder().updateObject(entry.get(),
        parsed(R"({"keyboardType": "Numbers", "title": null, "placeholder": "Name"})"));
    // A name the table lacks leaves the property as it was, and says so.
    EXPECT_EQ(entry->keyboardType(), 4);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines()[0], "Unknown value Numbers for property keyboardType");
    EXPECT_TRUE(entry->title().isNull()) << "null sets nil";
    EXPECT_EQ(entry->placeholder(), "Bezeichnung");

    // Arrays are copied with their texts translated in place, other items untouched;
    // unlocalised (the binding evaluator's way) they stay as given.
    auto section = std::make_shared<FormSection>();
    FormRootBuilder::trySetProperty("beforeTemplateElements", section.get(),
        QVariantList { "One", 2, QVariantMap { { "type", "Two" } }, "Two" }, true);
    const QVariantList items
        = KeyValueCoding::valueForKey(section.get(), "beforeTemplateElements").toList();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], QVariant("Eins"));
    EXPECT_EQ(items[1].toInt(), 2);
    EXPECT_EQ(items[2].toMap().value("type"), QVariant("Two"));
    EXPECT_EQ(items[3], QVariant("Zwei"));
    FormRootBuilder::trySetProperty("title", entry.get(), QString("Name"), false);
    EXPECT_EQ(entry->title(), "Name");
    // A mapped name is mapped whether or not texts are translated.
    FormRootBuilder::trySetProperty("keyboardType", entry.get(), QString("EmailAddress"), false);
    EXPECT_EQ(entry->keyboardType(), 7);
}

TEST_F(JsonForms, ElementBuildsBeforeAnyRootBuildApplyNoNames)
{
    FormRootBuilder builder;
    auto element = builder.buildElementWithObject(
        parsed(R"({"type": "FormLabelElement", "title": "T", "accessoryType": "Checkmark"})"));
    ASSERT_NE(element, nullptr);
    EXPECT_FALSE(FormRootBuilder::hasMappings());
    EXPECT_NE(qobject_cast<FormLabelElement*>(element.get())->accessoryType(), 3);
    builder.buildWithObject({});
    element = builder.buildElementWithObject(
        parsed(R"({"type": "FormLabelElement", "title": "T", "accessoryType": "Checkmark"})"));
    EXPECT_EQ(qobject_cast<FormLabelElement*>(element.get())->accessoryType(), 3);
}

TEST_F(JsonForms, SectionsTakeTheirTypeRootsNestAndBadEntriesAreSkipped)
{
    LogCapture log;
    const auto root = FormRootBuilder().buildWithObject(parsed(R"({"sections": [
        {"title": "Plain", "elements": [
            {"type": "FormLabelElement", "key": "outer", "title": "More",
             "sections": [{"elements": [
                {"type": "FormLabelElement", "key": "deeper",
                 "sections": [{"elements": [{"type": "FormEntryElement", "key": "deepest"}]}]}]}]},
            {"type": "NoSuchElement", "key": "ghost"},
            "not a description",
            {"type": "FormEntryElement", "key": "after"}]},
        {"type": "FormSortingSection", "key": "order", "elements": [
            {"type": "FormLabelElement", "key": "a"}, {"type": "FormLabelElement", "key": "b"}]},
        {"type": "NoSuchSection", "elements": [{"type": "FormLabelElement", "key": "lost"}]},
        42
    ]})"));
    ASSERT_EQ(root->numberOfSections(), 2) << "an unknown section type builds no section";
    EXPECT_EQ(root->getSectionForIndex(0)->metaObject(), &FormSection::staticMetaObject);
    auto* sorting = qobject_cast<FormSortingSection*>(root->getSectionForIndex(1));
    ASSERT_NE(sorting, nullptr);
    EXPECT_TRUE(sorting->sortingEnabled());
    EXPECT_TRUE(sorting->needsEditing());
    // The unknown element is skipped, the rows after it are built.
    EXPECT_EQ(root->getSectionForIndex(0)->elements().size(), 2);
    EXPECT_NE(root->elementWithKey("after"), nullptr);
    EXPECT_EQ(root->elementWithKey("ghost"), nullptr);
    EXPECT_EQ(root->elementWithKey("lost"), nullptr);
    // Roots nest to any depth.
    auto* outer = qobject_cast<FormRootElement*>(root->elementWithKey("outer"));
    ASSERT_NE(outer, nullptr);
    EXPECT_TRUE(outer->hasSections());
    EXPECT_NE(outer->elementWithKey("deepest"), nullptr);
    EXPECT_TRUE(log.lines().contains("Couldn't build element for type NoSuchElement"));
}

TEST_F(JsonForms, ResourceConstructorsReadBindAndSurviveBadFiles)
{
    write("contact.json",
        R"({"title": "Contact", "sections": [{"elements": [
            {"type": "FormEntryElement", "key": "name", "bind": "textValue:name"},
            {"type": "FormEntryElement", "key": "phone", "bind": "textValue:phone",
             "keyboardType": "PhonePad"}]}]})");
    write("contact-data.json", R"({"name": "Ada", "phone": "555"})");
    write("broken.json", R"({"title": "Half", "sections": [)");

    const auto plain = FormRootElement::initWithJSONFile("contact");
    EXPECT_EQ(plain->title(), "Contact");
    auto* phone = qobject_cast<FormEntryElement*>(plain->elementWithKey("phone"));
    ASSERT_NE(phone, nullptr);
    EXPECT_EQ(phone->keyboardType(), 5);
    EXPECT_TRUE(phone->textValue().isEmpty());

    const auto bound = FormRootElement::initWithJSONFile(
        "contact", QVariantMap { { "name", "Grace" }, { "phone", "123" } });
    EXPECT_EQ(qobject_cast<FormEntryElement*>(bound->elementWithKey("name"))->textValue(), "Grace");

    const auto fromFiles
        = FormRootElement::initWithJSONFileAndDataJSONFile("contact", "contact-data");
    EXPECT_EQ(
        qobject_cast<FormEntryElement*>(fromFiles->elementWithKey("phone"))->textValue(), "555");
    // A missing data file is no data: the form is built unbound.
    const auto noData = FormRootElement::initWithJSONFileAndDataJSONFile("contact", "absent");
    EXPECT_EQ(noData->numberOfSections(), 1);

    const auto withObject = FormRootElement::rootForJSON("contact", QVariant("record 7"));
    EXPECT_EQ(withObject->object(), QVariant("record 7"));

    LogCapture log;
    const auto missing = FormRootElement::rootForJSON("nowhere");
    ASSERT_NE(missing, nullptr);
    EXPECT_FALSE(missing->hasSections());
    const auto broken = FormRootElement::initWithJSONFile("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->hasSections());
    EXPECT_TRUE(broken->title().isEmpty());
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_EQ(log.lines()[0], "Couldn't read any data for JSON file named: nowhere");
    EXPECT_TRUE(log.lines()[1].startsWith("Parsing error: ")) << log.lines()[1].toStdString();

    // A description that is not a dictionary describes an empty root.
    const auto fromArray = FormRootElement::initWithJSON(QVariantList { 1, 2 }, QVariant());
    EXPECT_FALSE(fromArray->hasSections());
}

} // namespace
