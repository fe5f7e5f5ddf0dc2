#include "widgets/ReorderableCollectionViewFlowLayout.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Device.h"
#include "platform/ui/DisplayLink.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "widgets/ReorderableCollectionViewDataSource.h"
#include "widgets/ReorderableCollectionViewDelegateFlowLayout.h"

#include <algorithm>

using platform::ui::CollectionView;
using platform::ui::CollectionViewLayoutAttributes;
using platform::ui::GestureRecognizer;
using platform::ui::IndexPath;

const QString ReorderableCollectionViewFlowLayout::ScrollingDirectionKey
    = QStringLiteral("ReorderScrollingDirection");

namespace {

constexpr double PickUpScale = 1.1;
constexpr double AnimationDuration = 0.3;
constexpr double FramesPerSecond = 60.0;

platform::ui::ImageView* snapshotView(const QImage& image, const QSizeF& size)
{
    auto* view = new platform::ui::ImageView(
        platform::ui::Image(image, platform::ui::Device::current().scale()));
    view->setFrame(QRectF(QPointF(0, 0), size));
    view->setAutoresizingMask(
        platform::ui::AutoresizingFlexibleWidth | platform::ui::AutoresizingFlexibleHeight);
    return view;
}

} // namespace

ReorderableCollectionViewFlowLayout::ReorderableCollectionViewFlowLayout(QObject* parent)
    : platform::ui::FlowLayout(parent)
{
    setDefaults();
}

ReorderableCollectionViewFlowLayout::~ReorderableCollectionViewFlowLayout()
{
    invalidatesScrollTimer();
    removeRecognizers();
    if (m_currentView)
        m_currentView->deleteLater();
}

void ReorderableCollectionViewFlowLayout::setDefaults()
{
    m_scrollingSpeed = 300.0;
    m_triggerInsets = QMarginsF(50, 50, 50, 50);
}

ReorderableCollectionViewDataSource* ReorderableCollectionViewFlowLayout::dataSource() const
{
    CollectionView* view = collectionView();
    return view ? dynamic_cast<ReorderableCollectionViewDataSource*>(view->dataSource()) : nullptr;
}

ReorderableCollectionViewDelegateFlowLayout* ReorderableCollectionViewFlowLayout::delegate() const
{
    CollectionView* view = collectionView();
    return view ? dynamic_cast<ReorderableCollectionViewDelegateFlowLayout*>(view->delegate())
                : nullptr;
}

platform::ui::LongPressGestureRecognizer*
ReorderableCollectionViewFlowLayout::longPressGestureRecognizer() const
{
    return m_longPress.data();
}

platform::ui::PanGestureRecognizer*
ReorderableCollectionViewFlowLayout::panGestureRecognizer() const
{
    return m_pan.data();
}

void ReorderableCollectionViewFlowLayout::collectionViewDidChange()
{
    CollectionView* view = collectionView();
    if (!view) {
        invalidatesScrollTimer();
        m_attachedTo = nullptr;
        return;
    }
    if (view != m_attachedTo)
        setupCollectionView();
}

void ReorderableCollectionViewFlowLayout::setupCollectionView()
{
    CollectionView* view = collectionView();
    if (!view)
        return;
    removeRecognizers();
    m_attachedTo = view;
    QPointer<ReorderableCollectionViewFlowLayout> self(this);
    auto* longPress = new platform::ui::LongPressGestureRecognizer([self](GestureRecognizer* r) {
        if (self)
            self->handleLongPressGesture(static_cast<platform::ui::LongPressGestureRecognizer*>(r));
    });
    longPress->setDelegate(this);
    // The view's own long presses wait until this one has failed.
    for (GestureRecognizer* other : view->gestureRecognizers())
        if (qobject_cast<platform::ui::LongPressGestureRecognizer*>(other))
            other->requireGestureRecognizerToFail(longPress);
    view->addGestureRecognizer(longPress);
    m_longPress = longPress;
    auto* pan = new platform::ui::PanGestureRecognizer([self](GestureRecognizer* r) {
        if (self)
            self->handlePanGesture(static_cast<platform::ui::PanGestureRecognizer*>(r));
    });
    pan->setDelegate(this);
    view->addGestureRecognizer(pan);
    m_pan = pan;
    if (!m_resignToken)
        m_resignToken = platform::NotificationCenter::defaultCenter().addObserver(
            platform::ui::Application::WillResignActiveNotification, nullptr,
            [self](const platform::Notification&) {
                if (self)
                    self->handleApplicationWillResignActive();
            },
            true);
}

