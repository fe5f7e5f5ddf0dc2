#include "widgets/ProgressHUD.h"

#include "platform/Dispatch.h"
#include "platform/Progress.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "widgets/HUDBackgroundView.h"
#include "widgets/HUDBarProgressView.h"
#include "widgets/HUDRoundProgressView.h"
#include "widgets/ProgressHUDDelegate.h"
#include "widgets/ProgressHUDFailures.h"
#include "widgets/ProgressHUDRoundedButton.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace platform::ui;

namespace {

constexpr double kPadding = 4.0;
constexpr double kAnimationDuration = 0.3;
constexpr int kDisplayLinkInterval = 16; // about 60 frames a second

// What the view asks for in a layout; a label without text asks for nothing, and one of
// several lines wraps at the width.
QSizeF intrinsicSizeOf(View* view, double wrapWidth)
{
    if (!view)
        return QSizeF(0, 0);
    if (auto* label = qobject_cast<Label*>(view)) {
        if (label->text().isEmpty())
            return QSizeF(0, 0);
        const bool wraps = label->numberOfLines() != 1 && wrapWidth > 0;
        return Font::measure(label->text(), label->font(), wraps ? wrapWidth : 0);
    }
    if (auto* button = qobject_cast<ProgressHUDRoundedButton*>(view))
        return button->intrinsicContentSize();
    if (auto* round = qobject_cast<HUDRoundProgressView*>(view))
        return round->intrinsicContentSize();
    if (auto* bar = qobject_cast<HUDBarProgressView*>(view))
        return bar->intrinsicContentSize();
    if (auto* background = qobject_cast<HUDBackgroundView*>(view))
        return background->intrinsicContentSize();
    if (auto* activity = qobject_cast<ActivityIndicatorView*>(view))
        return activity->sizeThatFits(QSizeF());
    if (auto* image = qobject_cast<ImageView*>(view))
        return image->image().size();
    return view->frame().size();
}

bool isVisibleInStack(View* view)
{
    return view && !view->isHidden() && !intrinsicSizeOf(view, 0).isNull();
}

QColor orDefault(const QColor& preferred, const QColor& fallback)
{
    return preferred.isValid() ? preferred : fallback;
}

} // namespace

ProgressHUD::Appearance& ProgressHUD::appearance()
{
    static Appearance shared;
    return shared;
}

ProgressHUD* ProgressHUD::showHUDAddedTo(View* view, bool animated)
{
    auto* hud = new ProgressHUD(view);
    hud->setRemoveFromSuperViewOnHide(true);
    view->addSubview(hud);
    hud->showAnimated(animated);
    return hud;
}

bool ProgressHUD::hideHUDForView(View* view, bool animated)
{
    ProgressHUD* hud = HUDForView(view);
    if (!hud)
        return false;
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hideAnimated(animated);
    return true;
}

ProgressHUD* ProgressHUD::HUDForView(View* view)
{
    if (!view)
        return nullptr;
    const QList<View*> subviews = view->subviews();
    for (auto it = subviews.crbegin(); it != subviews.crend(); ++it) {
        auto* hud = qobject_cast<ProgressHUD*>(*it);
        if (hud && !hud->hasFinished())
            return hud;
    }
    return nullptr;
}

ProgressHUD::ProgressHUD(View* view)
    : View(view ? view->bounds() : QRectF(), nullptr)
{
    if (!view)
        ProgressHUDFailures::raise(ProgressHUDFailures::NilView);
    commonInit();
}

ProgressHUD::ProgressHUD(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    commonInit();
}

ProgressHUD::~ProgressHUD()
{
    // A custom view another view owns goes back to it instead of going with the overlay.
    if (m_customView && !m_ownsCustomView)
        dropCustomView(m_customView, m_customViewOwner, false, m_customViewWasHidden);
}

