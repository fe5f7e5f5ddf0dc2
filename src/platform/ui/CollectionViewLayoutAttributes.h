#pragma once

#include "platform/ui/IndexPath.h"

#include <QRectF>
#include <QString>

namespace platform::ui {

// What a collection-view layout says of one element: which element (a cell, or a
// supplementary view of a kind, at an index path) and how it shows: frame, stacking
// order (higher in front), hidden and alpha. A plain value; layouts copy and adjust it.
class CollectionViewLayoutAttributes {
public:
    enum class Category { Cell = 0, SupplementaryView = 1 };

    CollectionViewLayoutAttributes() = default;
    static CollectionViewLayoutAttributes forCell(const IndexPath& indexPath);
    static CollectionViewLayoutAttributes forSupplementaryView(
        const QString& kind, const IndexPath& indexPath);

    Category representedElementCategory() const { return m_category; }
    // The kind of a supplementary view; empty for a cell.
    QString representedElementKind() const { return m_kind; }
    IndexPath indexPath() const { return m_indexPath; }
    void setIndexPath(const IndexPath& path) { m_indexPath = path; }

    QRectF frame() const { return m_frame; }
    void setFrame(const QRectF& frame) { m_frame = frame; }
    QPointF center() const { return m_frame.center(); }
    void setCenter(const QPointF& center) { m_frame.moveCenter(center); }
    QSizeF size() const { return m_frame.size(); }
    void setSize(const QSizeF& size);
    int zIndex() const { return m_zIndex; }
    void setZIndex(int z) { m_zIndex = z; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha) { m_alpha = alpha; }

    bool operator==(const CollectionViewLayoutAttributes& other) const = default;

private:
    Category m_category = Category::Cell;
    QString m_kind;
    IndexPath m_indexPath;
    QRectF m_frame;
    int m_zIndex = 0;
    bool m_hidden = false;
    double m_alpha = 1.0;
};

} // namespace platform::ui
