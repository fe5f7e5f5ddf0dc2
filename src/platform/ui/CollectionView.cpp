#include "platform/ui/CollectionView.h"

#include "platform/Exception.h"
#include "platform/ui/Animation.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

namespace platform::ui {

const QString CollectionView::ElementKindSectionHeader
    = QStringLiteral("UICollectionElementKindSectionHeader");
const QString CollectionView::ElementKindSectionFooter
    = QStringLiteral("UICollectionElementKindSectionFooter");

namespace {

const QString CellKind = QStringLiteral("UICollectionElementKindCell");
constexpr double UpdateDuration = 0.3;
constexpr double SelectionDuration = 0.25;

QString queueKey(const QString& kind, const QString& identifier)
{
    return kind + QChar(0x1f) + identifier;
}

// Clears a flag however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

CollectionView::CollectionView(const QRectF& frame, CollectionViewLayout* layout, QWidget* parent)
    : ScrollView(frame, parent)
{
    setCollectionViewLayout(layout);
}

CollectionView::~CollectionView()
{
    if (m_layout && m_layout->collectionView() == this)
        m_layout->setCollectionView(nullptr);
}

void CollectionView::setCollectionViewLayout(CollectionViewLayout* layout)
{
    if (layout == m_layout)
        return;
    if (m_layout) {
        m_layout->setCollectionView(nullptr);
        if (m_layout->parent() == this)
            m_layout->deleteLater();
    }
    m_layout = layout;
    if (layout) {
        if (!layout->parent())
            layout->setParent(this);
        layout->setCollectionView(this);
    }
    m_layoutBounds = QRectF();
    layoutInvalidated();
}

void CollectionView::setDataSource(CollectionViewDataSource* dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

void CollectionView::setDelegate(CollectionViewDelegate* delegate)
{
    m_delegate = delegate;
    ScrollView::setDelegate(delegate);
    // Sizes may come from the delegate.
    if (m_layout)
        m_layout->invalidateLayout();
}

void CollectionView::registerClassForCellWithReuseIdentifier(
    CellFactory factory, const QString& identifier)
{
    if (!factory)
        return;
    m_factories.insert(queueKey(CellKind, identifier), [factory] { return factory(); });
}

void CollectionView::registerClassForSupplementaryViewOfKind(
    ViewFactory factory, const QString& kind, const QString& identifier)
{
    if (factory)
        m_factories.insert(queueKey(kind, identifier), std::move(factory));
}

CollectionReusableView* CollectionView::dequeue(const QString& kind, const QString& identifier)
{
    const QString key = queueKey(kind, identifier);
    auto& queue = m_queues[key];
    // Oldest first: a scroll hands the views of the lines that left, in their stacking
    // order, to the lines coming in, so few need raising.
    while (!queue.isEmpty()) {
        QPointer<CollectionReusableView> view = queue.takeFirst();
        if (!view)
            continue;
        guarded([&] { view->prepareForReuse(); });
        if (view)
            return view;
    }
    auto factory = m_factories.constFind(key);
    if (factory == m_factories.constEnd())
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("could not dequeue a view of kind: %1 with identifier %2 - must "
                           "register a class for the identifier")
                .arg(kind, identifier));
    CollectionReusableView* view = (*factory)();
    if (!view)
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("the class registered for identifier %1 made no view").arg(identifier));
    view->m_reuseIdentifier = identifier;
    view->setHidden(true);
    addSubview(view);
    return view;
}

CollectionViewCell* CollectionView::dequeueReusableCellWithReuseIdentifier(
    const QString& identifier, const IndexPath&)
{
    auto* view = dequeue(CellKind, identifier);
    auto* cell = qobject_cast<CollectionViewCell*>(view);
    if (!cell)
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("the view registered for identifier %1 is not a cell").arg(identifier));
    return cell;
}

CollectionReusableView* CollectionView::dequeueReusableSupplementaryViewOfKind(
    const QString& kind, const QString& identifier, const IndexPath&)
{
    return dequeue(kind, identifier);
}

