#pragma once

#include "platform/ui/DelegatePointer.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/View.h"

#include <QElapsedTimer>
#include <QMarginsF>
#include <QPointer>

class QTimer;

namespace platform::ui {

class ScrollIndicator;
class ScrollOverhang;

// A view that shows part of a larger content and moves it: the content offset is the
// content point at the view's top-left corner. Subviews live in the content, so their
// frames, hit tests and coordinate conversions are in content coordinates, as on the
// platform. The user scrolls with the wheel (a trackpad scrolls both ways), by dragging
// the content, or with the scroll bars; each change reaches the delegate as did-scroll,
// and the start and end of a user's scroll as will-begin/did-end dragging and
// did-end decelerating. With paging on, a user's scroll comes to rest on a page (a
// multiple of the bounds' size) and did-end decelerating follows once it is there. Like
// the platform's, a scroll view clips its content; with clipsToBounds off, the content
// beyond the bounds shows within the superview.
class ScrollView : public View {
    Q_OBJECT
public:
    explicit ScrollView(QWidget* parent = nullptr);
    explicit ScrollView(const QRectF& frame, QWidget* parent = nullptr);
    ~ScrollView() override;

    View* subviewContainer() const override;

    QPointF contentOffset() const { return m_offset; }
    // Sets the offset as given (code may place the content anywhere); animated, it moves
    // there over 0.3 seconds and tells the delegate when it arrived.
    void setContentOffset(const QPointF& offset, bool animated = false);
    QSizeF contentSize() const { return m_contentSize; }
    void setContentSize(const QSizeF& size);
    // Room around the content (left, top, right, bottom) the user can scroll into.
    QMarginsF contentInset() const { return m_contentInset; }
    void setContentInset(const QMarginsF& inset);
    // The room the scroll range leaves around the content: the content inset, and what a
    // kind of scroll view adds to it for the device (the home indicator's strip).
    virtual QMarginsF adjustedContentInset() const { return m_contentInset; }
    QMarginsF scrollIndicatorInsets() const { return m_indicatorInsets; }
    void setScrollIndicatorInsets(const QMarginsF& insets);

    // The content shown: the bounds placed at the content offset.
    QRectF visibleRect() const { return QRectF(m_offset, frame().size()); }
    // The range the user scrolls in: from (-left, -top) adjusted inset to the content's far
    // edge plus its adjusted inset, less the bounds (never below the start).
    QPointF minimumContentOffset() const;
    QPointF maximumContentOffset() const;
    // Scrolls the least distance that shows the rectangle (content coordinates) inside the
    // insets, keeping within the range; a rectangle larger than the view shows its start.
    void scrollRectToVisible(const QRectF& rect, bool animated);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontal; }
    void setShowsHorizontalScrollIndicator(bool shows);
    bool showsVerticalScrollIndicator() const { return m_showsVertical; }
    void setShowsVerticalScrollIndicator(bool shows);
    // Kept for callers; a desktop window has no status bar to tap.
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) { m_scrollsToTop = scrolls; }
    bool isPagingEnabled() const { return m_pagingEnabled; }
    void setPagingEnabled(bool enabled) { m_pagingEnabled = enabled; }
    void setClipsToBounds(bool clips) override;

    // The user holds the content (pressed, not yet moved), moves it, or it still glides
    // after being let go.
    bool isTracking() const { return m_tracking; }
    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const { return m_decelerating; }

    ScrollViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ScrollViewDelegate* delegate) { m_delegate = delegate; }

    View* hitTest(const QPointF& point) override;
    // Keeps the offset in range when the bounds or content shrank, then lays out the
    // content (layoutContent). Subclasses override layoutContent.
    void layoutSubviews() override;

    // The scroll bars (for tests and styling); null when none is made.
    View* horizontalScrollIndicator() const;
    View* verticalScrollIndicator() const;

protected:
    // Runs in every layout pass, also after each change of the offset: the place where
    // subclasses put their content for the visible rectangle.
    virtual void layoutContent() { }
    // Pulls the offset back when the content or bounds shrank and left the view past the
    // end; not while the user or an animation moves it.
    void keepOffsetInRange();
    // The offset brought within the range the user scrolls in.
    QPointF clampedOffset(const QPointF& offset) const;
    // The content inset with room at the bottom for the home indicator's strip where the
    // view comes to rest over it (a list with no toolbar under it), so that its last
    // rows scroll clear of the strip; a keyboard's room already covers it.
    QMarginsF insetClearOfHomeIndicator() const;

    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class ScrollIndicator;

    void applyContentOffset(const QPointF& offset);
    void placeContent();
    void updateIndicators();
    void stopScrollAnimation();
    // Where a scroll the user ends comes to rest. Paging snaps to a page here.
    QPointF restingOffset(const QPointF& proposed) const;
    void beginUserScroll();
    void endUserScroll(const QPointF& velocity);
    void wheelStopped();
    void decelerationEnded(bool finished);
    // Glides to the offset the user's scroll rests at and reports did-end decelerating.
    void comeToRest(const QPointF& target);
    QPointF pagedOffset(const QPointF& proposed) const;
    void updateOverhang();

    View* m_content = nullptr;
    QPointF m_offset;
    QSizeF m_contentSize;
    QMarginsF m_contentInset;
    QMarginsF m_indicatorInsets;
    bool m_scrollEnabled = true;
    bool m_showsHorizontal = true;
    bool m_showsVertical = true;
    bool m_scrollsToTop = true;
    bool m_tracking = false;
    bool m_dragging = false;
    bool m_decelerating = false;
    bool m_animatingOffset = false;
    bool m_wheeling = false;
    bool m_pagingEnabled = false;
    // A press stopped a paging glide between pages; its release brings the content to rest.
    bool m_settlePending = false;
    QPointer<ScrollOverhang> m_overhang; // while content shows beyond the bounds
    int m_layoutDepth = 0;
    DelegatePointer<ScrollViewDelegate> m_delegate;
    ScrollIndicator* m_horizontalIndicator = nullptr;
    ScrollIndicator* m_verticalIndicator = nullptr;
    QTimer* m_wheelTimer = nullptr;
    QPointF m_pressPosition;
    QPointF m_pressOffset;
    QPointF m_lastMovePosition;
    QPointF m_velocity; // points per second, of the content under the pointer
    QElapsedTimer m_moveClock;
};

} // namespace platform::ui
