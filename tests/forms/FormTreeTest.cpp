#include "forms/FormAppearance.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormClassicAppearance.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormFlatAppearance.h"
#include "forms/FormLabelElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSortingSection.h"
#include "forms/FormTableView.h"
#include "platform/MutableDictionary.h"

#include "forms/FormTestSupport.h"

#include <QElapsedTimer>

#include <limits>
#include <thread>

using platform::KeyValueCoding;
using platform::MutableDictionary;

namespace {

std::shared_ptr<FormLabelElement> label(const QString& key)
{
    auto element = FormLabelElement::initWithTitle(key, {});
    element->setKey(key);
    return element;
}

std::shared_ptr<FormEntryElement> entry(const QString& key)
{
    auto element = FormEntryElement::initWithTitle(key, {});
    element->setKey(key);
    return element;
}

} // namespace

using TreeTest = formtest::FormTest;

TEST_F(TreeTest, HiddenRowsAndSectionsStayInTheTreeAndShiftLaterIndexes)
{
    auto root = std::make_shared<FormRootElement>();
    auto a = FormSection::initWithTitle("A");
    auto b = FormSection::initWithTitle("B");
    auto c = FormSection::initWithTitle("C");
    for (auto& section : { a, b, c })
        root->addSection(section);
    auto b0 = label("b0"), b1 = label("b1"), b2 = label("b2"), c0 = label("c0");
    b->addElement(b0);
    b->addElement(b1);
    b->addElement(b2);
    c->addElement(c0);
    a->setHidden(true);
    b1->setHidden(true);

    EXPECT_EQ(root->numberOfSections(), 3);
    EXPECT_EQ(root->visibleNumberOfSections(), 2);
    EXPECT_EQ(root->getVisibleSectionForIndex(0), b.get());
    EXPECT_EQ(root->getVisibleSectionForIndex(1), c.get());
    EXPECT_EQ(root->getVisibleSectionForIndex(2), nullptr);
    EXPECT_EQ(root->getVisibleIndexForSection(c.get()), 1);
    EXPECT_EQ(root->getVisibleIndexForSection(a.get()), 0);
    FormSection stranger;
    EXPECT_EQ(root->getVisibleIndexForSection(&stranger), FormNotFound);

    EXPECT_EQ(b->visibleNumberOfElements(), 2);
    EXPECT_EQ(b->getVisibleElementForIndex(1), b2.get());
    EXPECT_EQ(b->getVisibleElementForIndex(2), nullptr);
    EXPECT_EQ(b2->visibleIndex(), 1);
    EXPECT_EQ(b1->visibleIndex(), 1);
    EXPECT_EQ(b->indexOfElement(b2.get()), 2);
    EXPECT_EQ(FormSection().indexOfElement(b2.get()), FormNotFound);

    EXPECT_EQ(b2->getIndexPath(), (FormIndexPath { 1, 0 }));
    EXPECT_EQ(c0->getIndexPath(), (FormIndexPath { 0, 1 }));
    EXPECT_FALSE(b1->getIndexPath());
    a->addElement(label("a0"));
    EXPECT_FALSE(a->elementAt(0)->getIndexPath());
    EXPECT_FALSE(label("alone")->getIndexPath());

    for (auto& section : { a, b, c })
        section->setHidden(true);
    EXPECT_EQ(root->visibleNumberOfSections(), 0);
    EXPECT_EQ(root->getVisibleSectionForIndex(0), nullptr);
}