void ProgressHUD::commonInit()
{
    m_animationType = Fade;
    m_mode = Indeterminate;
    m_margin = 20.0;
    m_motionEffects = true;
    m_contentColor = QColor::fromRgbF(0, 0, 0, 0.7f);
    setBackgroundColor(Qt::transparent);
    setAlpha(0.0);
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setupViews();
    updateIndicators();
    connect(&Device::current(), &Device::orientationChanged, this,
        [this] { updateForCurrentOrientation(); });
}

void ProgressHUD::setupViews()
{
    const QColor color = m_contentColor;

    m_backgroundView = new HUDBackgroundView(bounds(), this);
    m_backgroundView->setStyle(HUDBackgroundView::SolidColor);
    m_backgroundView->setBackgroundColor(Qt::transparent);
    m_backgroundView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    m_backgroundView->setAlpha(0);

    m_bezelView = new HUDBackgroundView(this);
    m_bezelView->layer()->setCornerRadius(5.0);
    m_bezelView->setAlpha(0);
    updateBezelMotionEffects();

    m_label = new Label(m_bezelView);
    m_label->setAdjustsFontSizeToFitWidth(false);
    m_label->setTextAlignment(Qt::AlignCenter);
    m_label->setTextColor(color);
    m_label->setFont(Font::boldSystem(16));
    m_label->setBackgroundColor(Qt::transparent);

    m_detailsLabel = new Label(m_bezelView);
    m_detailsLabel->setAdjustsFontSizeToFitWidth(false);
    m_detailsLabel->setTextAlignment(Qt::AlignCenter);
    m_detailsLabel->setTextColor(color);
    m_detailsLabel->setNumberOfLines(0);
    m_detailsLabel->setFont(Font::boldSystem(12));
    m_detailsLabel->setBackgroundColor(Qt::transparent);

    m_button = new ProgressHUDRoundedButton(m_bezelView);
    m_button->setTitleFont(Font::boldSystem(12));
    m_button->setTitleColor(color, ControlStateNormal);

    // New texts change what the stack needs.
    connect(m_label, &Label::textChanged, this, [this] { setNeedsLayout(); });
    connect(m_detailsLabel, &Label::textChanged, this, [this] { setNeedsLayout(); });

    m_topSpacer = new View(m_bezelView);
    m_topSpacer->setHidden(true);
    m_bottomSpacer = new View(m_bezelView);
    m_bottomSpacer->setHidden(true);
}

void ProgressHUD::removeIndicator()
{
    View* old = m_indicator;
    m_indicator = nullptr;
    if (!old)
        return;
    if (old == m_customView) {
        // The overlay keeps its custom view while it does not show it.
        old->setParent(this);
        old->hide();
        return;
    }
    old->removeFromSuperview();
    old->deleteLater();
}

void ProgressHUD::updateIndicators()
{
    View* indicator = m_indicator;
    const bool isActivity = qobject_cast<ActivityIndicatorView*>(indicator) != nullptr;
    const bool isRound = qobject_cast<HUDRoundProgressView*>(indicator) != nullptr;

    switch (m_mode) {
    case Indeterminate:
        if (!isActivity) {
            removeIndicator();
            auto* activity = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge);
            activity->startAnimating();
            m_bezelView->addSubview(activity);
            indicator = activity;
        }
        break;
    case DeterminateHorizontalBar: {
        removeIndicator();
        auto* bar = new HUDBarProgressView();
        m_bezelView->addSubview(bar);
        indicator = bar;
        break;
    }
    case Determinate:
    case AnnularDeterminate:
        if (!isRound) {
            removeIndicator();
            indicator = new HUDRoundProgressView();
            m_bezelView->addSubview(indicator);
        }
        qobject_cast<HUDRoundProgressView*>(indicator)->setAnnular(m_mode == AnnularDeterminate);
        break;
    case CustomView:
        if (m_customView != indicator) {
            removeIndicator();
            indicator = m_customView;
            if (indicator)
                m_bezelView->addSubview(indicator);
        }
        break;
    case Text:
        removeIndicator();
        indicator = nullptr;
        break;
    default:
        break;
    }
    m_indicator = indicator;

    if (indicator && indicator->metaObject()->indexOfProperty("progress") >= 0)
        indicator->setProperty("progress", m_progress);
    updateViewsForColor(m_contentColor);
    setNeedsUpdateConstraints();
}

