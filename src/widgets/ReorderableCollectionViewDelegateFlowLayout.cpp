#include "widgets/ReorderableCollectionViewDelegateFlowLayout.h"

void ReorderableCollectionViewDelegateFlowLayout::
    collectionViewLayoutWillBeginDraggingItemAtIndexPath(platform::ui::CollectionView*,
        platform::ui::CollectionViewLayout*, const platform::ui::IndexPath&)
{
}

void ReorderableCollectionViewDelegateFlowLayout::
    collectionViewLayoutDidBeginDraggingItemAtIndexPath(platform::ui::CollectionView*,
        platform::ui::CollectionViewLayout*, const platform::ui::IndexPath&)
{
}

void ReorderableCollectionViewDelegateFlowLayout::
    collectionViewLayoutWillEndDraggingItemAtIndexPath(platform::ui::CollectionView*,
        platform::ui::CollectionViewLayout*, const platform::ui::IndexPath&)
{
}

void ReorderableCollectionViewDelegateFlowLayout::collectionViewLayoutDidEndDraggingItemAtIndexPath(
    platform::ui::CollectionView*, platform::ui::CollectionViewLayout*,
    const platform::ui::IndexPath&)
{
}
