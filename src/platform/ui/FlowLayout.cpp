#include "platform/ui/FlowLayout.h"

#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewDelegateFlowLayout.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

constexpr int SupplementaryZIndex = 1;

} // namespace

FlowLayout::FlowLayout(QObject* parent)
    : CollectionViewLayout(parent)
{
}

FlowLayout::~FlowLayout() = default;

void FlowLayout::setScrollDirection(ScrollDirection direction)
{
    m_direction = direction;
    invalidateLayout();
}

void FlowLayout::setMinimumLineSpacing(double spacing)
{
    m_lineSpacing = spacing;
    invalidateLayout();
}

void FlowLayout::setMinimumInteritemSpacing(double spacing)
{
    m_itemSpacing = spacing;
    invalidateLayout();
}

void FlowLayout::setItemSize(const QSizeF& size)
{
    m_itemSize = size;
    invalidateLayout();
}

void FlowLayout::setHeaderReferenceSize(const QSizeF& size)
{
    m_headerSize = size;
    invalidateLayout();
}

void FlowLayout::setFooterReferenceSize(const QSizeF& size)
{
    m_footerSize = size;
    invalidateLayout();
}

void FlowLayout::setSectionInset(const QMarginsF& inset)
{
    m_sectionInset = inset;
    invalidateLayout();
}

double FlowLayout::crossExtent(const QRectF& bounds) const
{
    const CollectionView* view = collectionView();
    const QMarginsF inset = view ? view->contentInset() : QMarginsF();
    return m_direction == ScrollDirection::Vertical
        ? std::max(0.0, bounds.width() - inset.left() - inset.right())
        : std::max(0.0, bounds.height() - inset.top() - inset.bottom());
}