void CollectionView::ensureCounts() const
{
    if (m_countsValid)
        return;
    m_countsValid = true;
    m_counts.clear();
    CollectionViewDataSource* source = m_dataSource.get();
    if (!source)
        return;
    auto* self = const_cast<CollectionView*>(this);
    int sections = 0;
    guarded([&] { sections = source->numberOfSectionsInCollectionView(self); });
    m_counts.assign(size_t(std::max(0, sections)), 0);
    for (int s = 0; s < sections; ++s)
        guarded([&] {
            m_counts[size_t(s)]
                = std::max(0, source->collectionViewNumberOfItemsInSection(self, s));
        });
}

int CollectionView::numberOfSections() const
{
    ensureCounts();
    return int(m_counts.size());
}

int CollectionView::numberOfItemsInSection(int section) const
{
    ensureCounts();
    if (section < 0 || size_t(section) >= m_counts.size())
        return 0;
    return m_counts[size_t(section)];
}

bool CollectionView::isValid(const IndexPath& path) const
{
    return path.item() >= 0 && path.item() < numberOfItemsInSection(path.section());
}

void CollectionView::layoutInvalidated()
{
    m_needsUpdate = true;
    if (!m_inLayout)
        setNeedsLayout();
}

void CollectionView::reloadData()
{
    m_countsValid = false;
    m_reloadPending = true;
    m_selected.clear();
    m_pressed.reset();
    if (m_layout)
        m_layout->invalidateLayout();
    m_needsUpdate = true;
    setNeedsLayout();
}

void CollectionView::bringUpToDate()
{
    if (m_needsUpdate && !m_inLayout)
        layoutIfNeeded();
}

CollectionView::Key CollectionView::keyOf(const CollectionViewLayoutAttributes& attributes)
{
    if (attributes.representedElementCategory() == CollectionViewLayoutAttributes::Category::Cell)
        return Key { attributes.representedElementCategory(), QString(), attributes.indexPath() };
    return Key { attributes.representedElementCategory(), attributes.representedElementKind(),
        attributes.indexPath() };
}

void CollectionView::layoutContent()
{
    if (m_inLayout)
        return;
    FlagScope scope(m_inLayout);
    ensureCounts();
    if (m_layout) {
        // Twice at most: pulling the offset back into range moves the bounds once more.
        for (int pass = 0; pass < 2; ++pass) {
            const QRectF b = visibleRect();
            if (b != m_layoutBounds) {
                if (m_layout->isPrepared() && m_layout->shouldInvalidateLayoutForBoundsChange(b))
                    m_layout->invalidateLayoutWithContext(
                        m_layout->invalidationContextForBoundsChange(b));
                m_layoutBounds = b;
            }
            guarded([&] { m_layout->prepareIfNeeded(); });
            setContentSize(m_layout->collectionViewContentSize());
            keepOffsetInRange();
            if (visibleRect() == m_layoutBounds)
                break;
        }
    }
    if (m_reloadPending) {
        m_reloadPending = false;
        for (auto& [key, shown] : m_shown)
            hideShown(key, shown);
        m_shown.clear();
    }
    updateVisibleElements();
    m_needsUpdate = false;
}

QList<CollectionViewLayoutAttributes> CollectionView::wantedAttributes()
{
    QList<CollectionViewLayoutAttributes> result;
    if (!m_layout)
        return result;
    const QRectF visible = visibleRect();
    guarded([&] {
        result = m_layout->layoutAttributesForElementsInRect(visible);
        // One element's extent beyond each edge, so the next line is ready before it shows.
        double width = 0;
        double height = 0;
        for (const auto& attributes : result) {
            if (attributes.representedElementCategory()
                != CollectionViewLayoutAttributes::Category::Cell)
                continue;
            width = std::max(width, attributes.frame().width());
            height = std::max(height, attributes.frame().height());
        }
        if (width > 0 || height > 0)
            result = m_layout->layoutAttributesForElementsInRect(
                visible.adjusted(-width, -height, width, height));
    });
    return result;
}

