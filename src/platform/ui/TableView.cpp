#include "platform/ui/TableView.h"

#include "platform/Exception.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Layer.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/TableViewHeaderFooterView.h"
#include "platform/ui/TextInput.h"

#include <QMouseEvent>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform::ui {

namespace {

const QColor GroupedBackground(242, 242, 247);
constexpr double UpdateDuration = 0.3;
constexpr double ShiftDuration = 0.2;
constexpr double CardWidthForCards = 600; // a grouped table this wide shows cards
constexpr double ReadableWidth = 720;
constexpr double CardCornerRadius = 10;
constexpr double CellMargin = 16;
constexpr double AutoScrollBand = 44;
constexpr double AutoScrollStep = 8;

class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
        , m_was(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_was; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_was;
};

// Where a row of a move stands once the row at `from` has moved to `to`.
IndexPath afterMove(const IndexPath& p, const IndexPath& from, const IndexPath& to)
{
    if (p == from)
        return to;
    IndexPath q = p;
    if (q.section() == from.section() && q.row() > from.row())
        q = IndexPath(q.row() - 1, q.section());
    if (q.section() == to.section() && q.row() >= to.row())
        q = IndexPath(q.row() + 1, q.section());
    return q;
}

IndexPath beforeMove(const IndexPath& q, const IndexPath& from, const IndexPath& to)
{
    if (q == to)
        return from;
    IndexPath p = q;
    if (p.section() == to.section() && p.row() > to.row())
        p = IndexPath(p.row() - 1, p.section());
    if (p.section() == from.section() && p.row() >= from.row())
        p = IndexPath(p.row() + 1, p.section());
    return p;
}

TableView::RowAnimation effective(TableView::RowAnimation animation)
{
    return animation == TableView::RowAnimation::Automatic ? TableView::RowAnimation::Fade
                                                           : animation;
}

// The frame a row slides to (leaving) or from (arriving) with an animation.
QRectF animatedFrame(const QRectF& f, TableView::RowAnimation animation)
{
    switch (effective(animation)) {
    case TableView::RowAnimation::Right:
        return f.translated(f.width(), 0);
    case TableView::RowAnimation::Left:
        return f.translated(-f.width(), 0);
    case TableView::RowAnimation::Top:
        return f.translated(0, -f.height());
    case TableView::RowAnimation::Bottom:
        return f.translated(0, f.height());
    case TableView::RowAnimation::Middle:
        return QRectF(f.left(), f.center().y(), f.width(), 0);
    default:
        return f;
    }
}

bool fades(TableView::RowAnimation animation)
{
    const auto a = effective(animation);
    return a != TableView::RowAnimation::Right && a != TableView::RowAnimation::Left
        && a != TableView::RowAnimation::None;
}

} // namespace

TableView::TableView(const QRectF& frame, Style style, QWidget* parent)
    : ScrollView(frame, parent)
    , m_style(style)
{
    setBackgroundColor(style == Style::Grouped ? GroupedBackground : QColor(Qt::white));
    m_autoScroll = new QTimer(this);
    m_autoScroll->setInterval(16);
    connect(
        m_autoScroll, &QTimer::timeout, this, [this] { guarded([this] { autoScrollStep(); }); });
    setNeedsLayout();
}

TableView::~TableView() = default;

