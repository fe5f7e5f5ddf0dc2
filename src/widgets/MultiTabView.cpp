#include "widgets/MultiTabView.h"

#include "platform/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/FlowLayout.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MultiTabProtocol.h"
#include "widgets/TabPage.h"

using namespace platform::ui;

const QString MultiTabView::CellIdentifier = QStringLiteral("cvCell");

namespace {

// The property of a close button that holds its tab.
const char* const kExtraData = "extraData";

FlowLayout* stripLayout()
{
    auto* layout = new FlowLayout();
    layout->setScrollDirection(FlowLayout::ScrollDirection::Horizontal);
    layout->setSectionInset(QMarginsF(0, 0, 0, 0));
    layout->setMinimumInteritemSpacing(0);
    layout->setMinimumLineSpacing(0);
    return layout;
}

struct StripColors {
    QColor toolbar = QColor(40, 90, 160);
    QColor dimmed = QColor(30, 65, 120);
    QColor label = Qt::white;
    QColor buttonTitle = Qt::white;
    QFont font = Font::named("HelveticaNeue-Medium", 17);
};

StripColors stripColors()
{
    StripColors colors;
    if (const Theme* style = Theme::current()) {
        colors.toolbar = style->toolbarColor().toQColor();
        colors.dimmed = style->dimmedToolbarColor().toQColor();
        colors.label = style->labelColor().toQColor();
        colors.buttonTitle = style->buttonTitleColor().toQColor();
        colors.font = style->MetroRowLabelFont();
    }
    return colors;
}

} // namespace

MultiTabView::MultiTabView(ViewController* parentController, const QPointF& position,
    bool displayAddButton, bool stickyFirstTab)
    : CollectionView(QRectF(), stripLayout())
    , m_parentController(parentController)
    , m_addButton(displayAddButton)
    , m_sticky1Tab(stickyFirstTab)
    , m_originalPosition(position)
{
    const StripColors colors = stripColors();
    setFrame(stripFrame());
    setBackgroundColor(colors.toolbar);
    setAutoresizingMask(AutoresizingFlexibleWidth);
    registerClassForCellWithReuseIdentifier<CollectionViewCell>(CellIdentifier);
    setDataSource(this);
    setDelegate(this);
    View* host = hostView();
    if (host)
        host->addSubview(this);
    if (m_addButton) {
        const QPointF safe = DeviceHelper::safeArea();
        const double width = host ? host->bounds().width() : 0;
        auto* button = new Button(
            QRectF(width - Height - safe.x(), position.y() + safe.y(), Height, Height));
        button->setImage(Image::maskNamed(QStringLiteral("addtab"), colors.buttonTitle));
        button->setTag(AddButtonTag);
        button->setBackgroundColor(colors.toolbar);
        button->setAutoresizingMask(
            AutoresizingFlexibleLeftMargin | AutoresizingFlexibleBottomMargin);
        QPointer<MultiTabView> self(this);
        button->addTarget(
            [self](Control*) {
                if (self)
                    self->newTab();
            },
            ControlEventTouchUpInside);
        if (host)
            host->addSubview(button);
        m_addImageButton = button;
    }
    showHideMe();
}

MultiTabView::MultiTabView(ViewController* parentController)
    : MultiTabView(parentController, QPointF(0, 0), true, true)
{
}

MultiTabView::~MultiTabView()
{
    if (m_addImageButton && m_addImageButton->parentWidget())
        m_addImageButton->deleteLater();
}

MultiTabProtocol* MultiTabView::host() const
{
    return dynamic_cast<MultiTabProtocol*>(m_parentController.data());
}

View* MultiTabView::hostView() const
{
    return m_parentController ? m_parentController->view() : nullptr;
}

QList<TabPage*> MultiTabView::tabPages() const
{
    QList<TabPage*> pages;
    for (const QPointer<TabPage>& page : m_tabPages)
        if (page)
            pages << page;
    return pages;
}

QRectF MultiTabView::stripFrame() const
{
    const QPointF safe = DeviceHelper::safeArea();
    View* host = hostView();
    const double width = host ? host->bounds().width() : 0;
    const float stripWidth = float((m_addButton ? width - Height : width) - safe.x());
    return QRectF(m_originalPosition.x() + safe.x(), m_originalPosition.y() + safe.y(),
        double(stripWidth), Height);
}

QRectF MultiTabView::contentFrame() const
{
    const QPointF safe = DeviceHelper::safeArea();
    View* host = hostView();
    const QSizeF size = host ? host->bounds().size() : QSizeF();
    const double top = frame().y() + frame().height();
    return QRectF(
        safe.x() + m_originalPosition.x(), top, size.width() - safe.x(), size.height() - top);
}