void ProgressHUD::updateViewsForColor(const QColor& color)
{
    if (!color.isValid())
        return;
    m_label->setTextColor(color);
    m_detailsLabel->setTextColor(color);
    m_button->setTitleColor(color, ControlStateNormal);

    const Appearance& proxy = appearance();
    View* indicator = m_indicator;
    if (auto* activity = qobject_cast<ActivityIndicatorView*>(indicator)) {
        activity->setColor(orDefault(proxy.activityIndicatorColor, color));
    } else if (auto* round = qobject_cast<HUDRoundProgressView*>(indicator)) {
        QColor faint = color;
        faint.setAlphaF(0.1f);
        round->setProgressTintColor(orDefault(proxy.roundProgressTintColor, color));
        round->setBackgroundTintColor(orDefault(proxy.roundBackgroundTintColor, faint));
    } else if (auto* bar = qobject_cast<HUDBarProgressView*>(indicator)) {
        bar->setProgressColor(orDefault(proxy.barProgressColor, color));
        bar->setLineColor(orDefault(proxy.barLineColor, color));
    } else if (indicator) {
        indicator->setTintColor(color);
    }
}

void ProgressHUD::updateBezelMotionEffects()
{
    // The desktop has no device tilt: the flag is kept, the bezel stays where it is.
}

void ProgressHUD::setMode(int mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    updateIndicators();
}

void ProgressHUD::setCustomView(View* view)
{
    if (view == m_customView)
        return;
    View* old = m_customView;
    const QPointer<QWidget> oldOwner = m_customViewOwner;
    const bool ownedOld = m_ownsCustomView;
    const bool oldWasHidden = m_customViewWasHidden;
    m_customView = view;
    m_customViewOwner = view ? view->parentWidget() : nullptr;
    m_ownsCustomView = view && !view->parentWidget();
    m_customViewWasHidden = view && view->isHidden();
    if (m_ownsCustomView) {
        view->setParent(this);
        view->hide();
    }
    // Taken off the bezel here, not by updateIndicators, which would delete it.
    if (old && old == m_indicator)
        m_indicator = nullptr;
    dropCustomView(old, oldOwner, ownedOld, oldWasHidden);
    if (m_mode == CustomView)
        updateIndicators();
}

void ProgressHUD::dropCustomView(View* view, QWidget* owner, bool owned, bool wasHidden)
{
    if (!view)
        return;
    // One whose owner went meanwhile has no one else to delete it.
    if (owned || !owner) {
        view->removeFromSuperview();
        view->deleteLater();
        return;
    }
    view->setParent(owner);
    view->setHidden(wasHidden);
}

void ProgressHUD::setOffset(const QPointF& offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    setNeedsUpdateConstraints();
}

void ProgressHUD::setMargin(double margin)
{
    if (margin == m_margin)
        return;
    m_margin = margin;
    setNeedsUpdateConstraints();
}

void ProgressHUD::setMinSize(const QSizeF& size)
{
    if (size == m_minSize)
        return;
    m_minSize = size;
    setNeedsUpdateConstraints();
}

void ProgressHUD::setSquare(bool square)
{
    if (square == m_square)
        return;
    m_square = square;
    setNeedsUpdateConstraints();
}

void ProgressHUD::setProgress(float progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    View* indicator = m_indicator;
    if (indicator && indicator->metaObject()->indexOfProperty("progress") >= 0)
        indicator->setProperty("progress", progress);
}

void ProgressHUD::setContentColor(const QColor& color)
{
    if (color == m_contentColor)
        return;
    m_contentColor = color;
    updateViewsForColor(color);
}

