#include "forms/FormProgressElement.h"

#include "forms/FormProgressTableViewCell.h"
#include "platform/ui/ProgressView.h"

FormProgressElement::FormProgressElement() = default;

FormProgressElement::~FormProgressElement() = default;

void FormProgressElement::setProgress(float progress)
{
    m_progress = progress;
    if (m_bar)
        m_bar->setProgress(progress);
}

void FormProgressElement::setNilValueForKey(const QString& key)
{
    if (key == QLatin1String("progress"))
        setProgress(0);
    else
        FormElement::setNilValueForKey(key);
}

platform::ui::TableViewCell* FormProgressElement::getCellForTableView(
    FormTableView*, FormControllerProtocol*)
{
    auto* cell = new FormProgressTableViewCell(cellReuseIdentifier());
    cell->applyAppearanceForElement(this);
    cell->setSelectionStyle(platform::ui::TableViewCell::SelectionStyle::None);
    cell->bar()->setProgress(m_progress);
    m_bar = cell->bar();
    return cell;
}