TEST_F(TreeTest, VisibleRowsAndSectionsFollowEveryChangeAfterTheyWereCounted)
{
    auto root = std::make_shared<FormRootElement>();
    auto a = FormSection::initWithTitle("A");
    auto sorting = std::make_shared<FormSortingSection>();
    root->addSection(a);
    root->addSection(sorting);
    auto a0 = label("a0"), a1 = label("a1");
    a->addElement(a0);
    a->addElement(a1);
    for (const char* key : { "s0", "s1", "s2" })
        sorting->addElement(label(key));
    EXPECT_EQ(root->visibleNumberOfSections(), 2);
    EXPECT_EQ(a->visibleNumberOfElements(), 2);

    a0->setHidden(true);
    EXPECT_EQ(a->visibleNumberOfElements(), 1);
    EXPECT_EQ(a->getVisibleElementForIndex(0), a1.get());
    a0->setHidden(false);
    EXPECT_EQ(a->getVisibleElementForIndex(0), a0.get());
    a->setHidden(true);
    EXPECT_EQ(root->visibleNumberOfSections(), 1);
    EXPECT_EQ(root->getVisibleSectionForIndex(0), sorting.get());
    a->setHidden(false);
    EXPECT_EQ(root->getVisibleSectionForIndex(0), a.get());

    auto a2 = label("a2");
    a->insertElement(a2, 0);
    EXPECT_EQ(a->visibleNumberOfElements(), 3);
    EXPECT_EQ(a->getVisibleElementForIndex(0), a2.get());
    sorting->moveElementFromRow(2, 0);
    EXPECT_EQ(sorting->getVisibleElementForIndex(0)->key(), "s2");
    EXPECT_TRUE(sorting->removeElementForRow(0));
    EXPECT_EQ(sorting->visibleNumberOfElements(), 2);
    EXPECT_EQ(sorting->getVisibleElementForIndex(0)->key(), "s0");

    // A choice given new items after it joined the section still leaves it when hidden.
    auto choice = FormRadioElement::initWithItems({ "x", "y" }, 0, "Choice");
    a->addElement(choice);
    EXPECT_EQ(a->visibleNumberOfElements(), 4);
    choice->setItems({ "x", "y", "z" });
    choice->setHidden(true);
    EXPECT_EQ(a->visibleNumberOfElements(), 3);
    EXPECT_EQ(a->getVisibleElementForIndex(3), nullptr);

    root->removeAllSections();
    root->addSection(sorting);
    EXPECT_EQ(root->visibleNumberOfSections(), 1);
    EXPECT_EQ(root->getVisibleSectionForIndex(0), sorting.get());
    a->removeAllElements();
    EXPECT_EQ(a->visibleNumberOfElements(), 0);
}

TEST_F(TreeTest, LayingOutALongListTakesTimeInProportionToItsLength)
{
    // The table asks for each row and section by its visible index: a long list laid out
    // in the square of its length took seconds at 20,000 rows and minutes past that.
    const auto layOut = [](int count, bool sections) {
        auto root = std::make_shared<FormRootElement>();
        auto section = std::make_shared<FormSection>();
        root->addSection(section);
        for (int i = 0; i < count; ++i) {
            if (sections && i > 0) {
                section = std::make_shared<FormSection>();
                root->addSection(section);
            }
            section->addElement(std::make_shared<FormElement>());
        }
        formtest::FakeController controller;
        qint64 best = std::numeric_limits<qint64>::max();
        for (int attempt = 0; attempt < 3; ++attempt) {
            FormTableView table(&controller, root);
            QElapsedTimer timer;
            timer.start();
            table.setFrame(QRectF(0, 0, 320, 480));
            table.layoutIfNeeded();
            table.setContentOffset(QPointF(0, table.contentSize().height() - 480));
            table.layoutIfNeeded();
            best = std::min(best, timer.nsecsElapsed());
        }
        return double(best);
    };
    for (const bool sections : { false, true }) {
        SCOPED_TRACE(sections ? "sections" : "rows");
        // Sixteen times the rows take about sixteen times as long, not 256 times.
        const double ratio = layOut(16000, sections) / layOut(1000, sections);
        EXPECT_LT(ratio, 64) << ratio;
    }
}

TEST_F(TreeTest, BackReferencesClearWhenTheOwnerGoes)
{
    auto element = label("x");
    auto section = std::make_shared<FormSection>();
    {
        auto root = std::make_shared<FormRootElement>();
        root->addSection(section);
        section->addElement(element);
        EXPECT_EQ(section->rootElement(), root.get());
        EXPECT_EQ(element->parentSection(), section.get());
    }
    EXPECT_EQ(section->rootElement(), nullptr);
    EXPECT_EQ(section->visibleIndex(), FormNotFound);
    section.reset();
    EXPECT_EQ(element->parentSection(), nullptr);
    EXPECT_EQ(element->visibleIndex(), FormNotFound);
}

