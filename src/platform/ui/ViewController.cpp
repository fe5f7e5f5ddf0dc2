#include "platform/ui/ViewController.h"

#include "platform/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Guard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"

#include <QPainter>

namespace platform::ui {

namespace {

// The dimmed backdrop behind a sheet; it takes the touches outside the sheet.
class SheetHost : public View {
public:
    explicit SheetHost(QWidget* parent)
        : View(parent)
    {
    }
};

} // namespace

ViewController::ViewController(QObject* parent)
    : QObject(parent)
{
}

ViewController::~ViewController()
{
    if (m_presented && m_presented->parent() == this)
        m_presented->m_presenting = nullptr;
    if (m_presentationHost)
        delete m_presentationHost.data();
    if (m_view)
        delete m_view.data();
}

bool ViewController::isViewLoaded() const
{
    return !m_view.isNull();
}

View* ViewController::view()
{
    if (!m_view && !m_loading) {
        m_loading = true;
        guarded([this] { loadView(); });
        if (!m_view)
            setView(new View());
        m_loading = false;
        guarded([this] { viewDidLoad(); });
    }
    return m_view;
}

void ViewController::setView(View* view)
{
    if (m_view == view)
        return;
    if (m_view) {
        m_view->onLayoutSubviews = nullptr;
        if (m_view->parent() == nullptr)
            m_view->deleteLater();
    }
    m_view = view;
    if (m_view) {
        QPointer<ViewController> self(this);
        m_view->onLayoutSubviews = [self] {
            if (self)
                self->viewDidLayoutSubviews();
        };
    }
}

void ViewController::loadView()
{
    auto* view = new View();
    view->setFrame(Device::current().screenBounds());
    view->setBackgroundColor(Qt::white);
    setView(view);
}

void ViewController::viewDidLoad()
{
}
void ViewController::viewWillAppear(bool)
{
}
void ViewController::viewDidAppear(bool)
{
}
void ViewController::viewWillDisappear(bool)
{
}
void ViewController::viewDidDisappear(bool)
{
}
void ViewController::viewWillLayoutSubviews()
{
}
void ViewController::viewDidLayoutSubviews()
{
}

void ViewController::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    // The navigation item follows the title, as on the platform.
    navigationItem()->setTitle(title);
    emit titleChanged(title);
}

NavigationItem* ViewController::navigationItem()
{
    if (!m_navigationItem) {
        m_navigationItem = new NavigationItem(this);
        m_navigationItem->setTitle(m_title);
    }
    return m_navigationItem;
}

QList<BarButtonItem*> ViewController::toolbarItems() const
{
    QList<BarButtonItem*> items;
    for (const auto& item : m_toolbarItems)
        if (item)
            items.append(item);
    return items;
}

void ViewController::setToolbarItems(const QList<BarButtonItem*>& items, bool)
{
    m_toolbarItems.clear();
    for (BarButtonItem* item : items) {
        if (item && !item->parent())
            item->setParent(this);
        m_toolbarItems.append(item);
    }
    emit toolbarItemsChanged();
}

NavigationController* ViewController::navigationController() const
{
    if (m_navigationController)
        return m_navigationController;
    if (m_parentController)
        return m_parentController->navigationController();
    return nullptr;
}

void ViewController::setNavigationController(NavigationController* controller)
{
    m_navigationController = controller;
}

QList<ViewController*> ViewController::childViewControllers() const
{
    QList<ViewController*> list;
    for (const auto& child : m_children)
        if (child)
            list.append(child);
    return list;
}

void ViewController::addChildViewController(ViewController* child)
{
    if (!child || child == this)
        return;
    if (child->m_parentController)
        child->removeFromParentViewController();
    child->m_parentController = this;
    if (!child->parent())
        child->setParent(this);
    m_children.append(child);
}

void ViewController::removeFromParentViewController()
{
    if (!m_parentController)
        return;
    m_parentController->m_children.removeAll(this);
    m_parentController = nullptr;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    if (appearing) {
        if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
            return;
        m_appearance = Appearance::Appearing;
        view();
        guarded([&] { viewWillAppear(animated); });
    } else {
        if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
            return;
        m_appearance = Appearance::Disappearing;
        guarded([&] { viewWillDisappear(animated); });
    }
}

void ViewController::endAppearanceTransition()
{
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        guarded([&] { viewDidAppear(false); });
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        guarded([&] { viewDidDisappear(false); });
    }
}

