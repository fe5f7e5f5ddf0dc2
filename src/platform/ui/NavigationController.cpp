#include "platform/ui/NavigationController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Guard.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"

namespace platform::ui {

namespace {

// The navigation controller's own view: it lays out bar, content and toolbar whenever
// its size changes.
class NavigationView : public View {
public:
    std::function<void()> layout;
    void layoutSubviews() override
    {
        if (layout)
            layout();
    }
};

} // namespace

NavigationController::NavigationController(QObject* parent)
    : ViewController(parent)
{
}

NavigationController::NavigationController(ViewController* root, QObject* parent)
    : ViewController(parent)
{
    if (root)
        setViewControllers({ root }, false);
}

NavigationController::~NavigationController()
{
    // Owned controllers go with the navigation controller (they are its Qt children);
    // their views go first so no view outlives its controller's container.
    for (const auto& controller : m_stack)
        if (controller)
            controller->setNavigationController(nullptr);
}

QList<ViewController*> NavigationController::viewControllers() const
{
    QList<ViewController*> list;
    for (const auto& controller : m_stack)
        if (controller)
            list.append(controller);
    return list;
}

ViewController* NavigationController::topViewController() const
{
    for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it)
        if (*it)
            return *it;
    return nullptr;
}

ViewController* NavigationController::visibleViewController() const
{
    ViewController* top = topViewController();
    if (presentedViewController())
        top = presentedViewController();
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}

double NavigationController::topInset() const
{
    // The root navigation controller of the window reaches under the status bar; one
    // presented over the whole screen reaches under the notch, and keeps its bar's
    // buttons below it.
    auto& app = Application::shared();
    if (app.hasKeyWindow() && app.rootViewController() == this)
        return app.keyWindow()->statusBarInset();
    return m_content ? SafeArea::restingInsets(m_content->parentWidget()).top() : 0;
}

void NavigationController::loadView()
{
    auto* view = new NavigationView();
    view->setFrame(Device::current().screenBounds());
    view->setBackgroundColor(Qt::white);
    QPointer<NavigationController> self(this);
    view->layout = [self] {
        if (self)
            self->layoutChildren();
    };
    m_content = new View(view);
    m_content->setClipsToBounds(true);
    SafeArea::markSlidingContainer(m_content);
    m_bar = new NavigationBar(view);
    m_toolbar = new Toolbar(view);
    m_toolbar->setHidden(m_toolbarHidden);
    m_bar->setHidden(m_barHidden);
    setView(view);
    layoutChildren();
    for (ViewController* controller : viewControllers())
        adopt(controller);
    if (ViewController* top = topViewController()) {
        m_content->addSubview(top->view());
        top->view()->setFrame(m_content->bounds());
        top->view()->setHidden(false);
    }
    refreshBars();
}

QRectF NavigationController::contentFrame()
{
    view();
    return m_content->frame();
}

void NavigationController::layoutChildren()
{
    if (!isViewLoaded() || !m_bar)
        return;
    const QRectF b = view()->bounds();
    const double inset = topInset();
    double top = 0;
    if (!m_barHidden) {
        m_bar->setTopInset(inset);
        m_bar->setFrame(QRectF(0, 0, b.width(), BarHeight + inset));
        top = BarHeight + inset;
    } else {
        top = inset;
    }
    double bottom = b.height();
    const double safeBottom = Device::current().safeAreaInsets().bottom();
    if (!m_toolbarHidden) {
        m_toolbar->setFrame(QRectF(
            0, b.height() - ToolbarHeight - safeBottom, b.width(), ToolbarHeight + safeBottom));
        bottom = b.height() - ToolbarHeight - safeBottom;
    }
    m_content->setFrame(QRectF(0, top, b.width(), std::max(0.0, bottom - top)));
    for (ViewController* controller : viewControllers())
        if (controller->isViewLoaded() && controller->view()->parentWidget() == m_content)
            controller->view()->setFrame(m_content->bounds());
}

void NavigationController::adopt(ViewController* controller)
{
    controller->setNavigationController(this);
    if (!controller->parent()) {
        controller->setParent(this);
        controller->setOwnedByContainer(true);
    }
}

void NavigationController::release(const QList<ViewController*>& removed)
{
    for (ViewController* controller : removed) {
        if (!controller)
            continue;
        if (m_stack.contains(controller))
            continue;
        controller->setNavigationController(nullptr);
        if (controller->isViewLoaded() && controller->view()->parentWidget() == m_content) {
            controller->view()->hide();
            controller->view()->setParent(nullptr);
        }
        if (controller->ownedByContainer() && controller->parent() == this)
            controller->deleteLater();
    }
}

void NavigationController::setViewControllers(
    const QList<ViewController*>& controllers, bool animated)
{
    ViewController* oldTop = topViewController();
    QList<ViewController*> removed;
    for (ViewController* controller : viewControllers())
        if (!controllers.contains(controller))
            removed.append(controller);
    m_stack.clear();
    for (ViewController* controller : controllers) {
        if (!controller)
            continue;
        m_stack.append(controller);
        adopt(controller);
    }
    ViewController* newTop = topViewController();
    if (oldTop != newTop)
        transition(oldTop, newTop, true, animated, removed);
    else
        release(removed);
    emit stackChanged();
}

void NavigationController::pushViewController(ViewController* controller, bool animated)
{
    if (!controller || m_stack.contains(controller) || controller == this)
        return;
    ViewController* oldTop = topViewController();
    m_stack.append(controller);
    adopt(controller);
    transition(oldTop, controller, true, animated, {});
    emit stackChanged();
}

