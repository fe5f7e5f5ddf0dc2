#include "platform/ui/ScrollView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Guard.h"
#include "platform/ui/SafeArea.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace platform::ui {

namespace {

const QByteArray OffsetKey = "contentOffset";
constexpr double AnimationDuration = 0.3;
constexpr double GlideDuration = 0.45;
constexpr double GlideFactor = 0.3; // seconds of the release speed the content glides on
constexpr double IndicatorThickness = 11;
constexpr double IndicatorMinimumLength = 28;
constexpr int WheelQuietMs = 160;
constexpr double FlickSpeed = 300; // points per second that turn a page onwards

} // namespace

// A scroll bar drawn over the content, thin like the platform's indicators, but one the
// user can drag and click into, as a desktop user expects.
class ScrollIndicator : public View {
public:
    ScrollIndicator(ScrollView* scrollView, Qt::Orientation orientation)
        : View(scrollView)
        , m_scrollView(scrollView)
        , m_orientation(orientation)
    {
        setHidden(true);
    }

    void refresh()
    {
        const QPointF min = m_scrollView->minimumContentOffset();
        const QPointF max = m_scrollView->maximumContentOffset();
        const bool vertical = m_orientation == Qt::Vertical;
        m_range = vertical ? max.y() - min.y() : max.x() - min.x();
        const QRectF b = m_scrollView->bounds();
        const QMarginsF in = m_scrollView->scrollIndicatorInsets();
        const bool shows = vertical ? m_scrollView->showsVerticalScrollIndicator()
                                    : m_scrollView->showsHorizontalScrollIndicator();
        if (!shows || m_range < 1 || b.isEmpty()) {
            setHidden(true);
            return;
        }
        // Leave the corner to the other bar when both show.
        const double corner = 2;
        if (vertical)
            setFrame(QRectF(b.width() - IndicatorThickness - in.right(), in.top() + corner,
                IndicatorThickness,
                std::max(0.0, b.height() - in.top() - in.bottom() - 2 * corner)));
        else
            setFrame(QRectF(in.left() + corner, b.height() - IndicatorThickness - in.bottom(),
                std::max(0.0, b.width() - in.left() - in.right() - 2 * corner - IndicatorThickness),
                IndicatorThickness));
        const double track = vertical ? frame().height() : frame().width();
        const double visible = vertical ? b.height() : b.width();
        const double total = visible + m_range;
        m_length = std::min(track, std::max(IndicatorMinimumLength, track * visible / total));
        const double offset = vertical ? m_scrollView->contentOffset().y() - min.y()
                                       : m_scrollView->contentOffset().x() - min.x();
        m_position = std::clamp(offset / m_range, 0.0, 1.0) * (track - m_length);
        setHidden(false);
        raise();
        update();
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        const bool vertical = m_orientation == Qt::Vertical;
        const double thickness = (m_hover || m_grab >= 0) ? 7 : 5;
        QRectF thumb = vertical
            ? QRectF(rect.width() - thickness - 2, m_position, thickness, m_length)
            : QRectF(m_position, rect.height() - thickness - 2, m_length, thickness);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, (m_hover || m_grab >= 0) ? 140 : 90));
        painter.drawRoundedRect(thumb, thickness / 2, thickness / 2);
    }

    void enterEvent(QEnterEvent*) override
    {
        m_hover = true;
        update();
    }

    void leaveEvent(QEvent*) override
    {
        m_hover = false;
        update();
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !m_scrollView->isScrollEnabled()) {
            event->ignore();
            return;
        }
        event->accept();
        const double at = along(event->position());
        m_scrollView->stopScrollAnimation();
        m_scrollView->beginUserScroll();
        if (at >= m_position && at <= m_position + m_length) {
            m_grab = at - m_position;
        } else {
            // A click beside the thumb turns a page towards it.
            const bool vertical = m_orientation == Qt::Vertical;
            const double page
                = (vertical ? m_scrollView->bounds().height() : m_scrollView->bounds().width())
                * 0.9;
            QPointF offset = m_scrollView->contentOffset();
            const double step = at < m_position ? -page : page;
            offset += vertical ? QPointF(0, step) : QPointF(step, 0);
            m_scrollView->applyContentOffset(m_scrollView->clampedOffset(offset));
            m_grab = -1;
            m_paging = true;
        }
        update();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        event->accept();
        if (m_grab < 0)
            return;
        const double track = m_orientation == Qt::Vertical ? frame().height() : frame().width();
        const double room = track - m_length;
        if (room <= 0)
            return;
        const double fraction = std::clamp((along(event->position()) - m_grab) / room, 0.0, 1.0);
        const QPointF min = m_scrollView->minimumContentOffset();
        QPointF offset = m_scrollView->contentOffset();
        if (m_orientation == Qt::Vertical)
            offset.setY(min.y() + fraction * m_range);
        else
            offset.setX(min.x() + fraction * m_range);
        m_scrollView->applyContentOffset(offset);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        event->accept();
        if (m_grab < 0 && !m_paging)
            return;
        m_grab = -1;
        m_paging = false;
        update();
        m_scrollView->endUserScroll(QPointF());
    }

