#pragma once

#include "platform/ui/CollectionViewDelegateFlowLayout.h"

// What the drag-reorder layout tells a collection view's delegate about a drag; every
// notice is optional.
class ReorderableCollectionViewDelegateFlowLayout
    : public platform::ui::CollectionViewDelegateFlowLayout {
public:
    virtual void collectionViewLayoutWillBeginDraggingItemAtIndexPath(
        platform::ui::CollectionView* view, platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath);
    virtual void collectionViewLayoutDidBeginDraggingItemAtIndexPath(
        platform::ui::CollectionView* view, platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath);
    virtual void collectionViewLayoutWillEndDraggingItemAtIndexPath(
        platform::ui::CollectionView* view, platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath);
    virtual void collectionViewLayoutDidEndDraggingItemAtIndexPath(
        platform::ui::CollectionView* view, platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath);
};