CollectionReusableView* CollectionView::makeView(const CollectionViewLayoutAttributes& attributes)
{
    CollectionViewDataSource* source = m_dataSource.get();
    if (!source)
        return nullptr;
    CollectionReusableView* view = nullptr;
    guarded([&] {
        if (attributes.representedElementCategory()
            == CollectionViewLayoutAttributes::Category::Cell)
            view = source->collectionViewCellForItemAtIndexPath(this, attributes.indexPath());
        else
            view = source->collectionViewViewForSupplementaryElementOfKind(
                this, attributes.representedElementKind(), attributes.indexPath());
    });
    if (!view)
        return nullptr;
    if (view->parentWidget() != subviewContainer())
        addSubview(view);
    return view;
}

void CollectionView::applyAttributes(
    CollectionReusableView* view, const CollectionViewLayoutAttributes& attributes)
{
    if (view->frame() != attributes.frame())
        view->setFrame(attributes.frame());
    view->setHidden(attributes.isHidden());
    if (view->alpha() != attributes.alpha())
        view->setAlpha(attributes.alpha());
    guarded([&] { view->applyLayoutAttributes(attributes); });
}

void CollectionView::showView(
    CollectionReusableView* view, const CollectionViewLayoutAttributes& attributes)
{
    applyAttributes(view, attributes);
    // A supplementary view may be of a cell class too; only cells carry a selection.
    if (attributes.representedElementCategory() != CollectionViewLayoutAttributes::Category::Cell)
        return;
    if (auto* cell = qobject_cast<CollectionViewCell*>(view)) {
        cell->setHighlighted(false);
        cell->setSelected(m_selected.count(attributes.indexPath()) > 0);
        if (auto* d = delegate())
            guarded([&] { d->collectionViewWillDisplayCell(this, cell, attributes.indexPath()); });
    }
}

void CollectionView::hideShown(const Key& key, Shown& shown)
{
    if (!shown.view)
        return;
    QPointer<CollectionReusableView> view = shown.view;
    const bool isCell = key.category == CollectionViewLayoutAttributes::Category::Cell;
    if (auto* cell = qobject_cast<CollectionViewCell*>(view.data()); cell && isCell)
        if (auto* d = delegate())
            guarded([&] { d->collectionViewDidEndDisplayingCell(this, cell, key.path); });
    if (view)
        recycle(view, isCell ? CellKind : key.kind);
}

void CollectionView::recycle(CollectionReusableView* view, const QString& kind)
{
    Animation::cancel(view, "frame");
    Animation::cancel(view, "alpha");
    if (view->reuseIdentifier().isEmpty()) {
        // Made by the data source itself, not dequeued: nothing will ask for it again.
        view->removeFromSuperview();
        view->deleteLater();
        return;
    }
    // While the visible elements are brought up to date, a view going back to its queue
    // stays shown: most come straight out again for the elements scrolled in, and hiding
    // and showing a widget costs more than the rest of its reuse.
    if (m_deferredHideDepth > 0)
        m_hidesDeferred.append(view);
    else
        view->setHidden(true);
    m_queues[queueKey(kind, view->reuseIdentifier())].append(view);
}

void CollectionView::hideDeferred()
{
    if (m_hidesDeferred.isEmpty())
        return;
    std::set<const QWidget*> shown;
    for (const auto& [key, element] : m_shown)
        shown.insert(element.view);
    const auto views = std::exchange(m_hidesDeferred, {});
    for (const QPointer<CollectionReusableView>& view : views)
        if (view && !shown.count(view.data()))
            view->setHidden(true);
}

void CollectionView::updateVisibleElements()
{
    ++m_deferredHideDepth;
    auto done = qScopeGuard([this] {
        if (--m_deferredHideDepth == 0)
            hideDeferred();
    });
    const QList<CollectionViewLayoutAttributes> attributes = wantedAttributes();
    std::map<Key, const CollectionViewLayoutAttributes*> wanted;
    for (const auto& a : attributes)
        wanted.emplace(keyOf(a), &a);

    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (!it->second.view || !wanted.count(it->first)) {
            hideShown(it->first, it->second);
            it = m_shown.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [key, a] : wanted) {
        auto it = m_shown.find(key);
        if (it != m_shown.end()) {
            if (!(it->second.attributes == *a)) {
                if (it->second.attributes.zIndex() != a->zIndex())
                    m_stackDirty = true;
                applyAttributes(it->second.view, *a);
                it->second.attributes = *a;
            }
            continue;
        }
        CollectionReusableView* view = makeView(*a);
        if (!view)
            continue;
        m_shown[key] = Shown { view, *a };
        showView(view, *a);
        m_stackDirty = true;
    }
    if (m_stackDirty)
        restack();
}