TEST_F(TreeTest, ElementWithKeySearchesNestedRootsDepthFirst)
{
    auto root = std::make_shared<FormRootElement>();
    auto first = std::make_shared<FormSection>();
    auto second = std::make_shared<FormSection>();
    root->addSection(first);
    root->addSection(second);
    auto nested = label("nested");
    auto inner = std::make_shared<FormSection>();
    nested->addSection(inner);
    auto deep = label("target");
    inner->addElement(deep);
    first->addElement(label("before"));
    first->addElement(nested);
    second->addElement(label("target"));
    second->setKey("second");

    EXPECT_EQ(root->elementWithKey("target"), deep.get());
    EXPECT_EQ(root->rootWithKey("nested"), nested.get());
    EXPECT_EQ(root->elementWithKey("missing"), nullptr);
    EXPECT_EQ(root->sectionWithKey("second"), second.get());
    EXPECT_EQ(root->sectionWithKey("other"), nullptr);
}

TEST_F(TreeTest, SortingSectionWritesItsKeysInTheirNewOrder)
{
    auto root = std::make_shared<FormRootElement>();
    auto sorting = std::make_shared<FormSortingSection>();
    root->addSection(sorting);
    for (const char* key : { "a", "b", "c" })
        sorting->addElement(label(key));
    EXPECT_TRUE(sorting->needsEditing());

    MutableDictionary unkeyed;
    root->fetchValueIntoObject(QVariant::fromValue(unkeyed));
    EXPECT_EQ(unkeyed.count(), 0);

    sorting->setKey("order");
    sorting->moveElementFromRow(2, 0);
    sorting->moveElementFromRow(5, 0);
    MutableDictionary fetched;
    root->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("order"), QVariant(QVariantList { "c", "a", "b" }));

    EXPECT_TRUE(sorting->removeElementForRow(1));
    sorting->moveElementFromRow(0, 1);
    root->fetchValueIntoObject(QVariant::fromValue(fetched));
    EXPECT_EQ(fetched.value("order"), QVariant(QVariantList { "b", "c" }));
}

TEST_F(TreeTest, FocusMovesOverEnabledVisibleEntriesOnly)
{
    auto root = std::make_shared<FormRootElement>();
    auto top = std::make_shared<FormSection>();
    auto hiddenSection = std::make_shared<FormSection>();
    auto bottom = std::make_shared<FormSection>();
    root->addSection(top);
    root->addSection(hiddenSection);
    root->addSection(bottom);
    hiddenSection->setHidden(true);

    auto name = entry("name");
    auto flag = FormBooleanElement::initWithTitle("flag", true);
    auto disabled = entry("disabled");
    disabled->setEnabled(false);
    auto hiddenRow = entry("hiddenRow");
    hiddenRow->setHidden(true);
    auto choice = FormRadioElement::initWithItems({ "x" }, 0, "choice");
    auto notes = FormMultilineElement::initWithTitle("notes", {});
    auto inHidden = entry("inHidden");
    auto date = FormDateTimeInlineElement::initWithTitle("date", {}, 1);
    auto last = entry("last");
    for (const std::shared_ptr<FormElement>& element :
        std::initializer_list<std::shared_ptr<FormElement>> {
            name, flag, disabled, hiddenRow, choice, notes })
        top->addElement(element);
    hiddenSection->addElement(inHidden);
    bottom->addElement(date);
    bottom->addElement(last);

    EXPECT_EQ(root->findElementToFocusOnAfter(nullptr), name.get());
    EXPECT_EQ(root->findElementToFocusOnAfter(name.get()), date.get());
    EXPECT_EQ(root->findElementToFocusOnAfter(date.get()), last.get());
    EXPECT_EQ(root->findElementToFocusOnAfter(last.get()), nullptr);
    EXPECT_EQ(root->findElementToFocusOnAfter(flag.get()), date.get());
    EXPECT_EQ(root->findElementToFocusOnBefore(last.get()), date.get());
    EXPECT_EQ(root->findElementToFocusOnBefore(date.get()), name.get());
    EXPECT_EQ(root->findElementToFocusOnBefore(name.get()), nullptr);
    EXPECT_EQ(root->findElementToFocusOnBefore(inHidden.get()), name.get());
    auto stranger = entry("stranger");
    EXPECT_EQ(root->findElementToFocusOnBefore(stranger.get()), nullptr);
    EXPECT_EQ(root->findElementToFocusOnAfter(stranger.get()), nullptr);
}

