#include "grid/ToolBar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ViewController.h"
#include "utilities/data/BitManager.h"
#include "widgets/ImageButton.h"

namespace {

using Action = void (ToolBarAction::*)(platform::ui::Control*);

struct ButtonKind {
    int number;
    const char* image;
    Action action;
    int tag;
};

// Every button: number, image, action and tag.
const QList<ButtonKind>& buttonKinds()
{
    static const QList<ButtonKind> kinds = {
        { 1, "add", &ToolBarAction::add, 1 },
        { 2, "edit", &ToolBarAction::edit, 2 },
        { 3, "delete", &ToolBarAction::remove, 3 },
        { 4, "refresh", &ToolBarAction::refresh, 4 },
        { 5, "query", &ToolBarAction::query, 5 },
        { 6, "next", &ToolBarAction::next, 6 },
        { 7, "search", &ToolBarAction::search, 7 },
        { 8, "script", &ToolBarAction::script, 8 },
        { 9, "mail", &ToolBarAction::mail, 40 },
        { 10, "dependency", &ToolBarAction::dependent, 10 },
        { 11, "reference", &ToolBarAction::reference, 11 },
        { 12, "home", &ToolBarAction::home, 12 },
        { 13, "size", &ToolBarAction::size, 13 },
        { 14, "start", &ToolBarAction::start, 14 },
        { 15, "stop", &ToolBarAction::stop, 15 },
        { 16, "note", &ToolBarAction::note, 16 },
        { 17, "history", &ToolBarAction::history, 17 },
        { 18, "unlock", &ToolBarAction::unlock, 18 },
        { 19, "undo", &ToolBarAction::undo, 19 },
        { 20, "checkin", &ToolBarAction::checkin, 20 },
        { 21, "checkout", &ToolBarAction::checkout, 21 },
        { 22, "pause", &ToolBarAction::pause, 22 },
        { 23, "restart", &ToolBarAction::restart, 23 },
        { 24, "suspend", &ToolBarAction::suspend, 24 },
        { 25, "help", &ToolBarAction::help, 25 },
        { 26, "calendar", &ToolBarAction::calendar, 26 },
        { 27, "detail", &ToolBarAction::detail, 27 },
        { 28, "settings", &ToolBarAction::settings, 28 },
        { 30, "addeditdelete", &ToolBarAction::addeditdelete, 30 },
        { 31, "save", &ToolBarAction::save, 31 },
        { 32, "open", &ToolBarAction::open, 32 },
        { 33, "video", &ToolBarAction::video, 33 },
        { 34, "quickstart", &ToolBarAction::quickstart, 34 },
        { 35, "expandcollapse", &ToolBarAction::expandcollapse, 35 },
        { 36, "sort", &ToolBarAction::sort, 36 },
        { 37, "columnselect", &ToolBarAction::columns, 37 },
        { 38, "order", &ToolBarAction::order, 38 },
        { 39, "chart", &ToolBarAction::chart, 39 },
        { 40, "share", &ToolBarAction::share, 40 },
        { 41, "filter", &ToolBarAction::filter, 41 },
        { 42, "tick", &ToolBarAction::apply, 42 },
        { 43, "sendicloud", &ToolBarAction::sendicloud, 43 },
        { 44, "databaset", &ToolBarAction::database, 44 },
    };
    return kinds;
}

const ButtonKind* kindOf(int number)
{
    for (const ButtonKind& kind : buttonKinds())
        if (kind.number == number)
            return &kind;
    return nullptr;
}

// The platform spaces bar items itself before system 11; from then on the bar asks for
// its own spacing.
constexpr double kSpacedBarsSince = 11;

} // namespace

ToolBar::ToolBar(std::weak_ptr<ToolBarAction> delegate)
    : m_delegate(std::move(delegate))
{
}

ToolBar::~ToolBar() = default;

const QList<int>& ToolBar::barOrder()
{
    static const QList<int> order
        = { 12, 4, 30, 1, 2, 3, 32, 31, 6, 7, 41, 36, 5, 8, 10, 11, 13, 39, 14, 15, 17, 16, 18, 19,
              20, 21, 22, 23, 24, 25, 26, 27, 28, 9, 40, 34, 33, 35, 37, 38, 42, 43, 44 };
    return order;
}

QString ToolBar::imageName(int number)
{
    const ButtonKind* kind = kindOf(number);
    return kind ? QString::fromLatin1(kind->image) : QString();
}

ImageButton* ToolBar::makeButton(int number) const
{
    const ButtonKind* kind = kindOf(number);
    if (!kind)
        return nullptr;
    std::weak_ptr<ToolBarAction> delegate = m_delegate;
    const Action action = kind->action;
    return new ImageButton(
        QString::fromLatin1(kind->image),
        [delegate, action](platform::ui::Control* sender) {
            if (std::shared_ptr<ToolBarAction> target = delegate.lock())
                ((*target).*action)(sender);
        },
        nullptr, kind->tag);
}

ImageButton* ToolBar::getAddButton() const
{
    return makeButton(1);
}

ImageButton* ToolBar::getEditButton() const
{
    return makeButton(2);
}

ImageButton* ToolBar::getDeleteButton() const
{
    return makeButton(3);
}

ImageButton* ToolBar::getRefreshButton() const
{
    return makeButton(4);
}

ImageButton* ToolBar::getQueryButton() const
{
    return makeButton(5);
}

ImageButton* ToolBar::getNextButton() const
{
    return makeButton(6);
}

ImageButton* ToolBar::getSearchButton() const
{
    return makeButton(7);
}

