#include "platform/ui/CollectionReusableView.h"

namespace platform::ui {

CollectionReusableView::CollectionReusableView(QWidget* parent)
    : View(parent)
{
}

CollectionReusableView::~CollectionReusableView() = default;

void CollectionReusableView::prepareForReuse()
{
}

void CollectionReusableView::applyLayoutAttributes(const CollectionViewLayoutAttributes&)
{
}

} // namespace platform::ui