void TableView::setDataSource(TableViewDataSource* dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

void TableView::setDelegate(TableViewDelegate* delegate)
{
    m_delegate = delegate;
    ScrollView::setDelegate(delegate);
    // Heights and header views may come from the delegate.
    m_geometryValid = false;
    m_needsUpdate = true;
    setNeedsLayout();
}

void TableView::setRowHeight(double height)
{
    if (!(height >= 0))
        return;
    m_rowHeight = height;
    m_geometryValid = false;
    m_needsUpdate = true;
    setNeedsLayout();
}

void TableView::setSeparatorStyle(SeparatorStyle style)
{
    m_separatorStyle = style;
    m_needsUpdate = true;
    setNeedsLayout();
}

void TableView::setSeparatorColor(const QColor& color)
{
    m_separatorColor = color;
    m_needsUpdate = true;
    setNeedsLayout();
}

void TableView::setSeparatorInset(const QMarginsF& inset)
{
    m_separatorInset = inset;
    m_needsUpdate = true;
    setNeedsLayout();
}

void TableView::setBackgroundView(View* view)
{
    if (m_backgroundView == view)
        return;
    if (m_backgroundView) {
        m_backgroundView->removeFromSuperview();
        m_backgroundView->deleteLater();
    }
    m_backgroundView = view;
    if (!view)
        return;
    // A child of the table itself, not of the content, so it stays while rows scroll.
    const bool hidden = view->isHidden();
    view->setParent(this);
    view->setHidden(hidden);
    view->setFrame(bounds());
    view->stackUnder(subviewContainer());
}

bool TableView::showsSectionsAsCards() const
{
    return m_style == Style::Grouped && contentWidth() >= CardWidthForCards;
}

double TableView::cardMargin() const
{
    if (!showsSectionsAsCards())
        return 0;
    return std::max(20.0, std::floor((contentWidth() - ReadableWidth) / 2));
}

double TableView::cellMargin() const
{
    return CellMargin;
}

QMarginsF TableView::adjustedContentInset() const
{
    return insetClearOfHomeIndicator();
}

QMarginsF TableView::sideMargins() const
{
    // Rows keep clear of a notch at the side as cards keep their margin; the table's own
    // background and its section bars still reach under it.
    const QMarginsF safe = SafeArea::restingOverlap(this);
    const double card = cardMargin();
    return QMarginsF(std::max(card, safe.left()), 0, std::max(card, safe.right()), 0);
}

double TableView::cellTextWidth() const
{
    const QMarginsF sides = sideMargins();
    return std::max(0.0, contentWidth() - sides.left() - sides.right() - 2 * cellMargin());
}

// Cells and their queues.

void TableView::registerClassForCellReuseIdentifier(CellFactory factory, const QString& identifier)
{
    if (factory)
        m_factories.insert(identifier, std::move(factory));
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(const QString& identifier)
{
    auto& queue = m_cellQueues[identifier];
    while (!queue.isEmpty()) {
        QPointer<TableViewCell> cell = queue.takeLast();
        if (!cell)
            continue;
        guarded([&] { cell->prepareForReuse(); });
        if (cell)
            return cell;
    }
    return nullptr;
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(
    const QString& identifier, const IndexPath&)
{
    if (TableViewCell* cell = dequeueReusableCellWithIdentifier(identifier))
        return cell;
    auto factory = m_factories.constFind(identifier);
    if (factory == m_factories.constEnd())
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("unable to dequeue a cell with identifier %1 - must register a class "
                           "for the identifier")
                .arg(identifier));
    TableViewCell* cell = (*factory)();
    if (!cell)
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("the class registered for identifier %1 made no cell").arg(identifier));
    if (cell->m_reuseIdentifier.isEmpty())
        cell->m_reuseIdentifier = identifier;
    cell->setHidden(true);
    addSubview(cell);
    return cell;
}

// Counts and geometry.

void TableView::ensureCounts()
{
    if (m_countsValid)
        return;
    m_countsValid = true;
    m_counts.clear();
    TableViewDataSource* source = dataSource();
    if (!source)
        return;
    int sections = 0;
    guarded([&] { sections = source->numberOfSectionsInTableView(this); });
    m_counts.assign(size_t(std::max(0, sections)), 0);
    for (int s = 0; s < sections; ++s)
        guarded([&] {
            m_counts[size_t(s)] = std::max(0, source->tableViewNumberOfRowsInSection(this, s));
        });
}

int TableView::numberOfSections()
{
    ensureCounts();
    return int(m_counts.size());
}

int TableView::numberOfRowsInSection(int section)
{
    ensureCounts();
    if (section < 0 || size_t(section) >= m_counts.size())
        return 0;
    return m_counts[size_t(section)];
}

bool TableView::isValid(const IndexPath& path)
{
    return path.row() >= 0 && path.row() < numberOfRowsInSection(path.section());
}

void TableView::buildGeometry()
{
    ensureCounts();
    m_geometryValid = true;
    m_geometryWidth = contentWidth();
    m_geometrySides = sideMargins();
    m_geometry.assign(m_counts.size(), Section());
    TableViewDataSource* source = dataSource();
    TableViewDelegate* d = delegate();
    const bool plain = m_style == Style::Plain;
    const double textWidth = cellTextWidth();
    auto valid = [](double h) { return std::isfinite(h) && h >= 0; };
    auto bounded = [](double h) { return std::min(h, MaximumRowHeight); };
    double y = 0;
    for (size_t s = 0; s < m_counts.size(); ++s) {
        Section& section = m_geometry[s];
        const int sectionIndex = int(s);
        if (source)
            guarded([&] {
                section.headerTitle = source->tableViewTitleForHeaderInSection(this, sectionIndex);
                section.footerTitle = source->tableViewTitleForFooterInSection(this, sectionIndex);
            });
        section.top = y;
        double header = AutomaticDimension;
        if (d)
            guarded([&] { header = d->tableViewHeightForHeaderInSection(this, sectionIndex); });
        if (!valid(header))
            header = TableViewHeaderFooterView::heightForTitle(plain
                    ? TableViewHeaderFooterView::Role::PlainHeader
                    : TableViewHeaderFooterView::Role::GroupedHeader,
                section.headerTitle, textWidth, s == 0);
        section.headerHeight = bounded(header);
        y += section.headerHeight;
        const int rows = m_counts[s];
        section.rowTops.resize(size_t(rows) + 1);
        for (int r = 0; r < rows; ++r) {
            section.rowTops[size_t(r)] = y;
            double height = m_rowHeight;
            if (d)
                guarded([&] {
                    height = d->tableViewHeightForRowAtIndexPath(this, IndexPath(r, sectionIndex));
                });
            y += bounded(valid(height) ? height : m_rowHeight);
        }
        section.rowTops[size_t(rows)] = y;
        double footer = AutomaticDimension;
        if (d)
            guarded([&] { footer = d->tableViewHeightForFooterInSection(this, sectionIndex); });
        if (!valid(footer))
            footer = TableViewHeaderFooterView::heightForTitle(plain
                    ? TableViewHeaderFooterView::Role::PlainFooter
                    : TableViewHeaderFooterView::Role::GroupedFooter,
                section.footerTitle, textWidth, s == 0);
        section.footerHeight = bounded(footer);
        y += section.footerHeight;
    }
    m_contentHeight = y;
}

const TableView::Geometry& TableView::displayGeometry() const
{
    return m_reorder ? m_reorder->geometry : m_geometry;
}

IndexPath TableView::dataToDisplay(const IndexPath& path) const
{
    return m_reorder ? afterMove(path, m_reorder->source, m_reorder->target) : path;
}

IndexPath TableView::displayToData(const IndexPath& path) const
{
    return m_reorder ? beforeMove(path, m_reorder->source, m_reorder->target) : path;
}

QRectF TableView::rowFrame(const Geometry& geometry, const IndexPath& path) const
{
    if (path.section() < 0 || size_t(path.section()) >= geometry.size())
        return {};
    const Section& section = geometry[size_t(path.section())];
    if (path.row() < 0 || path.row() >= section.rows())
        return {};
    const QMarginsF sides = sideMargins();
    const double top = section.rowTops[size_t(path.row())];
    return QRectF(sides.left(), top, std::max(0.0, contentWidth() - sides.left() - sides.right()),
        section.rowTops[size_t(path.row()) + 1] - top);
}

QRectF TableView::headerFrame(const Geometry& geometry, int s, bool pinned) const
{
    if (s < 0 || size_t(s) >= geometry.size())
        return {};
    const Section& section = geometry[size_t(s)];
    double y = section.top;
    if (pinned && m_style == Style::Plain) {
        // The bar stays at the top while its rows pass, until the section's end pushes it.
        const double top = contentOffset().y() + contentInset().top();
        y = std::min(std::max(y, top), section.bottom() - section.headerHeight);
        y = std::max(y, section.top);
    }
    return QRectF(0, y, contentWidth(), section.headerHeight);
}

QRectF TableView::footerFrame(const Geometry& geometry, int s, bool) const
{
    if (s < 0 || size_t(s) >= geometry.size())
        return {};
    const Section& section = geometry[size_t(s)];
    return QRectF(0, section.rowsBottom(), contentWidth(), section.footerHeight);
}

std::optional<IndexPath> TableView::rowAt(const Geometry& geometry, double y) const
{
    auto it = std::partition_point(
        geometry.begin(), geometry.end(), [y](const Section& s) { return s.bottom() <= y; });
    if (it == geometry.end() || y < it->rowsTop() || y >= it->rowsBottom())
        return std::nullopt;
    const auto row
        = std::upper_bound(it->rowTops.begin(), it->rowTops.end(), y) - it->rowTops.begin() - 1;
    if (row < 0 || row >= it->rows())
        return std::nullopt;
    return IndexPath(int(row), int(it - geometry.begin()));
}

// What to show.

std::map<TableView::Key, QRectF> TableView::wantedElements()
{
    std::map<Key, QRectF> result;
    const Geometry& g = displayGeometry();
    if (g.empty())
        return result;
    const QRectF visible = visibleRect();
    const double top = visible.top();
    const double bottom = visible.bottom();
    auto height = [&g](int s, int r) {
        const Section& section = g[size_t(s)];
        return section.rowTops[size_t(r) + 1] - section.rowTops[size_t(r)];
    };

    // The rows in sight.
    std::vector<IndexPath> rows;
    const int first = int(std::partition_point(g.begin(), g.end(), [top](const Section& s) {
        return s.bottom() <= top;
    }) - g.begin());
    for (int s = first; s < int(g.size()) && g[size_t(s)].top < bottom; ++s) {
        const Section& section = g[size_t(s)];
        int r = 0;
        if (s == first) {
            r = int(std::upper_bound(section.rowTops.begin(), section.rowTops.end(), top)
                    - section.rowTops.begin())
                - 1;
            r = std::max(0, r);
        }
        for (; r < section.rows() && section.rowTops[size_t(r)] < bottom; ++r)
            if (height(s, r) > 0 && section.rowTops[size_t(r) + 1] > top)
                rows.push_back(IndexPath(r, s));
    }
    // And one more on each side, ready before it shows.
    double extendedTop = top;
    double extendedBottom = bottom;
    if (!rows.empty()) {
        auto previous = [&](IndexPath p) -> std::optional<IndexPath> {
            int s = p.section();
            int r = p.row() - 1;
            while (s >= 0) {
                for (; r >= 0; --r)
                    if (height(s, r) > 0)
                        return IndexPath(r, s);
                if (--s >= 0)
                    r = g[size_t(s)].rows() - 1;
            }
            return std::nullopt;
        };
        auto next = [&](IndexPath p) -> std::optional<IndexPath> {
            int s = p.section();
            int r = p.row() + 1;
            while (s < int(g.size())) {
                for (; r < g[size_t(s)].rows(); ++r)
                    if (height(s, r) > 0)
                        return IndexPath(r, s);
                ++s;
                r = 0;
            }
            return std::nullopt;
        };
        if (auto before = previous(rows.front())) {
            rows.insert(rows.begin(), *before);
            extendedTop = g[size_t(before->section())].rowTops[size_t(before->row())];
        }
        if (auto after = next(rows.back())) {
            rows.push_back(*after);
            extendedBottom = g[size_t(after->section())].rowTops[size_t(after->row()) + 1];
        }
    }
    for (const IndexPath& p : rows)
        result[Key { Part::Row, displayToData(p) }] = rowFrame(g, p);

    // Headers and footers of the sections reached.
    const int firstSection
        = int(std::partition_point(g.begin(), g.end(), [extendedTop](const Section& s) {
              return s.bottom() <= extendedTop;
          }) - g.begin());
    for (int s = firstSection; s < int(g.size()) && g[size_t(s)].top < extendedBottom; ++s) {
        const Section& section = g[size_t(s)];
        if (section.headerHeight > 0) {
            const QRectF f = headerFrame(g, s, true);
            if (f.bottom() > extendedTop && f.top() < extendedBottom)
                result[Key { Part::Header, IndexPath(0, s) }] = f;
        }
        if (section.footerHeight > 0) {
            const QRectF f = footerFrame(g, s, true);
            if (f.bottom() > extendedTop && f.top() < extendedBottom)
                result[Key { Part::Footer, IndexPath(0, s) }] = f;
        }
    }
    // The row a person drags stays, wherever it is.
    if (m_reorder && m_reorder->cell)
        result[Key { Part::Row, m_reorder->source }] = m_reorder->cell->frame();
    return result;
}

TableViewCell::Decoration TableView::decorationFor(const IndexPath& p) const
{
    TableViewCell::Decoration d;
    d.margin = cellMargin();
    d.separatorColor = m_separatorColor;
    const Geometry& g = displayGeometry();
    if (p.section() < 0 || size_t(p.section()) >= g.size())
        return d;
    const Section& section = g[size_t(p.section())];
    // First and last among the rows that show (a row of no height is not seen).
    auto shows
        = [&section](int r) { return section.rowTops[size_t(r) + 1] > section.rowTops[size_t(r)]; };
    bool first = true;
    for (int r = p.row() - 1; r >= 0 && first; --r)
        first = !shows(r);
    bool last = true;
    for (int r = p.row() + 1; r < section.rows() && last; ++r)
        last = !shows(r);
    const bool cards = showsSectionsAsCards();
    d.separatorLeft = m_separatorInset.left();
    d.separatorRight = m_separatorInset.right();
    if (m_separatorStyle == SeparatorStyle::None) {
        d.bottomSeparator = false;
    } else if (m_style == Style::Plain) {
        d.bottomSeparator = true;
    } else if (cards) {
        d.bottomSeparator = !last;
    } else {
        d.topSeparator = first;
        d.bottomSeparator = true;
        if (last)
            d.separatorLeft = d.separatorRight = 0;
    }
    if (cards) {
        d.cornerRadius = CardCornerRadius;
        d.roundedCorners = (first ? Layer::MinXMinYCorner | Layer::MaxXMinYCorner : 0u)
            | (last ? Layer::MinXMaxYCorner | Layer::MaxXMaxYCorner : 0u);
    }
    return d;
}

bool TableView::canReorder(const IndexPath& path)
{
    TableViewDataSource* source = dataSource();
    if (!source || !source->respondsToMoveRow())
        return false;
    bool can = false;
    guarded([&] {
        can = source->tableViewCanEditRowAtIndexPath(this, path)
            && source->tableViewCanMoveRowAtIndexPath(this, path);
    });
    return can;
}

TableViewCellEditingStyle TableView::editingStyleFor(const IndexPath& path)
{
    TableViewDataSource* source = dataSource();
    auto style = TableViewCellEditingStyle::None;
    if (!source || !source->respondsToCommitEditingStyle())
        return style;
    guarded([&] {
        if (!source->tableViewCanEditRowAtIndexPath(this, path))
            return;
        style = TableViewCellEditingStyle::Delete;
        if (auto* d = delegate())
            style = d->tableViewEditingStyleForRowAtIndexPath(this, path);
    });
    return style;
}

void TableView::commitDelete(TableViewCell* cell)
{
    const auto path = indexPathForCell(cell);
    TableViewDataSource* source = dataSource();
    if (!path || !source || editingStyleFor(*path) != TableViewCellEditingStyle::Delete)
        return;
    guarded([&] {
        source->tableViewCommitEditingStyleForRowAtIndexPath(
            this, TableViewCellEditingStyle::Delete, *path);
    });
}

void TableView::adoptCell(TableViewCell* cell, const IndexPath& path)
{
    if (cell->parentWidget() != subviewContainer())
        addSubview(cell);
    cell->m_tableView = this;
    cell->setEditingStyle(editingStyleFor(path));
    cell->setShowsReorderControl(canReorder(path));
    cell->setEditing(m_editing, false);
    cell->setHighlighted(false, false);
    cell->setSelected(m_selected.count(path) > 0, false);
    if (auto* d = delegate())
        guarded([&] { d->tableViewWillDisplayCell(this, cell, path); });
}

View* TableView::makeTitleView(const Key& key, const QString& title)
{
    TableViewHeaderFooterView* view = nullptr;
    while (!m_titleQueue.isEmpty() && !view)
        view = m_titleQueue.takeLast();
    if (!view) {
        view = new TableViewHeaderFooterView();
        addSubview(view);
    }
    const bool plain = m_style == Style::Plain;
    TableViewHeaderFooterView::Role role;
    if (key.part == Part::Header)
        role = plain ? TableViewHeaderFooterView::Role::PlainHeader
                     : TableViewHeaderFooterView::Role::GroupedHeader;
    else
        role = plain ? TableViewHeaderFooterView::Role::PlainFooter
                     : TableViewHeaderFooterView::Role::GroupedFooter;
    const QMarginsF sides = sideMargins();
    view->configure(role, title, sides.left() + cellMargin(), sides.right() + cellMargin());
    return view;
}

View* TableView::makeElement(const Key& key, bool& fromDelegate)
{
    fromDelegate = false;
    if (key.part == Part::Row) {
        TableViewDataSource* source = dataSource();
        if (!source)
            return nullptr;
        TableViewCell* cell = nullptr;
        guarded([&] { cell = source->tableViewCellForRowAtIndexPath(this, key.path); });
        if (!cell) {
            qWarning("The table's data source gave no cell for row %d of section %d",
                key.path.row(), key.path.section());
            return nullptr;
        }
        adoptCell(cell, key.path);
        return cell;
    }
    const int s = key.path.section();
    View* view = nullptr;
    if (auto* d = delegate())
        guarded([&] {
            view = key.part == Part::Header ? d->tableViewViewForHeaderInSection(this, s)
                                            : d->tableViewViewForFooterInSection(this, s);
        });
    // A view the delegate gave before for this place and no longer gives is done with.
    QPointer<View>& previous = m_delegateViews[key];
    if (previous && previous != view) {
        bool shown = false;
        for (const auto& [k, entry] : m_shown)
            shown = shown || entry.view == previous;
        if (!shown) {
            previous->removeFromSuperview();
            previous->deleteLater();
        }
    }
    previous = view;
    if (view) {
        fromDelegate = true;
        if (view->parentWidget() != subviewContainer())
            addSubview(view);
        return view;
    }
    const Section& section = displayGeometry()[size_t(s)];
    const QString title = key.part == Part::Header ? section.headerTitle : section.footerTitle;
    if (title.isEmpty())
        return nullptr;
    return makeTitleView(key, title);
}

void TableView::placeElement(const Key& key, View* view, const QRectF& frame)
{
    if (key.part == Part::Row) {
        auto* cell = static_cast<TableViewCell*>(view);
        cell->setDecoration(decorationFor(dataToDisplay(key.path)));
        if (m_reorder && key.path == m_reorder->source)
            return;
    }
    if (view->frame() != frame)
        view->setFrame(frame);
    view->setHidden(false);
}

void TableView::retire(const Key& key, const Shown& shown)
{
    View* view = shown.view;
    if (!view)
        return;
    Animation::cancel(view, "frame");
    Animation::cancel(view, "alpha");
    if (key.part == Part::Row) {
        auto* cell = static_cast<TableViewCell*>(view);
        if (auto* d = delegate())
            guarded([&] { d->tableViewDidEndDisplayingCell(this, cell, key.path); });
        if (!shown.view)
            return;
        cell->layer()->setShadowOpacity(0);
        cell->setAlpha(1);
        if (cell->reuseIdentifier().isEmpty()) {
            cell->removeFromSuperview();
            cell->deleteLater();
            return;
        }
        cell->setHidden(true);
        m_cellQueues[cell->reuseIdentifier()].append(cell);
        return;
    }
    view->setHidden(true);
    view->setAlpha(1);
    if (!shown.fromDelegate)
        if (auto* title = qobject_cast<TableViewHeaderFooterView*>(view))
            m_titleQueue.append(title);
}

void TableView::updateVisibleElements()
{
    const std::map<Key, QRectF> wanted = wantedElements();
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (!it->second.view || !wanted.count(it->first)) {
            const Shown shown = it->second;
            const Key key = it->first;
            it = m_shown.erase(it);
            retire(key, shown);
        } else {
            ++it;
        }
    }
    bool added = false;
    // Found once a pass, not for each title: a scroll runs through here at every step.
    std::optional<QMarginsF> sides;
    for (const auto& [key, frame] : wanted) {
        auto it = m_shown.find(key);
        if (it != m_shown.end()) {
            it->second.frame = frame;
            placeElement(key, it->second.view, frame);
            // A title shown before the sides changed (a phone with a notch turned)
            // takes the new margins, as one made now would.
            if (!it->second.fromDelegate)
                if (auto* title = qobject_cast<TableViewHeaderFooterView*>(it->second.view)) {
                    if (!sides)
                        sides = sideMargins();
                    title->setTextMargins(
                        sides->left() + cellMargin(), sides->right() + cellMargin());
                }
            continue;
        }
        bool fromDelegate = false;
        View* view = makeElement(key, fromDelegate);
        if (!view)
            continue;
        m_shown[key] = Shown { view, frame, fromDelegate };
        placeElement(key, view, frame);
        added = true;
    }
    if (added)
        restack();
}