private:
    double along(const QPointF& point) const
    {
        return m_orientation == Qt::Vertical ? point.y() : point.x();
    }

    ScrollView* m_scrollView;
    Qt::Orientation m_orientation;
    double m_range = 0;
    double m_length = 0;
    double m_position = 0;
    double m_grab = -1;
    bool m_paging = false;
    bool m_hover = false;
};

// Shows the part of a scroll view's content that lies beyond its bounds, for a scroll
// view that does not clip. A widget draws nothing outside itself, so this sibling, as
// large as the superview and stacked just under the scroll view, draws that part. It
// takes no touches: there, as on the platform, they go to the superview.
class ScrollOverhang : public QWidget {
public:
    explicit ScrollOverhang(ScrollView* scrollView)
        : m_scrollView(scrollView)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        scrollView->installEventFilter(this);
        scrollView->subviewContainer()->installEventFilter(this);
        follow();
    }

    // Joins the scroll view's superview, at its size, under the scroll view.
    void follow()
    {
        QWidget* host = m_scrollView ? m_scrollView->parentWidget() : nullptr;
        if (host != parentWidget()) {
            if (parentWidget())
                parentWidget()->removeEventFilter(this);
            setParent(host);
            if (host)
                host->installEventFilter(this);
        }
        if (!host) {
            hide();
            return;
        }
        setGeometry(host->rect());
        stackUnder(m_scrollView);
        setVisible(!m_scrollView->isHidden());
        refresh();
    }

    // Redraws the part outside the scroll view only, so the scroll view itself is not
    // drawn again for it.
    void refresh()
    {
        if (m_scrollView && parentWidget())
            update(QRegion(rect()) - QRegion(m_scrollView->geometry()));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ParentChange:
        case QEvent::ZOrderChange:
        case QEvent::Show:
        case QEvent::Hide:
            if (watched == m_scrollView)
                follow();
            break;
        case QEvent::Resize:
            if (watched == parentWidget())
                setGeometry(parentWidget()->rect());
            refresh();
            break;
        case QEvent::Paint:
            // Drawing the content here paints it too; that needs no new round.
            if (!m_rendering)
                refresh();
            break;
        case QEvent::Move:
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
            refresh();
            break;
        default:
            break;
        }
        return false;
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (!m_scrollView || m_scrollView->isHidden())
            return;
        QWidget* content = m_scrollView->subviewContainer();
        const QPoint origin = m_scrollView->geometry().topLeft() + content->pos();
        const QRegion outside = (QRegion(event->rect()) - QRegion(m_scrollView->geometry()))
            & QRegion(QRect(origin, content->size()));
        if (outside.isEmpty())
            return;
        const QRect area = outside.boundingRect();
        const double ratio = devicePixelRatioF();
        QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        m_rendering = true;
        content->render(&image, QPoint(), QRegion(area.translated(-origin)), DrawChildren);
        m_rendering = false;
        QPainter painter(this);
        painter.setClipRegion(outside);
        painter.drawImage(area.topLeft(), image);
    }

private:
    QPointer<ScrollView> m_scrollView;
    bool m_rendering = false;
};

ScrollView::ScrollView(QWidget* parent)
    : View(parent)
{
    View::setClipsToBounds(true);
    m_content = new View(this);
    m_content->setAutoresizesSubviews(false);
    m_horizontalIndicator = new ScrollIndicator(this, Qt::Horizontal);
    m_verticalIndicator = new ScrollIndicator(this, Qt::Vertical);
    m_wheelTimer = new QTimer(this);
    m_wheelTimer->setSingleShot(true);
    m_wheelTimer->setInterval(WheelQuietMs);
    connect(m_wheelTimer, &QTimer::timeout, this, [this] { guarded([this] { wheelStopped(); }); });
    placeContent();
}

ScrollView::ScrollView(const QRectF& frame, QWidget* parent)
    : ScrollView(parent)
{
    setFrame(frame);
}

ScrollView::~ScrollView()
{
    delete m_overhang;
}