void CollectionView::restack()
{
    m_stackDirty = false;
    std::vector<std::pair<CollectionViewLayoutAttributes, CollectionReusableView*>> order;
    order.reserve(m_shown.size());
    std::set<const QWidget*> managed;
    for (const auto& [key, shown] : m_shown) {
        if (!shown.view)
            continue;
        order.emplace_back(shown.attributes, shown.view);
        managed.insert(shown.view);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        if (a.first.zIndex() != b.first.zIndex())
            return a.first.zIndex() < b.first.zIndex();
        return a.first.representedElementCategory() < b.first.representedElementCategory();
    });
    // Restacking a widget makes Qt work out again what it covers: the longest run of views
    // already in order among their siblings stays where it is, those before it go under
    // it and those after it on top. Hidden siblings lying between them show nothing.
    const QObjectList& children = subviewContainer()->children();
    std::vector<qsizetype> places(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        places[i] = children.indexOf(order[i].second);
    size_t runStart = 0;
    size_t runEnd = 0;
    for (size_t from = 0; from < order.size();) {
        size_t to = from + 1;
        while (to < order.size() && places[to - 1] >= 0 && places[to] > places[to - 1])
            ++to;
        if (to - from > runEnd - runStart) {
            runStart = from;
            runEnd = to;
        }
        from = to;
    }
    for (size_t i = runStart; i-- > 0;)
        order[i].second->lower();
    for (size_t i = runEnd; i < order.size(); ++i)
        order[i].second->raise();
    // Views the layout does not place (a dragged snapshot, an overlay) stay in front.
    for (QObject* child : subviewContainer()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !managed.count(widget) && !widget->isHidden()
            && !qobject_cast<CollectionReusableView*>(widget))
            widget->raise();
    }
}

QList<CollectionViewCell*> CollectionView::visibleCells()
{
    bringUpToDate();
    QList<CollectionViewCell*> result;
    const QRectF visible = visibleRect();
    for (const auto& [key, shown] : m_shown)
        if (auto* cell = qobject_cast<CollectionViewCell*>(shown.view.data());
            cell && !cell->isHidden() && shown.attributes.frame().intersects(visible))
            result.append(cell);
    return result;
}

QList<IndexPath> CollectionView::indexPathsForVisibleItems()
{
    bringUpToDate();
    QList<IndexPath> result;
    const QRectF visible = visibleRect();
    for (const auto& [key, shown] : m_shown)
        if (key.category == CollectionViewLayoutAttributes::Category::Cell && shown.view
            && shown.attributes.frame().intersects(visible))
            result.append(key.path);
    return result;
}

CollectionViewCell* CollectionView::cellForItemAtIndexPath(const IndexPath& indexPath)
{
    bringUpToDate();
    auto it = m_shown.find(Key { CollectionViewLayoutAttributes::Category::Cell, {}, indexPath });
    if (it == m_shown.end())
        return nullptr;
    return qobject_cast<CollectionViewCell*>(it->second.view.data());
}

std::optional<IndexPath> CollectionView::indexPathForCell(const CollectionViewCell* cell)
{
    bringUpToDate();
    for (const auto& [key, shown] : m_shown)
        if (key.category == CollectionViewLayoutAttributes::Category::Cell && shown.view == cell)
            return key.path;
    return std::nullopt;
}