void ProgressHUD::setDefaultMotionEffectsEnabled(bool enabled)
{
    if (enabled == m_motionEffects)
        return;
    m_motionEffects = enabled;
    updateBezelMotionEffects();
}

void ProgressHUD::setProgressObject(std::shared_ptr<platform::Progress> progress)
{
    if (progress == m_progressObject)
        return;
    m_progressObject = std::move(progress);
    setProgressDisplayLinkEnabled(true);
}

ProgressHUDDelegate* ProgressHUD::delegate() const
{
    // A delegate that is an object and has gone is no delegate.
    if (m_delegate && dynamic_cast<QObject*>(m_delegate) && !m_delegateObject)
        return nullptr;
    return m_delegate;
}

void ProgressHUD::setDelegate(ProgressHUDDelegate* delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject*>(delegate);
}

// Layout. The stack is: top spacer, indicator, label, details label, button, bottom
// spacer, each centred and at least `margin` from the bezel's sides. The bezel hugs the
// stack; the least size and the square rule grow it only as far as the centring allows,
// and the centring gives way to the margins from the overlay's edges.

void ProgressHUD::setNeedsUpdateConstraints()
{
    m_needsUpdateConstraints = true;
    setNeedsLayout();
}

void ProgressHUD::updateConstraints()
{
    m_needsUpdateConstraints = false;
    updatePaddingConstraints();
}

void ProgressHUD::updatePaddingConstraints()
{
    QList<View*> stack { m_topSpacer };
    if (m_indicator)
        stack << m_indicator.data();
    stack << m_label << m_detailsLabel << m_button << m_bottomSpacer;
    m_paddings.clear();
    // Spacing only between views that show something, so empty labels and a button
    // without action take no room.
    bool hasVisibleAncestors = false;
    for (qsizetype i = 1; i < stack.size(); ++i) {
        const bool upperVisible = isVisibleInStack(stack[i - 1]);
        const bool lowerVisible = isVisibleInStack(stack[i]);
        m_paddings << (lowerVisible && (upperVisible || hasVisibleAncestors) ? kPadding : 0.0);
        hasVisibleAncestors |= upperVisible;
    }
}

void ProgressHUD::layoutSubviews()
{
    View::layoutSubviews();
    if (m_needsUpdateConstraints)
        updateConstraints();
    else
        updatePaddingConstraints();
    applyLayout();
}

