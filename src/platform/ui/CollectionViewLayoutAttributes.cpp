#include "platform/ui/CollectionViewLayoutAttributes.h"

namespace platform::ui {

CollectionViewLayoutAttributes CollectionViewLayoutAttributes::forCell(const IndexPath& indexPath)
{
    CollectionViewLayoutAttributes attributes;
    attributes.m_indexPath = indexPath;
    return attributes;
}

CollectionViewLayoutAttributes CollectionViewLayoutAttributes::forSupplementaryView(
    const QString& kind, const IndexPath& indexPath)
{
    CollectionViewLayoutAttributes attributes;
    attributes.m_category = Category::SupplementaryView;
    attributes.m_kind = kind;
    attributes.m_indexPath = indexPath;
    return attributes;
}

void CollectionViewLayoutAttributes::setSize(const QSizeF& size)
{
    // The size changes about the centre, as the platform's does.
    const QPointF c = m_frame.center();
    m_frame.setSize(size);
    m_frame.moveCenter(c);
}

} // namespace platform::ui
