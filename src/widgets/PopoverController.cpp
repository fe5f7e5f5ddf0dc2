#include "widgets/PopoverController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Observation.h"
#include "platform/ui/PopoverHost.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "style/ThemeButton.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/PopoverControllerDelegate.h"
#include "widgets/PopoverTouchView.h"
#include "widgets/PopoverView.h"

#include <QSet>

using namespace platform::ui;

const QString PopoverController::NewPopoverPresented = QStringLiteral("NewPopoverPresented");

namespace {

constexpr double kStatusBarHeight = 20.0;

// The popovers alive now, so the sender of "NewPopoverPresented" can be trusted.
QSet<const void*>& livePopovers()
{
    static QSet<const void*> live;
    return live;
}

} // namespace

PopoverController::PopoverController(ViewController* viewController,
    PopoverControllerDelegate* delegate, bool doneButton, QObject* parent)
    : FloatingPanelController(viewController, parent)
{
    init(viewController, delegate, doneButton);
}

PopoverController::PopoverController(
    ViewController* viewController, bool doneButton, QObject* parent)
    : FloatingPanelController(viewController, parent)
{
    init(viewController, nullptr, doneButton);
}

void PopoverController::init(
    ViewController* viewController, PopoverControllerDelegate* delegate, bool doneButton)
{
    livePopovers().insert(this);
    setDelegate(delegate);
    m_alpha = 1.0;
    m_arrowDirection = PopoverArrowDirectionAny;
    m_doneButton = doneButton;
    m_border = true;
    QPointer<PopoverController> weak(this);
    makeTouchView([weak] {
        if (weak && !weak->m_doneButton)
            weak->dismissPopoverAnimated(true);
    });
    View* root = view();

    m_contentSize = QSizeF(200, 300);
    m_contentView = new PopoverView(QRectF(0, 0, 200, 300));
    m_touchView->addSubview(m_contentView);
    if (viewController) {
        View* content = viewController->view();
        m_contentView->addContentView(content);
        content->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    }
    root->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    root->setClipsToBounds(false);
    m_contentView->setTitle(viewController ? viewController->title() : QString());
    m_contentView->setParentController(viewController);
    m_contentView->setClipsToBounds(false);
    m_contentView->setRadius(10.0);

    if (doneButton) {
        const QString close = LocalizedStrings::Close();
        const Theme* style = Theme::current();
        const QFont font = style ? style->buttonTitleFont() : Font::system(13);
        m_closeButton = new ThemeButton(close, m_contentView);
        m_closeButton->setFrame(QRectF(10, 7, Font::measure(close, font).width() + 10, 25));
        m_closeButton->addTarget(
            [weak](Control*) {
                if (weak)
                    weak->buttonDoneClicked();
            },
            ControlEventTouchUpInside);
    }

    if (viewController) {
        m_titleObservation
            = observeProperty(viewController, "title", this, [this](const QVariant& value) {
                  m_contentView->setTitle(value.toString());
                  m_contentView->update();
              });
    }
}

PopoverController::~PopoverController()
{
    livePopovers().remove(this);
    QObject::disconnect(m_titleObservation);
    removeObservers();
}

PopoverControllerDelegate* PopoverController::delegate() const
{
    return living(m_delegate);
}

void PopoverController::setDelegate(PopoverControllerDelegate* delegate)
{
    m_delegate = delegate;
    trackDelegate(dynamic_cast<QObject*>(delegate));
}

void PopoverController::viewDidLoad()
{
    ViewController::viewDidLoad();
    addObservers();
    if (!m_contentView)
        return; // the view is made inside the initialiser, before the panel
    m_contentView->setArrowDirection(PopoverArrowDirectionUp);
    if (m_contentController)
        m_contentView->addContentView(m_contentController->view());
    setupView();
}

void PopoverController::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    // The window changed size: once its screens have been laid out too, the panel
    // follows its anchor.
    if (!m_presented || m_relayoutQueued || m_inSetup)
        return;
    m_relayoutQueued = true;
    QPointer<PopoverController> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self)
                return;
            self->m_relayoutQueued = false;
            if (self->m_presented)
                self->setupView();
        },
        Qt::QueuedConnection);
}

void PopoverController::addObservers()
{
    observeOrientation();
    if (!m_newPopoverToken) {
        QPointer<PopoverController> self(this);
        m_newPopoverToken = platform::NotificationCenter::defaultCenter().addObserver(
            NewPopoverPresented, nullptr, [self](const platform::Notification& notification) {
                if (self)
                    self->newPopoverPresented(notification);
            });
    }
}