void ReorderableCollectionViewFlowLayout::removeRecognizers()
{
    if (m_resignToken) {
        platform::NotificationCenter::defaultCenter().removeObserver(m_resignToken);
        m_resignToken = 0;
    }
    for (GestureRecognizer* recognizer : { static_cast<GestureRecognizer*>(m_longPress.data()),
             static_cast<GestureRecognizer*>(m_pan.data()) }) {
        if (!recognizer)
            continue;
        recognizer->setDelegate(nullptr);
        recognizer->removeAllTargets();
        recognizer->deleteLater();
    }
    m_longPress = nullptr;
    m_pan = nullptr;
}

void ReorderableCollectionViewFlowLayout::applyLayoutAttributes(
    CollectionViewLayoutAttributes& attributes) const
{
    if (attributes.representedElementCategory() == CollectionViewLayoutAttributes::Category::Cell
        && m_selected && attributes.indexPath() == *m_selected)
        attributes.setHidden(true);
}

QList<CollectionViewLayoutAttributes>
ReorderableCollectionViewFlowLayout::layoutAttributesForElementsInRect(const QRectF& rect) const
{
    QList<CollectionViewLayoutAttributes> all = FlowLayout::layoutAttributesForElementsInRect(rect);
    if (m_selected)
        for (CollectionViewLayoutAttributes& attributes : all)
            applyLayoutAttributes(attributes);
    return all;
}

std::optional<CollectionViewLayoutAttributes>
ReorderableCollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath& indexPath) const
{
    auto attributes = FlowLayout::layoutAttributesForItemAtIndexPath(indexPath);
    if (attributes)
        applyLayoutAttributes(*attributes);
    return attributes;
}

void ReorderableCollectionViewFlowLayout::invalidateLayoutIfNecessary()
{
    CollectionView* view = collectionView();
    if (!view || !m_currentView || !m_selected)
        return;
    const std::optional<IndexPath> next = view->indexPathForItemAtPoint(m_currentView->center());
    const IndexPath previous = *m_selected;
    if (!next || *next == previous)
        return;
    ReorderableCollectionViewDataSource* source = dataSource();
    if (source && !source->collectionViewItemAtIndexPathCanMoveToIndexPath(view, previous, *next))
        return;
    m_selected = next;
    if (source)
        source->collectionViewItemAtIndexPathWillMoveToIndexPath(view, previous, *next);
    QPointer<ReorderableCollectionViewFlowLayout> self(this);
    QPointer<CollectionView> shown(view);
    const IndexPath to = *next;
    view->performBatchUpdates(
        [shown, previous, to] {
            if (!shown)
                return;
            shown->deleteItemsAtIndexPaths({ previous });
            shown->insertItemsAtIndexPaths({ to });
        },
        [self, shown, previous, to](bool) {
            if (!self || !shown)
                return;
            if (ReorderableCollectionViewDataSource* source = self->dataSource())
                source->collectionViewItemAtIndexPathDidMoveToIndexPath(shown, previous, to);
        });
}

void ReorderableCollectionViewFlowLayout::setupScrollTimerInDirection(ScrollingDirection direction)
{
    if (m_displayLink && m_displayLink->isValid() && !m_displayLink->isPaused()
        && m_displayLink->userInfo().value(ScrollingDirectionKey).toInt() == direction)
        return;
    invalidatesScrollTimer();
    QPointer<ReorderableCollectionViewFlowLayout> self(this);
    auto* link = new platform::ui::DisplayLink(
        [self](platform::ui::DisplayLink* tick) {
            if (self)
                self->handleScroll(tick);
        },
        this);
    link->setUserInfo({ { ScrollingDirectionKey, int(direction) } });
    link->addToRunLoop();
    m_displayLink = link;
}

void ReorderableCollectionViewFlowLayout::invalidatesScrollTimer()
{
    if (platform::ui::DisplayLink* link = m_displayLink.data()) {
        if (!link->isPaused())
            link->invalidate();
        link->deleteLater();
    }
    m_displayLink = nullptr;
}

