#include "platform/ui/NavigationBar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarPainting.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SafeArea.h"
#include "platform/ui/Toolbar.h"

#include <QPainter>

namespace platform::ui {

namespace {

const QString kBackChevron = QStringLiteral("\u2039");

bool isDark(const QColor& color)
{
    return 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF() <= 0.8;
}

} // namespace

NavigationBar::Appearance& NavigationBar::appearance()
{
    static Appearance instance;
    return instance;
}

NavigationBar::NavigationBar(QWidget* parent)
    : View(parent)
{
    const Appearance& a = appearance();
    if (a.barTintColor.isValid())
        m_barTint = a.barTintColor;
    if (a.tintColor.isValid())
        setTintColor(a.tintColor);
    m_translucent = a.translucent;
    m_barStyle = a.barStyle;
    m_titleAttributes = a.titleTextAttributes;
    m_title = new Label(this);
    m_title->setTextAlignment(Qt::AlignCenter);
    m_title->setFont(Font::named("HelveticaNeue-Medium", 17));
    m_title->setAdjustsFontSizeToFitWidth(true);
    m_title->setMinimumFontSize(12);
    m_back = new Button(this);
    m_back->setHidden(true);
    m_back->setTitleFont(Font::system(17));
    setTitleTextAttributes(m_titleAttributes);
}

void NavigationBar::setBarTintColor(const QColor& color)
{
    m_barTint = color;
    setTitleTextAttributes(m_titleAttributes);
    update();
}

void NavigationBar::setTranslucent(bool translucent)
{
    m_translucent = translucent;
    update();
}

void NavigationBar::setBarStyle(BarStyle style)
{
    m_barStyle = style;
    setTitleTextAttributes(m_titleAttributes);
}

void NavigationBar::setTitleTextAttributes(const TextAttributes& attributes)
{
    m_titleAttributes = attributes;
    QColor color = attributes.foregroundColor;
    if (!color.isValid())
        color = m_barStyle == BarStyle::Black || isDark(m_barTint) ? QColor(Qt::white)
                                                                   : QColor(Qt::black);
    m_title->setTextColor(color);
    if (attributes.hasFont)
        m_title->setFont(attributes.font);
    m_title->setShadowColor(attributes.shadowColor);
    update();
}

void NavigationBar::setBackgroundImage(const Image& image)
{
    m_backgroundImage = image;
    update();
}

void NavigationBar::setTopInset(double inset)
{
    m_topInset = inset;
    layoutSubviews();
}

void NavigationBar::clearItems()
{
    for (const auto& view : m_itemViews) {
        if (!view)
            continue;
        // A screen's own item views stay its own, out of sight until it shows them again.
        if (view->property("kivo_custom").toBool())
            view->hide();
        else
            view->deleteLater();
    }
    m_itemViews.clear();
    m_rightItems.clear();
    m_rightViews.clear();
    m_leftView = nullptr;
    if (m_titleView)
        m_titleView->hide();
    m_titleView = nullptr;
}

View* NavigationBar::viewForItem(BarButtonItem* item)
{
    // A space is room between views, not a view of its own.
    if (item->isSpace())
        return nullptr;
    View* view = item->customView();
    if (view) {
        view->setProperty("kivo_custom", true);
        addSubview(view);
        view->setHidden(false);
    } else {
        view = Toolbar::makeItemView(item, this, Font::system(17));
    }
    m_itemViews.append(view);
    return view;
}

void NavigationBar::showItem(
    NavigationItem* item, const QString& backTitle, std::function<void()> backAction)
{
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    clearItems();
    m_item = item;
    m_back->removeAllTargets();
    m_back->setHidden(true);
    m_backTitle.clear();
    if (!item) {
        m_title->setText({});
        return;
    }
    connect(item, &NavigationItem::changed, this,
        [this, backTitle, backAction] { showItem(m_item, backTitle, backAction); });
    if (View* titleView = item->titleView()) {
        m_titleView = titleView;
        addSubview(titleView);
        titleView->setHidden(false);
        m_title->setText({});
    } else {
        m_title->setText(item->title());
    }
    if (BarButtonItem* left = item->leftBarButtonItem()) {
        m_leftView = viewForItem(left);
    } else if (!backTitle.isEmpty() && !item->hidesBackButton()) {
        m_backTitle = backTitle;
        m_back->setTitle(kBackChevron + QLatin1Char(' ') + backTitle);
        m_back->setTitleColor(tintColor());
        m_back->setHidden(false);
        m_back->addTarget(
            [backAction](Control*) {
                if (backAction)
                    backAction();
            },
            ControlEventTouchUpInside);
        m_leftView = m_back;
    }
    for (BarButtonItem* right : item->rightBarButtonItems()) {
        m_rightItems.append(right);
        m_rightViews.append(viewForItem(right));
    }
    layoutSubviews();
}

QList<View*> NavigationBar::rightItemViews() const
{
    QList<View*> views;
    for (const auto& view : m_rightViews)
        if (view)
            views.append(view);
    return views;
}

View* NavigationBar::leftItemView() const
{
    return m_leftView;
}

void NavigationBar::layoutSubviews()
{
    const QRectF b = bounds();
    const double top = m_topInset;
    const double height = b.height() - top;
    // A title view short of room takes the back button's title; the chevron alone still
    // goes back.
    const QSizeF wanted = m_item && m_titleView ? m_item->titleViewSize() : QSizeF(0, 0);
    if (m_leftView == m_back)
        m_back->setTitle(kBackChevron + QLatin1Char(' ') + m_backTitle);
    auto [left, right] = layOutItems();
    if (m_titleView && m_leftView == m_back && right - left < wanted.width()) {
        m_back->setTitle(kBackChevron);
        std::tie(left, right) = layOutItems();
    }
    // The title is centred on the bar when it fits between the items.
    const double side = std::max(left, b.width() - right);
    QRectF titleRect(side, top, std::max(0.0, b.width() - 2 * side), height);
    if (titleRect.width() < 80)
        titleRect = QRectF(left, top, std::max(0.0, right - left), height);
    if (m_titleView) {
        // Its own size, centred on the bar, else in the room between the items, and no
        // wider than that room.
        const double room = std::max(0.0, right - left);
        const QSizeF size = wanted.boundedTo(QSizeF(room, height));
        double x = (b.width() - size.width()) / 2;
        if (x < left || x + size.width() > right)
            x = left + (room - size.width()) / 2;
        m_titleView->setFrame(
            QRectF(x, top + (height - size.height()) / 2, size.width(), size.height()));
    }
    m_title->setFrame(titleRect);
}

std::pair<double, double> NavigationBar::layOutItems()
{
    const QRectF b = bounds();
    const double top = m_topInset;
    const double height = b.height() - top;
    // The bar reaches under a notch at its side; its items stay clear of it.
    const QMarginsF safe = SafeArea::horizontalOverlap(this);
    double left = kBarItemMargin + safe.left();
    if (m_leftView) {
        QSizeF size = m_leftView->sizeThatFits(QSizeF(b.width() / 3, height));
        if (m_leftView == m_back)
            size = QSizeF(std::min(b.width() / 3, size.width() + 8), height);
        size.setWidth(std::min(size.width(), b.width() / 3));
        size.setHeight(std::min(size.height(), height));
        m_leftView->setFrame(
            QRectF(left, top + (height - size.height()) / 2, size.width(), size.height()));
        left += size.width() + kBarItemGap;
    }
    // The first right item is the rightmost. A flexible space has no room to share here,
    // so it takes none; when the items do not fit, spacing and then the items give way.
    QList<BarSlot> row;
    QList<View*> slotViews;
    for (int i = 0; i < m_rightItems.size(); ++i) {
        BarButtonItem* item = m_rightItems.at(i);
        View* view = m_rightViews.value(i);
        BarSlot slot;
        if (view) {
            slot.width = std::min(
                view->sizeThatFits(QSizeF(b.width() / 3, height)).width(), b.width() / 3);
        } else if (item && item->systemItem() == BarButtonItem::SystemItem::FixedSpace) {
            slot.kind = BarSlot::Kind::FixedSpace;
            slot.width = item->width();
        } else {
            continue;
        }
        row.append(slot);
        slotViews.append(view);
    }
    double right = b.width() - kBarItemMargin - safe.right();
    const double gap = fitBarSlots(row, std::max(0.0, right - left));
    for (int i = 0; i < row.size(); ++i) {
        right -= row.at(i).width;
        if (View* view = slotViews.at(i)) {
            const double h
                = std::min(view->sizeThatFits(QSizeF(row.at(i).width, height)).height(), height);
            view->setFrame(QRectF(right, top + (height - h) / 2, row.at(i).width, h));
        }
        right -= gap;
    }
    return { left, right };
}

void NavigationBar::drawRect(QPainter& painter, const QRectF& rect)
{
    paintBar(painter, rect, m_barTint, m_backgroundImage, m_translucent, false);
}

} // namespace platform::ui
