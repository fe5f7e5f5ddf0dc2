#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"

#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

using Accessory = TableViewCell::AccessoryType;

struct Setting {
    QString icon;
    QString title;
    QString value;
    Accessory accessory = Accessory::None;
    int toggle = -1; // a switch: -1 none, 0 off, 1 on
};

struct SettingsGroup {
    QString header;
    QString footer;
    QList<Setting> rows;
};

// The settings of a table, as a grouped form of value-1 rows.
class TableSettings : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    QList<SettingsGroup> groups = {
        { "Table", "",
            { { "textBlack", "Name", "Customers" }, { "numberBlack", "Records", "1,024" },
                { "dateBlack", "Created", "12 March 2024" },
                { "passwordlockBlack", "Encrypted", "", Accessory::None, 1 } } },
        { "Display", "Tiles show the first column; the table shows every column you tick below.",
            { { "", "Row view", "Tiles", Accessory::DisclosureIndicator },
                { "", "Sort by", "Name", Accessory::DisclosureIndicator },
                { "", "Columns on tablet", "3", Accessory::DisclosureIndicator },
                { "", "Show images", "", Accessory::None, 0 } } },
        { "Columns", "",
            { { "", "Name", "", Accessory::Checkmark }, { "", "City", "" },
                { "", "Phone", "", Accessory::Checkmark }, { "", "Last order", "" } } },
        { "iCloud", "Changes reach your other devices when they next connect.",
            { { "", "Sync", "On", Accessory::DetailButton },
                { "", "Last synced", "Today, 09:41" } } },
    };

    TableSettings() { setTitle("Table Settings"); }

    void loadView() override
    {
        m_table = new TableView(QRectF(0, 0, 320, 480), TableView::Style::Grouped);
        m_table->setDataSource(this);
        m_table->setDelegate(this);
        setView(m_table);
        navigationItem()->setRightBarButtonItem(new BarButtonItem(BarButtonItem::SystemItem::Done));
    }

    int numberOfSectionsInTableView(TableView*) override { return int(groups.size()); }
    int tableViewNumberOfRowsInSection(TableView*, int section) override
    {
        return int(groups[section].rows.size());
    }
    QString tableViewTitleForHeaderInSection(TableView*, int section) override
    {
        return groups[section].header;
    }
    QString tableViewTitleForFooterInSection(TableView*, int section) override
    {
        return groups[section].footer;
    }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView* table, const IndexPath& p) override
    {
        TableViewCell* cell = table->dequeueReusableCellWithIdentifier("Setting");
        if (!cell)
            cell = new TableViewCell(TableViewCell::Style::Value1, "Setting");
        const Setting& s = groups[p.section()].rows[p.row()];
        cell->textLabel()->setText(s.title);
        cell->detailTextLabel()->setText(s.value);
        cell->imageView()->setImage(
            s.icon.isEmpty() ? Image() : Image::maskNamed(s.icon, QColor(0, 122, 255)));
        cell->setAccessoryType(s.accessory);
        if (s.toggle >= 0) {
            auto* toggle = new Switch;
            toggle->sizeToFit();
            toggle->setOn(s.toggle == 1);
            cell->setAccessoryView(toggle);
            cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        } else {
            cell->setAccessoryView(nullptr);
            cell->setSelectionStyle(TableViewCell::SelectionStyle::Default);
        }
        return cell;
    }

    TableView* table() const { return m_table; }

private:
    TableView* m_table = nullptr;
};

void shoot(const char* model, Orientation orientation, const QString& file)
{
    Animation::setInstant(true);
    Application::shared().reset();
    Device::current().setMainWindow(nullptr);
    ASSERT_TRUE(Device::current().selectModel(model));
    Device::current().setOrientation(orientation);
    auto* settings = new TableSettings;
    NavigationController navigation(settings);
    Application::shared().setRootViewController(&navigation);
    Application::shared().makeKeyAndVisible();
    testsupport::processEvents(20);
    settings->table()->selectRowAtIndexPath(
        IndexPath(1, 1), false, TableView::ScrollPosition::None);
    testsupport::processEvents(20);

    Window* window = Application::shared().keyWindow();
    const QImage shot = window->snapshot();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(testsupport::outputPath(file)));
    // Every row of the first group is in sight and drawn.
    TableView* table = settings->table();
    for (int r = 0; r < 4; ++r)
        EXPECT_NE(table->cellForRowAtIndexPath(IndexPath(r, 0)), nullptr);
    Application::shared().reset();
    Device::current().setMainWindow(nullptr);
    EXPECT_TRUE(Device::current().selectModel("tablet"));
}

} // namespace

TEST(TableViewScreenshot, GroupedValueOneSettingsOnATablet)
{
    shoot("tablet", Orientation::LandscapeLeft, "table-grouped-tablet.png");
}

TEST(TableViewScreenshot, GroupedValueOneSettingsOnAPhone)
{
    shoot("phone", Orientation::Portrait, "table-grouped-phone.png");
}