std::optional<IndexPath> CollectionView::indexPathForItemAtPoint(const QPointF& point)
{
    bringUpToDate();
    if (!m_layout)
        return std::nullopt;
    QList<CollectionViewLayoutAttributes> hits;
    guarded(
        [&] { hits = m_layout->layoutAttributesForElementsInRect(QRectF(point, QSizeF(1, 1))); });
    std::optional<CollectionViewLayoutAttributes> best;
    for (const auto& a : hits) {
        if (a.representedElementCategory() != CollectionViewLayoutAttributes::Category::Cell
            || !a.frame().contains(point))
            continue;
        if (!best || a.zIndex() >= best->zIndex())
            best = a;
    }
    if (!best)
        return std::nullopt;
    return best->indexPath();
}

CollectionReusableView* CollectionView::supplementaryViewForElementKind(
    const QString& kind, const IndexPath& indexPath)
{
    bringUpToDate();
    auto it = m_shown.find(
        Key { CollectionViewLayoutAttributes::Category::SupplementaryView, kind, indexPath });
    return it == m_shown.end() ? nullptr : it->second.view.data();
}

std::optional<CollectionViewLayoutAttributes> CollectionView::layoutAttributesForItemAtIndexPath(
    const IndexPath& indexPath)
{
    bringUpToDate();
    if (!m_layout)
        return std::nullopt;
    std::optional<CollectionViewLayoutAttributes> result;
    guarded([&] { result = m_layout->layoutAttributesForItemAtIndexPath(indexPath); });
    return result;
}

std::optional<CollectionViewLayoutAttributes>
CollectionView::layoutAttributesForSupplementaryElementOfKind(
    const QString& kind, const IndexPath& indexPath)
{
    bringUpToDate();
    if (!m_layout)
        return std::nullopt;
    std::optional<CollectionViewLayoutAttributes> result;
    guarded(
        [&] { result = m_layout->layoutAttributesForSupplementaryViewOfKind(kind, indexPath); });
    return result;
}

// Selection.

void CollectionView::setAllowsSelection(bool allows)
{
    m_allowsSelection = allows;
    if (!allows)
        selectItemAtIndexPath(std::nullopt, false, ScrollPositionNone);
}

void CollectionView::setAllowsMultipleSelection(bool allows)
{
    m_allowsMultipleSelection = allows;
    if (!allows && m_selected.size() > 1) {
        const IndexPath keep = *m_selected.begin();
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != keep)
                deselectItemAtIndexPath(p, false);
    }
}

QList<IndexPath> CollectionView::indexPathsForSelectedItems() const
{
    return QList<IndexPath>(m_selected.begin(), m_selected.end());
}

void CollectionView::setCellSelected(const IndexPath& path, bool selected, bool animated)
{
    auto it = m_shown.find(Key { CollectionViewLayoutAttributes::Category::Cell, {}, path });
    if (it == m_shown.end())
        return;
    auto* cell = qobject_cast<CollectionViewCell*>(it->second.view.data());
    if (!cell)
        return;
    if (animated)
        Animation::animate(SelectionDuration, 0, AnimationOptionAllowUserInteraction,
            [&] { cell->setSelected(selected); });
    else
        cell->setSelected(selected);
}

void CollectionView::selectItemAtIndexPath(
    const std::optional<IndexPath>& indexPath, bool animated, unsigned scrollPosition)
{
    if (!indexPath) {
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            deselectItemAtIndexPath(p, animated);
        return;
    }
    if (!m_allowsSelection || !isValid(*indexPath))
        return;
    if (!m_allowsMultipleSelection)
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != *indexPath)
                deselectItemAtIndexPath(p, animated);
    m_selected.insert(*indexPath);
    setCellSelected(*indexPath, true, animated);
    if (scrollPosition != ScrollPositionNone)
        scrollToItemAtIndexPath(*indexPath, scrollPosition, animated);
}

void CollectionView::deselectItemAtIndexPath(const IndexPath& indexPath, bool animated)
{
    if (!m_selected.erase(indexPath))
        return;
    setCellSelected(indexPath, false, animated);
}