QSizeF MultiTabView::tabSize() const
{
    const int count = int(m_tabPages.size());
    const float width = count > 0 ? float(frame().width()) / float(count) : 0.0f;
    return QSizeF(std::max(double(width), MinimumTabWidth), Height);
}

void MultiTabView::renumber()
{
    for (int i = 0; i < m_tabPages.size(); ++i)
        if (m_tabPages[i])
            m_tabPages[i]->setIndex(i);
}

void MultiTabView::showHideMe()
{
    setHidden(m_tabPages.isEmpty());
}

void MultiTabView::addPage(ViewController* controller, const QString& title)
{
    if (!controller)
        return;
    const QString name = title.isEmpty() ? LocalizedStrings::New() : title;
    controller->view()->setFrame(contentFrame());
    auto* tab = new TabPage(controller, name, int(m_tabPages.size()), this);
    m_tabPages << tab;
    renumber();
    showHideMe();
    reloadData();
    selectLater(tab, AddDelayMs);
}

void MultiTabView::selectLater(TabPage* tab, int milliseconds)
{
    QPointer<MultiTabView> self(this);
    QPointer<TabPage> target(tab);
    platform::dispatch::afterMain(milliseconds, [self, target] {
        if (!self || !target || !self->m_tabPages.contains(target))
            return;
        self->selectTab(IndexPath(target->index(), 0));
    });
}

void MultiTabView::applyColors(int index, bool shown)
{
    CollectionViewCell* cell = cellForItemAtIndexPath(IndexPath(index, 0));
    if (!cell)
        return;
    const StripColors colors = stripColors();
    cell->setBackgroundColor(shown ? colors.toolbar : colors.dimmed);
    if (auto* label = qobject_cast<Label*>(cell->viewWithTag(LabelTag)))
        label->setTextColor(shown ? colors.label : colors.toolbar);
}

void MultiTabView::removeCurrentPage()
{
    if (m_currentPage && m_currentPage->isViewLoaded()) {
        View* page = m_currentPage->view();
        if (page->parentWidget() == hostView()) {
            page->setParent(nullptr);
            page->hide();
        }
    }
    m_currentPage = nullptr;
    m_tabPage = nullptr;
}

void MultiTabView::loadPage(int index)
{
    if (index < 0 || index >= m_tabPages.size() || !m_tabPages[index])
        return;
    if (m_currentPage || m_tabPage) {
        const int previous = m_currentIndex;
        removeCurrentPage();
        applyColors(previous, false);
    }
    TabPage* tab = m_tabPages[index];
    m_currentPage = tab->tabpageController();
    if (m_currentPage && hostView()) {
        View* page = m_currentPage->view();
        page->setFrame(contentFrame());
        hostView()->addSubview(page);
        page->show();
    }
    m_currentIndex = index;
    applyColors(index, true);
    m_tabPage = tab;
    if (MultiTabProtocol* listener = host())
        listener->tabSelected(tab);
}

void MultiTabView::selectTab(const IndexPath& indexPath)
{
    selectItemAtIndexPath(indexPath, true, ScrollPositionNone);
    loadPage(indexPath.item());
}

void MultiTabView::selectLastTab()
{
    if (!m_tabPages.isEmpty())
        selectTab(IndexPath(int(m_tabPages.size()) - 1, 0));
}

void MultiTabView::deletePage(int index)
{
    if (index < 0 || index >= m_tabPages.size())
        return;
    if (m_sticky1Tab && m_tabPages.size() <= 1)
        return;
    QPointer<TabPage> tab = m_tabPages[index];
    if (MultiTabProtocol* listener = host())
        listener->tabClosed(tab);
    const bool wasShown = tab && tab == m_tabPage;
    m_tabPages.removeAt(index);
    renumber();
    int next = 0;
    if (!wasShown) {
        next = m_tabPage ? int(m_tabPages.indexOf(m_tabPage)) : 0;
    } else {
        next = index > 0 ? index - 1 : 0;
        removeCurrentPage();
    }
    if (tab)
        tab->deleteLater();
    showHideMe();
    reloadData();
    if (!m_tabPages.isEmpty())
        selectLater(m_tabPages.value(std::max(0, next)), DeleteDelayMs);
    else
        removeCurrentPage();
}

void MultiTabView::resetTabs()
{
    removeCurrentPage();
    for (const QPointer<TabPage>& tab : std::as_const(m_tabPages))
        if (tab)
            tab->deleteLater();
    m_tabPages.clear();
    reloadData();
    showHideMe();
}

