#include "screens/GenericMultiRowViewController.h"

#include "grid/CollectionViewController.h"
#include "grid/GridData.h"
#include "grid/ScreenData.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"
#include "screens/NotificationDataController.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "widgets/MetroLabel.h"
#include "widgets/MetroSubLabel.h"

#include <algorithm>
#include <cmath>

namespace {

float lineHeight(const QFont& (Theme::*font)() const)
{
    Theme* style = Theme::current();
    const QFont chosen = style ? (style->*font)() : QFont();
    return float(platform::ui::Font::measure(QStringLiteral("A"), chosen).height()) + 4.0f;
}

} // namespace

GenericMultiRowViewController::GenericMultiRowViewController() = default;

GenericMultiRowViewController::~GenericMultiRowViewController() = default;

NotificationDataController* GenericMultiRowViewController::linesController() const
{
    CollectionViewController* grid = gridViewController();
    return grid ? dynamic_cast<NotificationDataController*>(grid->dataController().get()) : nullptr;
}

const QList<float>& GenericMultiRowViewController::heights()
{
    if (m_measured)
        return m_heights;
    m_measured = true;
    NotificationDataController* controller = linesController();
    const int lines = controller ? controller->NoOfTilesRows() : 0;
    if (lines > 0)
        m_heights.append(lineHeight(&Theme::MetroRowLabelFont));
    for (int line = 1; line < lines; ++line)
        m_heights.append(lineHeight(&Theme::RowLabelFont));
    m_totalHeight = 0;
    for (float height : std::as_const(m_heights))
        m_totalHeight += height;
    return m_heights;
}

float GenericMultiRowViewController::getHeight()
{
    heights();
    return m_totalHeight;
}

QSizeF GenericMultiRowViewController::getRowSize()
{
    const double height = std::max(double(getHeight()), TileHeight);
    const double width = contentWidth();
    if (DeviceHelper::isIPHONE())
        return QSizeF(width - 20, height);
    const unsigned columns = std::clamp(ipadcolumns(), 1u, 4u);
    const float margins = std::trunc(float(columns - 1) * float(getSpacing()) + OuterMargins);
    return QSizeF(double((float(width) - margins) / float(columns)), height);
}

void GenericMultiRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF& cellSize)
{
    if (!contentView)
        return;
    paintRowBackground(contentView);

    CollectionViewController* grid = gridViewController();
    NotificationDataController* controller = linesController();
    const GridData data = gridDataAt(index);
    const auto record = grid ? grid->screen() : nullptr;
    const bool disclosure = record && record->disclosure;
    const double width = cellSize.width();
    const QList<float>& lineHeights = heights();
    const double total = m_totalHeight;
    const double blockY = total > TileHeight ? (total - TileHeight) / 2.0 : 0.0;
    double y = total < TileHeight ? (TileHeight - total) / 2.0 : 0.0;

    double x = placeLinesIcon(contentView, controller, index, data.Image, blockY);

    const QStringList lines = controller ? controller->getTilesRows(index) : QStringList();
    const double lineWidth = width - x - (disclosure ? DisclosureWidth : 0);
    for (int line = 0; line < lineHeights.size(); ++line) {
        const QString text = lines.value(line);
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
            }
            label->setText(text);
            contentView->addSubview(label);
        }
        y += height;
    }

    if (disclosure) {
        placeDisclosure(contentView,
            QRectF(width - DisclosureWidth, blockY, DisclosureWidth, TileHeight), index);
    }
    addTilesButtons(contentView, index, cellSize);
}
