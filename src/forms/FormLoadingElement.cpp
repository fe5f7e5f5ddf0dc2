#include "forms/FormLoadingElement.h"

#include "forms/FormTableViewCell.h"
#include "platform/ui/ActivityIndicatorView.h"

FormLoadingElement::FormLoadingElement() = default;

platform::ui::TableViewCell* FormLoadingElement::getCellForTableView(
    FormTableView*, FormControllerProtocol*)
{
    using namespace platform::ui;
    auto* cell = new FormTableViewCell(cellReuseIdentifier());
    cell->applyAppearanceForElement(this);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    auto* indicator = new ActivityIndicatorView(ActivityIndicatorView::Style(m_indicatorStyle));
    indicator->startAnimating();
    indicator->sizeToFit();
    indicator->setFrame(QRectF(QPointF(150, 12), indicator->frame().size()));
    indicator->setAutoresizingMask(AutoresizingFlexibleLeftMargin | AutoresizingFlexibleRightMargin
        | AutoresizingFlexibleTopMargin | AutoresizingFlexibleBottomMargin);
    cell->contentView()->addSubview(indicator);
    return cell;
}
