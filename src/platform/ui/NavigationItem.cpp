#include "platform/ui/NavigationItem.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

namespace platform::ui {

NavigationItem::NavigationItem(QObject* parent)
    : QObject(parent)
{
}

void NavigationItem::adopt(BarButtonItem* item)
{
    if (item && !item->parent())
        item->setParent(this);
    if (item)
        connect(
            item, &BarButtonItem::changed, this, &NavigationItem::changed, Qt::UniqueConnection);
}

void NavigationItem::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit changed();
}

void NavigationItem::setTitleView(View* view)
{
    m_titleView = view;
    // The bar narrows the view where room is short; this is the size it wants back.
    m_titleViewSize = view ? view->frame().size() : QSizeF();
    emit changed();
}

void NavigationItem::setLeftBarButtonItem(BarButtonItem* item, bool)
{
    adopt(item);
    m_left = item;
    emit changed();
}

BarButtonItem* NavigationItem::rightBarButtonItem() const
{
    return m_right.isEmpty() ? nullptr : m_right.first().data();
}

void NavigationItem::setRightBarButtonItem(BarButtonItem* item, bool animated)
{
    setRightBarButtonItems(
        item ? QList<BarButtonItem*> { item } : QList<BarButtonItem*> {}, animated);
}

QList<BarButtonItem*> NavigationItem::rightBarButtonItems() const
{
    QList<BarButtonItem*> items;
    for (const auto& item : m_right)
        if (item)
            items.append(item);
    return items;
}

void NavigationItem::setRightBarButtonItems(const QList<BarButtonItem*>& items, bool)
{
    m_right.clear();
    for (BarButtonItem* item : items) {
        adopt(item);
        m_right.append(item);
    }
    emit changed();
}

void NavigationItem::setBackBarButtonItem(BarButtonItem* item)
{
    adopt(item);
    m_back = item;
    emit changed();
}

void NavigationItem::setHidesBackButton(bool hides, bool)
{
    m_hidesBack = hides;
    emit changed();
}

} // namespace platform::ui
