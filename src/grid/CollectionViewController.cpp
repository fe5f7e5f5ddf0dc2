#include "grid/CollectionViewController.h"

#include "grid/BaseDataController.h"
#include "grid/ClassRegistry.h"
#include "grid/GridData.h"
#include "grid/ResponseTable.h"
#include "grid/RowViewContoller.h"
#include "grid/ScreenData.h"
#include "platform/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/UIImage_Theme.h"

const QString CollectionViewController::CellIdentifier = QStringLiteral("CELL_CONTENT");
const QString CollectionViewController::HeaderIdentifier = QStringLiteral("CELL_HEADER");

namespace {

const char* const ColumnsRowViewClass = "ColumnsRowViewController";
constexpr quint32 SearchButton = 7;
constexpr int RefreshSelectionDelayMs = 100;
constexpr double SelectionShadowOpacity = 0.7;

template<class Callable> void showingExceptions(Callable&& callable)
{
    try {
        callable();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

} // namespace

CollectionViewController::CollectionViewController(QObject* parent)
    : BaseViewController(parent)
{
}

CollectionViewController::~CollectionViewController()
{
    // The view and its cells may outlive this controller briefly (deleted later): they
    // must not call back into it.
    if (m_collectionView) {
        m_collectionView->setDataSource(nullptr);
        m_collectionView->setDelegate(nullptr);
    }
    if (m_searchBar)
        m_searchBar->setDelegate(nullptr);
}

void CollectionViewController::initProperties()
{
    BaseViewController::initProperties();
    const auto record = screen();
    makeRowView(record ? record->rowView : QString());
}

void CollectionViewController::makeRowView(const QString& rowViewClass)
{
    m_rowViewObject = ClassRegistry::create(rowViewClass);
    m_rowView = dynamic_cast<RowViewContollerProtocol*>(m_rowViewObject.get());
    if (!m_rowView)
        m_rowViewObject.reset();
    if (auto* base = dynamic_cast<RowViewContoller*>(m_rowViewObject.get()))
        base->initWithParent(this);
    m_itemSize.reset();
}

void CollectionViewController::loadView()
{
    BaseViewController::loadView();
    showingExceptions([&] {
        platform::ui::View* root = view();
        auto* bar = new platform::ui::SearchBar(
            QRectF(0, 0, root->bounds().width(), platform::ui::SearchBar::Height));
        bar->setAutoresizingMask(platform::ui::AutoresizingFlexibleWidth);
        bar->setDelegate(this);
        bar->setPlaceholder(LocalizedStrings::Search());
        root->addSubview(bar);
        m_searchBar = bar;
        const auto record = screen();
        if (DeviceHelper::isIPHONE() && record && record->topButtonBits
            && record->topButtonBits->getBit(SearchButton))
            bar->setHidden(true);
        setRefresh(true);
        createGrid();
        if (record && record->searchbarBookmark) {
            bar->setShowsBookmarkButton(true);
            const auto controller = dataController();
            const QStringList images
                = controller ? controller->searchbarBookmarkImage() : QStringList();
            if (images.size() >= 2) {
                bar->setImageForSearchBarIcon(UIImage_Theme::themedimageNamed(images[0]),
                    platform::ui::SearchBar::Icon::Bookmark, platform::ui::ControlStateNormal);
                bar->setImageForSearchBarIcon(UIImage_Theme::themedimageNamed(images[1]),
                    platform::ui::SearchBar::Icon::Bookmark, platform::ui::ControlStateSelected);
            }
        }
    });
}

void CollectionViewController::viewDidLayoutSubviews()
{
    BaseViewController::viewDidLayoutSubviews();
    const QRectF frame = gridviewContentSize();
    // The search bar's field and Cancel keep clear of a notch as the grid does.
    if (m_searchBar)
        m_searchBar->setContentInsets(
            QMarginsF(frame.left(), 0, std::max(0.0, view()->bounds().width() - frame.right()), 0));
    if (!m_collectionView)
        return;
    if (m_collectionView->frame() != frame)
        m_collectionView->setFrame(frame);
    // The tiles are sized and drawn for the width, and a column table's columns measured
    // for it: a new width measures and draws them again.
    if (m_reloadedWidth >= 0 && m_collectionView->frame().width() != m_reloadedWidth) {
        clearHeaders();
        refreshGrid();
    }
}

void CollectionViewController::customViewWillAppear()
{
    BaseViewController::customViewWillAppear();
    showingExceptions([&] {
        const int current = DeviceHelper::getCurrentOrientation();
        if (orientation() != current) {
            clearHeaders();
            refreshGrid();
            setOrientation(current);
        }
        localLoadData(true);
    });
}

void CollectionViewController::localLoadData(bool runAfterLoad)
{
    if (!refresh())
        return;
    loadData();
    const auto controller = dataController();
    if (runAfterLoad && !(controller && controller->isAsyncLoad()))
        afterLoad();
}

void CollectionViewController::loadData()
{
}

void CollectionViewController::refreshView()
{
    BaseViewController::refreshView();
    localLoadData(true);
}

void CollectionViewController::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    if (m_searchBar)
        m_searchBar->resignFirstResponder();
}

void CollectionViewController::orientationChanged()
{
    BaseViewController::orientationChanged();
    showingExceptions([&] {
        clearHeaders();
        refreshGrid();
    });
}

void CollectionViewController::setBackGround()
{
    BaseViewController::setBackGround();
    Theme* style = currentStyle();
    if (!m_collectionView || !style)
        return;
    const Color back = style->BackColor();
    if (!back.patternImage().isNull()) {
        m_collectionView->setBackgroundColor(QColor());
        m_collectionView->setBackgroundPattern(platform::ui::Image(back.patternImage(), 2.0));
    } else {
        m_collectionView->setBackgroundPattern({});
        m_collectionView->setBackgroundColor(back.toQColor());
    }
}

std::shared_ptr<GridData> CollectionViewController::getGridData(qint64)
{
    return nullptr;
}

void CollectionViewController::tapOnDisclosure(qint64)
{
}

void CollectionViewController::tapOnItem(qint64)
{
}

int CollectionViewController::collectionViewNumberOfItemsInSection(
    platform::ui::CollectionView*, int)
{
    const auto controller = dataController();
    return controller ? int(controller->count()) : 0;
}

QSizeF CollectionViewController::itemSize(qint64 index, bool reuse)
{
    if (!m_rowView)
        return {};
    if (m_rowView->respondsToGetRowSizeForIndex())
        return m_rowView->getRowSizeForIndex(index);
    // Every item has the row view's one size: worked out once per pass over the items.
    if (!reuse || !m_itemSize)
        m_itemSize = m_rowView->getRowSize();
    return *m_itemSize;
}

QSizeF CollectionViewController::collectionViewSizeForItemAtIndexPath(platform::ui::CollectionView*,
    platform::ui::CollectionViewLayout*, const platform::ui::IndexPath& indexPath)
{
    QSizeF size;
    showingExceptions([&] { size = itemSize(indexPath.item(), indexPath.item() != 0); });
    return size;
}

platform::ui::CollectionViewCell* CollectionViewController::collectionViewCellForItemAtIndexPath(
    platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath)
{
    platform::ui::CollectionViewCell* cell = nullptr;
    showingExceptions([&] {
        cell = view->dequeueReusableCellWithReuseIdentifier(CellIdentifier, indexPath);
        const qint64 row = indexPath.item();
        if (m_rowView)
            m_rowView->createRow(cell->contentView(), row, itemSize(row, true));
        if (row == m_selectedRow) {
            if (Theme* style = currentStyle())
                cell->contentView()->setBackgroundColor(style->RowHighLightColor().toQColor());
        }
        addSwipes(cell);
        schedulePrefetch();
    });
    return cell;
}

void CollectionViewController::schedulePrefetch()
{
    if (m_prefetchPending)
        return;
    m_prefetchPending = true;
    // After the frame: the rows ahead are read between frames, not inside one.
    QPointer<CollectionViewController> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self)
                return;
            self->m_prefetchPending = false;
            self->prefetchAhead();
        },
        Qt::QueuedConnection);
}