void FlowLayout::prepareLayout()
{
    m_sections.clear();
    m_contentSize = QSizeF();
    CollectionView* view = collectionView();
    if (!view)
        return;
    const bool vertical = m_direction == ScrollDirection::Vertical;
    const double cross = crossExtent(view->bounds());
    m_preparedCross = cross;
    auto* delegate = dynamic_cast<CollectionViewDelegateFlowLayout*>(view->delegate());

    // Work in (along, across) and turn into frames at the end of each element.
    auto rect = [vertical](double along, double across, double alongSize, double acrossSize) {
        return vertical ? QRectF(across, along, acrossSize, alongSize)
                        : QRectF(along, across, alongSize, acrossSize);
    };
    auto alongOf = [vertical](const QSizeF& s) { return vertical ? s.height() : s.width(); };
    auto acrossOf = [vertical](const QSizeF& s) { return vertical ? s.width() : s.height(); };

    const int sections = view->numberOfSections();
    m_sections.resize(std::max(0, sections));
    double along = 0;
    for (int s = 0; s < sections; ++s) {
        Section& section = m_sections[size_t(s)];
        section.start = along;
        const QMarginsF inset = delegate
            ? delegate->collectionViewInsetForSectionAtIndex(view, this, s)
            : m_sectionInset;
        const double lineSpacing = delegate
            ? delegate->collectionViewMinimumLineSpacingForSectionAtIndex(view, this, s)
            : m_lineSpacing;
        const double itemSpacing = delegate
            ? delegate->collectionViewMinimumInteritemSpacingForSectionAtIndex(view, this, s)
            : m_itemSpacing;
        const QSizeF headerSize = delegate
            ? delegate->collectionViewReferenceSizeForHeaderInSection(view, this, s)
            : m_headerSize;
        const QSizeF footerSize = delegate
            ? delegate->collectionViewReferenceSizeForFooterInSection(view, this, s)
            : m_footerSize;

        if (alongOf(headerSize) > 0) {
            section.header = rect(along, 0, alongOf(headerSize), cross);
            along += alongOf(headerSize);
        }

        const int count = view->numberOfItemsInSection(s);
        if (count > 0) {
            const double leadAlong = vertical ? inset.top() : inset.left();
            const double trailAlong = vertical ? inset.bottom() : inset.right();
            const double leadAcross = vertical ? inset.left() : inset.top();
            const double trailAcross = vertical ? inset.right() : inset.bottom();
            const double room = std::max(0.0, cross - leadAcross - trailAcross);
            along += leadAlong;

            // The sizes are kept one by one only once one differs from the first: a grid of
            // tiles, however long, keeps none.
            auto sizeAt = [&](int i) {
                const QSizeF size = delegate
                    ? delegate->collectionViewSizeForItemAtIndexPath(view, this, IndexPath(i, s))
                    : m_itemSize;
                return QSizeF(std::max(0.0, size.width()), std::max(0.0, size.height()));
            };
            const QSizeF firstSize = sizeAt(0);
            std::vector<QSizeF> sizes;
            for (int i = 1; i < count; ++i) {
                const QSizeF size = sizeAt(i);
                if (sizes.empty() && size == firstSize)
                    continue;
                if (sizes.empty()) {
                    sizes.reserve(static_cast<size_t>(count));
                    sizes.assign(static_cast<size_t>(i), firstSize);
                }
                sizes.push_back(size);
            }
            const auto sizeOf = [&](int i) { return sizes.empty() ? firstSize : sizes[size_t(i)]; };
            section.count = count;
            section.uniform = sizes.empty();
            if (section.uniform) {
                section.itemSize = QSizeF(alongOf(firstSize), acrossOf(firstSize));
                // As many on a line as the loop below puts there.
                int perLine = 1;
                for (double used = acrossOf(firstSize);
                     perLine < count && used + itemSpacing + acrossOf(firstSize) <= room + 1e-6;
                     ++perLine)
                    used += itemSpacing + acrossOf(firstSize);
                section.lines.reserve(size_t((count + perLine - 1) / perLine));
            } else {
                section.items.resize(size_t(count));
                section.lines.reserve(size_t(count));
            }
            double previousGap = itemSpacing;
            int previousCount = 0;
            int first = 0;
            bool firstLine = true;
            while (first < count) {
                // Gather the items that fit across; a line holds at least one.
                int last = first;
                double used = acrossOf(sizeOf(first));
                double thickness = alongOf(sizeOf(first));
                while (last + 1 < count) {
                    const double next = acrossOf(sizeOf(last + 1));
                    if (used + itemSpacing + next > room + 1e-6)
                        break;
                    used += itemSpacing + next;
                    thickness = std::max(thickness, alongOf(sizeOf(last + 1)));
                    ++last;
                }
                const int n = last - first + 1;
                const bool lastLine = last + 1 >= count;
                if (!firstLine)
                    along += lineSpacing;
                // A full line spreads its spare room; the last keeps the spacing above, or
                // when it is the only line, the spacing a full line of its items would have.
                double gap = itemSpacing;
                double start = leadAcross;
                const double spare = std::max(0.0, room - used);
                const double itemAcross = acrossOf(sizeOf(first));
                const int fit = itemAcross + itemSpacing > 0
                    ? std::max(1, int((room + itemSpacing + 1e-6) / (itemAcross + itemSpacing)))
                    : n;
                if (lastLine && !firstLine && n == 1 && previousCount == 1) {
                    start = leadAcross + spare / 2;
                } else if (lastLine && firstLine && fit > n) {
                    gap = itemSpacing
                        + std::max(0.0, room - fit * itemAcross - (fit - 1) * itemSpacing)
                            / (fit - 1);
                } else if (lastLine && !firstLine) {
                    gap = previousGap;
                    double width = 0;
                    for (int i = first; i <= last; ++i)
                        width += acrossOf(sizeOf(i));
                    if (width + gap * (n - 1) > room)
                        gap = itemSpacing;
                } else if (n == 1) {
                    start = leadAcross + spare / 2;
                } else {
                    gap = itemSpacing + spare / (n - 1);
                }
                previousGap = gap;
                previousCount = n;
                double across = start;
                for (int i = first; i <= last && !section.uniform; ++i) {
                    const QSizeF size = sizeOf(i);
                    // Items smaller than the line sit in its middle.
                    const double offset = (thickness - alongOf(size)) / 2;
                    section.items[size_t(i)]
                        = rect(along + offset, across, alongOf(size), acrossOf(size));
                    across += acrossOf(size) + gap;
                }
                section.lines.push_back(Line { along, along + thickness, start, gap, first });
                along += thickness;
                first = last + 1;
                firstLine = false;
            }
            section.lines.shrink_to_fit();
            along += trailAlong;
        }

        if (alongOf(footerSize) > 0) {
            section.footer = rect(along, 0, alongOf(footerSize), cross);
            along += alongOf(footerSize);
        }
        section.end = along;
    }
    m_contentSize = vertical ? QSizeF(cross, along) : QSizeF(along, cross);
}

QSizeF FlowLayout::collectionViewContentSize() const
{
    return m_contentSize;
}

