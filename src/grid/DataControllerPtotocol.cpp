#include "grid/DataControllerPtotocol.h"

#include "utilities/text/LocalizedStrings.h"

DataControllerPtotocol::~DataControllerPtotocol() = default;

void DataControllerPtotocol::addTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::editTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::removeTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::searchTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::scriptTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::dependentTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::referenceTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::homeTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::sizeTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::startTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::stopTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::noteTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::historyTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::unlockTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::undoTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::checkoutTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::pauseTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::restartTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::suspendTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::helpTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::calendarTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::detailTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::settingsTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::addeditdeleteTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::saveTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::openTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::videoTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::quickstartTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::expandcollapseTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::sortTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::columnsTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::orderTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::chartTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::mailTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::shareTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::filterTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::applyTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::sendicloudTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::databaseTouched(platform::ui::Control*)
{
}

void DataControllerPtotocol::loadData(const std::shared_ptr<Parent>&)
{
}

bool DataControllerPtotocol::isAsyncLoad()
{
    return false;
}

std::shared_ptr<GridData> DataControllerPtotocol::getGridData(qint64)
{
    return nullptr;
}

void DataControllerPtotocol::prefetchRows(qint64, qint64)
{
}

void DataControllerPtotocol::tapOnItem(qint64)
{
}

void DataControllerPtotocol::tapOnDisclosure(qint64)
{
}

QString DataControllerPtotocol::getTitle()
{
    return {};
}

qint8 DataControllerPtotocol::tilesButtons()
{
    return 0;
}

platform::ui::Image DataControllerPtotocol::getDynamicUIImage(qint64)
{
    return {};
}

QString DataControllerPtotocol::getDynamicImage(qint64)
{
    return {};
}

QString DataControllerPtotocol::getImage()
{
    return {};
}

void DataControllerPtotocol::itemsReorderd()
{
}

void DataControllerPtotocol::searchData(const QString&)
{
}

void DataControllerPtotocol::searchBarBookmarkClicked()
{
}

QStringList DataControllerPtotocol::searchbarBookmarkImage()
{
    return {};
}

bool DataControllerPtotocol::canDelete()
{
    return true;
}

QString DataControllerPtotocol::deleteMessage()
{
    return LocalizedStrings::DeleteRecord();
}

bool DataControllerPtotocol::deleteRow()
{
    return false;
}

void DataControllerPtotocol::addRow()
{
}

void DataControllerPtotocol::editRow()
{
}

void DataControllerPtotocol::beforeEdit(const QVariant&)
{
}

bool DataControllerPtotocol::saveRow(const QVariant&)
{
    return false;
}

bool DataControllerPtotocol::navigatePage(const QString&)
{
    return false;
}

void DataControllerPtotocol::selectTable(int)
{
}

OrderedDictionary DataControllerPtotocol::getOrderingData() const
{
    return {};
}

bool DataControllerPtotocol::onOrderingComplete(const QStringList&)
{
    return false;
}