QMarginsF CollectionView::adjustedContentInset() const
{
    // A strip of items that scrolls sideways has nothing below it to bring up.
    const auto* flow = qobject_cast<const FlowLayout*>(m_layout.data());
    if (flow && flow->scrollDirection() == FlowLayout::ScrollDirection::Horizontal)
        return contentInset();
    return insetClearOfHomeIndicator();
}

void CollectionView::scrollToItemAtIndexPath(
    const IndexPath& indexPath, unsigned scrollPosition, bool animated)
{
    const auto attributes = layoutAttributesForItemAtIndexPath(indexPath);
    if (!attributes)
        return;
    const QRectF f = attributes->frame();
    if (scrollPosition == ScrollPositionNone) {
        scrollRectToVisible(f, animated);
        return;
    }
    const QSizeF size = frame().size();
    const QMarginsF in = adjustedContentInset();
    QPointF offset = contentOffset();
    if (scrollPosition & ScrollPositionTop)
        offset.setY(f.top() - in.top());
    else if (scrollPosition & ScrollPositionCenteredVertically)
        offset.setY(f.center().y() - in.top() - (size.height() - in.top() - in.bottom()) / 2);
    else if (scrollPosition & ScrollPositionBottom)
        offset.setY(f.bottom() - size.height() + in.bottom());
    if (scrollPosition & ScrollPositionLeft)
        offset.setX(f.left() - in.left());
    else if (scrollPosition & ScrollPositionCenteredHorizontally)
        offset.setX(f.center().x() - in.left() - (size.width() - in.left() - in.right()) / 2);
    else if (scrollPosition & ScrollPositionRight)
        offset.setX(f.right() - size.width() + in.right());
    setContentOffset(clampedOffset(offset), animated);
}

void CollectionView::userSelect(const IndexPath& path)
{
    CollectionViewDelegate* d = delegate();
    if (m_allowsMultipleSelection && m_selected.count(path)) {
        userDeselect(path);
        return;
    }
    bool should = true;
    if (d)
        guarded([&] { should = d->collectionViewShouldSelectItemAtIndexPath(this, path); });
    if (!should)
        return;
    if (!m_allowsMultipleSelection)
        for (const IndexPath& p : std::set<IndexPath>(m_selected))
            if (p != path) {
                deselectItemAtIndexPath(p, true);
                if (auto* dd = delegate())
                    guarded([&] { dd->collectionViewDidDeselectItemAtIndexPath(this, p); });
            }
    selectItemAtIndexPath(path, true, ScrollPositionNone);
    if (auto* dd = delegate())
        guarded([&] { dd->collectionViewDidSelectItemAtIndexPath(this, path); });
}

void CollectionView::userDeselect(const IndexPath& path)
{
    bool should = true;
    if (auto* d = delegate())
        guarded([&] { should = d->collectionViewShouldDeselectItemAtIndexPath(this, path); });
    if (!should)
        return;
    deselectItemAtIndexPath(path, true);
    if (auto* d = delegate())
        guarded([&] { d->collectionViewDidDeselectItemAtIndexPath(this, path); });
}

void CollectionView::mousePressEvent(QMouseEvent* event)
{
    ScrollView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    event->accept();
    m_pressed.reset();
    if (!m_allowsSelection)
        return;
    const auto path = indexPathForItemAtPoint(event->position() + contentOffset());
    if (!path)
        return;
    bool should = true;
    if (auto* d = delegate())
        guarded([&] { should = d->collectionViewShouldHighlightItemAtIndexPath(this, *path); });
    if (!should)
        return;
    m_pressed = path;
    if (auto* cell = cellForItemAtIndexPath(*path))
        cell->setHighlighted(true);
    if (auto* d = delegate())
        guarded([&] { d->collectionViewDidHighlightItemAtIndexPath(this, *path); });
}

void CollectionView::mouseMoveEvent(QMouseEvent* event)
{
    ScrollView::mouseMoveEvent(event);
    event->accept();
    // Moving the content is not a tap.
    if (m_pressed && isDragging())
        releasePressed();
}

IndexPath CollectionView::releasePressed()
{
    const IndexPath path = *m_pressed;
    m_pressed.reset();
    if (auto* cell = cellForItemAtIndexPath(path))
        cell->setHighlighted(false);
    if (auto* d = delegate())
        guarded([&] { d->collectionViewDidUnhighlightItemAtIndexPath(this, path); });
    return path;
}

