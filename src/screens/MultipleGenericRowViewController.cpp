#include "screens/MultipleGenericRowViewController.h"

#include "grid/BrowserViewController.h"
#include "grid/CollectionViewController.h"
#include "grid/GridData.h"
#include "grid/ScreenData.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "screens/GenericTemplateDataController.h"
#include "screens/LinkOpener.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/CheckMarkLabel.h"
#include "widgets/MetroLabel.h"
#include "widgets/MetroSubLabel.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

const QString CheckMarkSample = QStringLiteral("✅ ");

QFont fontOr(const QFont& (Theme::*font)() const)
{
    Theme* style = Theme::current();
    return style ? (style->*font)() : QFont();
}

} // namespace

MultipleGenericRowViewController::MultipleGenericRowViewController() = default;

MultipleGenericRowViewController::~MultipleGenericRowViewController() = default;

GenericTemplateDataController* MultipleGenericRowViewController::tableController() const
{
    CollectionViewController* grid = gridViewController();
    return grid ? dynamic_cast<GenericTemplateDataController*>(grid->dataController().get())
                : nullptr;
}

int MultipleGenericRowViewController::lineCount()
{
    GenericTemplateDataController* controller = tableController();
    return controller ? int(controller->tilesColumns().size()) : 0;
}

const QList<float>& MultipleGenericRowViewController::heights()
{
    // Measured again when the table's tile columns change (a column put in the tiles,
    // here or on another machine): each line needs its height.
    const int lines = lineCount();
    if (m_measured && lines == m_measuredLines)
        return m_heights;
    m_measured = true;
    m_measuredLines = lines;
    m_heights.clear();
    const float title
        = float(platform::ui::Font::measure(QStringLiteral("A"), fontOr(&Theme::MetroRowLabelFont))
                    .height())
        + 4.0f;
    const float further
        = float(platform::ui::Font::measure(QStringLiteral("A"), fontOr(&Theme::RowLabelFont))
                    .height())
        + 4.0f;
    m_heights.append(title);
    for (int line = 1; line < lines; ++line)
        m_heights.append(further);
    m_totalHeight = 0;
    for (float height : std::as_const(m_heights))
        m_totalHeight += height;
    return m_heights;
}

float MultipleGenericRowViewController::getHeight()
{
    heights();
    return m_totalHeight;
}

QSizeF MultipleGenericRowViewController::getRowSize()
{
    const double height = std::max(double(getHeight()), TileHeight);
    const double width = contentWidth();
    if (DeviceHelper::isIPHONE())
        return QSizeF(width - 20, height);
    // Tiles per row outside 1 to 4 count as the nearer end.
    GenericTemplateDataController* controller = tableController();
    const unsigned columns
        = std::clamp(controller ? controller->ipadColumns() : ipadcolumns(), 1u, 4u);
    const float margins = std::trunc(float(columns - 1) * float(getSpacing()) + OuterMargins);
    return QSizeF(double((float(width) - margins) / float(columns)), height);
}

void MultipleGenericRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF& cellSize)
{
    if (!contentView)
        return;
    paintRowBackground(contentView);
    Theme* style = Theme::current();

    CollectionViewController* grid = gridViewController();
    GenericTemplateDataController* controller = tableController();
    const GridData data = gridDataAt(index);
    const QVariantMap values = data.Data.toMap();
    // A row that could not be read says so on its first line rather than passing for an
    // empty one.
    const bool unreadable = controller && controller->isRowUnreadable(index);
    const auto record = grid ? grid->screen() : nullptr;
    const bool disclosure = record && record->disclosure;
    const double width = cellSize.width();
    const QList<float>& lineHeights = heights();
    const double total = m_totalHeight;
    const double blockY = total > TileHeight ? (total - TileHeight) / 2.0 : 0.0;
    double y = total < TileHeight ? (TileHeight - total) / 2.0 : 0.0;

    // Image.
    double x = placeLinesIcon(contentView, controller, index, data.Image, blockY);

    // Check mark.
    double checkWidth = 0;
    TemplateColumn* booleanColumn = controller ? controller->booleanColumn() : nullptr;
    auto* check = qobject_cast<CheckMarkLabel*>(contentView->viewWithTag(CheckMarkTag));
    if (booleanColumn) {
        const QFont font = fontOr(&Theme::MetroRowLabelFont);
        const QSizeF size = platform::ui::Font::measure(CheckMarkSample, font);
        checkWidth = CheckMarkLabel::widthBefore(font, size.width());
        const bool checked = values.value(booleanColumn->id().toString()).toBool();
        const QRectF frame(
            x, (std::max(total, TileHeight) - size.height()) / 2.0, checkWidth, size.height());
        if (!check) {
            check = new CheckMarkLabel(frame);
            check->setTag(CheckMarkTag);
            check->setChecked(checked);
            check->setUserInteractionEnabled(true);
            addTap(check, [this](platform::ui::GestureRecognizer* tap) { checkMarkTouched(tap); });
            contentView->addSubview(check);
        } else {
            setFrameIfDifferent(check, frame);
            if (check->checked() != checked)
                check->setChecked(checked);
            if (check->isHidden())
                check->setHidden(false);
        }
        check->setIndex(quint64(index));
        x += checkWidth;
    } else if (check && !check->isHidden()) {
        check->setHidden(true);
    }

    // Lines.
    int line = 0;
    const double lineWidth = width - x - (disclosure ? DisclosureWidth : 0);
    const Rows::Columns columns = controller ? controller->tilesColumns() : Rows::Columns();
    for (TemplateColumn* column : columns) {
        if (!column->intiles().toBool() || line >= lineHeights.size())
            continue;
        const QString text = unreadable
            ? (line == 0 ? data.Menu : QString())
            : column->getStringValue(values.value(column->id().toString()));
        const double height = lineHeights.at(line);
        const QRectF frame(x, y, lineWidth, height);
        const int tag = TitleTag + line;
        auto* label = qobject_cast<platform::ui::Label*>(contentView->viewWithTag(tag));
        if (label) {
            setFrameIfDifferent(label, frame);
            if (label->text() != text)
                label->setText(text);
        } else {
            if (line == 0) {
                label = new MetroLabel(frame);
            } else {
                label = new MetroSubLabel(frame);
                label->setTag(tag);
                if (TypeConstants::isLink(column->typeName())) {
                    if (style)
                        label->setTextColor(style->MetroRowLabelForeColor().toQColor());
                    label->setUserInteractionEnabled(true);
                    addTap(
                        label, [this](platform::ui::GestureRecognizer* tap) { linkTouched(tap); });
                }
            }
            label->setText(text);
            contentView->addSubview(label);
        }
        y += height;
        ++line;
    }

    // Disclosure.
    if (disclosure) {
        placeDisclosure(contentView,
            QRectF(width - DisclosureWidth, blockY, DisclosureWidth, TileHeight), index);
    }

    addTilesButtons(contentView, index, cellSize);
}

void MultipleGenericRowViewController::checkMarkTouched(platform::ui::GestureRecognizer* recognizer)
{
    try {
        auto* check = qobject_cast<CheckMarkLabel*>(recognizer ? recognizer->view() : nullptr);
        CollectionViewController* grid = gridViewController();
        GenericTemplateDataController* controller = tableController();
        if (!check || !grid || !controller)
            return;
        const qint64 index = qint64(check->index());
        grid->setSelectedRow(index);
        grid->selectRow(index);
        // The mark shows what was stored: a refused change leaves it as it was.
        const bool checked = !check->checked();
        if (controller->checkMarkTouched(grid->selectedRow(), checked))
            check->setChecked(checked);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void MultipleGenericRowViewController::linkTouched(platform::ui::GestureRecognizer* recognizer)
{
    try {
        auto* label = qobject_cast<platform::ui::Label*>(recognizer ? recognizer->view() : nullptr);
        CollectionViewController* grid = gridViewController();
        if (!label || !grid || !grid->navigationController())
            return;
        // A bare value is a web address; one with a scheme keeps it, https included.
        const QUrl address = LinkOpener::linkAddress(label->text());
        if (!LinkOpener::isOpenable(address))
            return;
        grid->navigationController()->pushViewController(new BrowserViewController(address), true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