void TableView::restack(const std::vector<QPointer<View>>& below)
{
    std::set<const QWidget*> managed;
    for (const auto& [key, shown] : m_shown)
        managed.insert(shown.view);
    for (const auto& view : below)
        if (view) {
            view->lower();
            managed.insert(view);
        }
    // Rows, then the headers and footers over them, the dragged row over all.
    for (const auto& [key, shown] : m_shown)
        if (key.part != Part::Row && shown.view)
            shown.view->raise();
    if (m_reorder && m_reorder->cell)
        m_reorder->cell->raise();
    // Views the table does not place (an overlay) stay in front.
    for (QObject* child : subviewContainer()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !managed.count(widget) && !widget->isHidden()
            && !qobject_cast<TableViewCell*>(widget)
            && !qobject_cast<TableViewHeaderFooterView*>(widget))
            widget->raise();
    }
}

void TableView::layoutContent()
{
    if (m_inLayout)
        return;
    FlagScope scope(m_inLayout);
    if (m_backgroundView) {
        m_backgroundView->setFrame(bounds());
        m_backgroundView->stackUnder(subviewContainer());
    }
    if (!m_geometryValid || m_geometryWidth != contentWidth() || m_geometrySides != sideMargins())
        buildGeometry();
    setContentSize(QSizeF(contentWidth(), m_contentHeight));
    keepOffsetInRange();
    keepEditedRowInSight();
    if (m_reloadPending) {
        m_reloadPending = false;
        auto shown = std::move(m_shown);
        m_shown.clear();
        for (const auto& [key, entry] : shown)
            retire(key, entry);
    }
    updateVisibleElements();
    m_needsUpdate = false;
}

