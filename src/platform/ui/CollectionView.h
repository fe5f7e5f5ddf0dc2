#pragma once

#include "platform/ui/BatchUpdate.h"
#include "platform/ui/CollectionReusableView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/CollectionViewDataSource.h"
#include "platform/ui/CollectionViewDelegate.h"
#include "platform/ui/CollectionViewLayout.h"
#include "platform/ui/ScrollView.h"

#include <QHash>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace platform::ui {

// A scrolling view of cells placed by a layout. Only the elements in the visible
// rectangle, and one element's extent beyond each edge, exist as views; the rest are
// reused from a queue per reuse identifier as the content moves, so the cost follows the
// screen, not the data. Counts and cells come from the data source; a person's
// highlighting and selecting reach the delegate.
class CollectionView : public ScrollView {
    Q_OBJECT
public:
    static const QString ElementKindSectionHeader; // "UICollectionElementKindSectionHeader"
    static const QString ElementKindSectionFooter; // "UICollectionElementKindSectionFooter"

    // Where a scroll brings an item, with the platform's values.
    enum ScrollPosition : unsigned {
        ScrollPositionNone = 0,
        ScrollPositionTop = 1u << 0,
        ScrollPositionCenteredVertically = 1u << 1,
        ScrollPositionBottom = 1u << 2,
        ScrollPositionLeft = 1u << 3,
        ScrollPositionCenteredHorizontally = 1u << 4,
        ScrollPositionRight = 1u << 5,
    };

    using CellFactory = std::function<CollectionViewCell*()>;
    using ViewFactory = std::function<CollectionReusableView*()>;
    using Completion = std::function<void(bool finished)>;

    // Takes the layout when no other object owns it.
    explicit CollectionView(
        const QRectF& frame, CollectionViewLayout* layout, QWidget* parent = nullptr);
    ~CollectionView() override;

    CollectionViewLayout* collectionViewLayout() const { return m_layout; }
    void setCollectionViewLayout(CollectionViewLayout* layout);
    QMarginsF adjustedContentInset() const override;

    CollectionViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(CollectionViewDataSource* dataSource);
    CollectionViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(CollectionViewDelegate* delegate);

    // The class of the cells, or of one kind of supplementary view, dequeued under an
    // identifier.
    void registerClassForCellWithReuseIdentifier(CellFactory factory, const QString& identifier);
    template<class Cell> void registerClassForCellWithReuseIdentifier(const QString& identifier)
    {
        registerClassForCellWithReuseIdentifier([] { return new Cell; }, identifier);
    }
    void registerClassForSupplementaryViewOfKind(
        ViewFactory factory, const QString& kind, const QString& identifier);
    template<class V>
    void registerClassForSupplementaryViewOfKind(const QString& kind, const QString& identifier)
    {
        registerClassForSupplementaryViewOfKind([] { return new V; }, kind, identifier);
    }
    // A waiting view of the identifier (prepared for reuse, its subviews kept), or a new
    // one; raises an internal-inconsistency exception for an identifier never registered.
    CollectionViewCell* dequeueReusableCellWithReuseIdentifier(
        const QString& identifier, const IndexPath& indexPath);
    CollectionReusableView* dequeueReusableSupplementaryViewOfKind(
        const QString& kind, const QString& identifier, const IndexPath& indexPath);

    int numberOfSections() const;
    int numberOfItemsInSection(int section) const;

    // Forgets the counts, the selection and the shown cells; all are asked again.
    void reloadData();

    // The changes made inside `updates` (inserts, deletes, reloads, moves) are checked
    // against the data source's new counts and shown in one animation; cells of the
    // items that stay are kept. The completion runs when the animation ends. Changes
    // made outside a batch form a batch of their own.
    void performBatchUpdates(const std::function<void()>& updates, Completion completion = {});
    void insertSections(const QList<int>& sections);
    void deleteSections(const QList<int>& sections);
    void reloadSections(const QList<int>& sections);
    void insertItemsAtIndexPaths(const QList<IndexPath>& paths);
    void deleteItemsAtIndexPaths(const QList<IndexPath>& paths);
    void reloadItemsAtIndexPaths(const QList<IndexPath>& paths);
    void moveItemAtIndexPath(const IndexPath& from, const IndexPath& to);

