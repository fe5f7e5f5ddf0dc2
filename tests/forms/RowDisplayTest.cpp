#include "DetailFormFixture.h"

#include "forms/DetailExportMenu.h"
#include "forms/FormLabelElement.h"
#include "forms/FormTextElement.h"
#include "forms/ResponseRowDetailViewController.h"
#include "forms/RowDetailViewController.h"
#include "grid/GridData.h"
#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"
#include "grid/ResponseTable.h"
#include "grid/ToolBar.h"
#include "utilities/data/BitManager.h"

using namespace detailtest;

namespace {

const QString kMask = QString(9, QChar(0x25CF));

// Counts the export menus made and shown.
class CountingMenu : public DetailExportMenu {
public:
    explicit CountingMenu(int* shown)
        : m_shown(shown)
    {
    }
    void showMenu() override { ++*m_shown; }

private:
    int* m_shown;
};

struct RowDisplay : DetailFormTest {
    TemplateColumn *name = nullptr, *pin = nullptr, *notes = nullptr;

    void makeColumns()
    {
        name = column("Name", TypeConstants::Text);
        pin = column("Pin", TypeConstants::Protected);
        notes = column("Notes", TypeConstants::BigText);
    }

    RowDetailViewController* openDisplay(const QVariantMap& values)
    {
        controller->setLastClickedButton(BaseDataController::DetailAction);
        host->ShowDetail(values, "RowDetailViewController", {}, true);
        EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
        settle();
        return qobject_cast<RowDetailViewController*>(shownForm());
    }

    static QList<FormElement*> rows(QuickDetailViewController* form)
    {
        QList<FormElement*> found;
        for (const auto& element : form->root()->sections().value(0)->elements())
            found << element.get();
        return found;
    }
};

} // namespace

TEST_F(RowDisplay, APhoneShowsCaptionAndValueRowsWithTheProtectedValueMaskedUntilUnlocked)
{
    makeColumns();
    showHost("phone");
    const QVariantMap values { { name->id().toString(), "Ada" }, { pin->id().toString(), "1234" },
        { notes->id().toString(), "Short" } };
    auto* display = openDisplay(values);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->root()->title(), "Contacts");
    const QList<FormElement*> shown = rows(display);
    ASSERT_EQ(shown.size(), 6);
    auto* value = qobject_cast<FormLabelElement*>(shown.at(3));
    EXPECT_EQ(qobject_cast<FormLabelElement*>(shown.at(2))->title(), "Pin");
    EXPECT_EQ(value->title(), kMask);
    EXPECT_EQ(value->imageName().isEmpty(), true);
    save("row-display-phone-masked.png");
    value->onImageSelected(value);
    EXPECT_EQ(value->title(), "1234");
    save("row-display-phone-unlocked.png");
    value->onImageSelected(value);
    EXPECT_EQ(value->title(), kMask);
    EXPECT_EQ(display->root()->sections().size(), 1);
}

// A long protected value is masked on one line; unlocked, it wraps under its caption as a
// long plain value does, and that caption's lock masks it again.
struct RowDisplayLong : RowDisplay, ::testing::WithParamInterface<const char*> { };

TEST_P(RowDisplayLong, AProtectedValueIsMaskedOnOneLineAndWrapsOnceUnlocked)
{
    const QString device = GetParam();
    makeColumns();
    showHost(device);
    const bool phone = device == "phone";
    const QString longText = QString(60, u'x') + " " + QString(140, u'y');
    const QVariantMap values { { name->id().toString(), "Ada" }, { pin->id().toString(), longText },
        { notes->id().toString(), longText } };
    auto* display = openDisplay(values);
    ASSERT_NE(display, nullptr);
    FormTableView* table = display->formTableView();
    // Name (1 or 2 rows), Pin masked (1 or 2), Notes as caption and text (2).
    const int maskedRows = phone ? 6 : 4;
    EXPECT_EQ(table->numberOfRowsInSection(0), maskedRows);
    const QList<FormElement*> all = rows(display);
    auto* secret = qobject_cast<FormLabelElement*>(all.at(phone ? 3 : 1));
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(phone ? secret->title() : secret->value().toString(), kMask);
    EXPECT_EQ(secret->key(), pin->id().toString());
    auto* notesText = qobject_cast<FormTextElement*>(all.last());
    ASSERT_NE(notesText, nullptr);
    EXPECT_EQ(notesText->text(), longText);
    save(QStringLiteral("row-display-%1-long-masked.png").arg(device));

    secret->onImageSelected(secret);
    settle();
    EXPECT_TRUE(secret->hidden());
    auto* clearCaption = qobject_cast<FormLabelElement*>(all.at(phone ? 4 : 2));
    auto* clearText = qobject_cast<FormTextElement*>(all.at(phone ? 5 : 3));
    ASSERT_NE(clearCaption, nullptr);
    ASSERT_NE(clearText, nullptr);
    EXPECT_FALSE(clearCaption->hidden());
    EXPECT_FALSE(clearText->hidden());
    EXPECT_EQ(clearCaption->title(), "Pin");
    EXPECT_EQ(clearText->text(), longText);
    // One caption for the value on a phone too: the masked caption goes with its line.
    if (phone) {
        EXPECT_TRUE(all.at(2)->hidden());
    }
    EXPECT_EQ(table->numberOfRowsInSection(0), phone ? 6 : 5);
    // The text row is as tall as the plain long value's wrapped text.
    const auto textRow = FormTableView::tablePath(*clearText->getIndexPath());
    const auto notesRow = FormTableView::tablePath(*notesText->getIndexPath());
    EXPECT_GT(table->rectForRowAtIndexPath(textRow).height(), 44);
    EXPECT_EQ(table->rectForRowAtIndexPath(textRow).height(),
        table->rectForRowAtIndexPath(notesRow).height());
    save(QStringLiteral("row-display-%1-long-unlocked.png").arg(device));

    clearCaption->onImageSelected(clearCaption);
    settle();
    EXPECT_FALSE(secret->hidden());
    EXPECT_TRUE(clearCaption->hidden());
    EXPECT_TRUE(clearText->hidden());
    EXPECT_EQ(table->numberOfRowsInSection(0), maskedRows);
    EXPECT_EQ(phone ? secret->title() : secret->value().toString(), kMask);
}