bool CollectionView::event(QEvent* event)
{
    if (event->type() == GestureRecognizer::touchCancelEventType()) {
        if (m_pressed)
            releasePressed();
        return true;
    }
    return ScrollView::event(event);
}

void CollectionView::mouseReleaseEvent(QMouseEvent* event)
{
    ScrollView::mouseReleaseEvent(event);
    event->accept();
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    const IndexPath path = releasePressed();
    // The release must land on the item pressed.
    if (indexPathForItemAtPoint(event->position() + contentOffset()) == path && isValid(path))
        userSelect(path);
}

// Batch updates.

void CollectionView::insertSections(const QList<int>& sections)
{
    performBatchUpdates([&] { m_batch->insertSections(sections); });
}

void CollectionView::deleteSections(const QList<int>& sections)
{
    performBatchUpdates([&] { m_batch->deleteSections(sections); });
}

void CollectionView::reloadSections(const QList<int>& sections)
{
    performBatchUpdates([&] { m_batch->reloadSections(sections); });
}

void CollectionView::insertItemsAtIndexPaths(const QList<IndexPath>& paths)
{
    performBatchUpdates([&] { m_batch->insertItems(paths); });
}

void CollectionView::deleteItemsAtIndexPaths(const QList<IndexPath>& paths)
{
    performBatchUpdates([&] { m_batch->deleteItems(paths); });
}

void CollectionView::reloadItemsAtIndexPaths(const QList<IndexPath>& paths)
{
    performBatchUpdates([&] { m_batch->reloadItems(paths); });
}

void CollectionView::moveItemAtIndexPath(const IndexPath& from, const IndexPath& to)
{
    performBatchUpdates([&] { m_batch->moveItem(from, to); });
}

void CollectionView::performBatchUpdates(
    const std::function<void()>& updates, Completion completion)
{
    if (m_batchDepth == 0) {
        bringUpToDate();
        ensureCounts();
        m_batch = std::make_unique<BatchUpdate>(m_counts);
        m_batchCompletions.clear();
    }
    if (completion)
        m_batchCompletions.push_back(std::move(completion));
    ++m_batchDepth;
    try {
        if (updates)
            updates();
    } catch (...) {
        if (--m_batchDepth == 0) {
            m_batch.reset();
            m_batchCompletions.clear();
            reloadData();
        }
        throw;
    }
    if (--m_batchDepth > 0)
        return;
    finishBatch(std::move(m_batchCompletions));
}

