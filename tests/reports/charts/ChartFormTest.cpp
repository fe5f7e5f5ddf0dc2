#include "reports/ReportFixture.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseViewController.h"
#include "platform/plot/Theme.h"
#include "platform/ui/Device.h"
#include "platform/ui/Window.h"
#include "reports/charts/ChartDataController.h"
#include "reports/charts/ChartDetailViewController.h"
#include "style/Theme.h"
#include "utilities/shell/Preferences.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/PopoverController.h"

#include <QGuiApplication>
#include <QPointer>

using reporttest::ReportTest;

namespace {

// The rows data controller as the chart form sees it: columns, completions, and the
// definitions it is handed.
class ChartRows : public reporttest::TableController, public RowFormDataController {
public:
    const QList<TemplateColumn*>& Columns() const override { return tableColumns; }
    const Rows::Password& secret() const override { return password; }
    QVariantList getAutoCompleteValues(const QString&) override { return { "apples", "pears" }; }
    bool saveRow(const QVariant& values) override
    {
        definitions << values.toMap();
        return true;
    }
    QList<QVariantMap> definitions;
};

class RowsScreen : public BaseViewController {
public:
    void use(std::shared_ptr<BaseDataController> controller) { setDataController(controller); }
    void initProperties() override { }
};

struct ChartFormTest : ReportTest, ::testing::WithParamInterface<const char*> {
    void SetUp() override
    {
        ReportTest::SetUp();
        Preferences::registerDefaults();
        delegate->setCurrentStyle(::Theme::getDefaultTheme());
        ChartDetailViewController::registerForm();
        ASSERT_TRUE(platform::ui::Device::current().selectModel(GetParam()));
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->setFrame(QRectF(0, 0, phone() ? 375 : 1024, phone() ? 667 : 768));
        name = addColumn(QStringLiteral("Item"), TypeConstants::Text);
        secret = addColumn(QStringLiteral("Code"), TypeConstants::Protected);
        amount = addColumn(QStringLiteral("Amount"), TypeConstants::Numeric, false, 0, 2);
        at = addColumn(QStringLiteral("At"), TypeConstants::Time);
        count = addColumn(QStringLiteral("Count"), TypeConstants::Numeric, false, 0, 0);
        table = addTable(QStringLiteral("Sales"));
        storeRows(table,
            { { { "Item", "pears" }, { "Amount", 2.5 }, { "Count", 4.0 } },
                { { "Item", "apples" }, { "Amount", 1.25 }, { "Count", 9.0 } } });
        rows = std::make_shared<ChartRows>();
        rows->tableColumns = columns;
        rows->table = table;
        rows->loadData(nullptr);
        screen = new RowsScreen();
        screen->use(rows);
        navigation = std::make_unique<platform::ui::NavigationController>();
        navigation->pushViewController(screen, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
        platform::ui::Application::shared().makeKeyAndVisible();
        testsupport::processEvents(10);
    }
    void TearDown() override
    {
        ASSERT_TRUE(platform::ui::Device::current().selectModel(QStringLiteral("tablet")));
        ReportTest::TearDown();
    }

    bool phone() const { return QString::fromLatin1(GetParam()) == QStringLiteral("phone"); }

    ChartDetailViewController* openForm()
    {
        screen->ShowDetail(
            QVariant(QVariantMap()), QStringLiteral("ChartDetailViewController"), {});
        EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
        testsupport::processEvents(10);
        return qobject_cast<ChartDetailViewController*>(shownForm());
    }

    platform::ui::ViewController* shownForm() const
    {
        if (navigation->topViewController() != screen)
            return navigation->topViewController();
        PopoverController* popover = screen->popupController();
        return popover ? popover->contentViewController() : nullptr;
    }

    static FormRadioElement* choice(ChartDetailViewController* form, const QString& key)
    {
        return qobject_cast<FormRadioElement*>(form->root()->elementWithKey(key));
    }

    TemplateColumn* name = nullptr;
    TemplateColumn* secret = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* at = nullptr;
    TemplateColumn* count = nullptr;
    UserTemplate* table = nullptr;
    std::shared_ptr<ChartRows> rows;
    QPointer<RowsScreen> screen;
};

} // namespace

TEST_P(ChartFormTest, OffersTheColumnsTheChartCanUseWithTheirStartingChoices)
{
    ChartDetailViewController* form = openForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), QStringLiteral("Chart Data"));
    // No protected column for x; only number columns for y.
    EXPECT_EQ(choice(form, "xaxis")->items(), (QVariantList { "Item", "Amount", "At", "Count" }));
    EXPECT_EQ(choice(form, "yaxis")->items(), (QVariantList { "Amount", "Count" }));
    EXPECT_EQ(choice(form, "type")->selectedItem(), LocalizedStrings::Line());
    EXPECT_EQ(choice(form, "function")->selectedItem(), LocalizedStrings::Sum());
    EXPECT_EQ(choice(form, "grouping")->selectedItem(), LocalizedStrings::None());
    EXPECT_EQ(choice(form, "theme")->selectedItem(), ChartDetailViewController::defaultTheme());
    EXPECT_EQ(choice(form, "theme")->items().size(), 5);

    // The range fields sit at their device's places and start at the first and last
    // names in order; a text x has no grouping.
    FormSection* x = form->root()->sectionWithKey("section1");
    ASSERT_TRUE(x);
    EXPECT_EQ(x->elements().size(), phone() ? 8 : 4);
    auto* low = qobject_cast<FormAutoEntryElement*>(x->elementAt(phone() ? 3 : 1));
    auto* high = qobject_cast<FormAutoEntryElement*>(x->elementAt(phone() ? 5 : 2));
    ASSERT_TRUE(low && high);
    EXPECT_EQ(low->textValue(), QStringLiteral("apples"));
    EXPECT_EQ(high->textValue(), QStringLiteral("pears"));
    EXPECT_EQ(low->autoCompleteValues(), (QStringList { "apples", "pears" }));
    EXPECT_EQ(x->elementAt(phone() ? 7 : 3), choice(form, "grouping"));
    EXPECT_FALSE(choice(form, "grouping")->isEnabled());
    if (phone()) {
        EXPECT_TRUE(qobject_cast<FormLabelElement*>(x->elementAt(0)));
    }
    // A picture of the form for a person to look at (from the X server under X).
    auto* window = platform::ui::Application::shared().keyWindow();
    ASSERT_TRUE(window);
    testsupport::processEvents(60);
    const QString name = QStringLiteral("chart-form-%1.png").arg(GetParam());
    EXPECT_TRUE(window->snapshot().save(testsupport::outputPath(name)));
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        testsupport::processEvents(300);
        testsupport::runTool(QStringLiteral("import"),
            { QStringLiteral("-window"), QStringLiteral("root"),
                testsupport::outputPath("x-" + name) });
    }
}

