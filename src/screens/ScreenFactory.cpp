#include "screens/ScreenFactory.h"

#include "bridge/GeneralCloudFileBrowserController.h"
#include "bridge/LocalFileBroswerDataController.h"
#include "bridge/iCloudDocumentService.h"
#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/ClassRegistry.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/ui/Storyboard.h"
#include "reports/charts/ChartDetailViewController.h"
#include "screens/ApplicationScreen.h"
#include "screens/ApplicationState.h"
#include "screens/CloudTableDataController.h"
#include "screens/ColorDataController.h"
#include "screens/ColorDataController1.h"
#include "screens/DatabaseDataController.h"
#include "screens/DownloadTemplateDataController.h"
#include "screens/DownloadTemplateRowViewController.h"
#include "screens/GenericFilterDataController.h"
#include "screens/GenericMultiRowViewController.h"
#include "screens/GenericSortDataController.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/ListImageSelectDataController.h"
#include "screens/ListSelectDataController.h"
#include "screens/MainDataController.h"
#include "screens/MultipleGenericRowViewController.h"
#include "screens/NotificationDataController.h"
#include "screens/NotificationReminders.h"
#include "screens/PreferencesDetailViewController.h"
#include "screens/TemplateColumnDataController.h"
#include "screens/TemplateDataController.h"
#include "screens/UserTemplateDetailViewController.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/ScreenServices.h"
#include "utilities/text/LocalizedStrings.h"

#include <functional>

const QString ScreenFactory::Home = QStringLiteral("Home");
const QString ScreenFactory::ColorTable = QStringLiteral("5139F808-3946-49F7-8E65-F38461B82762");
const QString ScreenFactory::ColorSelector = QStringLiteral("Color Selector");
const QString ScreenFactory::TemplateRows = QStringLiteral("Template Rows");
const QString ScreenFactory::Templates = QStringLiteral("Templates");
const QString ScreenFactory::TemplateColumns = QStringLiteral("Template Columns");
const QString ScreenFactory::InQueryGeneral = QStringLiteral("SCREEN_INQUERY_GENERAL");
const QString ScreenFactory::SortGeneral = QStringLiteral("SCREEN_SORT_GENERA");
const QString ScreenFactory::Bridge = QStringLiteral("SCREEN_BRIDGE");
const QString ScreenFactory::Databases = QStringLiteral("Databases");
const QString ScreenFactory::DownloadTemplates = QStringLiteral("Download Templates");
const QString ScreenFactory::ListImageSelector = QStringLiteral("List Image Selector");
const QString ScreenFactory::Reminders = QStringLiteral("Reminders");
const QString ScreenFactory::MenuSegue = QStringLiteral("Menu");
const QString ScreenFactory::Menus1Segue = QStringLiteral("Menus1");

namespace {

// The factory as the foundation reaches it.
class FactoryServices : public ScreenServices {
public:
    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        return ScreenFactory::GetScreen(screenId, std::dynamic_pointer_cast<Parent>(parent));
    }
};

const QString kGenericRowView = QStringLiteral("GenericRowViewController");
const QString kOrderableRowView = QStringLiteral("GenericOrderableRowViewController");
const QString kModelColumnsRowView = QStringLiteral("ModelColumnsRowViewController");

std::shared_ptr<BitManager> buttons(std::initializer_list<quint32> numbers)
{
    return std::make_shared<BitManager>(BitManager::createButtonVector(numbers));
}

// Add (1) and search (7) in the navigation bar.
std::shared_ptr<BitManager> topButtons()
{
    return buttons({ 1, 7 });
}

void rowViews(BridgeScreenData& record, const QString& rowView, const QString& alternate = {})
{
    record.rowView = rowView;
    record.alternateRowView = alternate;
}

// One row of the table: how the record of its id is filled, and whether a tablet adds
// the columns button.
struct Entry {
    QString id;
    std::function<void(BridgeScreenData&, const std::shared_ptr<Parent>&)> fill;
    bool columnsOnTablet = false;
};

