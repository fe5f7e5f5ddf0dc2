#include "grid/GridFlowLayout.h"

#include "grid/CollectionViewController.h"
#include "grid/RowViewContollerProtocol.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewLayoutAttributes.h"
#include "platform/ui/IndexPath.h"
#include "utilities/shell/MessageHelper.h"

#include <algorithm>
#include <cmath>

using platform::ui::CollectionView;
using platform::ui::CollectionViewLayoutAttributes;
using platform::ui::IndexPath;

GridFlowLayout::GridFlowLayout(QObject* parent)
    : CollectionViewLayout(parent)
{
}

GridFlowLayout::~GridFlowLayout() = default;

RowViewContollerProtocol* GridFlowLayout::rowView() const
{
    if (m_rowView)
        return m_rowView;
    CollectionView* view = collectionView();
    auto* grid = view ? dynamic_cast<CollectionViewController*>(view->delegate()) : nullptr;
    return grid ? grid->rowView() : nullptr;
}

QRectF GridFlowLayout::rowRect(qsizetype index) const
{
    if (index < 0 || index >= rowCount())
        return {};
    return m_rowRects[size_t(index)];
}

void GridFlowLayout::prepareLayout()
{
    CollectionViewLayout::prepareLayout();
    try {
        RowViewContollerProtocol* rows = rowView();
        CollectionView* view = collectionView();
        const QSizeF size = rows ? rows->getRowSize() : QSizeF();
        const qsizetype count = view ? qMax(0, view->numberOfItemsInSection(0)) : 0;
        if (size == m_rowSize && count == rowCount())
            return;
        m_rowSize = size;
        const float height = float(size.height());
        m_rowRects.clear();
        m_rowRects.reserve(size_t(count));
        float y = height; // row 0 starts under the header
        for (qsizetype k = 0; k < count; ++k) {
            m_rowRects.emplace_back(0, double(y), size.width(), size.height());
            y += height;
        }
        m_contentSize = QSizeF(size.width(), size.height() * double(count + 1));
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

QSizeF GridFlowLayout::collectionViewContentSize() const
{
    return m_contentSize;
}

bool GridFlowLayout::shouldInvalidateLayoutForBoundsChange(const QRectF&) const
{
    // The header is pinned again at every scroll step.
    return true;
}

platform::ui::CollectionViewLayout::InvalidationContext
GridFlowLayout::invalidationContextForBoundsChange(const QRectF&) const
{
    InvalidationContext context;
    context.invalidateEverything = false;
    context.invalidateDataSourceCounts = false;
    return context;
}

std::optional<CollectionViewLayoutAttributes> GridFlowLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath& indexPath) const
{
    if (indexPath.item() < 0 || indexPath.item() >= rowCount())
        return std::nullopt;
    CollectionViewLayoutAttributes attributes = CollectionViewLayoutAttributes::forCell(indexPath);
    attributes.setFrame(m_rowRects[size_t(indexPath.item())]);
    return attributes;
}

std::optional<CollectionViewLayoutAttributes>
GridFlowLayout::layoutAttributesForSupplementaryViewOfKind(
    const QString& kind, const IndexPath& indexPath) const
{
    CollectionViewLayoutAttributes attributes
        = CollectionViewLayoutAttributes::forSupplementaryView(kind, indexPath);
    attributes.setFrame(QRectF(QPointF(0, 0), m_rowSize));
    return attributes;
}

std::pair<qsizetype, qsizetype> GridFlowLayout::rowsIn(const QRectF& rect) const
{
    const qsizetype count = rowCount();
    const double height = m_rowSize.height();
    if (count == 0 || height <= 0 || rect.isEmpty())
        return { 0, 0 };
    // Row k covers [h(k + 1), h(k + 2)): the first and last rows come by division, then
    // a step either way settles any rounding of the accumulated frames.
    qsizetype first = qsizetype(std::floor(rect.top() / height)) - 1;
    first = std::clamp<qsizetype>(first, 0, count);
    while (first > 0 && m_rowRects[size_t(first - 1)].bottom() > rect.top())
        --first;
    while (first < count && m_rowRects[size_t(first)].bottom() <= rect.top())
        ++first;
    qsizetype last = qsizetype(std::ceil(rect.bottom() / height));
    last = std::clamp<qsizetype>(last, first, count);
    while (last < count && m_rowRects[size_t(last)].top() < rect.bottom())
        ++last;
    while (last > first && m_rowRects[size_t(last - 1)].top() >= rect.bottom())
        --last;
    return { first, last };
}

QList<CollectionViewLayoutAttributes> GridFlowLayout::layoutAttributesForElementsInRect(
    const QRectF& rect) const
{
    QList<CollectionViewLayoutAttributes> found;
    try {
        std::optional<CollectionViewLayoutAttributes> header
            = layoutAttributesForSupplementaryViewOfKind(
                CollectionView::ElementKindSectionHeader, IndexPath::forItem(0, 0));
        const auto [first, last] = rowsIn(rect);
        for (qsizetype k = first; k < last; ++k) {
            if (!m_rowRects[size_t(k)].intersects(rect))
                continue;
            CollectionViewLayoutAttributes row
                = CollectionViewLayoutAttributes::forCell(IndexPath::forItem(int(k), 0));
            row.setFrame(m_rowRects[size_t(k)]);
            found.append(row);
        }
        if (!m_rowRects.empty()) {
            const CollectionView* view = collectionView();
            const double offset = view ? view->contentOffset().y() : 0;
            QRectF frame = header->frame();
            const double headerHeight = frame.height();
            const QRectF& firstRow = m_rowRects.front();
            const QRectF& lastRow = m_rowRects.back();
            const double y = std::min(
                std::max(offset, firstRow.top() - headerHeight), lastRow.bottom() - headerHeight);
            frame.moveTop(y);
            header->setFrame(frame);
            header->setZIndex(HeaderZIndex);
        }
        found.prepend(*header);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        return {};
    }
    return found;
}
