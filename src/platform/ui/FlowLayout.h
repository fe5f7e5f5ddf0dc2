#pragma once

#include "platform/ui/CollectionViewLayout.h"

#include <QMarginsF>

#include <vector>

namespace platform::ui {

// The line-by-line layout: items fill a line across the scroll direction, then the next
// line starts; each section has an optional header and footer and its own insets. Sizes
// and spacings come from the collection view's delegate when it is a
// CollectionViewDelegateFlowLayout, else from the properties here. A full line spreads
// its spare room between its items (a line of one item is centred); the last line of a
// section keeps the spacing of the line above it. Positions are computed once per
// invalidation; a rectangle query finds its first line by binary search.
class FlowLayout : public CollectionViewLayout {
    Q_OBJECT
public:
    enum class ScrollDirection { Vertical = 0, Horizontal = 1 };

    explicit FlowLayout(QObject* parent = nullptr);
    ~FlowLayout() override;

    ScrollDirection scrollDirection() const { return m_direction; }
    void setScrollDirection(ScrollDirection direction);
    double minimumLineSpacing() const { return m_lineSpacing; }
    void setMinimumLineSpacing(double spacing);
    double minimumInteritemSpacing() const { return m_itemSpacing; }
    void setMinimumInteritemSpacing(double spacing);
    QSizeF itemSize() const { return m_itemSize; }
    void setItemSize(const QSizeF& size);
    // Only the height counts for a vertical layout, only the width for a horizontal one;
    // the other side spans the collection view.
    QSizeF headerReferenceSize() const { return m_headerSize; }
    void setHeaderReferenceSize(const QSizeF& size);
    QSizeF footerReferenceSize() const { return m_footerSize; }
    void setFooterReferenceSize(const QSizeF& size);
    QMarginsF sectionInset() const { return m_sectionInset; }
    void setSectionInset(const QMarginsF& inset);

    void prepareLayout() override;
    QSizeF collectionViewContentSize() const override;
    QList<CollectionViewLayoutAttributes> layoutAttributesForElementsInRect(
        const QRectF& rect) const override;
    std::optional<CollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(
        const IndexPath& indexPath) const override;
    std::optional<CollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
        const QString& kind, const IndexPath& indexPath) const override;
    // Only a change of the extent across the scroll direction moves items.
    bool shouldInvalidateLayoutForBoundsChange(const QRectF& newBounds) const override;

private:
    struct Line {
        double start; // along the scroll direction
        double end;
        double across; // where the first item starts across
        double gap; // between the items across
        int first; // first item of the line
    };
    struct Section {
        double start = 0;
        double end = 0;
        QRectF header; // empty when none
        QRectF footer;
        int count = 0;
        // Items all of one size (a grid of tiles, however long) keep no frame each: a
        // frame is worked out from its line as the layout placed it.
        bool uniform = false;
        QSizeF itemSize; // along and across, when uniform
        std::vector<QRectF> items; // when not uniform
        std::vector<Line> lines;
    };

    void appendAttributesInSection(
        int section, const QRectF& rect, QList<CollectionViewLayoutAttributes>& result) const;
    // The frame of the item, which is on the line.
    QRectF itemFrame(const Section& section, const Line& line, int item) const;
    // The line holding the item.
    static const Line* lineOf(const Section& section, int item);
    double crossExtent(const QRectF& bounds) const;

    ScrollDirection m_direction = ScrollDirection::Vertical;
    double m_lineSpacing = 10;
    double m_itemSpacing = 10;
    QSizeF m_itemSize = QSizeF(50, 50);
    QSizeF m_headerSize;
    QSizeF m_footerSize;
    QMarginsF m_sectionInset;

    std::vector<Section> m_sections;
    QSizeF m_contentSize;
    double m_preparedCross = -1;
};

} // namespace platform::ui