void PopoverController::removeObservers()
{
    stopObservingOrientation();
    if (m_newPopoverToken) {
        platform::NotificationCenter::defaultCenter().removeObserver(m_newPopoverToken);
        m_newPopoverToken = 0;
    }
    m_hasSavedShadowColor = false;
    m_savedShadowColor = QColor();
}

void PopoverController::newPopoverPresented(const platform::Notification& notification)
{
    if (notification.object == this || !livePopovers().contains(notification.object))
        return;
    auto* other = static_cast<PopoverController*>(const_cast<void*>(notification.object));
    if (PopoverControllerDelegate* listener = delegate())
        listener->presentedNewPopoverController(other, this);
}

void PopoverController::setAlpha(double alpha)
{
    m_alpha = alpha;
    // The panel is what shows: the full-size views stay opaque to touches, so no touch
    // slips through to the screen below while the panel fades.
    m_contentView->setAlpha(alpha);
}

qint32 PopoverController::tint() const
{
    return m_contentView->tint();
}

void PopoverController::setTint(qint32 tint)
{
    m_contentView->setTint(tint);
    m_contentView->update();
}

void PopoverController::setBorder(bool border)
{
    m_border = border;
    m_contentView->setBorder(border);
    m_contentView->update();
}

double PopoverController::radius() const
{
    return m_contentView->radius();
}

void PopoverController::setRadius(double radius)
{
    m_contentView->setRadius(radius);
    m_contentView->update();
}

QString PopoverController::title() const
{
    return m_contentView->title();
}

void PopoverController::setTitle(const QString& title)
{
    m_contentView->setTitle(title);
    m_contentView->update();
}

void PopoverController::presentPopoverFromPoint(const QPointF& point)
{
    m_origin = point;
    if (!m_border && m_contentController) {
        m_contentController->setTitle(QString());
        m_contentController->view()->setClipsToBounds(true);
    }
    m_contentView->setRelativeOrigin(
        m_parentView ? m_contentView->convertPointFromView(point, m_parentView) : point);

    beginPresentation();
    addObservers();
    if (!showInHost())
        dismissPopoverAnimated(false);
    setupView();
    finishContentAppearance();
    m_contentView->setAlpha(0.0);
    QPointer<PopoverView> panel = m_contentView;
    const double target = m_alpha;
    Animation::animate(kFadeDuration, 0, AnimationOptionAllowUserInteraction, [panel, target] {
        if (panel)
            panel->setAlpha(target);
    });
    QPointer<PopoverController> self(this);
    platform::NotificationCenter::defaultCenter().post(NewPopoverPresented, this);
    if (!self)
        return;
    if (auto* navigation = qobject_cast<NavigationController*>(m_contentController.data())) {
        NavigationBar* bar = navigation->navigationBar();
        const QRectF frame = bar->frame();
        bar->setFrame(QRectF(frame.x(), 0, frame.width(), frame.height()));
    }
}

void PopoverController::presentPopoverFromView(View* anchor)
{
    m_fromView = anchor;
    QPointF point = m_origin;
    if (anchor) {
        // Provisional: the layout works from the anchor itself.
        const QRectF frame = anchor->frame();
        switch (m_contentView->arrowDirection()) {
        case PopoverArrowDirectionUp:
        case PopoverArrowDirectionNone:
            point = QPointF(frame.center().x(), frame.bottom());
            break;
        case PopoverArrowDirectionDown:
            point = QPointF(frame.center().x(), frame.top());
            break;
        case PopoverArrowDirectionLeft:
            point = QPointF(frame.right(), frame.center().y());
            break;
        case PopoverArrowDirectionRight:
            point = QPointF(frame.left(), frame.center().y());
            break;
        default:
            point = frame.center();
            break;
        }
    }
    presentPopoverFromPoint(point);
}

void PopoverController::setupView()
{
    m_inSetup = true;
    View* root = view();
    root->setFrame(QRectF(0, 0, parentWidth(), parentHeight()));
    m_touchView->setFrame(root->bounds());
    // Not shown, the panel keeps its size for the next presentation.
    if (m_parentView)
        bestArrowDirectionAndFrameFromView();
    m_contentView->update();
    m_touchView->update();
    m_inSetup = false;
}

