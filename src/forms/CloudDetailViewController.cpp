#include "forms/CloudDetailViewController.h"

#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

CloudDetailViewController::CloudDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

CloudDetailViewController::~CloudDetailViewController() = default;

std::optional<double> CloudDetailViewController::modificationTime(const QVariant& record)
{
    QObject* object = RowObject::object(record);
    if (!object)
        return std::nullopt;
    const QVariant stamp = object->property("mtimestamp");
    if (!stamp.isValid())
        return std::nullopt;
    return stamp.toDouble();
}

void CloudDetailViewController::loadData(const QVariant& record)
{
    if (const std::optional<double> stamp = modificationTime(record))
        m_timestamp = *stamp;
    QuickDetailViewController::loadData(record);
}

void CloudDetailViewController::cloudStoreUnloaded()
{
    // The record and the typed values stay while the store is away.
}

void CloudDetailViewController::closeForVanishedRecord()
{
    MessageHelper::ShowMessage(LocalizedStrings::DataHasChanged(), platform::Error());
    if (!isInNavigationStack(this))
        if (BaseViewController* screen = callingScreen())
            screen->dismissPopup();
    platform::ui::ViewController* current
        = KivoAppDelegate::ApplicationDelegate()->currentViewController();
    if (platform::ui::NavigationController* navigation
        = current ? current->navigationController() : nullptr)
        navigation->popToRootViewController(true);
}

void CloudDetailViewController::cloudStoreLoaded()
{
    BaseDataController* controller = callingDataController();
    // Only an edit form stands for a stored record; an add form keeps what was typed.
    if (!controller || controller->lastClickedButton() != BaseDataController::EditAction)
        return;
    const QVariant record = controller->detailRowInAction();
    // A record of a store that went and was not found again in the one now loaded.
    if (!record.isValid() || record.isNull() || RowObject::isGone(record)) {
        closeForVanishedRecord();
        return;
    }
    const std::optional<double> stamp = modificationTime(record);
    if (stamp && *stamp != timestamp()) {
        loadData(record);
        EnableDisable(true);
        return;
    }
    setCurrentRow(record);
}