void CollectionView::finishBatch(std::vector<Completion> completions)
{
    std::unique_ptr<BatchUpdate> update = std::move(m_batch);
    m_countsValid = false;
    ensureCounts();
    QString error;
    if (!update->resolve(m_counts, &error)) {
        // Show what the data source holds now, then report the caller's mistake.
        reloadData();
        throw Exception(Exception::InternalInconsistency, error);
    }
    m_pressed.reset();

    std::set<IndexPath> selected;
    for (const IndexPath& p : m_selected)
        if (auto moved = update->newIndexPath(p))
            selected.insert(*moved);
    m_selected = std::move(selected);

    // What stays keeps its view under its new place; the rest leaves.
    struct Leaving {
        Key key;
        QPointer<CollectionReusableView> view;
        std::optional<CollectionViewLayoutAttributes> to;
    };
    std::vector<Leaving> leaving;
    std::map<Key, Shown> kept;
    for (auto& [key, shown] : m_shown) {
        if (!shown.view)
            continue;
        std::optional<Key> moved;
        if (key.category == CollectionViewLayoutAttributes::Category::Cell) {
            if (auto path = update->newIndexPath(key.path); path && !update->isReloaded(key.path))
                moved = Key { key.category, key.kind, *path };
        } else if (auto section = update->newSection(key.path.section());
                   section && !update->isSectionReloaded(key.path.section())) {
            moved = Key { key.category, key.kind, IndexPath(key.path.item(), *section) };
        }
        if (moved)
            kept.emplace(*moved, shown);
        else
            leaving.push_back(Leaving { key, shown.view, std::nullopt });
    }
    m_shown = std::move(kept);

    FlagScope scope(m_inLayout);
    if (m_layout) {
        m_layout->invalidateLayout();
        guarded([&] { m_layout->prepareIfNeeded(); });
        setContentSize(m_layout->collectionViewContentSize());
        keepOffsetInRange();
        m_layoutBounds = visibleRect();
        for (Leaving& l : leaving)
            if (l.key.category == CollectionViewLayoutAttributes::Category::Cell)
                guarded([&] {
                    l.to
                        = m_layout->finalLayoutAttributesForDisappearingItemAtIndexPath(l.key.path);
                });
    }
    const QList<CollectionViewLayoutAttributes> attributes = wantedAttributes();
    std::map<Key, CollectionViewLayoutAttributes> wanted;
    for (const auto& a : attributes)
        wanted.emplace(keyOf(a), a);

    // Kept views no longer in sight move to their new place, then go.
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        std::optional<CollectionViewLayoutAttributes> to;
        if (m_layout) {
            if (it->first.category == CollectionViewLayoutAttributes::Category::Cell)
                to = m_layout->layoutAttributesForItemAtIndexPath(it->first.path);
            else
                to = m_layout->layoutAttributesForSupplementaryViewOfKind(
                    it->first.kind, it->first.path);
        }
        if (to)
            to->setAlpha(it->second.view->alpha());
        leaving.push_back(Leaving { it->first, it->second.view, to });
        it = m_shown.erase(it);
    }
    // New views start where the layout says an appearing item starts, outside the
    // animation; items only shifted into sight start at their place.
    for (const auto& [key, a] : wanted) {
        if (m_shown.count(key))
            continue;
        CollectionReusableView* view = makeView(a);
        if (!view)
            continue;
        CollectionViewLayoutAttributes start = a;
        const bool appearing = key.category == CollectionViewLayoutAttributes::Category::Cell
            ? !update->oldIndexPath(key.path).has_value()
            : !update->oldSection(key.path.section()).has_value()
                || update->isSectionReloaded(*update->oldSection(key.path.section()));
        if (appearing) {
            std::optional<CollectionViewLayoutAttributes> initial;
            if (m_layout && key.category == CollectionViewLayoutAttributes::Category::Cell)
                // An init-capture: clang before 16 cannot capture a structured binding.
                guarded([&, &path = key.path] {
                    initial = m_layout->initialLayoutAttributesForAppearingItemAtIndexPath(path);
                });
            if (initial)
                start = *initial;
            else
                start.setAlpha(0);
        }
        showView(view, start);
        m_shown[key] = Shown { view, a };
        m_stackDirty = true;
    }
    for (const Leaving& l : leaving)
        if (l.view)
            m_leaving.append(l.view);

    QPointer<CollectionView> self(this);
    Animation::animate(
        UpdateDuration, 0, AnimationOptionCurveEaseInOut | AnimationOptionAllowUserInteraction,
        [&] {
            for (auto& [key, shown] : m_shown)
                if (shown.view)
                    applyAttributes(shown.view, shown.attributes);
            for (const Leaving& l : leaving) {
                if (!l.view)
                    continue;
                if (l.to) {
                    l.view->setFrame(l.to->frame());
                    l.view->setAlpha(l.to->alpha());
                } else {
                    l.view->setAlpha(0);
                }
            }
        },
        [self, leaving, completions](bool finished) {
            if (self) {
                for (const Leaving& l : leaving) {
                    if (!l.view)
                        continue;
                    self->m_leaving.removeAll(l.view);
                    Shown shown { l.view, {} };
                    self->hideShown(l.key, shown);
                }
                self->m_needsUpdate = true;
                self->setNeedsLayout();
            }
            for (const auto& completion : completions)
                if (completion)
                    completion(finished);
        });
    if (m_stackDirty)
        restack();
    m_needsUpdate = false;
}

} // namespace platform::ui