ImageButton* ToolBar::getScriptButton() const
{
    return makeButton(8);
}

ImageButton* ToolBar::getMailButton() const
{
    return makeButton(9);
}

ImageButton* ToolBar::getDependencyButton() const
{
    return makeButton(10);
}

ImageButton* ToolBar::getReferenceButton() const
{
    return makeButton(11);
}

ImageButton* ToolBar::getHomeButton() const
{
    return makeButton(12);
}

ImageButton* ToolBar::getSizeButton() const
{
    return makeButton(13);
}

ImageButton* ToolBar::getStartButton() const
{
    return makeButton(14);
}

ImageButton* ToolBar::getStopButton() const
{
    return makeButton(15);
}

ImageButton* ToolBar::getNoteButton() const
{
    return makeButton(16);
}

ImageButton* ToolBar::getHistoryButton() const
{
    return makeButton(17);
}

ImageButton* ToolBar::getUnlockButton() const
{
    return makeButton(18);
}

ImageButton* ToolBar::getUndoButton() const
{
    return makeButton(19);
}

ImageButton* ToolBar::getCheckinButton() const
{
    return makeButton(20);
}

ImageButton* ToolBar::getCheckoutButton() const
{
    return makeButton(21);
}

ImageButton* ToolBar::getPauseButton() const
{
    return makeButton(22);
}

ImageButton* ToolBar::getRestartButton() const
{
    return makeButton(23);
}

ImageButton* ToolBar::getSuspendButton() const
{
    return makeButton(24);
}

ImageButton* ToolBar::getHelpButton() const
{
    return makeButton(25);
}

ImageButton* ToolBar::getCalendarButton() const
{
    return makeButton(26);
}

ImageButton* ToolBar::getDetailButton() const
{
    return makeButton(27);
}

ImageButton* ToolBar::getSettingsButton() const
{
    return makeButton(28);
}

ImageButton* ToolBar::getAddEditDeleteButton() const
{
    return makeButton(30);
}

ImageButton* ToolBar::getSaveButton() const
{
    return makeButton(31);
}

ImageButton* ToolBar::getOpenButton() const
{
    return makeButton(32);
}

ImageButton* ToolBar::getVideoButton() const
{
    return makeButton(33);
}

ImageButton* ToolBar::getQuickStartButton() const
{
    return makeButton(34);
}

ImageButton* ToolBar::getExpandCollapseButton() const
{
    return makeButton(35);
}

ImageButton* ToolBar::getSortButton() const
{
    return makeButton(36);
}

ImageButton* ToolBar::getColumnsButton() const
{
    return makeButton(37);
}

ImageButton* ToolBar::getOrderButton() const
{
    return makeButton(38);
}

ImageButton* ToolBar::getChartButton() const
{
    return makeButton(39);
}

ImageButton* ToolBar::getShareButton() const
{
    return makeButton(40);
}

ImageButton* ToolBar::getFilterButton() const
{
    return makeButton(41);
}

ImageButton* ToolBar::getApplyButton() const
{
    return makeButton(42);
}

ImageButton* ToolBar::getSendiCloudButton() const
{
    return makeButton(43);
}

ImageButton* ToolBar::getDatabaseButton() const
{
    return makeButton(44);
}

QList<platform::ui::BarButtonItem*> ToolBar::createButtons() const
{
    QList<platform::ui::BarButtonItem*> buttons;
    if (m_buttonBits) {
        for (int number : barOrder())
            if (m_buttonBits->getBit(quint32(number)))
                buttons.append(makeButton(number));
    }
    if (platform::ui::Device::current().systemMajorVersion() < kSpacedBarsSince)
        return buttons;
    QList<platform::ui::BarButtonItem*> spaced;
    for (platform::ui::BarButtonItem* button : buttons) {
        if (!spaced.isEmpty()) {
            auto* space = new platform::ui::BarButtonItem(
                platform::ui::BarButtonItem::SystemItem::FixedSpace);
            space->setWidth(ButtonSpacing);
            spaced.append(space);
        }
        spaced.append(button);
    }
    return spaced;
}

void ToolBar::ShowToolBar(platform::ui::ViewController* controller)
{
    if (!controller)
        return;
    QList<platform::ui::BarButtonItem*> items = createButtons();
    platform::ui::NavigationController* navigation = controller->navigationController();
    if (!items.isEmpty()) {
        // The flexible space keeps the buttons at the leading side.
        items.append(new platform::ui::BarButtonItem(
            platform::ui::BarButtonItem::SystemItem::FlexibleSpace));
        if (navigation)
            navigation->setToolbarHidden(false);
        controller->setToolbarItems(items);
    } else if (navigation) {
        navigation->setToolbarHidden(true);
    }
    retire(items);
}

void ToolBar::showTopBar(platform::ui::ViewController* controller)
{
    if (!controller)
        return;
    QList<platform::ui::BarButtonItem*> items = createButtons();
    for (platform::ui::BarButtonItem* item : items)
        if (auto* button = qobject_cast<ImageButton*>(item))
            button->setTopbar(true);
    items.append(
        new platform::ui::BarButtonItem(platform::ui::BarButtonItem::SystemItem::FlexibleSpace));
    controller->navigationItem()->setRightBarButtonItems(items);
    retire(items);
}

void ToolBar::retire(const QList<platform::ui::BarButtonItem*>& installed)
{
    for (const QPointer<platform::ui::BarButtonItem>& item : std::as_const(m_installed))
        if (item)
            item->deleteLater();
    m_installed.clear();
    for (platform::ui::BarButtonItem* item : installed)
        m_installed.append(item);
}
