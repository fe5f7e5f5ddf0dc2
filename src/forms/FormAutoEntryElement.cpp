#include "forms/FormAutoEntryElement.h"

#include "forms/FormAutoEntryTableViewCell.h"
#include "forms/FormTableView.h"

FormAutoEntryElement::FormAutoEntryElement() = default;

std::shared_ptr<FormAutoEntryElement> FormAutoEntryElement::initWithTitle(
    const QString& title, const QString& value, const QString& placeholder)
{
    auto element = std::make_shared<FormAutoEntryElement>();
    element->setTitle(title);
    element->setTextValue(value);
    element->setPlaceholder(placeholder);
    return element;
}

QString FormAutoEntryElement::completionForPrefix(const QString& prefix)
{
    return completion(m_autoCompleteValues, prefix, &m_lastAutoComplete);
}

QString FormAutoEntryElement::completion(
    const QStringList& values, const QString& prefix, QString* full)
{
    // An empty field offers nothing: leaving it must not write in the list's first value.
    if (!prefix.isEmpty()) {
        const QString lowered = prefix.toLower();
        for (const QString& value : values) {
            if (value.toLower().startsWith(lowered)) {
                if (full)
                    *full = value;
                return value.mid(prefix.size());
            }
        }
    }
    if (full)
        *full = prefix;
    return QString(0, QChar());
}

platform::ui::TableViewCell* FormAutoEntryElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    auto* cell = qobject_cast<FormAutoEntryTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(FormAutoEntryTableViewCell::ReuseIdentifier));
    if (!cell)
        cell = new FormAutoEntryTableViewCell;
    setUpEntryCell(cell, controller);
    cell->prepareForElement(this, tableView);
    return cell;
}

void FormAutoEntryElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    if (isEnabled())
        FormEntryElement::selected(tableView, controller, indexPath);
}