void TableView::keepEditedRowInSight()
{
    const QSizeF size = frame().size();
    const bool resized = m_laidOutSize.isValid() && size != m_laidOutSize;
    m_laidOutSize = size;
    TextInput* responder = resized ? TextInput::firstResponder() : nullptr;
    View* editing = responder ? responder->inputAsView() : nullptr;
    if (!editing || m_reloadPending)
        return;
    for (const auto& [key, shown] : m_shown) {
        if (key.part == Part::Row && shown.view && shown.view->isAncestorOf(editing)) {
            scrollRectToVisible(shown.frame, false);
            return;
        }
    }
}

void TableView::bringUpToDate()
{
    if (m_needsUpdate && !m_inLayout)
        layoutIfNeeded();
}

void TableView::reloadData()
{
    if (m_reorder) {
        m_reorder.reset();
        m_autoScroll->stop();
    }
    m_countsValid = false;
    m_geometryValid = false;
    m_reloadPending = true;
    m_selected.clear();
    m_pressed.reset();
    m_needsUpdate = true;
    setNeedsLayout();
}

// Updates.

void TableView::beginUpdates()
{
    if (m_updateDepth++ > 0)
        return;
    bringUpToDate();
    ensureCounts();
    if (!m_geometryValid)
        buildGeometry();
    m_update = std::make_unique<BatchUpdate>(m_counts);
    m_insertAnimations.clear();
    m_deleteAnimations.clear();
    m_sectionInsertAnimations.clear();
    m_sectionDeleteAnimations.clear();
}