TEST_F(TreeTest, OneAppearanceIsSharedElementThenRootThenClass)
{
    auto root = std::make_shared<FormRootElement>();
    auto section = std::make_shared<FormSection>();
    root->addSection(section);
    auto row = label("row");
    section->addElement(row);
    auto loose = label("loose");

    std::shared_ptr<FormAppearance> shared = row->appearance();
    ASSERT_TRUE(std::dynamic_pointer_cast<FormFlatAppearance>(shared));
    EXPECT_EQ(root->appearance(), shared);
    EXPECT_EQ(loose->appearance(), shared);
    EXPECT_EQ(FormElement::classAppearance(&FormButtonElement::staticMetaObject), shared);
    root->appearance()->cellBorderWidth = 30;
    EXPECT_EQ(loose->appearance()->cellBorderWidth, 30);

    EXPECT_FALSE(shared->sectionTitleFont);
    EXPECT_FALSE(shared->sectionTitleColor);
    EXPECT_EQ(shared->valueAlignment, Qt::AlignRight);

    // A root's own record serves its rows that have none of their own.
    auto other = std::make_shared<FormRootElement>();
    auto otherSection = std::make_shared<FormSection>();
    other->addSection(otherSection);
    auto otherRow = label("otherRow");
    otherSection->addElement(otherRow);
    auto classic = std::make_shared<FormClassicAppearance>();
    other->setAppearance(classic);
    EXPECT_EQ(otherRow->appearance(), classic);

    // A class given its own record passes it to its subclasses.
    auto forLabels = std::make_shared<FormFlatAppearance>();
    FormElement::setClassAppearance(&FormLabelElement::staticMetaObject, forLabels);
    EXPECT_EQ(label("later")->appearance(), forLabels);
    EXPECT_EQ(entry("entry")->appearance(), forLabels);
    EXPECT_EQ(FormElement::classAppearance(&FormRootElement::staticMetaObject), shared);

    // A choice element is the root of its own list; asking it needs no form around it.
    auto choice = FormRadioElement::initWithItems({ "a" }, 0, "c");
    EXPECT_EQ(choice->appearance(), forLabels);
}

TEST_F(TreeTest, AppearanceCopiesTakeColoursButNotSizes)
{
    FormFlatAppearance flat;
    EXPECT_EQ(flat.cellBorderWidth, 14);
    flat.cellBorderWidth = 3;
    flat.toolbarStyle = 1;
    flat.labelColorEnabled = Color::redColor();
    flat.valueAlignment = Qt::AlignLeft;
    std::shared_ptr<FormAppearance> copy = flat.copy();
    ASSERT_TRUE(std::dynamic_pointer_cast<FormFlatAppearance>(copy));
    EXPECT_EQ(copy->cellBorderWidth, 14);
    EXPECT_EQ(copy->toolbarStyle, 0);
    EXPECT_EQ(*copy->labelColorEnabled, Color::redColor());
    EXPECT_EQ(copy->valueAlignment, Qt::AlignLeft);

    EXPECT_EQ(FormClassicAppearance::currentGroupedTableViewMarginForWidth(320), 10);
    EXPECT_EQ(FormClassicAppearance::currentGroupedTableViewMarginForWidth(768), 45);
    EXPECT_EQ(FormClassicAppearance::currentGroupedTableViewMarginForWidth(500), 31);
    EXPECT_EQ(FormClassicAppearance().cellBorderWidth, 20);
}