void CollectionViewController::prefetchAhead()
{
    const auto controller = dataController();
    platform::ui::CollectionView* view = m_collectionView.data();
    if (!controller || !view || view->isHidden())
        return;
    qint64 first = -1;
    qint64 last = -1;
    for (const platform::ui::IndexPath& path : view->indexPathsForVisibleItems()) {
        if (path.section() != 0)
            continue;
        first = first < 0 ? path.item() : std::min(first, qint64(path.item()));
        last = std::max(last, qint64(path.item()));
    }
    const qint64 count = view->numberOfItemsInSection(0);
    if (first < 0 || count <= 0)
        return;
    const bool up = m_prefetchedFrom >= 0 && first < m_prefetchedFrom;
    m_prefetchedFrom = first;
    // A screen and a half: the lines just beyond the next screen are made with it.
    const qint64 span = (last - first + 1) * 3 / 2;
    const qint64 from = up ? std::max<qint64>(0, first - span) : last + 1;
    const qint64 to = up ? first : std::min(count, last + 1 + span);
    if (to > from)
        controller->prefetchRows(from, to - from);
}

void CollectionViewController::addSwipes(platform::ui::CollectionViewCell* cell)
{
    // Once per cell: a reused cell keeps the recognisers it was given. Looked for among
    // its few children, as a property lookup costs more for every tile scrolled in.
    if (!cell)
        return;
    for (const QObject* child : cell->children()) {
        const auto* swipe = qobject_cast<const platform::ui::SwipeGestureRecognizer*>(child);
        if (swipe && swipe->delegate() == this)
            return;
    }
    QPointer<CollectionViewController> self(this);
    auto* left = new platform::ui::SwipeGestureRecognizer([self](platform::ui::GestureRecognizer*) {
        if (self)
            self->leftSwipeHandle();
    });
    left->setDirection(platform::ui::SwipeGestureRecognizer::Left);
    left->setDelegate(this);
    cell->addGestureRecognizer(left);
    auto* right
        = new platform::ui::SwipeGestureRecognizer([self](platform::ui::GestureRecognizer*) {
              if (self)
                  self->rightSwipeHandle();
          });
    right->setDirection(platform::ui::SwipeGestureRecognizer::Right);
    right->setDelegate(this);
    cell->addGestureRecognizer(right);
}

