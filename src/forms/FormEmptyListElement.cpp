#include "forms/FormEmptyListElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using platform::ui::TableViewCell;

const QString FormEmptyListElement::ReuseIdentifier = QStringLiteral("FormEmptyListElement");

namespace {

const QString kEmpty = QStringLiteral("Empty");

} // namespace

FormEmptyListElement::FormEmptyListElement()
{
    setTitle(kEmpty);
}

std::shared_ptr<FormEmptyListElement> FormEmptyListElement::initWithTitle(const QString& title)
{
    auto element = std::make_shared<FormEmptyListElement>();
    element->setTitle(title);
    return element;
}

TableViewCell* FormEmptyListElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol*)
{
    auto* cell = qobject_cast<FormTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(ReuseIdentifier));
    if (!cell)
        cell = new FormTableViewCell(ReuseIdentifier, TableViewCell::Style::Default);
    cell->applyAppearanceForElement(this);
    platform::ui::Label* label = cell->textLabel();
    label->setText(title());
    label->setTextAlignment(Qt::AlignCenter);
    label->setTextColor(QColor::fromRgbF(0.7f, 0.7f, 0.7f, 1.0f));
    if (const std::shared_ptr<FormAppearance> look = appearance(); look->labelFont)
        label->setFont(*look->labelFont);
    cell->imageView()->setImage({});
    cell->setAccessoryView(nullptr);
    cell->setAccessoryType(TableViewCell::AccessoryType::None);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    return cell;
}