void ProgressHUD::applyLayout()
{
    QList<View*> items;
    if (m_indicator)
        items << m_indicator.data();
    items << m_label << m_detailsLabel << m_button;
    if (m_paddings.size() != items.size() + 1)
        updatePaddingConstraints();

    const QRectF area = bounds();
    const double m = m_margin;
    const double maxBezelWidth = std::max(0.0, area.width() - 2 * m);
    const double maxBezelHeight = std::max(0.0, area.height() - 2 * m);
    const double maxItemWidth = std::max(0.0, maxBezelWidth - 2 * m);

    QList<QSizeF> sizes;
    double widest = 0;
    double stackHeight = 0;
    for (View* item : items) {
        QSizeF size = item->isHidden() ? QSizeF(0, 0) : intrinsicSizeOf(item, maxItemWidth);
        size.setWidth(std::min(size.width(), maxItemWidth));
        sizes << size;
        widest = std::max(widest, size.width());
        stackHeight += size.height();
    }
    for (double padding : m_paddings)
        stackHeight += padding;
    // Views give way before the bezel leaves its margins: the lowest ones first.
    double over = stackHeight + 2 * m - maxBezelHeight;
    for (qsizetype i = sizes.size() - 1; i >= 0 && over > 0; --i) {
        const double take = std::min(over, sizes[i].height());
        sizes[i].setHeight(sizes[i].height() - take);
        stackHeight -= take;
        over -= take;
    }

    const double contentWidth = widest + 2 * m;
    const double contentHeight = stackHeight + 2 * m;
    QSizeF wanted(contentWidth, contentHeight);
    if (!m_minSize.isNull())
        wanted = wanted.expandedTo(m_minSize);
    if (m_square) {
        const double side = std::max(wanted.width(), wanted.height());
        wanted = QSizeF(side, side);
    }
    const QPointF center = area.center() + m_offset;
    const double roomWidth = 2 * std::min(center.x() - m, area.width() - m - center.x());
    const double roomHeight = 2 * std::min(center.y() - m, area.height() - m - center.y());
    const double width = std::max(contentWidth, std::min(wanted.width(), roomWidth));
    const double height = std::max(contentHeight, std::min(wanted.height(), roomHeight));
    double x = center.x() - width / 2;
    double y = center.y() - height / 2;
    if (x + width > area.width() - m)
        x = area.width() - m - width;
    if (x < m)
        x = m;
    if (y + height > area.height() - m)
        y = area.height() - m - height;
    if (y < m)
        y = m;
    m_bezelView->setFrame(QRectF(x, y, width, height));
    m_backgroundView->setFrame(area);

    // The spacers share what the bezel has beyond the stack.
    const double spacer = m + std::max(0.0, height - contentHeight) / 2;
    m_topSpacer->setFrame(QRectF(width / 2, 0, 0, spacer));
    double cursor = spacer;
    for (qsizetype i = 0; i < items.size(); ++i) {
        cursor += m_paddings.value(i);
        const QSizeF& size = sizes[i];
        items[i]->setFrame(QRectF((width - size.width()) / 2, cursor, size.width(), size.height()));
        cursor += size.height();
    }
    cursor += m_paddings.value(items.size());
    m_bottomSpacer->setFrame(QRectF(width / 2, cursor, 0, spacer));
}

// Showing and hiding.

void ProgressHUD::requireMainThread()
{
    if (!platform::dispatch::isMainThread())
        ProgressHUDFailures::raise(ProgressHUDFailures::NotMainThread);
}

QTimer* ProgressHUD::scheduleTimer(double seconds, std::function<void()> fire)
{
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(std::max(0, int(std::lround(seconds * 1000.0))));
    connect(timer, &QTimer::timeout, this, [timer, fire = std::move(fire)] {
        timer->deleteLater();
        guarded(fire);
    });
    timer->start();
    return timer;
}

void ProgressHUD::invalidate(QPointer<QTimer>& timer)
{
    if (timer) {
        timer->stop();
        timer->deleteLater();
    }
    timer = nullptr;
}

void ProgressHUD::showAnimated(bool animated)
{
    requireMainThread();
    invalidate(m_minShowTimer);
    m_useAnimation = animated;
    m_finished = false;
    if (m_graceTime > 0.0) {
        m_graceTimer = scheduleTimer(m_graceTime, [this] {
            if (!m_finished)
                showUsingAnimation(m_useAnimation);
        });
    } else {
        showUsingAnimation(m_useAnimation);
    }
}

void ProgressHUD::hideAnimated(bool animated)
{
    requireMainThread();
    invalidate(m_graceTimer);
    m_useAnimation = animated;
    m_finished = true;
    if (m_minShowTime > 0.0 && m_showStarted.isValid()) {
        const double shown = m_showStarted.msecsTo(QDateTime::currentDateTimeUtc()) / 1000.0;
        if (shown < m_minShowTime) {
            m_minShowTimer = scheduleTimer(
                m_minShowTime - shown, [this] { hideUsingAnimation(m_useAnimation); });
            return;
        }
    }
    hideUsingAnimation(m_useAnimation);
}

void ProgressHUD::hideAnimated(bool animated, double afterDelay)
{
    invalidate(m_hideDelayTimer);
    m_hideDelayTimer = scheduleTimer(afterDelay, [this, animated] { hideAnimated(animated); });
}