void ScrollView::setClipsToBounds(bool clips)
{
    View::setClipsToBounds(clips);
    updateOverhang();
}

void ScrollView::updateOverhang()
{
    if (clipsToBounds()) {
        delete m_overhang;
        return;
    }
    if (!m_overhang)
        m_overhang = new ScrollOverhang(this);
    m_overhang->refresh();
}

View* ScrollView::subviewContainer() const
{
    return m_content;
}

View* ScrollView::horizontalScrollIndicator() const
{
    return m_horizontalIndicator;
}

View* ScrollView::verticalScrollIndicator() const
{
    return m_verticalIndicator;
}

void ScrollView::setContentOffset(const QPointF& offset, bool animated)
{
    if (!std::isfinite(offset.x()) || !std::isfinite(offset.y()))
        return;
    stopScrollAnimation();
    // An offset set in code ends a user's scroll without a report.
    m_settlePending = false;
    if (!animated || offset == m_offset) {
        applyContentOffset(offset);
        return;
    }
    m_animatingOffset = true;
    const QPointF from = m_offset;
    QPointer<ScrollView> self(this);
    Animation::animate(
        AnimationDuration, 0, AnimationOptionCurveEaseInOut | AnimationOptionAllowUserInteraction,
        [&] {
            Animation::record(this, OffsetKey, from, offset,
                [this](const QVariant& v) { applyContentOffset(v.toPointF()); });
        },
        [self](bool finished) {
            if (!self || !finished || !self->m_animatingOffset)
                return;
            self->m_animatingOffset = false;
            if (auto* d = self->delegate())
                d->scrollViewDidEndScrollingAnimation(self);
        });
}

void ScrollView::stopScrollAnimation()
{
    if (!m_animatingOffset && !m_decelerating)
        return;
    // Stop where the content is now, not at the animation's end.
    const QPointF here = m_offset;
    const bool wasDecelerating = m_decelerating;
    m_animatingOffset = false;
    m_decelerating = false;
    Animation::cancel(this, OffsetKey);
    applyContentOffset(here);
    // A paging view stopped between pages reports when it rests on one.
    if (wasDecelerating && m_pagingEnabled)
        m_settlePending = true;
    else if (wasDecelerating)
        if (auto* d = delegate())
            guarded([&] { d->scrollViewDidEndDecelerating(this); });
}

void ScrollView::applyContentOffset(const QPointF& offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    placeContent();
    updateIndicators();
    if (m_overhang)
        m_overhang->refresh();
    if (m_layoutDepth == 0)
        layoutIfNeeded();
    if (auto* d = delegate())
        guarded([&] { d->scrollViewDidScroll(this); });
}

void ScrollView::setContentSize(const QSizeF& size)
{
    const QSizeF valid(std::max(0.0, size.width()), std::max(0.0, size.height()));
    if (valid == m_contentSize)
        return;
    m_contentSize = valid;
    placeContent();
    updateIndicators();
    if (m_overhang)
        m_overhang->refresh();
}

void ScrollView::setContentInset(const QMarginsF& inset)
{
    if (inset == m_contentInset)
        return;
    m_contentInset = inset;
    updateIndicators();
}

void ScrollView::setScrollIndicatorInsets(const QMarginsF& insets)
{
    m_indicatorInsets = insets;
    updateIndicators();
}

void ScrollView::setShowsHorizontalScrollIndicator(bool shows)
{
    m_showsHorizontal = shows;
    updateIndicators();
}

void ScrollView::setShowsVerticalScrollIndicator(bool shows)
{
    m_showsVertical = shows;
    updateIndicators();
}

QMarginsF ScrollView::insetClearOfHomeIndicator() const
{
    QMarginsF in = m_contentInset;
    in.setBottom(std::max(in.bottom(), SafeArea::restingInsets(this).bottom()));
    return in;
}

QPointF ScrollView::minimumContentOffset() const
{
    const QMarginsF in = adjustedContentInset();
    return QPointF(-in.left(), -in.top());
}

QPointF ScrollView::maximumContentOffset() const
{
    const QMarginsF in = adjustedContentInset();
    const QPointF min(-in.left(), -in.top());
    const QSizeF size = frame().size();
    return QPointF(std::max(min.x(), m_contentSize.width() + in.right() - size.width()),
        std::max(min.y(), m_contentSize.height() + in.bottom() - size.height()));
}

QPointF ScrollView::clampedOffset(const QPointF& offset) const
{
    const QPointF min = minimumContentOffset();
    const QPointF max = maximumContentOffset();
    return QPointF(
        std::clamp(offset.x(), min.x(), max.x()), std::clamp(offset.y(), min.y(), max.y()));
}