void MultiTabView::refreshTitle()
{
    if (!m_tabPage)
        return;
    CollectionViewCell* cell = cellForItemAtIndexPath(IndexPath(m_tabPage->index(), 0));
    if (auto* label = cell ? qobject_cast<Label*>(cell->viewWithTag(LabelTag)) : nullptr)
        label->setText(m_tabPage->title());
}

void MultiTabView::resetContentFrame()
{
    setFrame(stripFrame());
    if (m_addImageButton && hostView()) {
        const QPointF safe = DeviceHelper::safeArea();
        m_addImageButton->setFrame(QRectF(hostView()->bounds().width() - Height - safe.x(),
            m_originalPosition.y() + safe.y(), Height, Height));
    }
    const QRectF content = contentFrame();
    for (TabPage* tab : tabPages()) {
        ViewController* page = tab->tabpageController();
        if (page && page->isViewLoaded() && page->view()->frame() != content)
            page->view()->setFrame(content);
    }
    if (m_tabPages.isEmpty())
        return;
    QPointer<MultiTabView> self(this);
    Animation::animate(
        0,
        [self] {
            if (self)
                self->reloadData();
        },
        [self](bool) {
            if (self && self->m_tabPage)
                self->applyColors(self->m_currentIndex, true);
        });
}

void MultiTabView::newTab()
{
    if (MultiTabProtocol* listener = host())
        listener->newTab();
}

void MultiTabView::deleteTab(TabPage* tab)
{
    if (MultiTabProtocol* listener = host())
        listener->deleteTab(tab);
}

int MultiTabView::collectionViewNumberOfItemsInSection(CollectionView*, int)
{
    return int(m_tabPages.size());
}

QSizeF MultiTabView::collectionViewSizeForItemAtIndexPath(
    CollectionView*, CollectionViewLayout*, const IndexPath&)
{
    return tabSize();
}

CollectionViewCell* MultiTabView::collectionViewCellForItemAtIndexPath(
    CollectionView* view, const IndexPath& indexPath)
{
    CollectionViewCell* cell
        = view->dequeueReusableCellWithReuseIdentifier(CellIdentifier, indexPath);
    const StripColors colors = stripColors();
    const QSizeF size = tabSize();
    auto* label = qobject_cast<Label*>(cell->viewWithTag(LabelTag));
    if (!label) {
        label = new Label(QRectF(QPointF(0, 0), size));
        label->setTag(LabelTag);
        label->setFont(colors.font);
        label->setBackgroundColor(Qt::transparent);
        label->setTextAlignment(Qt::AlignCenter);
        cell->contentView()->addSubview(label);
    }
    label->setFrame(QRectF(QPointF(0, 0), size));
    label->setTextColor(colors.toolbar);
    auto* close = qobject_cast<Button*>(cell->viewWithTag(CloseButtonTag));
    if (!close) {
        close = new Button();
        close->setTag(CloseButtonTag);
        close->setImage(Image::maskNamed(QStringLiteral("closetab"), colors.buttonTitle));
        close->setBackgroundColor(Qt::transparent);
        QPointer<MultiTabView> self(this);
        QPointer<Button> button(close);
        close->addTarget(
            [self, button](Control*) {
                if (!self || !button)
                    return;
                // The tab the cell was last filled with; it may have left the strip, or be
                // gone, before the cell is filled again.
                const auto tab = qobject_cast<TabPage*>(
                    button->property(kExtraData).value<QPointer<QObject>>().data());
                if (tab && self->m_tabPages.contains(tab))
                    self->deleteTab(tab);
            },
            ControlEventTouchUpInside);
        cell->contentView()->addSubview(close);
    }
    const int row = indexPath.item();
    // The first tab of a sticky strip cannot be closed.
    close->setFrame(m_sticky1Tab && row == 0 ? QRectF() : QRectF(0, 0, 15, 15));
    close->setHidden(m_sticky1Tab && row == 0);
    cell->contentView()->bringSubviewToFront(close);
    TabPage* tab = m_tabPages.value(row);
    if (tab) {
        tab->setIndex(row);
        close->setProperty(kExtraData, QVariant::fromValue(QPointer<QObject>(tab)));
        label->setText(tab->title());
    }
    cell->setBackgroundColor(colors.dimmed);
    // The shown tab keeps its colours through a reload.
    if (tab && tab == m_tabPage) {
        cell->setBackgroundColor(colors.toolbar);
        label->setTextColor(colors.label);
    }
    return cell;
}

void MultiTabView::collectionViewDidSelectItemAtIndexPath(
    CollectionView*, const IndexPath& indexPath)
{
    applyColors(indexPath.item(), true);
    loadPage(indexPath.item());
}

void MultiTabView::collectionViewDidDeselectItemAtIndexPath(
    CollectionView*, const IndexPath& indexPath)
{
    applyColors(indexPath.item(), false);
}
