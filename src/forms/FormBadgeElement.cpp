#include "forms/FormBadgeElement.h"

#include "forms/FormBadgeLabel.h"
#include "forms/FormBadgeTableCell.h"
#include "platform/ui/ImageView.h"

FormBadgeElement::FormBadgeElement() = default;

std::shared_ptr<FormBadgeElement> FormBadgeElement::initWithTitle(
    const QString& title, const QString& badge)
{
    auto element = std::make_shared<FormBadgeElement>();
    element->setTitle(title);
    element->setBadge(badge);
    return element;
}

platform::ui::TableViewCell* FormBadgeElement::getCellForTableView(
    FormTableView*, FormControllerProtocol*)
{
    using platform::ui::TableViewCell;
    auto* cell = new FormBadgeTableCell;
    cell->textLabel()->setText(title());
    cell->applyAppearanceForElement(this);
    FormBadgeLabel* badgeLabel = cell->badgeLabel();
    badgeLabel->setTextColor(badgeTextColor.toQColor());
    // Without a colour of its own the badge takes the tint of the table it shows in, which
    // the cell does not know before it is placed.
    badgeLabel->setBadgeColor(badgeColor ? badgeColor->toQColor() : QColor());
    badgeLabel->setText(m_badge);
    cell->imageView()->setImage(image());
    const bool acts = hasSections() || !controllerAction().isEmpty();
    cell->setAccessoryType(acts ? TableViewCell::AccessoryType::DisclosureIndicator
                                : TableViewCell::AccessoryType::None);
    cell->setSelectionStyle(
        acts ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    return cell;
}