void ReorderableCollectionViewFlowLayout::handleScroll(platform::ui::DisplayLink* displayLink)
{
    CollectionView* view = collectionView();
    if (!view || !displayLink)
        return;
    const int direction = displayLink->userInfo().value(ScrollingDirectionKey).toInt();
    if (direction == ScrollingUnknown)
        return;
    const double step = m_scrollingSpeed / FramesPerSecond;
    const QPointF offset = view->contentOffset();
    const QSizeF content = view->contentSize();
    const QSizeF bounds = view->bounds().size();
    double dx = 0;
    double dy = 0;
    switch (direction) {
    case ScrollingUp:
        dy = offset.y() - step <= 0 ? -offset.y() : -step;
        break;
    case ScrollingDown: {
        const double maxY = std::max(content.height(), bounds.height()) - bounds.height();
        dy = offset.y() + step >= maxY ? maxY - offset.y() : step;
        break;
    }
    case ScrollingLeft:
        dx = offset.x() - step <= 0 ? -offset.x() : -step;
        break;
    case ScrollingRight: {
        const double maxX = std::max(content.width(), bounds.width()) - bounds.width();
        dx = offset.x() + step >= maxX ? maxX - offset.x() : step;
        break;
    }
    default:
        return;
    }
    m_currentViewCenter += QPointF(dx, dy);
    if (m_currentView)
        m_currentView->setCenter(m_currentViewCenter + m_panTranslation);
    view->setContentOffset(offset + QPointF(dx, dy));
}

void ReorderableCollectionViewFlowLayout::handleLongPressGesture(
    platform::ui::LongPressGestureRecognizer* recognizer)
{
    CollectionView* view = collectionView();
    if (!view || !recognizer)
        return;
    switch (recognizer->state()) {
    case GestureRecognizer::State::Began:
        pickUp(recognizer->locationInView(view->subviewContainer()));
        break;
    case GestureRecognizer::State::Ended:
    case GestureRecognizer::State::Cancelled:
        drop();
        break;
    default:
        break;
    }
}

void ReorderableCollectionViewFlowLayout::pickUp(const QPointF& location)
{
    CollectionView* view = collectionView();
    const std::optional<IndexPath> path = view->indexPathForItemAtPoint(location);
    if (!path)
        return;
    ReorderableCollectionViewDataSource* source = dataSource();
    if (source && !source->collectionViewCanMoveItemAtIndexPath(view, *path))
        return;
    platform::ui::CollectionViewCell* cell = view->cellForItemAtIndexPath(*path);
    if (!cell)
        return;
    m_selected = path;
    if (ReorderableCollectionViewDelegateFlowLayout* notice = delegate())
        notice->collectionViewLayoutWillBeginDraggingItemAtIndexPath(view, this, *path);

    auto* snapshot = new platform::ui::View(cell->frame());
    const bool wasHighlighted = cell->isHighlighted();
    cell->setHighlighted(true);
    platform::ui::ImageView* highlighted
        = snapshotView(rasterizedImage(cell), cell->frame().size());
    cell->setHighlighted(false);
    platform::ui::ImageView* plain = snapshotView(rasterizedImage(cell), cell->frame().size());
    cell->setHighlighted(wasHighlighted);
    highlighted->setAlpha(1.0);
    plain->setAlpha(0.0);
    snapshot->addSubview(plain);
    snapshot->addSubview(highlighted);
    view->addSubview(snapshot);
    m_currentView = snapshot;
    m_currentViewCenter = snapshot->center();

    QPointer<ReorderableCollectionViewFlowLayout> self(this);
    QPointer<platform::ui::View> grown(snapshot);
    QPointer<platform::ui::ImageView> fading(highlighted);
    QPointer<platform::ui::ImageView> showing(plain);
    const IndexPath picked = *path;
    platform::ui::Animation::animate(
        AnimationDuration, 0, platform::ui::AnimationOptionBeginFromCurrentState,
        [grown, fading, showing] {
            if (grown)
                grown->setScale(PickUpScale);
            if (fading)
                fading->setAlpha(0.0);
            if (showing)
                showing->setAlpha(1.0);
        },
        [self, fading, picked](bool) {
            if (!self)
                return;
            if (fading) {
                fading->removeFromSuperview();
                fading->deleteLater();
            }
            CollectionView* shown = self->collectionView();
            ReorderableCollectionViewDelegateFlowLayout* notice = self->delegate();
            if (shown && notice)
                notice->collectionViewLayoutDidBeginDraggingItemAtIndexPath(shown, self, picked);
        });
    invalidateLayout();
}