bool CollectionViewController::gestureRecognizerShouldBegin(platform::ui::GestureRecognizer*)
{
    const auto* rowView = dynamic_cast<RowViewContoller*>(m_rowViewObject.get());
    return rowView && rowView->tilesButtons() != 0;
}

platform::ui::CollectionReusableView*
CollectionViewController::collectionViewViewForSupplementaryElementOfKind(
    platform::ui::CollectionView* view, const QString& kind,
    const platform::ui::IndexPath& indexPath)
{
    platform::ui::CollectionReusableView* header = nullptr;
    showingExceptions([&] {
        header = view->dequeueReusableSupplementaryViewOfKind(kind, HeaderIdentifier, indexPath);
        if (Theme* style = currentStyle())
            header->setBackgroundColor(style->toolbarColor().toQColor());
        if (m_rowView)
            m_rowView->CreateHeader(header);
    });
    return header;
}

void CollectionViewController::collectionViewDidSelectItemAtIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath& indexPath)
{
    showingExceptions([&] { selectRow(indexPath.item()); });
}

void CollectionViewController::collectionViewDidDeselectItemAtIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath& indexPath)
{
    showingExceptions([&] { unselectRow(indexPath.item()); });
}

bool CollectionViewController::collectionViewCanMoveItemAtIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath&)
{
    const auto controller = dataController();
    return !(controller && controller->isSearchActive());
}