TEST_F(TreeTest, ControllerActionsRunOrAreLoggedNeverRaised)
{
    formtest::FakeController controller;
    auto row = label("row");
    QStringList order;
    row->onSelected = [&] { order << "block"; };
    row->setControllerAction("onSave:");
    row->handleElementSelected(&controller);
    EXPECT_EQ(order, QStringList { "block" });
    EXPECT_EQ(controller.calls, QStringList { "onSave:row" });

    row->setControllerAction("refresh");
    row->handleElementSelected(&controller);
    EXPECT_EQ(controller.calls.last(), "refresh");

    formtest::LogCapture log;
    row->setControllerAction("noSuchMethod:");
    row->handleElementSelected(&controller);
    row->setControllerAccessoryAction("alsoMissing:");
    row->handleAccessorySelected(&controller);
    row->handleElementSelected(nullptr);
    ASSERT_EQ(log.lines().size(), 3);
    EXPECT_EQ(log.lines()[0],
        "No method 'noSuchMethod:' was found on controller formtest::FakeController");
    EXPECT_EQ(log.lines()[1],
        "No method 'alsoMissing:' was found on controller formtest::FakeController");
    EXPECT_EQ(log.lines()[2], "No method 'noSuchMethod:' was found on controller (null)");

    // While the table is being edited only a button acts.
    controller.editing = true;
    controller.calls.clear();
    row->setControllerAction("onSave:");
    row->handleElementSelected(&controller);
    auto button = FormButtonElement::initWithTitle("Save");
    button->setKey("button");
    button->setControllerAction("onSave:");
    button->handleElementSelected(&controller);
    EXPECT_EQ(controller.calls, QStringList { "onSave:button" });
    EXPECT_EQ(order.size(), 5);
}

TEST_F(TreeTest, BuilderMakesRegisteredClassesByNameAndSetsTheirProperties)
{
    EXPECT_EQ(
        FormClassRegistry::classNamed("FormEntryElement"), &FormEntryElement::staticMetaObject);
    EXPECT_EQ(FormClassRegistry::classNamed("NoSuchElement"), nullptr);

    FormRootBuilder builder;
    auto element = builder.buildElementWithObject(QVariantMap {
        { "type", "FormEntryElement" },
        { "title", "Name" },
        { "key", "name" },
        { "maxLength", 5 },
        { "hidden", true },
        { "bind", "textValue:name" },
        { "placeholder", KeyValueCoding::nullObject() },
        { "sections",
            QVariantList { QVariantMap { { "title", "Inner" },
                { "elements",
                    QVariantList {
                        QVariantMap { { "type", "FormLabelElement" }, { "key", "deep" } } } } } } },
    });
    auto* typed = qobject_cast<FormEntryElement*>(element.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->title(), "Name");
    EXPECT_EQ(typed->maxLength(), 5);
    EXPECT_TRUE(typed->hidden());
    EXPECT_EQ(typed->bind(), "textValue:name");
    EXPECT_TRUE(typed->placeholder().isNull());
    ASSERT_EQ(typed->numberOfSections(), 1);
    EXPECT_EQ(typed->getSectionForIndex(0)->title(), "Inner");
    EXPECT_NE(typed->elementWithKey("deep"), nullptr);

    formtest::LogCapture log;
    EXPECT_EQ(builder.buildElementWithObject(QVariantMap { { "type", "FormNothing" } }), nullptr);
    EXPECT_EQ(builder.buildElementWithObject(QVariantMap { { "type", "FormSection" } }), nullptr);
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_EQ(log.lines()[0], "Couldn't build element for type FormNothing");

    auto section = builder.buildSectionWithObject(
        QVariantMap { { "type", "FormSortingSection" }, { "key", "k" } });
    ASSERT_TRUE(qobject_cast<FormSortingSection*>(section.get()));
    EXPECT_TRUE(qobject_cast<FormSortingSection*>(section.get())->sortingEnabled());
    auto plain = builder.buildSectionWithObject(QVariantMap { { "title", "T" } });
    EXPECT_EQ(plain->metaObject(), &FormSection::staticMetaObject);
}

TEST_F(TreeTest, TreesBuildOffTheMainThread)
{
    std::shared_ptr<FormRootElement> built;
    std::thread worker([&] {
        FormRootBuilder builder;
        auto root = std::make_shared<FormRootElement>();
        builder.buildSectionWithObject(
            QVariantMap { { "elements",
                QVariantList { QVariantMap { { "type", "FormRadioElement" },
                    { "items", QVariantList { "a", "b" } }, { "key", "r" },
                    { "itemsImageNames", QStringList { "x", "y" } } } } } },
            root.get());
        root->bindToObject(QVariantMap {});
        built = root;
    });
    worker.join();
    auto* radio = qobject_cast<FormRadioElement*>(built->elementWithKey("r"));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->internalRadioItemsSection()->elements().size(), 2);
}
