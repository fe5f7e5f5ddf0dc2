#pragma once

#include "platform/ui/CollectionViewLayoutAttributes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>

#include <optional>

namespace platform::ui {

class CollectionView;

// Places the elements of a collection view. The view asks prepareLayout once after each
// invalidation, then the content size and the attributes of the elements in the rectangle
// it shows; subclasses override these queries. A layout may serve one collection view.
class CollectionViewLayout : public QObject {
    Q_OBJECT
public:
    // What an invalidation covers; prepareLayout may read it (pendingInvalidation) to redo
    // only what changed. A bounds change (a scroll) invalidates neither.
    struct InvalidationContext {
        bool invalidateEverything = true;
        bool invalidateDataSourceCounts = true;
    };

    explicit CollectionViewLayout(QObject* parent = nullptr);
    ~CollectionViewLayout() override;

    CollectionView* collectionView() const;

    virtual void prepareLayout();
    virtual QSizeF collectionViewContentSize() const;
    virtual QList<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
        const QRectF& rect) const;
    virtual std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const IndexPath& indexPath) const;
    virtual std::optional<CollectionViewLayoutAttributes>
    layoutAttributesForSupplementaryViewOfKind(
        const QString& kind, const IndexPath& indexPath) const;

    // Asked each time the visible rectangle (the bounds at the content offset) moves or
    // resizes; answering true invalidates with invalidationContextForBoundsChange.
    virtual bool shouldInvalidateLayoutForBoundsChange(const QRectF& newBounds) const;
    virtual InvalidationContext invalidationContextForBoundsChange(const QRectF& newBounds) const;

    // Where an item inserted in a batch update starts from and where one deleted goes;
    // by default its final (or last) place, transparent.
    virtual std::optional<CollectionViewLayoutAttributes>
    initialLayoutAttributesForAppearingItemAtIndexPath(const IndexPath& indexPath) const;
    virtual std::optional<CollectionViewLayoutAttributes>
    finalLayoutAttributesForDisappearingItemAtIndexPath(const IndexPath& indexPath) const;

    void invalidateLayout();
    virtual void invalidateLayoutWithContext(const InvalidationContext& context);
    // What was invalidated since the last prepareLayout.
    const InvalidationContext& pendingInvalidation() const { return m_pending; }
    bool isPrepared() const { return m_prepared; }

protected:
    // The layout was attached to a collection view, or detached (a null view); the view
    // being left may be on its way out and is not passed.
    virtual void collectionViewDidChange() { }

private:
    friend class CollectionView;
    void setCollectionView(CollectionView* view);
    void prepareIfNeeded();

    QPointer<CollectionView> m_collectionView;
    InvalidationContext m_pending;
    bool m_prepared = false;
};

} // namespace platform::ui