void ViewController::presentViewController(
    ViewController* controller, bool animated, Completion completion)
{
    if (!controller || controller == this)
        return;
    if (m_presented) {
        qWarning("Attempt to present a controller on one that is already presenting");
        return;
    }
    if (!controller->parent()) {
        controller->setParent(this);
        controller->m_ownedByContainer = true;
    }
    m_presented = controller;
    controller->m_presenting = this;

    View* overlay = Application::shared().overlayLevel();
    auto* host = new SheetHost(overlay);
    SafeArea::markPresentationHost(host);
    host->setFrame(overlay->bounds());
    host->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    controller->m_presentationHost = host;

    View* content = controller->view();
    const QRectF area = overlay->bounds();
    QRectF target = area;
    const bool sheet = controller->m_modalStyle != ModalPresentationStyle::FullScreen
        && Device::current().isPad();
    if (sheet) {
        host->setBackgroundColor(QColor(0, 0, 0, 102));
        QSizeF size = controller->m_preferredSize;
        if (size.isEmpty())
            size = controller->m_modalStyle == ModalPresentationStyle::FormSheet
                ? QSizeF(540, 620)
                : QSizeF(std::min(768.0, area.width()), area.height() - 40);
        size = size.boundedTo(area.size() - QSizeF(20, 20));
        target = QRectF(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2,
            size.width(), size.height());
        content->layer()->setCornerRadius(10);
        content->setClipsToBounds(true);
        content->setAutoresizingMask(AutoresizingFlexibleLeftMargin
            | AutoresizingFlexibleRightMargin | AutoresizingFlexibleTopMargin
            | AutoresizingFlexibleBottomMargin);
    } else {
        content->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    }
    host->addSubview(content);
    const QSizeF loadedSize = content->frame().size();
    content->setFrame(target.translated(0, area.height()));
    // Laid out for where it will rest (how much a notch or the home indicator covers of
    // it), also when its size was already the one it gets.
    if (content->frame().size() == loadedSize)
        content->layoutIfNeeded();
    content->setHidden(false);

    // What the sheet covers disappears only when it covers everything.
    ViewController* covered = sheet ? nullptr : Application::shared().topMostPresentedController();
    if (covered == controller)
        covered = this;
    QPointer<ViewController> coveredPtr(covered);
    if (coveredPtr && coveredPtr != controller)
        coveredPtr->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);

    QPointer<ViewController> presented(controller);
    Animation::animate(
        animated ? 0.3 : 0, 0, AnimationOptionCurveEaseOut, [&] { content->setFrame(target); },
        [presented, coveredPtr, completion](bool) {
            if (coveredPtr && coveredPtr != presented)
                coveredPtr->endAppearanceTransition();
            if (presented)
                presented->endAppearanceTransition();
            Application::shared().updateStatusBarAppearance();
            if (completion)
                guarded(completion);
        });
}

void ViewController::dismissViewController(bool animated, Completion completion)
{
    if (m_presented) {
        // Whatever the presented controller presents goes with it.
        ViewController* presented = m_presented;
        if (presented->m_presented) {
            QPointer<ViewController> self(this);
            presented->dismissViewController(false, [self, animated, completion] {
                if (self)
                    self->dismissViewController(animated, completion);
            });
            return;
        }
        finishDismissal(presented, animated, std::move(completion));
        return;
    }
    if (m_presenting) {
        m_presenting->dismissViewController(animated, std::move(completion));
        return;
    }
    // A screen inside a container (a navigation stack) speaks for its container: it
    // ends what the container presents, or the container's own presentation.
    ViewController* container = m_parentController
        ? m_parentController.data()
        : static_cast<ViewController*>(m_navigationController.data());
    if (container && container != this) {
        container->dismissViewController(animated, std::move(completion));
        return;
    }
    if (completion)
        dispatch::asyncMain([completion] { guarded(completion); });
}

void ViewController::finishDismissal(
    ViewController* presented, bool animated, Completion completion)
{
    QPointer<ViewController> presentedPtr(presented);
    QPointer<ViewController> self(this);
    QPointer<View> host = presented->m_presentationHost;
    View* content = presented->view();
    m_presented = nullptr;

    const bool sheet = presented->m_modalStyle != ModalPresentationStyle::FullScreen
        && Device::current().isPad();
    ViewController* uncovered
        = sheet ? nullptr : Application::shared().topMostPresentedController();
    QPointer<ViewController> uncoveredPtr(uncovered);
    presented->beginAppearanceTransition(false, animated);
    if (uncoveredPtr && uncoveredPtr != presented)
        uncoveredPtr->beginAppearanceTransition(true, animated);

    const QRectF from = content->frame();
    const double height = host ? host->bounds().height() : from.height();
    Animation::animate(
        animated ? 0.25 : 0, 0, AnimationOptionCurveEaseIn,
        [&] { content->setFrame(from.translated(0, height)); },
        [presentedPtr, uncoveredPtr, host, self, completion](bool) {
            if (presentedPtr) {
                presentedPtr->endAppearanceTransition();
                presentedPtr->m_presenting = nullptr;
                if (auto* view = presentedPtr->m_view.data()) {
                    view->setParent(nullptr);
                    view->hide();
                }
                presentedPtr->m_presentationHost = nullptr;
            }
            if (host)
                host->deleteLater();
            if (uncoveredPtr && uncoveredPtr != presentedPtr)
                uncoveredPtr->endAppearanceTransition();
            if (presentedPtr && presentedPtr->m_ownedByContainer && self
                && presentedPtr->parent() == self)
                presentedPtr->deleteLater();
            Application::shared().updateStatusBarAppearance();
            if (completion)
                guarded(completion);
        });
}

// A controller without an opinion keeps what the application set.
Device::StatusBarStyle ViewController::preferredStatusBarStyle() const
{
    return Device::current().statusBarStyle();
}

bool ViewController::prefersStatusBarHidden() const
{
    return Device::current().statusBarHidden();
}

void ViewController::setNeedsStatusBarAppearanceUpdate()
{
    Application::shared().updateStatusBarAppearance();
}

void ViewController::performSegueWithIdentifier(const QString& identifier, QObject* sender)
{
    guarded([&] { Storyboard::main().performSegue(this, identifier, sender); });
}

void ViewController::prepareForSegue(StoryboardSegue&, QObject*)
{
}

} // namespace platform::ui
