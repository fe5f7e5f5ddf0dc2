#include "grid/MainCollectionViewController.h"

#include "grid/BaseDataController.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "platform/ui/Control.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"

#include <QScopeGuard>

const QString MainCollectionViewController::StoryboardIdentifier
    = QStringLiteral("MainCollectionViewController");
const QString MainCollectionViewController::RootScreenId = QStringLiteral("SCREEN_BRIDGE");
const QString MainCollectionViewController::MenuSegue = QStringLiteral("Menu");
const QString MainCollectionViewController::Menus1Segue = QStringLiteral("Menus1");
const QString MainCollectionViewController::QuerySegue = QStringLiteral("Query");
const QString MainCollectionViewController::QueryStudioSegue = QStringLiteral("QUERY_STUDIO");
const QString MainCollectionViewController::QueryDatabaseScreenId
    = QStringLiteral("SCREEN_QUERY_DATABASE");
const QString MainCollectionViewController::QueryStudioScreenId
    = QStringLiteral("SCREEN_QUERY_STUDIO");

MainCollectionViewController::MainCollectionViewController(QObject* parent)
    : CollectionViewController(parent)
{
}

MainCollectionViewController::~MainCollectionViewController() = default;

void MainCollectionViewController::registerStoryboard(platform::ui::Storyboard& storyboard)
{
    // The application may have registered its own kind of grid screen under the name.
    if (!storyboard.hasController(StoryboardIdentifier))
        storyboard.registerController(
            StoryboardIdentifier, [] { return new MainCollectionViewController(); });
    for (const QString& segue : { MenuSegue, Menus1Segue, QuerySegue, QueryStudioSegue })
        storyboard.registerSegue(segue, StoryboardIdentifier);
}

platform::ui::NavigationController* MainCollectionViewController::createRootNavigation()
{
    platform::ui::Storyboard& storyboard = platform::ui::Storyboard::main();
    registerStoryboard(storyboard);
    auto* navigation = new platform::ui::NavigationController();
    navigation->pushViewController(
        storyboard.instantiateViewControllerWithIdentifier(StoryboardIdentifier), false);
    return navigation;
}

void MainCollectionViewController::initProperties()
{
    platform::ui::NavigationController* navigation = navigationController();
    if (!BaseViewController::screen() && navigation
        && navigation->viewControllers() == QList<platform::ui::ViewController*> { this })
        setScreen(ScreenData::GetScreen(RootScreenId, nullptr));
    CollectionViewController::initProperties();
    const auto controller = dataController();
    if (controller && controller->respondsToGetTitle())
        setTitle(controller->getTitle());
}

void MainCollectionViewController::loadData()
{
    showHud();
    try {
        if (const auto controller = dataController())
            controller->loadData(parentLink());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
    hideHud();
}

void MainCollectionViewController::afterLoad()
{
    CollectionViewController::afterLoad();
}

std::shared_ptr<GridData> MainCollectionViewController::getGridData(qint64 index)
{
    const auto controller = dataController();
    return controller ? controller->getGridData(index) : nullptr;
}

void MainCollectionViewController::tapOnDisclosure(qint64 index)
{
    if (const auto controller = dataController())
        controller->tapOnDisclosure(index);
}

void MainCollectionViewController::tapOnItem(qint64 index)
{
    if (const auto controller = dataController())
        controller->tapOnItem(index);
}

std::shared_ptr<Parent> MainCollectionViewController::createParent()
{
    auto link = std::make_shared<Parent>();
    link->parent = parentLink();
    link->screen = BaseViewController::screen();
    const auto controller = dataController();
    if (controller && CollectionViewController::selectedRow() != -1)
        link->data = controller->getRowData(CollectionViewController::selectedRow());
    link->dataController = controller;
    return link;
}

void MainCollectionViewController::prepareForSegue(platform::ui::StoryboardSegue& segue, QObject*)
{
    try {
        auto* destination = dynamic_cast<BaseViewController*>(segue.destinationViewController());
        if (!destination)
            return;
        const auto link = createParent();
        destination->setParentLink(link);
        const auto record = BaseViewController::screen();
        QString childId;
        if (segue.identifier() == QuerySegue) {
            childId = QueryDatabaseScreenId;
        } else if (segue.identifier() == QueryStudioSegue) {
            childId = QueryStudioScreenId;
        } else if (record && record->contentismenu) {
            // A menu's rows are items whose data is the record of the screen they open.
            const auto item = RowObject::record<GridData>(link->data);
            const auto child = item ? RowObject::screenRecord(item->Data) : nullptr;
            childId = child ? child->id : QString();
        } else if (record) {
            childId = record->childscreen;
        }
        destination->setScreen(ScreenData::GetScreen(childId, link));
        destination->setCallingViewController(this);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void MainCollectionViewController::showScreen(const QString& childScreen, const QString& segue)
{
    const auto record = BaseViewController::screen();
    if (!record)
        return;
    const auto restore = qScopeGuard(
        [record, childscreen = record->childscreen, contentismenu = record->contentismenu] {
            record->childscreen = childscreen;
            record->contentismenu = contentismenu;
        });
    record->childscreen = childScreen;
    record->contentismenu = false;
    performSegueWithIdentifier(segue, this);
}

void MainCollectionViewController::closebuttonClicked(PopoverController*)
{
    const auto controller = dataController();
    const unsigned last = controller ? controller->lastClickedButton() : 0;
    if (last == BaseDataController::AddAction || last == BaseDataController::EditAction)
        KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

void MainCollectionViewController::ShowDetail(const QVariant& row)
{
    const auto record = BaseViewController::screen();
    if (record && !record->detailViewController.isEmpty())
        BaseViewController::ShowDetail(row, record->detailViewController, QString(), false);
}

void MainCollectionViewController::ShowDetail(
    const QVariant& row, const QString& detailType, const QString& title)
{
    BaseViewController::ShowDetail(row, detailType, title, false);
}

void MainCollectionViewController::ShowRowDetail(const QVariant&)
{
    // The read-only form of a desktop-server row comes with the paged server tables.
}

void MainCollectionViewController::showAddEditDeletePopup()
{
    // The add-edit-delete menu comes with the screens' menus.
}

void MainCollectionViewController::showPagerPopup()
{
    // The pager menu comes with the paged server tables.
}

bool MainCollectionViewController::isButtonInTopBar(platform::ui::Control* sender)
{
    return BaseViewController::isButtonInTopBar(static_cast<platform::ui::View*>(sender));
}

void MainCollectionViewController::changeRowViewController(const QString& rowViewClass)
{
    CollectionViewController::changeRowViewController(rowViewClass);
}

void MainCollectionViewController::changeRowViewController()
{
    const QObject* current = CollectionViewController::rowViewContoller();
    CollectionViewController::changeRowViewController(
        current ? QString::fromLatin1(current->metaObject()->className()) : QString());
}
