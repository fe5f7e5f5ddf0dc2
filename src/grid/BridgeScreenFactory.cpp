#include "grid/BridgeScreenFactory.h"

#include "grid/BridgeScreenData.h"
#include "grid/Parent.h"
#include "utilities/data/BitManager.h"
#include "utilities/text/LocalizedStrings.h"

const QString BridgeScreenFactory::RemoteFileBrowser = QStringLiteral("SCREEN_REMOTE_FILE_BROWSER");
const QString BridgeScreenFactory::FileBrowser = QStringLiteral("SCREEN_FILE_BROWSER");
const QString BridgeScreenFactory::GeneralLocalFileBrowser
    = QStringLiteral("SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID");
const QString BridgeScreenFactory::CloudFileBrowser
    = QStringLiteral("SCREEN_CLOUD_FILE_BROWSER_ID");
const QString BridgeScreenFactory::GeneralCloudFileBrowser
    = QStringLiteral("SCREEN_GENERAL_CLOUD_FILE_BROWSER_ID");

namespace {

const QString kCloudTitleFormat = QStringLiteral("%1 [iCloud]");
const QString kListSelectRowView = QStringLiteral("ListSelectRowViewController");
const QString kListSelectColumnsRowView = QStringLiteral("ListSelectColumnsRowViewController");
const QString kModelColumnsRowView = QStringLiteral("ModelColumnsRowViewController");
const QString kDirectoryDetail = QStringLiteral("DirectoryDetailViewController");

std::shared_ptr<BitManager> buttons(std::initializer_list<quint32> numbers)
{
    return std::make_shared<BitManager>(BitManager::createButtonVector(numbers));
}

// The local browsers' common fields.
void localBrowser(BridgeScreenData& record, const QString& dataController)
{
    record.title = LocalizedStrings::FileBrowser();
    record.dataController = dataController;
    record.rowView = kListSelectRowView;
    record.alternateRowView = kModelColumnsRowView;
    record.detailViewController = kDirectoryDetail;
    record.buttonBits = buttons({ 1, 3, 4, 35 });
    record.disclosure = true;
}

void cloudBrowser(BridgeScreenData& record, const QString& dataController, bool disclosure)
{
    record.title = kCloudTitleFormat.arg(LocalizedStrings::FileBrowser());
    record.dataController = dataController;
    record.rowView = kListSelectRowView;
    record.alternateRowView = kModelColumnsRowView;
    record.buttonBits = buttons({ 3, 4, 35 });
    record.disclosure = disclosure;
}

} // namespace

std::shared_ptr<BridgeScreenData> BridgeScreenFactory::GetScreen(
    const QString& screenId, const std::shared_ptr<Parent>& parent)
{
    auto record = std::make_shared<BridgeScreenData>();
    if (parent) {
        if (const auto above = parent->screen.lock())
            record->application = above->application;
    }
    record->id = screenId;

    if (screenId == RemoteFileBrowser) {
        record->title = LocalizedStrings::FileBrowser();
        record->dataController = QStringLiteral("RemoteFileBrowserDataController");
        record->rowView = kListSelectRowView;
        record->alternateRowView = kListSelectColumnsRowView;
        record->detailViewController = kDirectoryDetail;
        record->buttonBits = buttons({ 1, 2, 3, 4, 12, 27, 35 });
        record->disclosure = true;
        record->brigeType = QStringLiteral("Quadrell.Service.FileManager");
        record->bridgeMethod = QStringLiteral("GetDirectoryCotents");
        record->determinBridgeParameters = QByteArrayLiteral("fileBrowserParameters");
        record->keyFields = QStringList { QStringLiteral("Name") };
        record->titleField = QStringLiteral("Name");
    } else if (screenId == FileBrowser) {
        localBrowser(*record, QStringLiteral("FileBrowserDataController"));
    } else if (screenId == GeneralLocalFileBrowser) {
        localBrowser(*record, QStringLiteral("LocalFileBroswerDataController"));
    } else if (screenId == CloudFileBrowser) {
        cloudBrowser(*record, QStringLiteral("CloudFileBrowserDataController"), false);
    } else if (screenId == GeneralCloudFileBrowser) {
        cloudBrowser(*record, QStringLiteral("GeneralCloudFileBrowserController"), true);
    }
    return record;
}
