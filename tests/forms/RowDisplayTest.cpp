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

TEST_F(RowDisplay, ATabletMasksALongProtectedValueAndLaysLongTextOnTwoRows)
{
    makeColumns();
    showHost("tablet");
    const QString longText(200, u'x');
    const QVariantMap values { { name->id().toString(), "Ada" }, { pin->id().toString(), longText },
        { notes->id().toString(), longText } };
    auto* display = openDisplay(values);
    ASSERT_NE(display, nullptr);
    const QList<FormElement*> shown = rows(display);
    ASSERT_EQ(shown.size(), 4);
    auto* secret = qobject_cast<FormLabelElement*>(shown.at(1));
    EXPECT_EQ(secret->title(), "Pin");
    EXPECT_EQ(secret->value(), kMask);
    EXPECT_EQ(secret->key(), pin->id().toString());
    EXPECT_TRUE(qobject_cast<FormTextElement*>(shown.at(3)));
    EXPECT_EQ(qobject_cast<FormTextElement*>(shown.at(3))->text(), longText);
    save("row-display-tablet-masked.png");
    secret->onImageSelected(secret);
    EXPECT_EQ(secret->value(), longText);
    save("row-display-tablet-unlocked.png");
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
