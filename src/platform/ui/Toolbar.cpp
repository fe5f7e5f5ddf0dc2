#include "platform/ui/Toolbar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarPainting.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/SafeArea.h"

#include <QPainter>

namespace platform::ui {

Toolbar::Toolbar(QWidget* parent)
    : View(parent)
{
}

QList<BarButtonItem*> Toolbar::items() const
{
    QList<BarButtonItem*> list;
    for (const auto& item : m_items)
        if (item)
            list.append(item);
    return list;
}

View* Toolbar::makeItemView(BarButtonItem* item, QWidget* parent, const QFont& font)
{
    if (View* custom = item->customView()) {
        if (auto* view = qobject_cast<View*>(parent))
            view->addSubview(custom);
        custom->setHidden(false);
        return custom;
    }
    auto* button = Button::withType(Button::Type::System, parent);
    // A Done item stands out in bold, as the platform's does.
    QFont titleFont = font;
    if (item->style() == BarButtonItem::Style::Done)
        titleFont.setWeight(QFont::DemiBold);
    button->setTitleFont(titleFont);
    if (!item->image().isNull())
        button->setImage(Image::masked(item->image(), button->tintColor()));
    button->setTitle(item->title());
    button->setTag(item->tag());
    button->setEnabled(item->isEnabled());
    button->setContentEdgeInsets(QMarginsF(4, 0, 4, 0));
    QPointer<BarButtonItem> itemPtr(item);
    button->addTarget(
        [itemPtr](Control*) {
            if (itemPtr)
                itemPtr->trigger();
        },
        ControlEventTouchUpInside);
    button->setHidden(false);
    item->setView(button);
    return button;
}

void Toolbar::setItems(const QList<BarButtonItem*>& items, bool)
{
    for (const auto& view : m_views) {
        if (!view)
            continue;
        bool custom = false;
        for (const auto& item : m_items)
            if (item && item->customView() == view)
                custom = true;
        if (custom)
            view->hide();
        else
            view->deleteLater();
    }
    m_views.clear();
    m_items.clear();
    for (BarButtonItem* item : items) {
        m_items.append(item);
        m_views.append(
            item && !item->isSpace() ? makeItemView(item, this, Font::system(17)) : nullptr);
    }
    layoutSubviews();
}

void Toolbar::setBarTintColor(const QColor& color)
{
    m_barTint = color;
    update();
}

void Toolbar::setTranslucent(bool translucent)
{
    m_translucent = translucent;
    update();
}

void Toolbar::setBackgroundImage(const Image& image)
{
    m_backgroundImage = image;
    update();
}

QSizeF Toolbar::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width(), 44);
}

void Toolbar::layoutSubviews()
{
    const QRectF b = bounds();
    const double height = std::min(44.0, b.height());
    QList<BarSlot> row;
    for (int i = 0; i < m_items.size(); ++i) {
        BarButtonItem* item = m_items.at(i);
        BarSlot slot;
        if (!item) {
            slot.kind = BarSlot::Kind::FixedSpace;
        } else if (item->systemItem() == BarButtonItem::SystemItem::FlexibleSpace) {
            slot.kind = BarSlot::Kind::FlexibleSpace;
        } else if (item->systemItem() == BarButtonItem::SystemItem::FixedSpace) {
            slot.kind = BarSlot::Kind::FixedSpace;
            slot.width = item->width();
        } else if (View* view = m_views.value(i)) {
            const double w = item->width() > 0
                ? item->width()
                : view->sizeThatFits(QSizeF(b.width(), height)).width();
            slot.width = std::max(w, 30.0);
        }
        row.append(slot);
    }
    // The bar reaches under a notch at its side; its buttons stay clear of it.
    const QMarginsF safe = SafeArea::horizontalOverlap(this);
    const double gap = fitBarSlots(
        row, std::max(0.0, b.width() - 2 * kBarItemMargin - safe.left() - safe.right()));
    double x = kBarItemMargin + safe.left();
    for (int i = 0; i < m_items.size(); ++i) {
        const double w = row.at(i).width;
        if (View* view = m_views.value(i)) {
            const double h
                = std::min(height, std::max(view->sizeThatFits(QSizeF(w, height)).height(), 30.0));
            view->setFrame(QRectF(x, (height - h) / 2, w, h));
        }
        x += w + gap;
    }
}

void Toolbar::drawRect(QPainter& painter, const QRectF& rect)
{
    paintBar(painter, rect, m_barTint, m_backgroundImage, m_translucent, true);
}

} // namespace platform::ui
