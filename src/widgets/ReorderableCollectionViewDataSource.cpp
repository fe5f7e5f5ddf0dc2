#include "widgets/ReorderableCollectionViewDataSource.h"

bool ReorderableCollectionViewDataSource::collectionViewCanMoveItemAtIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath&)
{
    return true;
}

bool ReorderableCollectionViewDataSource::collectionViewItemAtIndexPathCanMoveToIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath&, const platform::ui::IndexPath&)
{
    return true;
}

void ReorderableCollectionViewDataSource::collectionViewItemAtIndexPathWillMoveToIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath&, const platform::ui::IndexPath&)
{
}

void ReorderableCollectionViewDataSource::collectionViewItemAtIndexPathDidMoveToIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath&, const platform::ui::IndexPath&)
{
}