void ProgressHUD::showUsingAnimation(bool animated)
{
    for (const char* key : { "alpha", "scale" }) {
        Animation::cancel(m_bezelView, key);
        Animation::cancel(m_backgroundView, key);
    }
    invalidate(m_hideDelayTimer);
    m_showStarted = QDateTime::currentDateTimeUtc();
    setAlpha(1.0);
    setNeedsLayout();
    setProgressDisplayLinkEnabled(true);
    if (animated) {
        animateIn(true, m_animationType, nullptr);
    } else {
        m_bezelView->setAlpha(1.0);
        m_backgroundView->setAlpha(1.0);
    }
}

void ProgressHUD::hideUsingAnimation(bool animated)
{
    invalidate(m_hideDelayTimer);
    if (animated && m_showStarted.isValid()) {
        m_showStarted = QDateTime();
        QPointer<ProgressHUD> self(this);
        animateIn(false, m_animationType, [self] {
            if (self)
                self->done();
        });
    } else {
        m_showStarted = QDateTime();
        m_bezelView->setAlpha(0.0);
        done();
    }
}

void ProgressHUD::animateIn(bool animatingIn, int type, std::function<void()> completion)
{
    if (type == Zoom)
        type = animatingIn ? ZoomIn : ZoomOut;
    const double small = 0.5;
    const double large = 1.5;
    if (animatingIn && m_bezelView->alpha() == 0.0) {
        if (type == ZoomIn)
            m_bezelView->setScale(small);
        else if (type == ZoomOut)
            m_bezelView->setScale(large);
    }
    QPointer<HUDBackgroundView> bezel = m_bezelView;
    QPointer<HUDBackgroundView> background = m_backgroundView;
    // A critically damped spring: it eases out without overshooting.
    Animation::animate(
        kAnimationDuration, 0,
        AnimationOptionBeginFromCurrentState | AnimationOptionCurveEaseOut
            | AnimationOptionAllowUserInteraction,
        [=] {
            if (!bezel || !background)
                return;
            if (animatingIn)
                bezel->setScale(1.0);
            else if (type == ZoomIn)
                bezel->setScale(large);
            else if (type == ZoomOut)
                bezel->setScale(small);
            const double alpha = animatingIn ? 1.0 : 0.0;
            bezel->setAlpha(alpha);
            background->setAlpha(alpha);
        },
        [completion](bool) {
            if (completion)
                completion();
        });
}

void ProgressHUD::done()
{
    setProgressDisplayLinkEnabled(false);
    if (m_finished) {
        setAlpha(0.0);
        if (m_removeOnHide) {
            removeFromSuperview();
            deleteLater();
        }
    }
    QPointer<ProgressHUD> self(this);
    if (const auto block = m_completionBlock)
        block();
    if (!self)
        return;
    if (ProgressHUDDelegate* listener = delegate())
        listener->hudWasHidden(this);
}

// The progress object, read once a frame while the overlay shows.

void ProgressHUD::setProgressDisplayLinkEnabled(bool enabled)
{
    if (enabled && m_progressObject) {
        if (!m_progressObjectDisplayLink) {
            auto* link = new QTimer(this);
            link->setInterval(kDisplayLinkInterval);
            connect(link, &QTimer::timeout, this, [this] { updateProgressFromProgressObject(); });
            link->start();
            m_progressObjectDisplayLink = link;
        }
    } else {
        invalidate(m_progressObjectDisplayLink);
    }
}

void ProgressHUD::updateProgressFromProgressObject()
{
    if (m_progressObject)
        setProgress(float(m_progressObject->fractionCompleted()));
}

void ProgressHUD::updateForCurrentOrientation()
{
    if (View* parent = superview())
        setFrame(parent->bounds());
}

bool ProgressHUD::event(QEvent* event)
{
    const bool handled = View::event(event);
    if (event->type() == QEvent::ParentChange)
        updateForCurrentOrientation();
    return handled;
}

// While shown the overlay is modal: what reaches it goes no further.

void ProgressHUD::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void ProgressHUD::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void ProgressHUD::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void ProgressHUD::wheelEvent(QWheelEvent* event)
{
    event->accept();
}