template<class Item>
void TableView::recordChange(const QList<Item>& items, RowAnimation animation,
    std::map<Item, RowAnimation>& animations, void (BatchUpdate::*change)(const QList<Item>&))
{
    beginUpdates();
    (m_update.get()->*change)(items);
    for (const Item& item : items)
        animations[item] = animation;
    endUpdates();
}

void TableView::endUpdates()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0)
        return;
    finishUpdates();
}

void TableView::insertRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation)
{
    recordChange(paths, animation, m_insertAnimations, &BatchUpdate::insertItems);
}

void TableView::deleteRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation)
{
    recordChange(paths, animation, m_deleteAnimations, &BatchUpdate::deleteItems);
}

void TableView::reloadRowsAtIndexPaths(const QList<IndexPath>& paths, RowAnimation animation)
{
    recordChange(paths, animation, m_deleteAnimations, &BatchUpdate::reloadItems);
}

void TableView::insertSections(const QList<int>& sections, RowAnimation animation)
{
    recordChange(sections, animation, m_sectionInsertAnimations, &BatchUpdate::insertSections);
}

void TableView::deleteSections(const QList<int>& sections, RowAnimation animation)
{
    recordChange(sections, animation, m_sectionDeleteAnimations, &BatchUpdate::deleteSections);
}

void TableView::reloadSections(const QList<int>& sections, RowAnimation animation)
{
    recordChange(sections, animation, m_sectionDeleteAnimations, &BatchUpdate::reloadSections);
}

void TableView::moveRowAtIndexPath(const IndexPath& from, const IndexPath& to)
{
    beginUpdates();
    m_update->moveItem(from, to);
    endUpdates();
}

void TableView::finishUpdates()
{
    std::unique_ptr<BatchUpdate> update = std::move(m_update);
    if (!update)
        return;
    if (m_reorder) {
        m_reorder.reset();
        m_autoScroll->stop();
    }
    const Geometry old = m_geometry;
    m_countsValid = false;
    ensureCounts();
    QString error;
    if (!update->resolve(m_counts, &error)) {
        reloadData();
        throw Exception(Exception::InternalInconsistency, error);
    }
    m_pressed.reset();

    // Reloaded rows and sections come back with the animation they left with.
    for (const auto& [path, animation] : std::map<IndexPath, RowAnimation>(m_deleteAnimations))
        if (update->isReloaded(path))
            if (auto moved = update->newIndexPath(path))
                m_insertAnimations[*moved] = animation;
    for (const auto& [section, animation] : std::map<int, RowAnimation>(m_sectionDeleteAnimations))
        if (update->isSectionReloaded(section))
            if (auto moved = update->newSection(section))
                m_sectionInsertAnimations[*moved] = animation;

    std::set<IndexPath> selected;
    for (const IndexPath& p : m_selected)
        if (!update->isReloaded(p))
            if (auto moved = update->newIndexPath(p))
                selected.insert(*moved);
    m_selected = std::move(selected);

    FlagScope scope(m_inLayout);
    buildGeometry();
    setContentSize(QSizeF(contentWidth(), m_contentHeight));
    keepOffsetInRange();

    struct Leaving {
        Key key;
        Shown shown;
        QRectF to;
        double alpha;
    };
    std::vector<Leaving> leaving;
    auto leavingAnimation = [&](const Key& key) {
        const int s = key.path.section();
        if (key.part == Part::Row) {
            auto it = m_deleteAnimations.find(key.path);
            if (it != m_deleteAnimations.end())
                return it->second;
        }
        auto it = m_sectionDeleteAnimations.find(s);
        return it != m_sectionDeleteAnimations.end() ? it->second : RowAnimation::Fade;
    };

    // What stays keeps its view at its new place; the rest leaves.
    std::map<Key, Shown> kept;
    for (auto& [key, shown] : m_shown) {
        if (!shown.view)
            continue;
        std::optional<Key> moved;
        if (key.part == Part::Row) {
            if (auto path = update->newIndexPath(key.path); path && !update->isReloaded(key.path))
                moved = Key { Part::Row, *path };
        } else if (auto section = update->newSection(key.path.section());
                   section && !update->isSectionReloaded(key.path.section())) {
            moved = Key { key.part, IndexPath(0, *section) };
        }
        if (moved) {
            kept[*moved] = shown;
            continue;
        }
        const RowAnimation animation = leavingAnimation(key);
        Leaving l { key, shown, animatedFrame(shown.frame, animation),
            fades(animation) ? 0.0 : 1.0 };
        if (effective(animation) == RowAnimation::None)
            shown.view->setAlpha(0);
        leaving.push_back(l);
    }
    m_shown = std::move(kept);

    const std::map<Key, QRectF> wanted = wantedElements();
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        // Still there, but moved out of sight: it slides to its place, then goes.
        QRectF to = it->first.part == Part::Row ? rowFrame(m_geometry, it->first.path)
            : it->first.part == Part::Header
            ? headerFrame(m_geometry, it->first.path.section(), true)
            : footerFrame(m_geometry, it->first.path.section(), true);
        if (to.isNull())
            to = it->second.frame;
        leaving.push_back(Leaving { it->first, it->second, to, 1.0 });
        it = m_shown.erase(it);
    }

    // New views start where they were, or where their animation brings them from.
    std::vector<std::pair<QPointer<View>, QRectF>> entering;
    for (const auto& [key, frame] : wanted) {
        auto existing = m_shown.find(key);
        if (existing != m_shown.end()) {
            existing->second.frame = frame;
            if (key.part == Part::Row)
                static_cast<TableViewCell*>(existing->second.view.data())
                    ->setDecoration(decorationFor(key.path));
            continue;
        }
        bool fromDelegate = false;
        View* view = makeElement(key, fromDelegate);
        if (!view)
            continue;
        m_shown[key] = Shown { view, frame, fromDelegate };
        if (key.part == Part::Row)
            static_cast<TableViewCell*>(view)->setDecoration(decorationFor(key.path));
        QRectF start = frame;
        double alpha = 1;
        if (key.part == Part::Row) {
            if (auto was = update->oldIndexPath(key.path)) {
                start = rowFrame(old, *was);
            } else {
                auto it = m_insertAnimations.find(key.path);
                RowAnimation animation = RowAnimation::Fade;
                if (it != m_insertAnimations.end())
                    animation = it->second;
                else if (auto s = m_sectionInsertAnimations.find(key.path.section());
                         s != m_sectionInsertAnimations.end())
                    animation = s->second;
                start = animatedFrame(frame, animation);
                alpha = fades(animation) ? 0 : 1;
            }
        } else if (auto was = update->oldSection(key.path.section());
                   was && !update->isSectionReloaded(*was)) {
            start = key.part == Part::Header ? headerFrame(old, *was, true)
                                             : footerFrame(old, *was, true);
        } else {
            auto it = m_sectionInsertAnimations.find(key.path.section());
            const RowAnimation animation
                = it != m_sectionInsertAnimations.end() ? it->second : RowAnimation::Fade;
            start = animatedFrame(frame, animation);
            alpha = fades(animation) ? 0 : 1;
        }
        if (start.isNull())
            start = frame;
        view->setFrame(start);
        view->setAlpha(alpha);
        view->setHidden(false);
        entering.emplace_back(view, frame);
    }

    std::vector<QPointer<View>> below;
    for (const Leaving& l : leaving)
        below.push_back(l.shown.view);
    restack(below);

    QPointer<TableView> self(this);
    Animation::animate(
        UpdateDuration, 0, AnimationOptionCurveEaseInOut | AnimationOptionAllowUserInteraction,
        [&] {
            for (auto& [key, shown] : m_shown) {
                if (!shown.view)
                    continue;
                if (shown.view->frame() != shown.frame)
                    shown.view->setFrame(shown.frame);
                if (shown.view->alpha() != 1)
                    shown.view->setAlpha(1);
            }
            for (const Leaving& l : leaving) {
                if (!l.shown.view)
                    continue;
                l.shown.view->setFrame(l.to);
                if (l.shown.view->alpha() != l.alpha)
                    l.shown.view->setAlpha(l.alpha);
            }
        },
        [self, leaving](bool) {
            if (!self)
                return;
            for (const Leaving& l : leaving) {
                // A view the table shows again meanwhile stays.
                bool again = false;
                for (const auto& [key, shown] : self->m_shown)
                    again = again || shown.view == l.shown.view;
                if (!again)
                    self->retire(l.key, l.shown);
            }
            self->m_needsUpdate = true;
            self->setNeedsLayout();
        });
    m_needsUpdate = false;
}