ViewController* NavigationController::popViewController(bool animated)
{
    if (viewControllers().size() <= 1)
        return nullptr;
    ViewController* popped = topViewController();
    m_stack.removeAll(popped);
    transition(popped, topViewController(), false, animated, { popped });
    emit stackChanged();
    return popped;
}

QList<ViewController*> NavigationController::popToRootViewController(bool animated)
{
    QList<ViewController*> all = viewControllers();
    if (all.size() <= 1)
        return {};
    return popToViewController(all.first(), animated);
}

QList<ViewController*> NavigationController::popToViewController(
    ViewController* controller, bool animated)
{
    QList<ViewController*> all = viewControllers();
    const int index = all.indexOf(controller);
    if (index < 0 || index == all.size() - 1)
        return {};
    QList<ViewController*> removed = all.mid(index + 1);
    ViewController* oldTop = all.last();
    m_stack.clear();
    for (ViewController* c : all.mid(0, index + 1))
        m_stack.append(c);
    transition(oldTop, controller, false, animated, removed);
    emit stackChanged();
    return removed;
}

void NavigationController::transition(ViewController* from, ViewController* to, bool push,
    bool animated, QList<ViewController*> removed)
{
    if (!isViewLoaded()) {
        // Nothing is on screen yet: the views are placed when the view loads.
        release(removed);
        return;
    }
    const bool onScreen = isAppeared();
    QPointer<ViewController> fromPtr(from);
    QPointer<ViewController> toPtr(to);

    if (onScreen && from)
        from->beginAppearanceTransition(false, animated);
    View* toView = to ? to->view() : nullptr;
    if (onScreen && to)
        to->beginAppearanceTransition(true, animated);

    const QRectF area = m_content->bounds();
    if (toView) {
        m_content->addSubview(toView);
        toView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        toView->setFrame(area.translated(push ? area.width() : -area.width() * 0.3, 0));
        toView->setHidden(false);
        if (!push && from && from->isViewLoaded())
            toView->stackUnder(from->view());
    }
    refreshBars();

    View* fromView = from && from->isViewLoaded() ? from->view() : nullptr;
    QPointer<View> fromViewPtr(fromView);
    QPointer<NavigationController> self(this);
    const bool animate = animated && onScreen && fromView;
    Animation::animate(
        animate ? 0.35 : 0, 0, AnimationOptionCurveEaseOut,
        [&] {
            if (toView)
                toView->setFrame(area);
            if (fromView)
                fromView->setFrame(area.translated(push ? -area.width() * 0.3 : area.width(), 0));
        },
        [self, fromPtr, toPtr, fromViewPtr, removed, onScreen](bool) {
            if (!self)
                return;
            if (fromViewPtr && fromPtr && fromPtr != self->topViewController())
                fromViewPtr->hide();
            if (onScreen && fromPtr)
                fromPtr->endAppearanceTransition();
            if (onScreen && toPtr)
                toPtr->endAppearanceTransition();
            self->release(removed);
            Application::shared().updateStatusBarAppearance();
        });
}

void NavigationController::refreshBars()
{
    if (!m_bar)
        return;
    if (m_observedTop)
        disconnect(m_observedTop, &ViewController::toolbarItemsChanged, this, nullptr);
    ViewController* top = topViewController();
    m_observedTop = top;
    if (!top) {
        // With nothing on the stack the bar shows the navigation controller's own item.
        m_bar->showItem(navigationItem(), {}, {});
        m_toolbar->setItems({});
        return;
    }
    const auto all = viewControllers();
    QString backTitle;
    if (all.size() > 1) {
        ViewController* below = all.at(all.size() - 2);
        BarButtonItem* back = below->navigationItem()->backBarButtonItem();
        backTitle = back ? back->title() : below->navigationItem()->title();
        if (backTitle.isEmpty())
            backTitle = QStringLiteral("Back");
    }
    QPointer<NavigationController> self(this);
    m_bar->showItem(top->navigationItem(), backTitle, [self] {
        if (self)
            self->popViewController(true);
    });
    m_toolbar->setItems(top->toolbarItems());
    connect(top, &ViewController::toolbarItemsChanged, this, [this, top] {
        if (top == topViewController())
            m_toolbar->setItems(top->toolbarItems());
    });
}

NavigationBar* NavigationController::navigationBar()
{
    view();
    return m_bar;
}

void NavigationController::setNavigationBarHidden(bool hidden, bool)
{
    m_barHidden = hidden;
    if (m_bar)
        m_bar->setHidden(hidden);
    layoutChildren();
}

Toolbar* NavigationController::toolbar()
{
    view();
    return m_toolbar;
}

void NavigationController::setToolbarHidden(bool hidden, bool)
{
    m_toolbarHidden = hidden;
    if (m_toolbar)
        m_toolbar->setHidden(hidden);
    layoutChildren();
}

void NavigationController::viewWillAppear(bool animated)
{
    if (ViewController* top = topViewController())
        top->beginAppearanceTransition(true, animated);
}

void NavigationController::viewDidAppear(bool)
{
    if (ViewController* top = topViewController())
        top->endAppearanceTransition();
}

void NavigationController::viewWillDisappear(bool animated)
{
    if (ViewController* top = topViewController())
        top->beginAppearanceTransition(false, animated);
}

void NavigationController::viewDidDisappear(bool)
{
    if (ViewController* top = topViewController())
        top->endAppearanceTransition();
}

Device::StatusBarStyle NavigationController::preferredStatusBarStyle() const
{
    if (ViewController* top = topViewController())
        return top->preferredStatusBarStyle();
    return ViewController::preferredStatusBarStyle();
}

bool NavigationController::prefersStatusBarHidden() const
{
    if (ViewController* top = topViewController())
        return top->prefersStatusBarHidden();
    return ViewController::prefersStatusBarHidden();
}

} // namespace platform::ui