TEST_P(ChartFormTest, AnotherXColumnBringsFieldsOfItsKind)
{
    ChartDetailViewController* form = openForm();
    ASSERT_TRUE(form);
    FormSection* x = form->root()->sectionWithKey("section1");
    const qsizetype low = ChartDetailViewController::minimumPosition();
    const qsizetype high = ChartDetailViewController::maximumPosition();

    choice(form, "xaxis")->setSelectedItem(QStringLiteral("Count"));
    form->EnableDisable(true);
    auto* lowNumber = qobject_cast<FormDecimalElement*>(x->elementAt(low));
    auto* highNumber = qobject_cast<FormDecimalElement*>(x->elementAt(high));
    ASSERT_TRUE(lowNumber && highNumber);
    EXPECT_EQ(lowNumber->numberValue().toDouble(), 4);
    EXPECT_EQ(highNumber->numberValue().toDouble(), 9);
    EXPECT_EQ(lowNumber->fractionDigits(), 0u);
    EXPECT_FALSE(choice(form, "grouping")->isEnabled());

    choice(form, "xaxis")->setSelectedItem(QStringLiteral("At"));
    form->EnableDisable(true);
    auto* lowTime = qobject_cast<FormDateTimeInlineElement*>(x->elementAt(low));
    ASSERT_TRUE(lowTime);
    EXPECT_EQ(lowTime->mode(), int(FormDateTimeInlineElement::Time));
    EXPECT_TRUE(choice(form, "grouping")->isEnabled());

    choice(form, "xaxis")->setSelectedItem(QStringLiteral("Item"));
    form->EnableDisable(true);
    EXPECT_TRUE(qobject_cast<FormAutoEntryElement*>(x->elementAt(low)));
    EXPECT_FALSE(choice(form, "grouping")->isEnabled());
}

TEST_P(ChartFormTest, PlotChartHandsTheDefinitionOverAndNoneIsRefused)
{
    ChartDetailViewController* form = openForm();
    ASSERT_TRUE(form);
    choice(form, "type")->setSelectedItem(LocalizedStrings::Pie());
    choice(form, "yaxis")->setSelectedItem(QStringLiteral("Count"));
    form->onSave();
    testsupport::processEvents(10);
    ASSERT_EQ(rows->definitions.size(), 1);
    const QVariantMap definition = rows->definitions.first();
    EXPECT_EQ(definition.value("type"), LocalizedStrings::Pie());
    EXPECT_EQ(definition.value("xaxis"), QStringLiteral("Item"));
    EXPECT_EQ(definition.value("yaxis"), QStringLiteral("Count"));
    EXPECT_EQ(definition.value("minValue"), QStringLiteral("apples"));
    EXPECT_EQ(definition.value("maxValue"), QStringLiteral("pears"));

    QVariantMap none = definition;
    none.insert("xaxis", LocalizedStrings::None());
    ChartDataController(rows.get()).plotChart(none);
    testsupport::processEvents(10);
    EXPECT_EQ(alertMessages(), QStringList { QStringLiteral("Please enter valid data.") });
}

INSTANTIATE_TEST_SUITE_P(TabletAndPhone, ChartFormTest, ::testing::Values("tablet", "phone"));