// Geometry queries.

QRectF TableView::rectForSection(int section)
{
    bringUpToDate();
    if (section < 0 || size_t(section) >= m_geometry.size())
        return {};
    const Section& s = m_geometry[size_t(section)];
    return QRectF(0, s.top, contentWidth(), s.bottom() - s.top);
}

QRectF TableView::rectForHeaderInSection(int section)
{
    bringUpToDate();
    return headerFrame(m_geometry, section, false);
}

QRectF TableView::rectForFooterInSection(int section)
{
    bringUpToDate();
    return footerFrame(m_geometry, section, false);
}

QRectF TableView::rectForRowAtIndexPath(const IndexPath& indexPath)
{
    bringUpToDate();
    return rowFrame(m_geometry, indexPath);
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(const QPointF& point)
{
    bringUpToDate();
    if (point.x() < 0 || point.x() >= contentWidth())
        return std::nullopt;
    return rowAt(m_geometry, point.y());
}

QList<IndexPath> TableView::indexPathsForRowsInRect(const QRectF& rect)
{
    bringUpToDate();
    QList<IndexPath> result;
    for (int s = 0; s < int(m_geometry.size()); ++s) {
        const Section& section = m_geometry[size_t(s)];
        if (section.bottom() <= rect.top() || section.top >= rect.bottom())
            continue;
        auto from = std::upper_bound(section.rowTops.begin(), section.rowTops.end(), rect.top());
        int r = std::max(0, int(from - section.rowTops.begin()) - 1);
        for (; r < section.rows() && section.rowTops[size_t(r)] < rect.bottom(); ++r)
            if (rowFrame(m_geometry, IndexPath(r, s)).intersects(rect))
                result.append(IndexPath(r, s));
    }
    return result;
}

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& indexPath)
{
    bringUpToDate();
    auto it = m_shown.find(Key { Part::Row, indexPath });
    if (it == m_shown.end())
        return nullptr;
    return static_cast<TableViewCell*>(it->second.view.data());
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell)
{
    bringUpToDate();
    for (const auto& [key, shown] : m_shown)
        if (key.part == Part::Row && shown.view == cell)
            return key.path;
    return std::nullopt;
}

QList<TableViewCell*> TableView::visibleCells()
{
    bringUpToDate();
    QList<TableViewCell*> result;
    const QRectF visible = visibleRect();
    for (const auto& [key, shown] : m_shown)
        if (key.part == Part::Row && shown.view && shown.frame.intersects(visible))
            result.append(static_cast<TableViewCell*>(shown.view.data()));
    return result;
}

QList<IndexPath> TableView::indexPathsForVisibleRows()
{
    bringUpToDate();
    QList<IndexPath> result;
    const QRectF visible = visibleRect();
    for (const auto& [key, shown] : m_shown)
        if (key.part == Part::Row && shown.view && shown.frame.intersects(visible))
            result.append(key.path);
    return result;
}

View* TableView::headerViewForSection(int section)
{
    bringUpToDate();
    auto it = m_shown.find(Key { Part::Header, IndexPath(0, section) });
    return it == m_shown.end() ? nullptr : it->second.view.data();
}

View* TableView::footerViewForSection(int section)
{
    bringUpToDate();
    auto it = m_shown.find(Key { Part::Footer, IndexPath(0, section) });
    return it == m_shown.end() ? nullptr : it->second.view.data();
}

