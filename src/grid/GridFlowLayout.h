#pragma once

#include "platform/ui/CollectionViewLayout.h"

#include <QSizeF>

#include <vector>

class RowViewContollerProtocol;

// The layout of the column tables: one row per line, each as wide and as high as the row
// view's row size, under a header line of that size that stays pinned to the top of the
// visible area and is drawn above the rows. The content is one row wide, so a table
// wider than the screen scrolls sideways, header and rows together.
//
// Row frames are worked out when the row count or size changes; a scroll step only moves
// the header. Rows are equally high, so the rows in a rectangle are found by arithmetic.
class GridFlowLayout : public platform::ui::CollectionViewLayout {
    Q_OBJECT
public:
    explicit GridFlowLayout(QObject* parent = nullptr);
    ~GridFlowLayout() override;

    static constexpr int HeaderZIndex = 1024;

    // Where the row size comes from; by default the row view of the collection view's
    // delegate (the grid screen).
    void setRowView(RowViewContollerProtocol* rowView) { m_rowView = rowView; }

    QSizeF contentSize() const { return m_contentSize; }
    qsizetype rowCount() const { return qsizetype(m_rowRects.size()); }
    QRectF rowRect(qsizetype index) const;

    void prepareLayout() override;
    QSizeF collectionViewContentSize() const override;
    bool shouldInvalidateLayoutForBoundsChange(const QRectF& newBounds) const override;
    InvalidationContext invalidationContextForBoundsChange(const QRectF& newBounds) const override;
    std::optional<platform::ui::CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const platform::ui::IndexPath& indexPath) const override;
    std::optional<platform::ui::CollectionViewLayoutAttributes>
    layoutAttributesForSupplementaryViewOfKind(
        const QString& kind, const platform::ui::IndexPath& indexPath) const override;
    QList<platform::ui::CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
        const QRectF& rect) const override;

private:
    RowViewContollerProtocol* rowView() const;
    // The rows [first, last) that meet the rectangle.
    std::pair<qsizetype, qsizetype> rowsIn(const QRectF& rect) const;

    RowViewContollerProtocol* m_rowView = nullptr;
    QSizeF m_rowSize;
    QSizeF m_contentSize;
    std::vector<QRectF> m_rowRects;
};
