#include "platform/ui/Window.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

#include <QCloseEvent>
#include <QPainter>

namespace platform::ui {

// The status bar's place. A desktop window has no phone status bar to imitate (no clock,
// no battery): where the layout keeps its points, they show only the bar colour. A
// navigation bar that reaches under it shows its own colour there; a root navigation
// controller without its bar keeps the points empty, and they take the bars' colour.
class StatusBarView : public View {
public:
    explicit StatusBarView(QWidget* parent)
        : View(parent)
    {
        setUserInteractionEnabled(false);
        connect(&Device::current(), &Device::statusBarChanged, this, [this] { update(); });
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        auto* window = qobject_cast<Window*>(parentWidget());
        auto* navigation
            = window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
        if (!navigation || !navigation->isViewLoaded() || !navigation->isNavigationBarHidden())
            return;
        const QColor bar = NavigationBar::appearance().barTintColor;
        painter.fillRect(rect, bar.isValid() ? bar : QColor(247, 247, 247));
    }
};

Window::Window(QWidget* parent)
    : View(parent)
{
    setBackgroundColor(Qt::black);
    m_overlay = new View(this);
    m_overlay->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    m_overlay->setHidden(true);
    m_overlay->installEventFilter(this);
    m_statusBar = new StatusBarView(this);
    connect(&Device::current(), &Device::statusBarChanged, this, [this] { layoutSubviews(); });
}

ViewController* Window::rootViewController() const
{
    return m_root;
}

View* Window::rootView() const
{
    return m_root && m_root->isViewLoaded() && m_root->view()->parentWidget() == this
        ? m_root->view()
        : nullptr;
}

View* Window::statusBar() const
{
    return m_statusBar;
}

double Window::statusBarInset() const
{
    const auto& device = Device::current();
    if (device.hasNotch())
        return device.safeAreaInsets().top();
    return device.statusBarHidden() ? 0.0 : device.statusBarHeight();
}

InputPanel* Window::inputPanel()
{
    if (!m_inputPanel) {
        m_inputPanel = new InputPanel(this);
        layoutSubviews();
    }
    return m_inputPanel;
}

void Window::setRootViewController(ViewController* controller)
{
    if (m_root == controller)
        return;
    if (m_root) {
        QPointer<ViewController> old = m_root;
        old->beginAppearanceTransition(false, false);
        if (old->isViewLoaded())
            old->view()->hide();
        old->endAppearanceTransition();
    }
    m_root = controller;
    if (!controller)
        return;
    View* view = controller->view();
    addSubview(view);
    view->setFrame(bounds());
    view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    view->setHidden(false);
    view->stackUnder(m_overlay);
    layoutSubviews();
    if (isVisible()) {
        controller->beginAppearanceTransition(true, false);
        controller->endAppearanceTransition();
    }
}

void Window::layoutSubviews()
{
    const QRectF b = bounds();
    m_overlay->setFrame(b);
    // As many points as the window keeps at its top: a notch's in portrait, none in a
    // notched phone's landscape, where the content reaches the top.
    const double kept = statusBarInset();
    m_statusBar->setFrame(QRectF(0, 0, b.width(), kept));
    m_statusBar->setHidden(kept <= 0);
    if (m_inputPanel) {
        m_inputPanel->layoutInWindow();
        m_inputPanel->raise();
    }
    m_statusBar->raise();
    m_overlay->raise();
    if (auto* navigation = qobject_cast<NavigationController*>(m_root.data())) {
        // The bar height under the status bar may have changed.
        if (navigation->isViewLoaded())
            navigation->view()->layoutIfNeeded();
    }
}

void Window::updateOverlay()
{
    bool any = false;
    for (View* child : m_overlay->subviews())
        if (!child->isHidden())
            any = true;
    m_overlay->setHidden(!any);
    if (any)
        m_overlay->raise();
}

bool Window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_overlay
        && (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved
            || event->type() == QEvent::ChildPolished)) {
        QMetaObject::invokeMethod(
            this, [this] { updateOverlay(); }, Qt::QueuedConnection);
        if (event->type() == QEvent::ChildAdded)
            m_overlay->setHidden(false), m_overlay->raise();
    }
    return View::eventFilter(watched, event);
}

void Window::closeEvent(QCloseEvent* event)
{
    if (auto* delegate = Application::shared().delegate())
        guarded([&] { delegate->willTerminate(); });
    NotificationCenter::defaultCenter().post(Application::WillTerminateNotification);
    event->accept();
}

} // namespace platform::ui