void TableView::scrollToRowAtIndexPath(
    const IndexPath& indexPath, ScrollPosition position, bool animated)
{
    const QRectF f = rectForRowAtIndexPath(indexPath);
    if (f.isNull())
        return;
    const double height = frame().height();
    const QMarginsF in = adjustedContentInset();
    QPointF offset = contentOffset();
    switch (position) {
    case ScrollPosition::None:
        scrollRectToVisible(f, animated);
        return;
    case ScrollPosition::Top:
        offset.setY(f.top() - in.top());
        break;
    case ScrollPosition::Middle:
        offset.setY(f.center().y() - in.top() - (height - in.top() - in.bottom()) / 2);
        break;
    case ScrollPosition::Bottom:
        offset.setY(f.bottom() - height + in.bottom());
        break;
    }
    setContentOffset(clampedOffset(offset), animated);
}

// Selection.

void TableView::setAllowsSelection(bool allows)
{
    m_allowsSelection = allows;
    if (!allows)
        selectRowAtIndexPath(std::nullopt, false, ScrollPosition::None);
}

void TableView::setAllowsMultipleSelection(bool allows)
{
    m_allowsMultipleSelection = allows;
    if (!allows && m_selected.size() > 1) {
        const IndexPath keep = *m_selected.begin();
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != keep)
                deselectRowAtIndexPath(p, false);
    }
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const
{
    if (m_selected.empty())
        return std::nullopt;
    return *m_selected.begin();
}

QList<IndexPath> TableView::indexPathsForSelectedRows() const
{
    return QList<IndexPath>(m_selected.begin(), m_selected.end());
}

void TableView::setCellSelected(const IndexPath& path, bool selected, bool animated)
{
    auto it = m_shown.find(Key { Part::Row, path });
    if (it != m_shown.end() && it->second.view)
        static_cast<TableViewCell*>(it->second.view.data())->setSelected(selected, animated);
}

void TableView::selectRowAtIndexPath(
    const std::optional<IndexPath>& indexPath, bool animated, ScrollPosition position)
{
    if (!indexPath) {
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            deselectRowAtIndexPath(p, animated);
        return;
    }
    if (!isValid(*indexPath))
        return;
    if (!m_allowsMultipleSelection)
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != *indexPath)
                deselectRowAtIndexPath(p, animated);
    m_selected.insert(*indexPath);
    setCellSelected(*indexPath, true, animated);
    if (position != ScrollPosition::None)
        scrollToRowAtIndexPath(*indexPath, position, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& indexPath, bool animated)
{
    if (m_selected.erase(indexPath))
        setCellSelected(indexPath, false, animated);
}

void TableView::userSelect(const IndexPath& path)
{
    auto willDeselect = [this](const IndexPath& p) -> std::optional<IndexPath> {
        std::optional<IndexPath> target = p;
        if (auto* d = delegate())
            guarded([&] { target = d->tableViewWillDeselectRowAtIndexPath(this, p); });
        return target;
    };
    auto deselect = [this, &willDeselect](const IndexPath& p) {
        const auto target = willDeselect(p);
        if (!target || !m_selected.count(*target))
            return;
        deselectRowAtIndexPath(*target, false);
        if (auto* d = delegate())
            guarded([&] { d->tableViewDidDeselectRowAtIndexPath(this, *target); });
    };
    if (m_allowsMultipleSelection && m_selected.count(path)) {
        deselect(path);
        return;
    }
    std::optional<IndexPath> target = path;
    if (auto* d = delegate())
        guarded([&] { target = d->tableViewWillSelectRowAtIndexPath(this, path); });
    if (!target || !isValid(*target))
        return;
    if (!m_allowsMultipleSelection)
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != *target)
                deselect(p);
    m_selected.insert(*target);
    setCellSelected(*target, true, false);
    if (auto* d = delegate())
        guarded([&] { d->tableViewDidSelectRowAtIndexPath(this, *target); });
}

void TableView::accessoryButtonTapped(TableViewCell* cell)
{
    const auto path = indexPathForCell(cell);
    if (!path)
        return;
    if (auto* d = delegate())
        guarded([&] { d->tableViewAccessoryButtonTappedForRowWithIndexPath(this, *path); });
}

void TableView::setEditing(bool editing, bool animated)
{
    if (m_editing == editing)
        return;
    if (!editing && m_reorder)
        endReorder();
    m_editing = editing;
    m_pressed.reset();
    if (editing && !m_allowsSelectionDuringEditing)
        selectRowAtIndexPath(std::nullopt, false, ScrollPosition::None);
    for (const auto& [key, shown] : m_shown) {
        if (key.part != Part::Row || !shown.view)
            continue;
        auto* cell = static_cast<TableViewCell*>(shown.view.data());
        cell->setEditingStyle(editingStyleFor(key.path));
        cell->setShowsReorderControl(canReorder(key.path));
        cell->setEditing(editing, animated);
    }
}

// A person's touches.

void TableView::mousePressEvent(QMouseEvent* event)
{
    const QPointF point = event->position() + contentOffset();
    if (event->button() == Qt::LeftButton && m_editing && !m_reorder) {
        if (auto display = rowAt(m_geometry, point.y())) {
            const IndexPath path = *display;
            auto it = m_shown.find(Key { Part::Row, path });
            if (it != m_shown.end() && it->second.view) {
                auto* cell = static_cast<TableViewCell*>(it->second.view.data());
                const QRectF grip = cell->reorderControlFrame().translated(cell->frame().topLeft());
                if (!grip.isEmpty() && grip.contains(point) && canReorder(path)) {
                    event->accept();
                    beginReorder(path, cell, point.y());
                    return;
                }
            }
        }
    }
    ScrollView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    event->accept();
    m_pressed.reset();
    if (!(m_editing ? m_allowsSelectionDuringEditing : m_allowsSelection))
        return;
    const auto path = indexPathForRowAtPoint(point);
    if (!path)
        return;
    bool should = true;
    if (auto* d = delegate())
        guarded([&] { should = d->tableViewShouldHighlightRowAtIndexPath(this, *path); });
    if (!should)
        return;
    m_pressed = path;
    if (auto* cell = cellForRowAtIndexPath(*path))
        cell->setHighlighted(true, false);
}

void TableView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_reorder) {
        event->accept();
        const double y = event->position().y();
        const double height = frame().height();
        m_autoScrollDirection = y < AutoScrollBand ? -1 : y > height - AutoScrollBand ? 1 : 0;
        if (m_autoScrollDirection != 0)
            m_autoScroll->start();
        else
            m_autoScroll->stop();
        moveReorder(y + contentOffset().y());
        return;
    }
    ScrollView::mouseMoveEvent(event);
    event->accept();
    if (m_pressed && isDragging()) {
        if (auto* cell = cellForRowAtIndexPath(*m_pressed))
            cell->setHighlighted(false, false);
        m_pressed.reset();
    }
}