void CollectionViewController::collectionViewItemAtIndexPathWillMoveToIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath& from,
    const platform::ui::IndexPath& to)
{
    showingExceptions([&] {
        if (m_rowView && m_rowView->respondsToMoveItem())
            m_rowView->WillMoveItemFromIndex(from.item(), to.item());
    });
}

void CollectionViewController::collectionViewItemAtIndexPathDidMoveToIndexPath(
    platform::ui::CollectionView*, const platform::ui::IndexPath& from,
    const platform::ui::IndexPath& to)
{
    showingExceptions([&] {
        if (m_rowView && m_rowView->respondsToMoveItem())
            m_rowView->DidMoveItemFromIndex(from.item(), to.item());
    });
}

bool CollectionViewController::searchBarShouldBeginEditing(platform::ui::SearchBar* bar)
{
    bar->setShowsCancelButton(true, true);
    return true;
}

bool CollectionViewController::searchBarShouldEndEditing(platform::ui::SearchBar* bar)
{
    // A search still under way keeps its Cancel, the one way back to all rows.
    if (bar->text().isEmpty())
        bar->setShowsCancelButton(false, true);
    return true;
}

void CollectionViewController::searchBarTextDidChange(platform::ui::SearchBar*, const QString& text)
{
    showingExceptions([&] {
        const auto controller = dataController();
        if (!controller)
            return;
        if (!text.isEmpty()) {
            m_selectedRow = -1;
            controller->searchData(text);
        } else {
            // The selected match is found again among all rows; another row that now has
            // its index must not be taken for it.
            m_selectedRow = controller->isSearchActive() ? controller->endSearch(m_selectedRow)
                                                         : m_selectedRow;
            refreshGrid();
        }
    });
}

void CollectionViewController::searchBarCancelButtonClicked(platform::ui::SearchBar* bar)
{
    bar->setText(QString());
    bar->setShowsCancelButton(false, true);
    bar->resignFirstResponder();
    searchBarTextDidChange(bar, QString());
}

void CollectionViewController::searchBarSearchButtonClicked(platform::ui::SearchBar* bar)
{
    bar->resignFirstResponder();
}

void CollectionViewController::searchBarBookmarkButtonClicked(platform::ui::SearchBar*)
{
    if (const auto controller = dataController())
        controller->searchBarBookmarkClicked();
}

void CollectionViewController::selectRow(qint64 index)
{
    const auto controller = dataController();
    if (index == -1 || !controller || controller->activeRows().isEmpty() || !m_collectionView)
        return;
    m_selectedRow = index;
    bool needsSelecting = true;
    const QList<platform::ui::IndexPath> selected = m_collectionView->indexPathsForSelectedItems();
    if (!selected.isEmpty()) {
        if (selected.first().item() != index)
            unselectRow(selected.first().item());
        else
            needsSelecting = false;
    }
    if (index >= controller->count()) {
        m_selectedRow = -1;
        return;
    }
    if (needsSelecting)
        m_collectionView->selectItemAtIndexPath(platform::ui::IndexPath(int(index), 0), true,
            platform::ui::CollectionView::ScrollPositionNone);
    if (Theme* style = currentStyle())
        animateRow(index, style->RowHighLightColor().toQColor());
    if (m_selectedRow >= 0)
        tapOnItem(m_selectedRow);
}

void CollectionViewController::unselectRow(qint64 index)
{
    if (index == -1 || !m_rowView)
        return;
    animateRow(index, m_rowView->rowbackColor(index));
}

