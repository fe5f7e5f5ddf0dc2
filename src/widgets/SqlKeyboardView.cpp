#include "widgets/SqlKeyboardView.h"

#include "platform/ui/FlowLayout.h"
#include "platform/ui/Font.h"
#include "style/Theme.h"
#include "style/ThemeButton.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/SqlKeyboardProtocol.h"

using namespace platform::ui;

const QString SqlKeyboardView::CellIdentifier = QStringLiteral("cvCell");

const QStringList& SqlKeyboardView::defaultKeywords()
{
    static const QStringList keywords = { "SELECT", "*", "FROM", "WHERE", "DISTINCT", "ORDER BY",
        "GROUP BY", "HAVING", "OR", "AND", "JOIN", "INNER", "LEFT", "RIGHT", "INSERT", "UPDATE",
        "DELETE", "CREATE", "ALTER", "DROP", "IF", "ELIF", "CASE", "WHEN", "THEN", "BEGIN", "END",
        "TABLE", "VIEW", "INDEX", "PROCEDURE", "FUNCTION", "CONSTAINT", "TRIGGER", "COMMIT",
        "ROLLBACK" };
    return keywords;
}

namespace {

FlowLayout* keyboardLayout()
{
    auto* layout = new FlowLayout();
    layout->setScrollDirection(FlowLayout::ScrollDirection::Horizontal);
    layout->setSectionInset(QMarginsF(5, 5, 5, 5));
    layout->setMinimumInteritemSpacing(5);
    layout->setMinimumLineSpacing(5);
    layout->setItemSize(QSizeF(80, 30));
    return layout;
}

} // namespace

SqlKeyboardView::SqlKeyboardView(SqlKeyboardProtocol* parent, QWidget* widgetParent)
    : CollectionView(
        QRectF(0, 0, DeviceHelper::getScreenSize().width(), 200), keyboardLayout(), widgetParent)
    , m_parent(parent)
    , m_keywords(defaultKeywords())
{
    setDelegate(this);
    setDataSource(this);
    if (Theme* style = Theme::current())
        setBackgroundColor(style->toolbarColor().toQColor());
    setAutoresizingMask(AutoresizingFlexibleWidth);
    registerClassForCellWithReuseIdentifier<CollectionViewCell>(CellIdentifier);
}

int SqlKeyboardView::collectionViewNumberOfItemsInSection(CollectionView*, int)
{
    return int(m_keywords.size());
}

CollectionViewCell* SqlKeyboardView::collectionViewCellForItemAtIndexPath(
    CollectionView* view, const IndexPath& indexPath)
{
    CollectionViewCell* cell
        = view->dequeueReusableCellWithReuseIdentifier(CellIdentifier, indexPath);
    try {
        auto* button = qobject_cast<ThemeButton*>(cell->viewWithTag(ButtonTag));
        if (!button) {
            button = new ThemeButton(QRectF(0, 0, 80, 30));
            button->setTag(ButtonTag);
            QPointer<SqlKeyboardView> self(this);
            button->addTarget(
                [self](Control* sender) {
                    if (self)
                        self->buttonClicked(sender);
                },
                ControlEventTouchUpInside);
            cell->contentView()->addSubview(button);
            cell->setBackgroundColor(Qt::transparent);
        }
        const QString keyword = m_keywords.value(indexPath.item());
        button->setTitle(keyword);
        const Theme* style = Theme::current();
        button->setTitleFont(keyword == "*" ? Font::boldSystem(20)
                : style                     ? style->subbuttonTitleFont()
                                            : Font::system(12));
    } catch (const std::exception& exception) {
        if (indexPath.item() == 0)
            MessageHelper::ShowException(exception);
    }
    return cell;
}

void SqlKeyboardView::buttonClicked(Control* sender)
{
    auto* button = qobject_cast<Button*>(sender);
    if (!button || !m_parent)
        return;
    try {
        m_parent->clickedSql(button->currentTitle());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
