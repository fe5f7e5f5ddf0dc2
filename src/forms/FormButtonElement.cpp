#include "forms/FormButtonElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using namespace platform::ui;

const QString FormButtonElement::ReuseIdentifier = QStringLiteral("QuickformButtonElement");

FormButtonElement::FormButtonElement() = default;

std::shared_ptr<FormButtonElement> FormButtonElement::initWithTitle(const QString& title)
{
    auto element = std::make_shared<FormButtonElement>();
    element->setTitle(title);
    return element;
}

TableViewCell* FormButtonElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol*)
{
    auto* cell = qobject_cast<FormTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(ReuseIdentifier));
    if (!cell)
        cell = new FormTableViewCell(ReuseIdentifier, TableViewCell::Style::Default);
    cell->applyAppearanceForElement(this);
    const std::shared_ptr<FormAppearance> look = appearance();
    Label* label = cell->textLabel();
    label->setText(title());
    label->setTextAlignment(look->buttonAlignment | Qt::AlignVCenter);
    if (look->labelFont)
        label->setFont(*look->labelFont);
    const std::optional<Color>& color
        = isEnabled() ? look->actionColorEnabled : look->actionColorDisabled;
    if (color)
        label->setTextColor(color->toQColor());
    cell->imageView()->setImage(image());
    cell->setAccessoryView(nullptr);
    cell->setAccessoryType(TableViewCell::AccessoryType(accessoryType()));
    cell->setSelectionStyle(TableViewCell::SelectionStyle::Blue);
    return cell;
}

void FormButtonElement::selected(
    FormTableView* tableView, FormControllerProtocol* controller, const IndexPath& indexPath)
{
    QPointer<FormTableView> table(tableView);
    if (isEnabled())
        FormLabelElement::selected(tableView, controller, indexPath);
    if (table)
        table->deselectRowAtIndexPath(indexPath, true);
}