void CollectionViewController::animateRow(qint64 index, const QColor& color)
{
    if (!m_collectionView)
        return;
    platform::ui::CollectionViewCell* cell
        = m_collectionView->cellForItemAtIndexPath(platform::ui::IndexPath(int(index), 0));
    if (!cell)
        return;
    // The flash to the animation colour and the settling on the final colour run together;
    // what stays is the final colour without a shadow.
    QPointer<platform::ui::View> content(cell->contentView());
    Theme* style = currentStyle();
    const QColor flash = style ? style->AnimateColor().toQColor() : color;
    content->layer()->setShadowOpacity(SelectionShadowOpacity);
    content->setBackgroundColor(flash);
    platform::ui::Animation::animate(
        AnimationDuration, 0, platform::ui::AnimationOptionAllowUserInteraction, [content, color] {
            if (!content)
                return;
            content->setBackgroundColor(color);
            content->layer()->setShadowOpacity(0);
        });
}

void CollectionViewController::internalSelectRow()
{
    selectRow(m_selectedRow);
}

void CollectionViewController::refreshGrid()
{
    const auto controller = dataController();
    if (auto* base = dynamic_cast<RowViewContoller*>(m_rowViewObject.get()))
        base->setTilesButtons(controller ? controller->tilesButtons() : 0);
    if (!m_collectionView)
        return;
    if (DeviceHelper::isIPHONENOTCH())
        m_collectionView->setFrame(gridviewContentSize());
    m_itemSize.reset();
    m_reloadedWidth = m_collectionView->frame().width();
    m_collectionView->reloadData();
    if (controller && controller->count() > 0 && m_selectedRow >= 0) {
        QPointer<CollectionViewController> self(this);
        platform::dispatch::afterMain(RefreshSelectionDelayMs, [self] {
            if (self)
                showingExceptions([&] { self->internalSelectRow(); });
        });
    }
}

void CollectionViewController::afterLoad()
{
    const auto controller = dataController();
    const qint64 count = controller ? controller->count() : 0;
    if (controller) {
        const unsigned last = controller->lastClickedButton();
        if (last == BaseDataController::AddAction)
            m_selectedRow = count - 1;
        else if (last == BaseDataController::RemoveAction)
            m_selectedRow = -1;
    }
    if (m_selectedRow >= count || count == 0)
        m_selectedRow = -1;
    clearHeaders();
    refreshGrid();
    if (controller)
        controller->setLastClickedButton(0);
    setRefresh(false);
    displayPageNumber();
}

void CollectionViewController::createGrid()
{
    if (m_collectionView) {
        clearHeaders();
        return;
    }
    m_selectedRow = -1;
    platform::ui::CollectionViewLayout* layout
        = m_rowView ? m_rowView->collectionViewLayout() : nullptr;
    auto* grid = new platform::ui::CollectionView(
        gridviewContentSize(), layout ? layout : new platform::ui::FlowLayout());
    grid->setDelegate(this);
    grid->setDataSource(this);
    grid->registerClassForCellWithReuseIdentifier<platform::ui::CollectionViewCell>(CellIdentifier);
    if (m_rowViewObject && m_rowViewObject->inherits(ColumnsRowViewClass))
        grid->registerClassForSupplementaryViewOfKind<platform::ui::CollectionViewCell>(
            platform::ui::CollectionView::ElementKindSectionHeader, HeaderIdentifier);
    grid->setAutoresizingMask(
        platform::ui::AutoresizingFlexibleWidth | platform::ui::AutoresizingFlexibleHeight);
    view()->addSubview(grid);
    m_collectionView = grid;
    setBackGround();
}

void CollectionViewController::changeRowViewController(const QString& rowViewClass)
{
    const qint64 selected = m_selectedRow;
    if (m_collectionView) {
        platform::ui::CollectionView* old = m_collectionView.data();
        m_collectionView = nullptr;
        old->setDataSource(nullptr);
        old->setDelegate(nullptr);
        old->removeFromSuperview();
        old->deleteLater();
    }
    makeRowView(rowViewClass);
    createGrid();
    m_selectedRow = selected;
    refreshGrid();
}

void CollectionViewController::clearHeaders()
{
    if (m_rowView)
        m_rowView->clear();
}