void ScrollView::scrollRectToVisible(const QRectF& rect, bool animated)
{
    const QSizeF size = frame().size();
    const QMarginsF in = adjustedContentInset();
    // The part of the view not covered by the insets.
    const double top = m_offset.y() + in.top();
    const double bottom = m_offset.y() + size.height() - in.bottom();
    const double left = m_offset.x() + in.left();
    const double right = m_offset.x() + size.width() - in.right();
    QPointF offset = m_offset;
    if (rect.top() < top || rect.height() > bottom - top)
        offset.setY(rect.top() - in.top());
    else if (rect.bottom() > bottom)
        offset.setY(rect.bottom() - size.height() + in.bottom());
    if (rect.left() < left || rect.width() > right - left)
        offset.setX(rect.left() - in.left());
    else if (rect.right() > right)
        offset.setX(rect.right() - size.width() + in.right());
    setContentOffset(clampedOffset(offset), animated);
}

void ScrollView::placeContent()
{
    const QSizeF size = frame().size();
    const double limit = QWIDGETSIZE_MAX;
    const double width
        = std::min(limit, std::max(m_contentSize.width(), m_offset.x() + size.width()));
    const double height
        = std::min(limit, std::max(m_contentSize.height(), m_offset.y() + size.height()));
    const QRect geometry(int(-std::lround(m_offset.x())), int(-std::lround(m_offset.y())),
        int(std::ceil(std::max(0.0, width))), int(std::ceil(std::max(0.0, height))));
    if (m_content->geometry() != geometry)
        m_content->setGeometry(geometry);
}

void ScrollView::updateIndicators()
{
    m_horizontalIndicator->refresh();
    m_verticalIndicator->refresh();
}

void ScrollView::layoutSubviews()
{
    ++m_layoutDepth;
    keepOffsetInRange();
    placeContent();
    updateIndicators();
    if (m_overhang)
        m_overhang->refresh();
    guarded([this] { layoutContent(); });
    --m_layoutDepth;
}

void ScrollView::keepOffsetInRange()
{
    if (m_dragging || m_animatingOffset || m_decelerating)
        return;
    const QPointF max = maximumContentOffset();
    QPointF offset = m_offset;
    if (offset.x() > max.x())
        offset.setX(max.x());
    if (offset.y() > max.y())
        offset.setY(max.y());
    ++m_layoutDepth;
    applyContentOffset(offset);
    --m_layoutDepth;
}

View* ScrollView::hitTest(const QPointF& point)
{
    if (isHidden() || !isUserInteractionEnabled() || alpha() < 0.01 || !pointInside(point))
        return nullptr;
    for (ScrollIndicator* indicator : { m_verticalIndicator, m_horizontalIndicator })
        if (!indicator->isHidden() && indicator->frame().contains(point))
            return indicator;
    const QPointF content = point + m_offset;
    const auto children = subviews();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        View* child = *it;
        if (View* hit = child->hitTest(content - child->frame().topLeft()))
            return hit;
    }
    return this;
}

void ScrollView::beginUserScroll()
{
    m_dragging = true;
    if (auto* d = delegate())
        guarded([&] { d->scrollViewWillBeginDragging(this); });
}

QPointF ScrollView::restingOffset(const QPointF& proposed) const
{
    return clampedOffset(m_pagingEnabled ? pagedOffset(proposed) : proposed);
}

QPointF ScrollView::pagedOffset(const QPointF& proposed) const
{
    // The page nearest to where the content is; a flick turns to the next page its way.
    const double flick = FlickSpeed * GlideFactor;
    auto page = [&](double at, double thrown, double size) {
        if (!(size > 0))
            return thrown;
        const double pages = at / size;
        const double move = thrown - at;
        if (move > flick)
            return std::ceil(pages) * size;
        if (move < -flick)
            return std::floor(pages) * size;
        return std::round(pages) * size;
    };
    const QSizeF size = frame().size();
    return QPointF(page(m_offset.x(), proposed.x(), size.width()),
        page(m_offset.y(), proposed.y(), size.height()));
}

void ScrollView::endUserScroll(const QPointF& velocity)
{
    m_dragging = false;
    m_settlePending = false;
    const QPointF target = restingOffset(m_offset + velocity * GlideFactor);
    // A paging view always reports coming to rest, even on the page it is on.
    const bool glide = (target - m_offset).manhattanLength() >= 1 || m_pagingEnabled;
    if (auto* d = delegate())
        guarded([&] { d->scrollViewDidEndDragging(this, glide); });
    if (glide)
        comeToRest(target);
}

