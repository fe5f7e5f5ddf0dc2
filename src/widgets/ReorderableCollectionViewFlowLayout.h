#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/DisplayLink.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"

#include <QMarginsF>
#include <QPointer>

#include <optional>

class ReorderableCollectionViewDataSource;
class ReorderableCollectionViewDelegateFlowLayout;

namespace platform::ui {
class CollectionViewCell;
}

// A flow layout whose items the user reorders by hand. A long press picks an item up: a
// slightly enlarged snapshot follows the finger while the item's own place stays empty;
// the other items move aside as the snapshot passes over them, each step told to the
// data source first (so the model follows the screen step by step); near an edge the
// content scrolls by itself with every frame; releasing drops the item in its new place.
// The application resigning active drops a dragged item where it is.
class ReorderableCollectionViewFlowLayout : public platform::ui::FlowLayout,
                                            public platform::ui::GestureRecognizerDelegate {
    Q_OBJECT
public:
    enum ScrollingDirection {
        ScrollingUnknown = 0,
        ScrollingUp,
        ScrollingDown,
        ScrollingLeft,
        ScrollingRight
    };
    // The display link's user-info key that holds its direction.
    static const QString ScrollingDirectionKey; // "ReorderScrollingDirection"

    explicit ReorderableCollectionViewFlowLayout(QObject* parent = nullptr);
    ~ReorderableCollectionViewFlowLayout() override;

    // The item being dragged.
    std::optional<platform::ui::IndexPath> selectedItemIndexPath() const { return m_selected; }
    // The snapshot following the finger, while dragging.
    platform::ui::View* currentView() const { return m_currentView; }
    QPointF currentViewCenter() const { return m_currentViewCenter; }
    QPointF panTranslationInCollectionView() const { return m_panTranslation; }
    // The auto-scroll timer while it runs.
    platform::ui::DisplayLink* displayLink() const { return m_displayLink; }
    ReorderableCollectionViewDataSource* dataSource() const;
    ReorderableCollectionViewDelegateFlowLayout* delegate() const;
    // Points per second.
    double scrollingSpeed() const { return m_scrollingSpeed; }
    void setScrollingSpeed(double speed) { m_scrollingSpeed = speed; }
    // How close to each edge of the visible area auto-scrolling starts.
    QMarginsF scrollingTriggerEdgeInsets() const { return m_triggerInsets; }
    void setScrollingTriggerEdgeInsets(const QMarginsF& insets) { m_triggerInsets = insets; }
    platform::ui::LongPressGestureRecognizer* longPressGestureRecognizer() const;
    platform::ui::PanGestureRecognizer* panGestureRecognizer() const;

    void setDefaults();
    void setupCollectionView();
    // The recognisers are installed when the layout is attached; nothing more to do here.
    void setUpGestureRecognizersOnCollectionView() { }
    // Moves the picked item to the place under the snapshot's centre, when it may go there.
    void invalidateLayoutIfNecessary();
    void setupScrollTimerInDirection(ScrollingDirection direction);
    void invalidatesScrollTimer();
    // One frame of auto-scrolling.
    void handleScroll(platform::ui::DisplayLink* displayLink);
    void handleLongPressGesture(platform::ui::LongPressGestureRecognizer* recognizer);
    void handlePanGesture(platform::ui::PanGestureRecognizer* recognizer);
    void handleApplicationWillResignActive();

    // The flow layout's attributes with the picked item hidden.
    QList<platform::ui::CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
        const QRectF& rect) const override;
    std::optional<platform::ui::CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const platform::ui::IndexPath& indexPath) const override;

    // The pan begins only while an item is picked up; the long press and the pan of this
    // layout run together.
    bool gestureRecognizerShouldBegin(platform::ui::GestureRecognizer* recognizer) override;
    bool gestureRecognizerShouldRecognizeSimultaneouslyWith(
        platform::ui::GestureRecognizer* recognizer,
        platform::ui::GestureRecognizer* other) override;

    // A snapshot of the cell as it shows now, at the screen's scale.
    static QImage rasterizedImage(platform::ui::CollectionViewCell* cell);

protected:
    void collectionViewDidChange() override;

private:
    void applyLayoutAttributes(platform::ui::CollectionViewLayoutAttributes& attributes) const;
    void pickUp(const QPointF& location);
    void drop();
    void removeRecognizers();

    std::optional<platform::ui::IndexPath> m_selected;
    QPointer<platform::ui::View> m_currentView;
    QPointF m_currentViewCenter;
    QPointF m_panTranslation;
    QPointer<platform::ui::DisplayLink> m_displayLink;
    double m_scrollingSpeed = 300.0;
    QMarginsF m_triggerInsets;
    QPointer<platform::ui::LongPressGestureRecognizer> m_longPress;
    QPointer<platform::ui::PanGestureRecognizer> m_pan;
    QPointer<platform::ui::CollectionView> m_attachedTo;
    platform::NotificationCenter::Token m_resignToken = 0;
};
