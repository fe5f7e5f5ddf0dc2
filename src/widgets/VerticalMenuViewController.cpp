#include "widgets/VerticalMenuViewController.h"

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "style/Theme.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/MenuItem.h"
#include "widgets/UIImage_Theme.h"

#include <QMetaMethod>

#include <algorithm>

using namespace platform::ui;

const QString VerticalMenuViewController::CellIdentifier = QStringLiteral("cvCell");

namespace {

constexpr float kIconWidth = 30.0f;
constexpr float kMinimumHeight = 30.0f;
constexpr float kSpacing = 5.0f;
constexpr float kMargin = 10.0f;
constexpr double kIconLimit = 20.0;

QFont popupMenuFont()
{
    const Theme* style = Theme::current();
    return style ? style->popupMenuFont() : Font::named(QStringLiteral("HelveticaNeue-Medium"), 13);
}

QColor buttonTitleColor()
{
    const Theme* style = Theme::current();
    return style ? style->buttonTitleColor().toQColor() : QColor(Qt::white);
}

// One cell of the list: a tap on it selects its entry.
class MenuCell : public Control {
public:
    explicit MenuCell(QWidget* parent)
        : Control(parent)
    {
    }
    QPointer<ImageView> icon;
    QPointer<Label> label;
};

} // namespace

VerticalMenuViewController::VerticalMenuViewController(const QList<MenuItem*>& menuItems,
    QObject* menuBar, const QColor& backgroundColor, QObject* parent)
    : ViewController(parent)
    , m_menuItems(menuItems)
    , m_menuBar(menuBar)
    , m_backgroundColor(backgroundColor)
{
    for (MenuItem* item : m_menuItems)
        if (item && !item->parent())
            item->setParent(this);
    m_menuItems.removeAll(nullptr);
    calculateSize();
}

VerticalMenuViewController::VerticalMenuViewController(
    const QList<MenuItem*>& menuItems, QObject* menuBar, QObject* parent)
    : VerticalMenuViewController(menuItems, menuBar, QColor(Qt::darkGray), parent)
{
}

void VerticalMenuViewController::calculateSize()
{
    // Single precision, as the sizes are computed where the menu comes from.
    float width = 0.0f;
    float height = kMinimumHeight;
    const QFont font = popupMenuFont();
    for (MenuItem* item : m_menuItems) {
        float iconWidth = 0.0f;
        if (!item->image().isEmpty()) {
            m_containsImage = true;
            iconWidth = kIconWidth;
            height = kMinimumHeight;
        }
        const QSizeF text = Font::measure(item->text(), font);
        width = std::max(width, iconWidth + float(text.width()));
        height = std::max(height, float(text.height()));
    }
    m_maxItemSize = QSizeF(width, height);
    const auto count = float(m_menuItems.size());
    const float gaps = m_menuItems.isEmpty() ? 0.0f : kSpacing * (count - 1.0f);
    m_menuSize = QSizeF(width + kMargin, count * height + kMargin + gaps);
}

int VerticalMenuViewController::numberOfItemsInSection(int) const
{
    return int(m_menuItems.size());
}

QSizeF VerticalMenuViewController::sizeForItemAtIndex(int) const
{
    return m_maxItemSize;
}

void VerticalMenuViewController::loadView()
{
    auto* root = new View();
    root->setFrame(QRectF(QPointF(0, 0), m_menuSize));
    root->setBackgroundColor(Qt::transparent);
    setView(root);
}

void VerticalMenuViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    try {
        const QRectF frame(QPointF(0, 0), m_menuSize);
        auto* list = new View(frame, view());
        list->setBackgroundColor(m_backgroundColor);
        list->setAutoresizingMask(AutoresizingFlexibleWidth);
        list->onLayoutSubviews = [this] { layoutCells(); };
        m_collectionView = list;
        view()->setFrame(frame);
        reloadData();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void VerticalMenuViewController::reloadData()
{
    if (!m_collectionView)
        return;
    const int count = numberOfItemsInSection(0);
    while (m_cells.size() > count) {
        if (View* cell = m_cells.takeLast())
            delete cell;
    }
    for (int i = 0; i < count; ++i)
        cellForItemAtIndex(i);
    layoutCells();
}

void VerticalMenuViewController::layoutCells()
{
    if (!m_collectionView)
        return;
    // One cell to a line, centred in it, as a flow layout places a lone item.
    const double width = m_collectionView->bounds().width();
    const double x = std::max(0.0, (width - m_maxItemSize.width()) / 2);
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        if (View* cell = m_cells[i])
            cell->setFrame(
                QRectF(QPointF(x, double(i) * (m_maxItemSize.height() + kSpacing)), m_maxItemSize));
    }
}

View* VerticalMenuViewController::cellForItemAtIndex(int index)
{
    if (!m_collectionView || index < 0 || index >= m_menuItems.size())
        return nullptr;
    while (m_cells.size() <= index)
        m_cells.append(nullptr);
    auto* cell = static_cast<MenuCell*>(m_cells[index].data());
    if (!cell) {
        cell = new MenuCell(m_collectionView);
        cell->setFrame(QRectF(QPointF(0, 0), m_maxItemSize));
        QPointer<VerticalMenuViewController> self(this);
        cell->addTarget(
            [self, index](Control*) {
                if (self)
                    self->didSelectItemAtIndex(index);
            },
            ControlEventTouchUpInside);
        m_cells[index] = cell;
    }
    try {
        // What the cell showed before goes.
        delete cell->icon.data();
        delete cell->label.data();
        MenuItem* item = m_menuItems.at(index);
        double textStart = 0;
        if (!item->image().isEmpty()) {
            Image image
                = UIImage_Theme::maskImage(item->image(), Color::fromQColor(buttonTitleColor()));
            if (image.size().width() > kIconLimit || image.size().height() > kIconLimit)
                image = UIImage_Theme::resizeImage(image, QSizeF(kIconLimit, kIconLimit));
            auto* icon = new ImageView(image, cell);
            icon->setFrame(QRectF(0, 0, kIconWidth, kIconWidth));
            icon->setContentMode(ImageView::ContentMode::Center);
            icon->setUserInteractionEnabled(false);
            cell->icon = icon;
            textStart = kIconWidth;
        }
        auto* label = new Label(cell);
        label->setFont(popupMenuFont());
        label->setBackgroundColor(Qt::transparent);
        label->setTextColor(buttonTitleColor());
        label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setText(item->text());
        label->setFrame(
            QRectF(textStart, 0, m_maxItemSize.width() - textStart, m_maxItemSize.height()));
        label->setUserInteractionEnabled(false);
        cell->label = label;
        cell->setBackgroundColor(m_backgroundColor);
        item->setView(cell);
    } catch (const std::exception& exception) {
        // One alert for a menu, not one a cell.
        if (index == 0)
            MessageHelper::ShowException(exception);
    }
    return cell;
}

void VerticalMenuViewController::didSelectItemAtIndex(int index)
{
    try {
        if (index < 0 || index >= m_menuItems.size())
            return;
        MenuItem* item = m_menuItems.at(index);
        QPointer<VerticalMenuViewController> self(this);
        if (const MenuItem::Handler handler = item->menuItemHandler())
            handler(item);
        QObject* owner = self ? m_menuBar.data() : nullptr;
        if (owner && owner->metaObject()->indexOfMethod("dismissPopup()") >= 0)
            QMetaObject::invokeMethod(owner, "dismissPopup", Qt::DirectConnection);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