void ScrollView::comeToRest(const QPointF& target)
{
    m_settlePending = false;
    m_decelerating = true;
    const QPointF from = m_offset;
    QPointer<ScrollView> self(this);
    Animation::animate(
        GlideDuration, 0, AnimationOptionCurveEaseOut | AnimationOptionAllowUserInteraction,
        [&] {
            Animation::record(this, OffsetKey, from, target,
                [this](const QVariant& v) { applyContentOffset(v.toPointF()); });
        },
        [self](bool finished) {
            if (self)
                self->decelerationEnded(finished);
        });
}

void ScrollView::decelerationEnded(bool finished)
{
    // A press that stopped the glide has told the delegate already.
    if (!finished || !m_decelerating)
        return;
    m_decelerating = false;
    if (auto* d = delegate())
        guarded([&] { d->scrollViewDidEndDecelerating(this); });
}

void ScrollView::wheelEvent(QWheelEvent* event)
{
    if (!m_scrollEnabled) {
        event->ignore();
        return;
    }
    QPointF delta;
    if (!event->pixelDelta().isNull())
        delta = QPointF(event->pixelDelta());
    else
        delta = QPointF(event->angleDelta()) / 120.0 * (QApplication::wheelScrollLines() * 20.0);
    QPointF move(-delta.x(), -delta.y());
    const QPointF min = minimumContentOffset();
    const QPointF max = maximumContentOffset();
    const bool canScrollVertically = max.y() - min.y() >= 1;
    const bool canScrollHorizontally = max.x() - min.x() >= 1;
    // Shift turns the wheel sideways; so does content that only scrolls sideways.
    if (move.x() == 0
        && ((event->modifiers() & Qt::ShiftModifier)
            || (!canScrollVertically && canScrollHorizontally)))
        move = QPointF(move.y(), 0);
    const double notch = QApplication::wheelScrollLines() * 20.0;
    if (m_pagingEnabled && event->pixelDelta().isNull() && notch > 0)
        // A notch of the wheel turns one page.
        move = QPointF(move.x() / notch * frame().width(), move.y() / notch * frame().height());
    const QPointF target = clampedOffset(m_offset + move);
    if ((target - m_offset).manhattanLength() < 0.5) {
        // At the end: an enclosing scroll view may take it.
        event->ignore();
        return;
    }
    event->accept();
    if (!m_wheeling) {
        stopScrollAnimation();
        m_wheeling = true;
        beginUserScroll();
    }
    applyContentOffset(target);
    m_wheelTimer->start();
}

void ScrollView::wheelStopped()
{
    if (!m_wheeling)
        return;
    m_wheeling = false;
    endUserScroll(QPointF());
}

void ScrollView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_scrollEnabled) {
        event->ignore();
        return;
    }
    stopScrollAnimation();
    m_tracking = true;
    m_pressPosition = event->globalPosition();
    m_lastMovePosition = m_pressPosition;
    m_pressOffset = m_offset;
    m_velocity = QPointF();
    m_moveClock.start();
    event->accept();
}

void ScrollView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_tracking) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF position = event->globalPosition();
    const QPointF moved = position - m_pressPosition;
    const QPointF min = minimumContentOffset();
    const QPointF max = maximumContentOffset();
    const bool vertical = max.y() - min.y() >= 1;
    const bool horizontal = max.x() - min.x() >= 1;
    if (!m_dragging) {
        if (moved.manhattanLength() < QApplication::startDragDistance()
            || (!vertical && !horizontal))
            return;
        beginUserScroll();
    }
    QPointF target = m_pressOffset - moved;
    if (!horizontal)
        target.setX(m_offset.x());
    if (!vertical)
        target.setY(m_offset.y());
    const qint64 elapsed = std::max<qint64>(1, m_moveClock.restart());
    m_velocity = -(position - m_lastMovePosition) * (1000.0 / double(elapsed));
    if (!horizontal)
        m_velocity.setX(0);
    if (!vertical)
        m_velocity.setY(0);
    m_lastMovePosition = position;
    applyContentOffset(clampedOffset(target));
}

void ScrollView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking) {
        event->ignore();
        return;
    }
    event->accept();
    m_tracking = false;
    if (!m_dragging) {
        if (m_settlePending)
            comeToRest(restingOffset(m_offset));
        return;
    }
    // A pointer that stood still before letting go throws nothing.
    const QPointF velocity = m_moveClock.elapsed() > 80 ? QPointF() : m_velocity;
    endUserScroll(velocity);
}

} // namespace platform::ui
