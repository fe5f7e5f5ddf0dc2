#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollViewDelegate.h"

namespace platform::ui {

class CollectionView;
class CollectionViewCell;

// What a collection view asks and tells its delegate; every method is optional. The
// should-questions answer true when not implemented. Selections made in code are not
// reported; a person's are.
class CollectionViewDelegate : public ScrollViewDelegate {
public:
    virtual bool collectionViewShouldHighlightItemAtIndexPath(CollectionView*, const IndexPath&)
    {
        return true;
    }
    virtual void collectionViewDidHighlightItemAtIndexPath(CollectionView*, const IndexPath&) { }
    virtual void collectionViewDidUnhighlightItemAtIndexPath(CollectionView*, const IndexPath&) { }
    virtual bool collectionViewShouldSelectItemAtIndexPath(CollectionView*, const IndexPath&)
    {
        return true;
    }
    virtual void collectionViewDidSelectItemAtIndexPath(CollectionView*, const IndexPath&) { }
    virtual bool collectionViewShouldDeselectItemAtIndexPath(CollectionView*, const IndexPath&)
    {
        return true;
    }
    virtual void collectionViewDidDeselectItemAtIndexPath(CollectionView*, const IndexPath&) { }
    virtual void collectionViewWillDisplayCell(
        CollectionView*, CollectionViewCell*, const IndexPath&)
    {
    }
    virtual void collectionViewDidEndDisplayingCell(
        CollectionView*, CollectionViewCell*, const IndexPath&)
    {
    }
};

} // namespace platform::ui
