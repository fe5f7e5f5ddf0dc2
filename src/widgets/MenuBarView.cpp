#include "widgets/MenuBarView.h"

#include "platform/ui/FlowLayout.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PopoverHost.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/MenuItem.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/VerticalMenuViewController.h"

using namespace platform::ui;

const QString MenuBarView::CellIdentifier = QStringLiteral("cvCell");

namespace {

constexpr int kImageTag = 301;
constexpr int kLabelTag = 302;

FlowLayout* barLayout()
{
    auto* layout = new FlowLayout();
    layout->setScrollDirection(FlowLayout::ScrollDirection::Horizontal);
    layout->setSectionInset(QMarginsF(5, 0, 5, 0));
    layout->setMinimumInteritemSpacing(20);
    layout->setMinimumLineSpacing(20);
    return layout;
}

QFont headerFont()
{
    const Theme* style = Theme::current();
    return style ? style->RowLabelHeaderFont() : Font::named("HelveticaNeue-Medium", 14);
}

QColor titleColor()
{
    const Theme* style = Theme::current();
    return style ? style->buttonTitleColor().toQColor() : QColor(Qt::white);
}

} // namespace

MenuBarView::MenuBarView(
    ViewController* viewController, const QList<MenuItem*>& menuItems, const QColor& color)
    : CollectionView(QRectF(0, DeviceHelper::safeArea().y(),
                         viewController ? viewController->view()->bounds().width() : 0, Height),
        barLayout())
    , m_viewController(viewController)
    , m_menuItems(menuItems)
    , m_color(color)
{
    for (MenuItem* item : m_menuItems)
        if (item && !item->parent())
            item->setParent(this);
    setBackgroundColor(color);
    setAutoresizingMask(AutoresizingFlexibleWidth);
    registerClassForCellWithReuseIdentifier<CollectionViewCell>(CellIdentifier);
    setDataSource(this);
    setDelegate(this);
    if (viewController)
        viewController->view()->addSubview(this);
}

MenuBarView::MenuBarView(ViewController* viewController, const QList<MenuItem*>& menuItems)
    : MenuBarView(viewController, menuItems, QColor(85, 85, 85))
{
}

void MenuBarView::resetFrame()
{
    const double width = superview() ? superview()->bounds().width() : frame().width();
    setFrame(QRectF(0, DeviceHelper::safeArea().y(), width, Height));
}

void MenuBarView::dismissPopup()
{
    if (m_popup)
        m_popup->dismissPopoverAnimated(true);
}

void MenuBarView::SimplePopoverControllerDidDismissPopover(SimplePopupViewController* popup)
{
    if (popup == m_popup)
        m_popup = nullptr;
}

int MenuBarView::collectionViewNumberOfItemsInSection(CollectionView*, int)
{
    return int(m_menuItems.size());
}

QSizeF MenuBarView::collectionViewSizeForItemAtIndexPath(
    CollectionView*, CollectionViewLayout*, const IndexPath& indexPath)
{
    try {
        MenuItem* item = m_menuItems.value(indexPath.item());
        if (!item)
            return QSizeF();
        const double text = Font::measure(item->text(), headerFont()).width();
        return QSizeF(text + (item->image().isEmpty() ? 0 : ImageWidth), Height);
    } catch (const std::exception& exception) {
        if (indexPath.item() == 0)
            MessageHelper::ShowException(exception);
        return QSizeF();
    }
}

CollectionViewCell* MenuBarView::collectionViewCellForItemAtIndexPath(
    CollectionView* view, const IndexPath& indexPath)
{
    CollectionViewCell* cell
        = view->dequeueReusableCellWithReuseIdentifier(CellIdentifier, indexPath);
    try {
        for (int tag : { kImageTag, kLabelTag })
            if (View* old = cell->contentView()->viewWithTag(tag)) {
                old->removeFromSuperview();
                old->deleteLater();
            }
        MenuItem* item = m_menuItems.value(indexPath.item());
        if (!item)
            return cell;
        const QSizeF size = collectionViewSizeForItemAtIndexPath(view, nullptr, indexPath);
        double x = 0;
        if (!item->image().isEmpty()) {
            auto* image = new ImageView(Image::maskNamed(item->image(), titleColor()));
            image->setFrame(QRectF(0, 0, ImageWidth, Height));
            image->setContentMode(ImageView::ContentMode::Center);
            image->setTag(kImageTag);
            cell->contentView()->addSubview(image);
            x = ImageWidth;
        }
        auto* label = new Label(QRectF(x, 0, size.width() - x, size.height()));
        label->setFont(headerFont());
        label->setBackgroundColor(Qt::transparent);
        label->setTextColor(titleColor());
        label->setTextAlignment(Qt::AlignCenter);
        label->setText(item->text());
        label->setTag(kLabelTag);
        cell->contentView()->addSubview(label);
        cell->setBackgroundColor(m_color);
        item->setView(cell);
    } catch (const std::exception& exception) {
        if (indexPath.item() == 0)
            MessageHelper::ShowException(exception);
    }
    return cell;
}

void MenuBarView::collectionViewDidSelectItemAtIndexPath(
    CollectionView*, const IndexPath& indexPath)
{
    selectItem(indexPath.item());
}

void MenuBarView::selectItem(int index)
{
    try {
        MenuItem* item = m_menuItems.value(index);
        if (!item)
            return;
        if (!item->childs().isEmpty()) {
            auto* menu = new VerticalMenuViewController(item->childs(), this, m_color);
            auto* popup = new SimplePopupViewController(menu, menu->menuSize());
            menu->setParent(popup);
            m_popup = popup;
            popup->setDelegate(this);
            // Below the entry, where it shows now.
            QPointF point;
            const auto attributes = layoutAttributesForItemAtIndexPath(IndexPath(index, 0));
            if (attributes) {
                const QRectF cell = attributes->frame();
                const QPointF local(cell.x() - contentOffset().x(), cell.y() + cell.height());
                point = convertPointToView(local, PopoverHost::firstSubview());
            }
            popup->presentPopoverFromPoint(point);
        }
        if (item->menuItemHandler())
            item->menuItemHandler()(item);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
