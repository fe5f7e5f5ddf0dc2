#include "platform/ui/CollectionViewLayout.h"

#include "platform/ui/CollectionView.h"

namespace platform::ui {

CollectionViewLayout::CollectionViewLayout(QObject* parent)
    : QObject(parent)
{
}

CollectionViewLayout::~CollectionViewLayout() = default;

CollectionView* CollectionViewLayout::collectionView() const
{
    return m_collectionView;
}

void CollectionViewLayout::prepareLayout()
{
}

QSizeF CollectionViewLayout::collectionViewContentSize() const
{
    return {};
}

QList<CollectionViewLayoutAttributes> CollectionViewLayout::layoutAttributesForElementsInRect(
    const QRectF&) const
{
    return {};
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewLayout::layoutAttributesForItemAtIndexPath(const IndexPath&) const
{
    return std::nullopt;
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewLayout::layoutAttributesForSupplementaryViewOfKind(
    const QString&, const IndexPath&) const
{
    return std::nullopt;
}

bool CollectionViewLayout::shouldInvalidateLayoutForBoundsChange(const QRectF&) const
{
    return false;
}

CollectionViewLayout::InvalidationContext CollectionViewLayout::invalidationContextForBoundsChange(
    const QRectF&) const
{
    return InvalidationContext { false, false };
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewLayout::initialLayoutAttributesForAppearingItemAtIndexPath(
    const IndexPath& indexPath) const
{
    auto attributes = layoutAttributesForItemAtIndexPath(indexPath);
    if (attributes)
        attributes->setAlpha(0);
    return attributes;
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewLayout::finalLayoutAttributesForDisappearingItemAtIndexPath(const IndexPath&) const
{
    return std::nullopt;
}

void CollectionViewLayout::invalidateLayout()
{
    invalidateLayoutWithContext(InvalidationContext {});
}

void CollectionViewLayout::invalidateLayoutWithContext(const InvalidationContext& context)
{
    if (m_prepared)
        m_pending = context;
    else {
        m_pending.invalidateEverything |= context.invalidateEverything;
        m_pending.invalidateDataSourceCounts |= context.invalidateDataSourceCounts;
    }
    m_prepared = false;
    if (m_collectionView)
        m_collectionView->layoutInvalidated();
}

void CollectionViewLayout::setCollectionView(CollectionView* view)
{
    m_collectionView = view;
    m_pending = InvalidationContext {};
    m_prepared = false;
    collectionViewDidChange();
}

void CollectionViewLayout::prepareIfNeeded()
{
    if (m_prepared)
        return;
    // Marked first: a layout that invalidates itself while preparing asks for another pass.
    m_prepared = true;
    prepareLayout();
    if (m_prepared)
        m_pending = InvalidationContext { false, false };
}

} // namespace platform::ui
