#include "platform/ui/CollectionViewDelegateFlowLayout.h"

#include "platform/ui/FlowLayout.h"

namespace platform::ui {

QSizeF CollectionViewDelegateFlowLayout::collectionViewSizeForItemAtIndexPath(
    CollectionView*, CollectionViewLayout* layout, const IndexPath&)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->itemSize() : QSizeF();
}

QMarginsF CollectionViewDelegateFlowLayout::collectionViewInsetForSectionAtIndex(
    CollectionView*, CollectionViewLayout* layout, int)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->sectionInset() : QMarginsF();
}

double CollectionViewDelegateFlowLayout::collectionViewMinimumLineSpacingForSectionAtIndex(
    CollectionView*, CollectionViewLayout* layout, int)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->minimumLineSpacing() : 0;
}

double CollectionViewDelegateFlowLayout::collectionViewMinimumInteritemSpacingForSectionAtIndex(
    CollectionView*, CollectionViewLayout* layout, int)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->minimumInteritemSpacing() : 0;
}

QSizeF CollectionViewDelegateFlowLayout::collectionViewReferenceSizeForHeaderInSection(
    CollectionView*, CollectionViewLayout* layout, int)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->headerReferenceSize() : QSizeF();
}

QSizeF CollectionViewDelegateFlowLayout::collectionViewReferenceSizeForFooterInSection(
    CollectionView*, CollectionViewLayout* layout, int)
{
    auto* flow = qobject_cast<FlowLayout*>(layout);
    return flow ? flow->footerReferenceSize() : QSizeF();
}

} // namespace platform::ui
