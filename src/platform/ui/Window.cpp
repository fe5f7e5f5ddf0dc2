#include "platform/ui/Window.h"

#include "platform/NotificationCenter.h"
#include "platform/Product.h"
#include "platform/ui/Application.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTime>
#include <QTimer>

namespace platform::ui {

// The status bar: the time in the middle and a battery at the right, dark or light as
// the style asks; the bar itself is transparent over the navigation bar.
class StatusBarView : public View {
public:
    explicit StatusBarView(QWidget* parent)
        : View(parent)
    {
        setUserInteractionEnabled(false);
        connect(&Device::current(), &Device::statusBarChanged, this, [this] { update(); });
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { update(); });
        timer->start(30000);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        const auto& device = Device::current();
        const QColor ink = device.statusBarStyle() == Device::StatusBarStyle::LightContent
            ? QColor(Qt::white)
            : QColor(Qt::black);
        painter.setPen(ink);
        painter.setFont(Font::named("HelveticaNeue-Medium", 12));
        painter.drawText(rect, Qt::AlignCenter, QTime::currentTime().toString("HH:mm"));
        painter.setFont(Font::system(12));
        painter.drawText(rect.adjusted(8, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
            device.isPad() ? QStringLiteral("iPad") : QString::fromLatin1(Product::name));
        const QRectF battery(rect.right() - 34, rect.center().y() - 5, 24, 10);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(battery, 2, 2);
        painter.fillRect(battery.adjusted(2, 2, -6, -2), ink);
        painter.fillRect(QRectF(battery.right() + 1, battery.center().y() - 2, 2, 4), ink);
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
    m_statusBar->setFrame(QRectF(0, 0, b.width(), Device::current().statusBarHeight()));
    m_statusBar->setHidden(Device::current().statusBarHidden() && !Device::current().hasNotch());
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