void home(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = QStringLiteral("Home");
    record.dataController = QStringLiteral("MainDataController");
    rowViews(record, kOrderableRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("UserTemplateDetailViewController");
    record.childscreen = ScreenFactory::TemplateRows;
    record.toSegue = ScreenFactory::MenuSegue;
    record.buttonBits = buttons({ 4, 1, 2, 3, 28, 25, 35, 38 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("template");
    record.disclosure = true;
}

void colorTable(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = LocalizedStrings::ColorPicker();
    record.dataController = QStringLiteral("ColorDataController");
    rowViews(record, kGenericRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("ColorDetailViewController");
    record.toSegue = ScreenFactory::Menus1Segue;
    record.buttonBits = buttons({ 4, 1, 2, 3, 35, 44, 42, 40 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("color");
    record.disclosure = true;
}

void colorSelector(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = LocalizedStrings::ColorPicker();
    record.dataController = QStringLiteral("ColorDataController1");
    rowViews(record, kGenericRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("ColorDetailViewController");
    record.toSegue = ScreenFactory::Menus1Segue;
    record.buttonBits = buttons({ 1, 4, 2, 3, 44 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("color");
    record.disclosure = true;
}

// The rows of one user table: the table tapped on Home is the link's data.
void templateRows(BridgeScreenData& record, const std::shared_ptr<Parent>& parent)
{
    if (parent) {
        if (platform::coredata::ManagedObject* table = RowObject::entity(parent->data))
            record.title = table->value(QStringLiteral("name")).toString();
    }
    record.dataController = QStringLiteral("GenericTemplateDataController");
    rowViews(record, QStringLiteral("MultipleGenericRowViewController"), kModelColumnsRowView);
    record.detailViewController = QStringLiteral("GenericTemplateDetailViewController");
    record.toSegue = ScreenFactory::Menus1Segue;
    record.buttonBits = buttons({ 12, 4, 35, 41, 36, 39, 40, 27 });
    // A tablet has room for add, edit and remove; a phone gathers them in one button.
    if (DeviceHelper::isIPAD()) {
        for (const quint32 bit : { 1u, 2u, 3u })
            record.buttonBits->setBit(bit);
    } else {
        record.buttonBits->setBit(30);
    }
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("template");
    record.disclosure = true;
    record.searchbarBookmark = true;
}

void templates(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = QStringLiteral("Templates");
    record.dataController = QStringLiteral("TemplateDataController");
    rowViews(record, kGenericRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("TemplateDetailViewController");
    record.childscreen = ScreenFactory::TemplateColumns;
    record.toSegue = ScreenFactory::Menus1Segue;
    record.buttonBits = buttons({ 12, 4, 1, 2, 3, 35, 21 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("template");
    record.disclosure = true;
}

void templateColumns(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = QStringLiteral("Template Columns");
    record.dataController = QStringLiteral("TemplateColumnDataController");
    rowViews(record, kOrderableRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("TemplateColumnDetailViewController");
    record.buttonBits = buttons({ 12, 4, 1, 2, 3, 35, 38 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("columns");
    record.disclosure = true;
}

// The filter and sort screens share their buttons.
void queryList(
    BridgeScreenData& record, const QString& title, const QString& kind, const QString& image)
{
    record.title = title;
    record.dataController = QStringLiteral("Generic%1DataController").arg(kind);
    rowViews(record, kOrderableRowView);
    record.detailViewController = QStringLiteral("Generic%1DetailViewController").arg(kind);
    record.buttonBits = buttons({ 1, 2, 3, 4, 7, 38 });
    record.topButtonBits = topButtons();
    record.image = image;
    record.disclosure = true;
}

void inQuery(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    queryList(record, LocalizedStrings::Filter(), QStringLiteral("Filter"),
        QStringLiteral("filtermetro"));
}

void sortList(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    queryList(
        record, LocalizedStrings::Sort(), QStringLiteral("Sort"), QStringLiteral("sortmetro"));
}

// The databases: the first screen, and again under "Databases".
void databases(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = LocalizedStrings::Databases();
    record.dataController = QStringLiteral("DatabaseDataController");
    rowViews(record, kGenericRowView, kModelColumnsRowView);
    record.detailViewController = QStringLiteral("DatabaseDetailViewController");
    record.childscreen = ScreenFactory::Home;
    record.toSegue = ScreenFactory::MenuSegue;
    record.buttonBits = buttons({ 4, 1, 2, 3, 35, 28 });
    record.topButtonBits = topButtons();
    record.image = QStringLiteral("database");
    record.disclosure = true;
}

void downloadTemplates(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = QStringLiteral("Download Templates");
    record.dataController = QStringLiteral("DownloadTemplateDataController");
    rowViews(record, QStringLiteral("DownloadTemplateRowViewController"));
    record.buttonBits = buttons({ 12, 4 });
    record.image = QStringLiteral("template");
    record.disclosure = true;
}

void listImageSelector(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = QStringLiteral("Select");
    record.dataController = QStringLiteral("ListImageSelectDataController");
    rowViews(record, QStringLiteral("ListSelectRowViewController"));
    record.disclosure = true;
}

void reminders(BridgeScreenData& record, const std::shared_ptr<Parent>&)
{
    record.title = LocalizedStrings::Notifications();
    record.dataController = QStringLiteral("NotificationDataController");
    rowViews(record, QStringLiteral("GenericMultiRowViewController"), kModelColumnsRowView);
    record.buttonBits = buttons({ 12, 4, 40, 35 });
    record.image = QStringLiteral("reminder");
}

const QList<Entry>& table()
{
    static const QList<Entry> entries {
        { ScreenFactory::Home, home, true },
        { ScreenFactory::ColorTable, colorTable, true },
        { ScreenFactory::ColorSelector, colorSelector, false },
        { ScreenFactory::TemplateRows, templateRows, true },
        { ScreenFactory::Templates, templates, true },
        { ScreenFactory::TemplateColumns, templateColumns, true },
        { ScreenFactory::InQueryGeneral, inQuery, false },
        { ScreenFactory::SortGeneral, sortList, false },
        { ScreenFactory::Bridge, databases, true },
        { ScreenFactory::Databases, databases, true },
        { ScreenFactory::DownloadTemplates, downloadTemplates, false },
        { ScreenFactory::ListImageSelector, listImageSelector, false },
        { ScreenFactory::Reminders, reminders, false },
    };
    return entries;
}

} // namespace

std::shared_ptr<BridgeScreenData> ScreenFactory::GetScreen(
    const QString& screenId, const std::shared_ptr<Parent>& parent)
{
    std::shared_ptr<BridgeScreenData> record;
    bool columnsOnTablet = true;
    for (const Entry& entry : table()) {
        if (entry.id != screenId)
            continue;
        record = std::make_shared<BridgeScreenData>();
        record->id = screenId;
        entry.fill(*record, parent);
        columnsOnTablet = entry.columnsOnTablet;
        break;
    }
    if (!record)
        record = BridgeScreenFactory::GetScreen(screenId, parent);
    if (record && columnsOnTablet && record->buttonBits && DeviceHelper::isIPAD())
        record->buttonBits->setBit(37);
    return record;
}

QStringList ScreenFactory::screenIds()
{
    QStringList ids;
    for (const Entry& entry : table())
        ids << entry.id;
    return ids;
}

void ScreenFactory::registerClasses()
{
    ClassRegistry::registerClass<CloudTableDataController>();
    ClassRegistry::registerClass<DatabaseDataController>();
    ClassRegistry::registerClass<MainDataController>();
    ClassRegistry::registerClass<GenericTemplateDataController>();
    ClassRegistry::registerClass<GenericFilterDataController>();
    ClassRegistry::registerClass<GenericSortDataController>();
    ClassRegistry::registerClass<ListSelectDataController>();
    ClassRegistry::registerClass<ListImageSelectDataController>();
    ClassRegistry::registerClass<MultipleGenericRowViewController>();
    ClassRegistry::registerClass<CloudFileBrowserDataController>();
    ClassRegistry::registerClass<GeneralCloudFileBrowserController>();
    ClassRegistry::registerClass<LocalFileBroswerDataController>();
    ClassRegistry::registerClass<TemplateDataController>();
    ClassRegistry::registerClass<TemplateColumnDataController>();
    ClassRegistry::registerClass<ColorDataController>();
    ClassRegistry::registerClass<ColorDataController1>();
    ClassRegistry::registerClass<NotificationDataController>();
    ClassRegistry::registerClass<GenericMultiRowViewController>();
    ClassRegistry::registerClass<DownloadTemplateDataController>();
    ClassRegistry::registerClass<DownloadTemplateRowViewController>();
}

void ScreenFactory::install()
{
    registerClasses();
    ScreenServices::install(std::make_unique<FactoryServices>());
    ApplicationScreen::registerStoryboard(platform::ui::Storyboard::main());
    UserTemplateDetailViewController::registerForm();
    PreferencesDetailViewController::registerForm();
    ChartDetailViewController::registerForm();
    if (!ApplicationState::reminders())
        ApplicationState::setReminders(std::make_shared<NotificationReminders>());
    // Screens save their documents into the cloud through the files layer, above them.
    iCloudDocumentService::install();
}