    // What is on screen. The view brings itself up to date first.
    QList<CollectionViewCell*> visibleCells();
    QList<IndexPath> indexPathsForVisibleItems();
    CollectionViewCell* cellForItemAtIndexPath(const IndexPath& indexPath);
    std::optional<IndexPath> indexPathForCell(const CollectionViewCell* cell);
    // The item whose frame holds the point (content coordinates), the front one first.
    std::optional<IndexPath> indexPathForItemAtPoint(const QPointF& point);
    CollectionReusableView* supplementaryViewForElementKind(
        const QString& kind, const IndexPath& indexPath);
    std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const IndexPath& indexPath);
    std::optional<CollectionViewLayoutAttributes> layoutAttributesForSupplementaryElementOfKind(
        const QString& kind, const IndexPath& indexPath);

    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows);
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows);
    QList<IndexPath> indexPathsForSelectedItems() const;
    // Selects in code: the delegate is not told. With ScrollPositionNone the content stays
    // where it is. Without multiple selection the item selected before is deselected.
    void selectItemAtIndexPath(
        const std::optional<IndexPath>& indexPath, bool animated, unsigned scrollPosition);
    void deselectItemAtIndexPath(const IndexPath& indexPath, bool animated);
    void scrollToItemAtIndexPath(
        const IndexPath& indexPath, unsigned scrollPosition, bool animated);

protected:
    void layoutContent() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A gesture that took the touch over (a tap on a part of the cell) ends the press:
    // its release never comes here.
    bool event(QEvent* event) override;

private:
    friend class CollectionViewLayout;

    struct Key {
        CollectionViewLayoutAttributes::Category category;
        QString kind;
        IndexPath path;
        bool operator<(const Key& other) const
        {
            if (category != other.category)
                return category < other.category;
            if (kind != other.kind)
                return kind < other.kind;
            return path < other.path;
        }
    };
    struct Shown {
        QPointer<CollectionReusableView> view;
        CollectionViewLayoutAttributes attributes;
    };

    static Key keyOf(const CollectionViewLayoutAttributes& attributes);
    void layoutInvalidated();
    void ensureCounts() const;
    void bringUpToDate();
    QRectF preparedRectangle(const QRectF& visible) const;
    QList<CollectionViewLayoutAttributes> wantedAttributes();
    CollectionReusableView* makeView(const CollectionViewLayoutAttributes& attributes);
    void showView(CollectionReusableView* view, const CollectionViewLayoutAttributes& attributes);
    void applyAttributes(
        CollectionReusableView* view, const CollectionViewLayoutAttributes& attributes);
    void hideShown(const Key& key, Shown& shown);
    void recycle(CollectionReusableView* view, const QString& kind);
    void hideDeferred();
    void updateVisibleElements();
    void restack();
    void finishBatch(std::vector<Completion> completions);
    bool isValid(const IndexPath& path) const;
    void setCellSelected(const IndexPath& path, bool selected, bool animated);
    void userSelect(const IndexPath& path);
    void userDeselect(const IndexPath& path);
    // The pressed item is let go: unhighlighted, the delegate told; gives its path.
    IndexPath releasePressed();
    CollectionReusableView* dequeue(const QString& kind, const QString& identifier);

    QPointer<CollectionViewLayout> m_layout;
    DelegatePointer<CollectionViewDataSource> m_dataSource;
    DelegatePointer<CollectionViewDelegate> m_delegate;
    QHash<QString, ViewFactory> m_factories; // by kind and identifier
    QHash<QString, QList<QPointer<CollectionReusableView>>> m_queues;
    std::map<Key, Shown> m_shown;
    int m_deferredHideDepth = 0;
    QList<QPointer<CollectionReusableView>> m_hidesDeferred;
    QList<QPointer<CollectionReusableView>> m_leaving; // animating out of a batch update
    mutable std::vector<int> m_counts;
    mutable bool m_countsValid = false;
    bool m_reloadPending = true;
    bool m_needsUpdate = true;
    bool m_inLayout = false;
    bool m_stackDirty = false;
    QRectF m_layoutBounds;
    std::set<IndexPath> m_selected;
    bool m_allowsSelection = true;
    bool m_allowsMultipleSelection = false;
    std::unique_ptr<BatchUpdate> m_batch;
    int m_batchDepth = 0;
    std::vector<Completion> m_batchCompletions;
    std::optional<IndexPath> m_pressed;
};

} // namespace platform::ui