INSTANTIATE_TEST_SUITE_P(Devices, RowDisplayLong, ::testing::Values("phone", "tablet"));

TEST_F(RowDisplay, AShortProtectedValueUnlocksOnItsLineOnATablet)
{
    makeColumns();
    showHost("tablet");
    const QVariantMap values { { pin->id().toString(), "1234" } };
    auto* display = openDisplay(values);
    ASSERT_NE(display, nullptr);
    auto* secret = qobject_cast<FormLabelElement*>(rows(display).at(1));
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(secret->value(), kMask);
    secret->onImageSelected(secret);
    EXPECT_EQ(secret->value(), "1234");
    EXPECT_FALSE(secret->hidden());
    save("row-display-tablet-unlocked.png");
    secret->onImageSelected(secret);
    EXPECT_EQ(secret->value(), kMask);
}

TEST_F(RowDisplay, ShareMakesOneExportMenuAndShowsItEachTime)
{
    makeColumns();
    int made = 0;
    int shown = 0;
    DetailExportMenu::setFactory([&](RowDetailViewController*) {
        ++made;
        return std::make_unique<CountingMenu>(&shown);
    });
    showHost("phone");
    auto* display = openDisplay({});
    ASSERT_NE(display, nullptr);
    ASSERT_NE(display->rowToolBar(), nullptr);
    EXPECT_TRUE(display->rowToolBar()->buttonBits()->getBit(12));
    EXPECT_TRUE(display->rowToolBar()->buttonBits()->getBit(40));
    display->share();
    display->share();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(shown, 2);
    display->home();
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() == nullptr; }));
}

TEST_F(RowDisplay, AServerRowSkipsImageAndHiddenColumnsButKeepsEmptyValues)
{
    showHost("phone");
    QList<ResponseColumn> columns;
    const auto add
        = [&](const QString& name, const QString& header, unsigned order, const QString& hide) {
              ResponseColumn column;
              column.Name = name;
              column.Header = header;
              column.Order = order;
              column.Hide = hide;
              columns << column;
          };
    add("QDGUDPicon", "Icon", 0, "N");
    add("name", "Name", 1, "N");
    add("secret", "Secret", 2, "Y");
    add("city", "City", 3, "N");
    ResponseRow row;
    row.Columns = { { 0, "folder" }, { 1, "  Ada\t" }, { 2, "hidden" } };
    auto root = ResponseRowDetailViewController::createResponseRowDetailWithTitle(
        QString(), columns, row, host);
    EXPECT_EQ(root->title(), "Detail");
    EXPECT_EQ(root->controllerName(), "ResponseRowDetailViewController");
    const auto& shown = root->sections().value(0)->elements();
    ASSERT_EQ(shown.size(), 2);
    auto* first = qobject_cast<FormLabelElement*>(shown.at(0).get());
    EXPECT_EQ(first->title(), "Name");
    EXPECT_EQ(first->value(), "Ada");
    auto* second = qobject_cast<FormLabelElement*>(shown.at(1).get());
    EXPECT_EQ(second->title(), "City");
    EXPECT_EQ(second->value(), "");

    // A value too long for the line goes on a text row under its header.
    row.Columns = { { 1, QString(300, u'y') } };
    root = ResponseRowDetailViewController::createResponseRowDetailWithTitle(
        "Customer", columns, row, host);
    EXPECT_EQ(root->title(), "Customer");
    const auto& laidOut = root->sections().value(0)->elements();
    ASSERT_EQ(laidOut.size(), 3);
    EXPECT_EQ(qobject_cast<FormLabelElement*>(laidOut.at(0).get())->value(), "");
    EXPECT_EQ(qobject_cast<FormTextElement*>(laidOut.at(1).get())->text(), QString(300, u'y'));
}

TEST_F(RowDisplay, AServerRowOpenedByNameIsLaidOutFromTheScreensTable)
{
    showHost("phone");
    auto table = std::make_shared<ResponseTable>();
    ResponseColumn name;
    name.Name = "name";
    name.Header = "Name";
    name.Order = 0;
    name.Hide = "N";
    table->Columns = { name };
    auto row = std::make_shared<ResponseRow>();
    row->Columns = { { 0, "Ada" } };
    controller->setTable(table);
    host->ShowDetail(RowObject::fromRecord(std::make_shared<GridData>(RowObject::fromRecord(row))),
        "ResponseRowDetailViewController", "Customer", true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
    settle();
    auto* display = qobject_cast<ResponseRowDetailViewController*>(shownForm());
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->root()->title(), "Customer");
    const auto& shown = display->root()->sections().value(0)->elements();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(qobject_cast<FormLabelElement*>(shown.at(0).get())->value(), "Ada");
}