void FlowLayout::appendAttributesInSection(
    int s, const QRectF& rect, QList<CollectionViewLayoutAttributes>& result) const
{
    const Section& section = m_sections[size_t(s)];
    const bool vertical = m_direction == ScrollDirection::Vertical;
    const double from = vertical ? rect.top() : rect.left();
    const double to = vertical ? rect.bottom() : rect.right();
    if (!section.header.isEmpty() && section.header.intersects(rect))
        result.append(*layoutAttributesForSupplementaryViewOfKind(
            CollectionView::ElementKindSectionHeader, IndexPath(0, s)));
    // The first line that reaches into the rectangle, then every line until one starts
    // beyond it.
    auto line = std::partition_point(section.lines.begin(), section.lines.end(),
        [from](const Line& l) { return l.end <= from; });
    for (; line != section.lines.end() && line->start < to; ++line) {
        const int end = (line + 1 == section.lines.end()) ? section.count : (line + 1)->first;
        for (int i = line->first; i < end; ++i) {
            const QRectF frame = itemFrame(section, *line, i);
            if (frame.intersects(rect)) {
                auto attributes = CollectionViewLayoutAttributes::forCell(IndexPath(i, s));
                attributes.setFrame(frame);
                result.append(attributes);
            }
        }
    }
    if (!section.footer.isEmpty() && section.footer.intersects(rect))
        result.append(*layoutAttributesForSupplementaryViewOfKind(
            CollectionView::ElementKindSectionFooter, IndexPath(0, s)));
}

QList<CollectionViewLayoutAttributes> FlowLayout::layoutAttributesForElementsInRect(
    const QRectF& rect) const
{
    QList<CollectionViewLayoutAttributes> result;
    const bool vertical = m_direction == ScrollDirection::Vertical;
    const double from = vertical ? rect.top() : rect.left();
    const double to = vertical ? rect.bottom() : rect.right();
    auto section = std::partition_point(
        m_sections.begin(), m_sections.end(), [from](const Section& s) { return s.end <= from; });
    for (; section != m_sections.end() && section->start < to; ++section)
        appendAttributesInSection(int(section - m_sections.begin()), rect, result);
    return result;
}

std::optional<CollectionViewLayoutAttributes> FlowLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath& indexPath) const
{
    if (indexPath.section() < 0 || size_t(indexPath.section()) >= m_sections.size())
        return std::nullopt;
    const Section& section = m_sections[size_t(indexPath.section())];
    const Line* line = lineOf(section, indexPath.item());
    if (!line)
        return std::nullopt;
    auto attributes = CollectionViewLayoutAttributes::forCell(indexPath);
    attributes.setFrame(itemFrame(section, *line, indexPath.item()));
    return attributes;
}

QRectF FlowLayout::itemFrame(const Section& section, const Line& line, int item) const
{
    if (!section.uniform)
        return section.items[size_t(item)];
    // Added up item by item, as the layout placed them, so the frame is the same to the bit.
    double across = line.across;
    for (int i = line.first; i < item; ++i)
        across += section.itemSize.height() + line.gap;
    const double along = section.itemSize.width();
    const double size = section.itemSize.height();
    // Items smaller than the line sit in its middle: none is, all being of one size.
    const double start = line.start + (along - along) / 2;
    return m_direction == ScrollDirection::Vertical ? QRectF(across, start, size, along)
                                                    : QRectF(start, across, along, size);
}

const FlowLayout::Line* FlowLayout::lineOf(const Section& section, int item)
{
    if (item < 0 || item >= section.count || section.lines.empty())
        return nullptr;
    // The last line starting at or before the item.
    const auto after = std::upper_bound(section.lines.begin(), section.lines.end(), item,
        [](int wanted, const Line& line) { return wanted < line.first; });
    return after == section.lines.begin() ? nullptr : &*(after - 1);
}

std::optional<CollectionViewLayoutAttributes>
FlowLayout::layoutAttributesForSupplementaryViewOfKind(
    const QString& kind, const IndexPath& indexPath) const
{
    if (indexPath.section() < 0 || size_t(indexPath.section()) >= m_sections.size())
        return std::nullopt;
    const Section& section = m_sections[size_t(indexPath.section())];
    QRectF frame;
    if (kind == CollectionView::ElementKindSectionHeader)
        frame = section.header;
    else if (kind == CollectionView::ElementKindSectionFooter)
        frame = section.footer;
    if (frame.isEmpty())
        return std::nullopt;
    auto attributes = CollectionViewLayoutAttributes::forSupplementaryView(kind, indexPath);
    attributes.setFrame(frame);
    attributes.setZIndex(SupplementaryZIndex);
    return attributes;
}

bool FlowLayout::shouldInvalidateLayoutForBoundsChange(const QRectF& newBounds) const
{
    return std::abs(crossExtent(newBounds) - m_preparedCross) > 1e-6;
}

} // namespace platform::ui