void TableView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_reorder) {
        event->accept();
        endReorder();
        return;
    }
    ScrollView::mouseReleaseEvent(event);
    event->accept();
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    const IndexPath path = *m_pressed;
    m_pressed.reset();
    if (auto* cell = cellForRowAtIndexPath(path))
        cell->setHighlighted(false, false);
    if (indexPathForRowAtPoint(event->position() + contentOffset()) == path)
        userSelect(path);
}

// Reordering by hand.

TableView::Geometry TableView::movedGeometry(const IndexPath& from, const IndexPath& to) const
{
    Geometry moved = m_geometry;
    std::vector<std::vector<double>> heights(moved.size());
    for (size_t s = 0; s < moved.size(); ++s)
        for (int r = 0; r < moved[s].rows(); ++r)
            heights[s].push_back(moved[s].rowTops[size_t(r) + 1] - moved[s].rowTops[size_t(r)]);
    const double height = heights[size_t(from.section())][size_t(from.row())];
    auto& source = heights[size_t(from.section())];
    source.erase(source.begin() + from.row());
    auto& target = heights[size_t(to.section())];
    target.insert(target.begin() + std::clamp(to.row(), 0, int(target.size())), height);
    double y = 0;
    for (size_t s = 0; s < moved.size(); ++s) {
        Section& section = moved[s];
        section.top = y;
        y += section.headerHeight;
        section.rowTops.assign(heights[s].size() + 1, 0);
        for (size_t r = 0; r < heights[s].size(); ++r) {
            section.rowTops[r] = y;
            y += heights[s][r];
        }
        section.rowTops[heights[s].size()] = y;
        y += section.footerHeight;
    }
    return moved;
}

void TableView::beginReorder(const IndexPath& path, TableViewCell* cell, double pointer)
{
    m_pressed.reset();
    Reorder reorder;
    reorder.source = path;
    reorder.target = path;
    reorder.cell = cell;
    reorder.grab = pointer - cell->frame().top();
    reorder.pointer = pointer;
    reorder.geometry = m_geometry;
    m_reorder = std::move(reorder);
    cell->raise();
    cell->layer()->setShadowColor(Qt::black);
    cell->layer()->setShadowOffset(QPointF(0, 2));
    cell->layer()->setShadowRadius(8);
    Animation::animate(ShiftDuration, 0, AnimationOptionAllowUserInteraction,
        [cell] { cell->layer()->setShadowOpacity(0.3); });
}

void TableView::moveReorder(double pointer)
{
    Reorder& r = *m_reorder;
    r.pointer = pointer;
    TableViewCell* cell = r.cell;
    if (!cell) {
        m_reorder.reset();
        m_autoScroll->stop();
        return;
    }
    QRectF f = cell->frame();
    f.moveTop(std::clamp(pointer - r.grab, 0.0, std::max(0.0, m_contentHeight - f.height())));
    cell->setFrame(f);
    const double centre = f.center().y();

    // The place under the row's centre, among the rows as they stand now.
    const Geometry& g = r.geometry;
    if (g.empty())
        return;
    auto it = std::partition_point(
        g.begin(), g.end(), [centre](const Section& s) { return s.bottom() <= centre; });
    if (it == g.end())
        --it;
    const int s = int(it - g.begin());
    IndexPath proposed;
    if (centre < it->rowsTop())
        proposed = IndexPath(0, s);
    else if (centre >= it->rowsBottom())
        proposed = IndexPath(s == r.target.section() ? std::max(0, it->rows() - 1) : it->rows(), s);
    else
        proposed = rowAt(g, centre).value_or(r.target);

    IndexPath target = proposed;
    if (auto* d = delegate())
        guarded([&] {
            target = d->tableViewTargetIndexPathForMoveFromRowAtIndexPath(this, r.source, proposed);
        });
    // Keep the answer within what the move can reach.
    if (target.section() < 0 || size_t(target.section()) >= m_counts.size())
        target = r.target;
    const int count = m_counts[size_t(target.section())];
    const int last = target.section() == r.source.section() ? count - 1 : count;
    target = IndexPath(std::clamp(target.row(), 0, std::max(0, last)), target.section());
    if (target == r.target)
        return;
    r.target = target;
    r.geometry = movedGeometry(r.source, target);
    Animation::animate(ShiftDuration, 0, AnimationOptionAllowUserInteraction, [&] {
        for (auto& [key, shown] : m_shown) {
            if (!shown.view || (key.part == Part::Row && key.path == r.source))
                continue;
            QRectF to = key.part == Part::Row ? rowFrame(r.geometry, dataToDisplay(key.path))
                : key.part == Part::Header    ? headerFrame(r.geometry, key.path.section(), true)
                                              : footerFrame(r.geometry, key.path.section(), true);
            shown.frame = to;
            if (shown.view->frame() != to)
                shown.view->setFrame(to);
        }
    });
    FlagScope scope(m_inLayout);
    updateVisibleElements();
}

void TableView::autoScrollStep()
{
    if (!m_reorder || m_autoScrollDirection == 0) {
        m_autoScroll->stop();
        return;
    }
    const QPointF before = contentOffset();
    const QPointF after
        = clampedOffset(before + QPointF(0, AutoScrollStep * m_autoScrollDirection));
    if (after == before) {
        m_autoScroll->stop();
        return;
    }
    const double moved = after.y() - before.y();
    const double pointer = m_reorder->pointer + moved;
    setContentOffset(after);
    if (m_reorder)
        moveReorder(pointer);
}

void TableView::endReorder()
{
    if (!m_reorder)
        return;
    m_autoScroll->stop();
    const Reorder r = *m_reorder;
    m_reorder.reset();
    if (r.target != r.source) {
        // The table shows the new order at once; the data source follows it.
        std::map<Key, Shown> moved;
        for (auto& [key, shown] : m_shown)
            moved[key.part == Part::Row ? Key { Part::Row, afterMove(key.path, r.source, r.target) }
                                        : key]
                = shown;
        m_shown = std::move(moved);
        std::set<IndexPath> selected;
        for (const IndexPath& p : m_selected)
            selected.insert(afterMove(p, r.source, r.target));
        m_selected = std::move(selected);
        m_geometry = r.geometry;
        --m_counts[size_t(r.source.section())];
        ++m_counts[size_t(r.target.section())];
        if (TableViewDataSource* source = dataSource())
            guarded([&] { source->tableViewMoveRowAtIndexPath(this, r.source, r.target); });
    }
    if (TableViewCell* cell = r.cell) {
        const QRectF home = rowFrame(m_geometry, r.target);
        auto it = m_shown.find(Key { Part::Row, r.target });
        if (it != m_shown.end())
            it->second.frame = home;
        Animation::animate(ShiftDuration, 0, AnimationOptionAllowUserInteraction, [&] {
            cell->setFrame(home);
            cell->layer()->setShadowOpacity(0);
        });
    }
    m_needsUpdate = true;
    FlagScope scope(m_inLayout);
    updateVisibleElements();
}

} // namespace platform::ui