void PopoverController::bestArrowDirectionAndFrameFromView()
{
    const double pw = parentWidth();
    const double ph = parentHeight();
    QPointF p = m_origin;
    QSizeF anchor(0, 0);
    if (View* from = m_fromView) {
        p = view()->convertPointFromView(from->frame().topLeft(), from->parentWidget());
        anchor = from->frame().size();
    }
    const double above = p.y();
    const double below = ph - (p.y() + anchor.height());
    const double left = p.x();
    const double right = pw - (p.x() + anchor.width());
    const double bestVertical = std::max(above, below);
    const double bestHorizontal = std::max(left, right);
    double w = m_contentSize.width();
    double h = m_contentSize.height();
    const unsigned set = m_arrowDirection;

    unsigned direction;
    double x;
    double y;
    const bool vertical = set == 19 || set == PopoverArrowDirectionUp
        || set == PopoverArrowDirectionDown || set == PopoverArrowDirectionNone
        || (set == PopoverArrowDirectionAny && bestVertical >= bestHorizontal);
    if (vertical) {
        x = p.x() + anchor.width() / 2 - w / 2;
        if (above == bestVertical || set == PopoverArrowDirectionDown) {
            direction = PopoverArrowDirectionDown;
            y = p.y() - h;
        } else {
            direction = PopoverArrowDirectionUp;
            y = p.y() + anchor.height();
        }
    } else {
        y = p.y() + anchor.height() / 2 - h / 2;
        if ((left == bestHorizontal || set == PopoverArrowDirectionRight)
            && set != PopoverArrowDirectionLeft) {
            direction = PopoverArrowDirectionRight;
            x = p.x() - w;
        } else {
            direction = PopoverArrowDirectionLeft;
            x = p.x() + anchor.width();
        }
    }

    // Inside the parent: pinned to an edge, then cut to what is left. A panel wider than
    // the parent is pinned to its left edge, so its Close button stays on screen.
    if (x + w > pw)
        x = pw - w;
    if (x < 0)
        x = 0;
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x + w > pw)
        w = pw - x;
    if (y + h > ph)
        h = ph - y;

    m_contentView->setArrowDirection(
        set == PopoverArrowDirectionNone ? unsigned(PopoverArrowDirectionNone) : direction);
    if (y <= kStatusBarHeight && !Device::current().statusBarHidden())
        y += kStatusBarHeight;
    m_contentView->setFrame(QRectF(x, y, std::max(0.0, w), std::max(0.0, h)));
    m_origin = QPointF(p.x() + anchor.width() / 2, p.y() + anchor.height() / 2);
    m_contentView->setRelativeOrigin(m_contentView->convertPointFromView(m_origin, view()));
}

void PopoverController::dismissPopoverAnimated(bool animated, std::function<void()> completion)
{
    if (!animated) {
        dismissPopover();
        if (completion)
            guarded(completion);
        return;
    }
    if (m_dismissing) {
        // Already fading out: the completion runs with the first one's.
        if (completion)
            m_pendingCompletions.push_back(std::move(completion));
        return;
    }
    m_dismissing = true;
    if (completion)
        m_pendingCompletions.push_back(std::move(completion));
    QPointer<PopoverController> self(this);
    QPointer<PopoverView> panel = m_contentView;
    const quint64 presentation = m_presentation;
    Animation::animate(
        kFadeDuration, 0, 0,
        [panel] {
            if (panel)
                panel->setAlpha(0.0);
        },
        [self, presentation](bool) {
            // Shown again meanwhile: that presentation stays.
            if (!self || self->m_presentation != presentation || !self->m_dismissing)
                return;
            auto completions = std::move(self->m_pendingCompletions);
            self->m_pendingCompletions.clear();
            self->dismissPopover();
            for (const auto& done : completions)
                guarded(done);
        });
}

void PopoverController::dismissPopover()
{
    removeObservers();
    endPresentation();
    QPointer<PopoverController> self(this);
    if (PopoverControllerDelegate* listener = delegate())
        listener->popoverControllerDidDismissPopover(this);
    if (self)
        releaseAfterDismissal();
}

void PopoverController::setShadowsHidden(bool hidden)
{
    Layer* layer = m_contentView->layer();
    if (hidden) {
        layer->setShadowOpacity(0);
        layer->setShadowRadius(0);
        layer->setShadowOffset(QPointF(0, 0));
        m_savedShadowColor = layer->shadowColor();
        m_hasSavedShadowColor = true;
        layer->setShadowColor(QColor());
    } else {
        layer->setShadowOpacity(0.7);
        layer->setShadowRadius(5);
        layer->setShadowOffset(QPointF(-3, 3));
        if (m_hasSavedShadowColor)
            layer->setShadowColor(m_savedShadowColor);
        m_hasSavedShadowColor = false;
        m_savedShadowColor = QColor();
    }
}

void PopoverController::escapePressed()
{
    if (m_closeButton && m_closesOnEscape)
        buttonDoneClicked();
    else
        FloatingPanelController::escapePressed();
}

void PopoverController::buttonDoneClicked()
{
    QPointer<PopoverController> self(this);
    if (PopoverControllerDelegate* listener = delegate())
        listener->closebuttonClicked(this);
    if (self)
        dismissPopoverAnimated(true);
}