void CollectionViewController::showHideSearchBar()
{
    if (!m_searchBar)
        return;
    m_searchBar->setHidden(!m_searchBar->isHidden());
    if (m_collectionView)
        m_collectionView->setFrame(gridviewContentSize());
    // Opened, the bar takes the keys at once; closed, it gives them back, and a search
    // typed in it ends as Cancel ends it: no rows stay filtered by a bar no one sees.
    const auto controller = dataController();
    if (!m_searchBar->isHidden())
        m_searchBar->becomeFirstResponder();
    else if (!m_searchBar->text().isEmpty() || (controller && controller->isSearchActive()))
        searchBarCancelButtonClicked(m_searchBar);
    else if (m_searchBar->isFirstResponder())
        m_searchBar->resignFirstResponder();
}

QRectF CollectionViewController::gridviewContentSize()
{
    const QRectF bounds = isViewLoaded() ? view()->bounds() : QRectF();
    const double searchHeight
        = m_searchBar && !m_searchBar->isHidden() ? m_searchBar->frame().height() : 0.0;
    // The grid keeps clear of a notch on either side. Measured where the screen stays, not
    // where it slides in from: a screen pushed is laid out while still beside the window.
    QMarginsF safe;
    if (isViewLoaded()) {
        const QWidget* place = view()->parentWidget() ? view()->parentWidget() : view();
        safe = platform::ui::SafeArea::horizontalOverlap(place);
    }
    return QRectF(safe.left(), bounds.y() + searchHeight,
        std::max(0.0, bounds.width() - safe.left() - safe.right()),
        std::max(0.0, bounds.height() - searchHeight));
}

void CollectionViewController::displayPageNumber()
{
    const auto record = screen();
    const auto controller = dataController();
    if (!record || !controller || record->topButtonBits || !record->buttonBits
        || !record->buttonBits->getBit(SearchButton))
        return;
    // Only desktop-server tables have pages. A screen whose table went drops the page
    // picker it showed, but no other right button (a table picker sits there too).
    const auto table = controller->table();
    if (!table) {
        if (m_pagePicker) {
            platform::ui::BarButtonItem* item = navigationItem()->rightBarButtonItem();
            if (item && item->customView() == m_pagePicker)
                navigationItem()->setRightBarButtonItem(nullptr);
            delete m_pagePicker.data();
        }
        return;
    }
    if (table->TotalPages == 0) {
        navigationItem()->setRightBarButtonItem(nullptr);
        delete m_pagePicker.data();
        return;
    }
    if (!m_pagePicker) {
        Theme* style = currentStyle() ? currentStyle() : Theme::current();
        auto* picker = new HorizontalPickerView(QRectF(0, 0, 60, 25));
        picker->setItemFont(style->subbuttonTitleFont());
        picker->setItemColor(style->buttonTitleColor().toQColor());
        picker->setShowGlass(true);
        picker->setDelegate(controller.get());
        picker->setDataSource(controller.get());
        m_pagePicker = picker;
        navigationItem()->setRightBarButtonItem(new platform::ui::BarButtonItem(picker, this));
    }
    m_pagePicker->reloadData();
    m_pagePicker->setSelectedItem(int(table->CurrentPage) - 1);
}

void CollectionViewController::leftSwipeHandle()
{
    auto* rowView = dynamic_cast<RowViewContoller*>(m_rowViewObject.get());
    if (!rowView || rowView->tilesButtons() == 0 || rowView->editing())
        return;
    rowView->setEditing(true);
    refreshGrid();
}

void CollectionViewController::rightSwipeHandle()
{
    auto* rowView = dynamic_cast<RowViewContoller*>(m_rowViewObject.get());
    if (!rowView || !rowView->editing())
        return;
    rowView->setEditing(false);
    refreshGrid();
}

platform::ui::View* CollectionViewController::viewForButton(int number)
{
    for (platform::ui::BarButtonItem* item : toolbarItems())
        if (item && item->tag() == number)
            return item->view();
    return nullptr;
}
