#include "screens/ApplicationScreen.h"

#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/ListSelectViewController.h"
#include "grid/Parent.h"
#include "grid/ScreenData.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenFactory.h"
#include "utilities/shell/DeviceHelper.h"

#include <QScopeGuard>

const QString ApplicationScreen::RowDetailForm = QStringLiteral("RowDetailViewController");

namespace {

const QString kFilterPopup = QStringLiteral("InQuery");

} // namespace

ApplicationScreen::ApplicationScreen(QObject* parent)
    : MainCollectionViewController(parent)
{
}

ApplicationScreen::~ApplicationScreen() = default;

void ApplicationScreen::registerStoryboard(platform::ui::Storyboard& storyboard)
{
    MainCollectionViewController::registerStoryboard(storyboard);
    storyboard.registerController(
        MainCollectionViewController::StoryboardIdentifier, [] { return new ApplicationScreen(); });
}

std::shared_ptr<Parent> ApplicationScreen::createParent()
{
    auto link = MainCollectionViewController::createParent();
    if (m_hasPendingData)
        link->data = m_pendingData;
    return link;
}

void ApplicationScreen::showScreen(
    const QString& screenId, const QString& segue, const QVariant& data)
{
    const auto restore = qScopeGuard([this] {
        m_pendingData = QVariant();
        m_hasPendingData = false;
    });
    m_pendingData = data;
    m_hasPendingData = data.isValid();
    MainCollectionViewController::showScreen(screenId, segue);
}

void ApplicationScreen::showList(const std::shared_ptr<ScreenData>& record,
    const QStringList& texts, const QStringList& images, const QSizeF& popupSize,
    std::function<void(qint64)> select)
{
    auto* list = new ListSelectViewController(
        texts, [select = std::move(select)](const QVariant&, qint64 index) {
            if (select)
                select(index);
        });
    list->setScreen(record);
    list->setTitle(record ? record->title : QString());
    list->setImages(images);
    list->setCallingViewController(this);
    if (popupSize.isValid() && !popupSize.isEmpty()) {
        auto* navigation = new platform::ui::NavigationController(list);
        showSimplePopupcontroller(navigation, popupSize, QPointF(0, 0), true);
        return;
    }
    if (platform::ui::NavigationController* navigation = navigationController())
        navigation->pushViewController(list, true);
    else
        delete list;
}

void ApplicationScreen::showOptionsList(const OptionsList& list)
{
    showList(list.screen, list.rows, list.images, list.popupSize,
        [handler = list.handler](qint64 index) {
            if (handler)
                handler(index);
        });
}

void ApplicationScreen::showPopup(const QString& popup, const QString& segue)
{
    // A phone opens the filter and sort screens as children of this one.
    showScreen(popup == kFilterPopup ? ScreenFactory::InQueryGeneral : ScreenFactory::SortGeneral,
        segue, QVariant());
}

void ApplicationScreen::showScreenInPopup(const QString& screenId, const QSizeF& size)
{
    auto* child = new ApplicationScreen();
    const auto link = createParent();
    child->setParentLink(link);
    child->setScreen(ScreenData::GetScreen(screenId, link));
    child->setCallingViewController(this);
    auto* navigation = new platform::ui::NavigationController(child);
    showSimplePopupcontroller(navigation, size, QPointF(0, 0), true);
}

// The grid's own browsers over Documents: the name field of a save dialog, pushed on a
// phone and in a popup on a tablet.
void ApplicationScreen::showLocalFileBrowser(bool save, const QString& defaultFileName,
    const QString& type, const QString& startupdir, const QString& title,
    FileBrowserProtocol* delegate)
{
    BaseViewController::showLocalFileBrowser(
        save, defaultFileName, type, startupdir, title, delegate);
}

void ApplicationScreen::showCloudFileBrowser(bool save, const QString& defaultFileName,
    const QString& type, const QString& startupDir, const QString& title,
    FileBrowserProtocol* delegate)
{
    BaseViewController::showCloudFileBrowser(
        save, defaultFileName, type, startupDir, title, delegate);
}

void ApplicationScreen::showRowDetail(const QVariantMap& values)
{
    BaseViewController::ShowDetail(QVariant(values), RowDetailForm, QString(), true);
}

QObject* ApplicationScreen::hostDataController()
{
    return dataController().get();
}

void ApplicationScreen::showListMenu(const QString& title, const QStringList& texts,
    const QStringList& images, const QSizeF& popupSize, std::function<void(qint64)> select)
{
    const auto record = ScreenFactory::GetScreen(ScreenFactory::ListImageSelector, nullptr);
    if (record)
        record->title = title;
    // A phone pushes the list over whatever is on top now (this grid, or a screen it
    // opened, like a row's display); closing the menu goes back there.
    platform::ui::NavigationController* navigation = navigationController();
    m_listMenuUnder = navigation ? navigation->topViewController() : nullptr;
    showList(
        record, texts, images, DeviceHelper::isIPAD() ? popupSize : QSizeF(), std::move(select));
}

void ApplicationScreen::dismissListMenu()
{
    if (DeviceHelper::isIPAD()) {
        BaseViewController::dismissPopup();
        return;
    }
    // Back to where the list was pushed: the list goes, and a file browser opened from it.
    platform::ui::NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    const QList<platform::ui::ViewController*> stack = navigation->viewControllers();
    platform::ui::ViewController* back
        = m_listMenuUnder && stack.contains(m_listMenuUnder) ? m_listMenuUnder.data() : this;
    if (navigation->topViewController() != back && stack.contains(back))
        navigation->popToViewController(back, true);
}