void ReorderableCollectionViewFlowLayout::drop()
{
    CollectionView* view = collectionView();
    invalidatesScrollTimer();
    if (!view || !m_selected)
        return;
    const IndexPath path = *m_selected;
    if (ReorderableCollectionViewDelegateFlowLayout* notice = delegate())
        notice->collectionViewLayoutWillEndDraggingItemAtIndexPath(view, this, path);
    m_selected.reset();
    m_currentViewCenter = QPointF();
    const auto home = FlowLayout::layoutAttributesForItemAtIndexPath(path);
    QPointer<platform::ui::View> snapshot = m_currentView;
    QPointer<ReorderableCollectionViewFlowLayout> self(this);
    platform::ui::Animation::animate(
        AnimationDuration, 0, platform::ui::AnimationOptionBeginFromCurrentState,
        [snapshot, home] {
            if (!snapshot)
                return;
            snapshot->setScale(1.0);
            if (home)
                snapshot->setCenter(home->center());
        },
        [self, snapshot, path](bool) {
            if (snapshot) {
                snapshot->removeFromSuperview();
                snapshot->deleteLater();
            }
            if (!self)
                return;
            if (self->m_currentView == snapshot)
                self->m_currentView = nullptr;
            self->invalidateLayout();
            CollectionView* shown = self->collectionView();
            ReorderableCollectionViewDelegateFlowLayout* notice = self->delegate();
            if (shown && notice)
                notice->collectionViewLayoutDidEndDraggingItemAtIndexPath(shown, self, path);
        });
}

void ReorderableCollectionViewFlowLayout::handlePanGesture(
    platform::ui::PanGestureRecognizer* recognizer)
{
    CollectionView* view = collectionView();
    if (!view || !recognizer)
        return;
    switch (recognizer->state()) {
    case GestureRecognizer::State::Began:
    case GestureRecognizer::State::Changed: {
        if (!m_currentView)
            return;
        m_panTranslation = recognizer->translationInView(view);
        m_currentView->setCenter(m_currentViewCenter + m_panTranslation);
        invalidateLayoutIfNecessary();
        const QPointF centre = m_currentView->center();
        const QRectF visible = view->visibleRect();
        if (scrollDirection() == ScrollDirection::Vertical) {
            if (centre.y() < visible.top() + m_triggerInsets.top())
                setupScrollTimerInDirection(ScrollingUp);
            else if (centre.y() > visible.bottom() - m_triggerInsets.bottom())
                setupScrollTimerInDirection(ScrollingDown);
            else
                invalidatesScrollTimer();
        } else {
            if (centre.x() < visible.left() + m_triggerInsets.left())
                setupScrollTimerInDirection(ScrollingLeft);
            else if (centre.x() > visible.right() - m_triggerInsets.right())
                setupScrollTimerInDirection(ScrollingRight);
            else
                invalidatesScrollTimer();
        }
        break;
    }
    case GestureRecognizer::State::Ended:
    case GestureRecognizer::State::Cancelled:
        invalidatesScrollTimer();
        break;
    default:
        break;
    }
}

void ReorderableCollectionViewFlowLayout::handleApplicationWillResignActive()
{
    // Cancelling the recognisers ends the drag: the item is dropped where it is.
    for (GestureRecognizer* recognizer : { static_cast<GestureRecognizer*>(m_pan.data()),
             static_cast<GestureRecognizer*>(m_longPress.data()) }) {
        if (!recognizer)
            continue;
        recognizer->setEnabled(false);
        recognizer->setEnabled(true);
    }
}

bool ReorderableCollectionViewFlowLayout::gestureRecognizerShouldBegin(
    GestureRecognizer* recognizer)
{
    if (recognizer == m_pan)
        return m_selected.has_value();
    return true;
}

bool ReorderableCollectionViewFlowLayout::gestureRecognizerShouldRecognizeSimultaneouslyWith(
    GestureRecognizer* recognizer, GestureRecognizer* other)
{
    const GestureRecognizer* longPress = m_longPress.data();
    const GestureRecognizer* pan = m_pan.data();
    return (recognizer == longPress && other == pan) || (recognizer == pan && other == longPress);
}

QImage ReorderableCollectionViewFlowLayout::rasterizedImage(platform::ui::CollectionViewCell* cell)
{
    return cell ? cell->snapshot() : QImage();
}
