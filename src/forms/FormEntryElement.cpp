#include "forms/FormEntryElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormEntryElementDelegate.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormTableView.h"
#include "platform/ui/ImageView.h"

#include <algorithm>

using Traits = platform::ui::TextInputTraits;

FormEntryElement::FormEntryElement() = default;

std::shared_ptr<FormEntryElement> FormEntryElement::initWithTitle(
    const QString& title, const QString& value, const QString& placeholder)
{
    auto element = std::make_shared<FormEntryElement>();
    element->setTitle(title);
    element->setTextValue(value);
    element->setPlaceholder(placeholder);
    return element;
}

void FormEntryElement::setTextFromField(const QString& text)
{
    setTextValue(text.isNull() ? QString(0, QChar()) : text);
}

void FormEntryElement::setAutocorrectionType(int type)
{
    m_traits.autocorrectionType = Traits::AutocorrectionType(type);
}

void FormEntryElement::setAutocapitalizationType(int type)
{
    m_traits.autocapitalizationType = Traits::AutocapitalizationType(type);
}

void FormEntryElement::setKeyboardType(int type)
{
    m_traits.keyboardType = Traits::KeyboardType(type);
}

void FormEntryElement::setKeyboardAppearance(int appearance)
{
    m_traits.keyboardAppearance = Traits::KeyboardAppearance(appearance);
}

void FormEntryElement::setReturnKeyType(int type)
{
    m_traits.returnKeyType = Traits::ReturnKeyType(type);
}

void FormEntryElement::setController(FormControllerProtocol* controller)
{
    m_controller = FormControllerReference(controller);
}

void FormEntryElement::handleEditingChanged(FormEntryTableViewCell* cell)
{
    if (m_delegate)
        m_delegate->FormEntryEditingChangedForElement(this, cell);
    handleEditingChanged();
}

void FormEntryElement::fieldDidEndEditing()
{
    handleElementSelected(m_controller.get());
}

bool FormEntryElement::canTakeFocus() const
{
    return isEnabled() && !hidden();
}

void FormEntryElement::setUpEntryCell(
    FormEntryTableViewCell* cell, FormControllerProtocol* controller)
{
    cell->applyAppearanceForElement(this);
    setController(controller);
    cell->setSelectionStyle(platform::ui::TableViewCell::SelectionStyle::None);
    cell->textField()->setEnabled(isEnabled());
    cell->textField()->setUserInteractionEnabled(isEnabled());
    cell->textField()->setTextAlignment(appearance()->entryAlignment | Qt::AlignVCenter);
    cell->imageView()->setImage(image());
    attachImageOnSelected(cell->imageView());
}

platform::ui::TableViewCell* FormEntryElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    auto* cell = qobject_cast<FormEntryTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(FormEntryTableViewCell::ReuseIdentifier));
    if (!cell)
        cell = new FormEntryTableViewCell;
    setUpEntryCell(cell, controller);
    cell->prepareForElement(this, tableView);
    return cell;
}

void FormEntryElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, textValue(), key());
}

std::optional<QString> FormEntryElement::fittingReplacement(const QString& text,
    const platform::ui::TextRange& range, const QString& replacement, int maxLength)
{
    if (maxLength <= 0)
        return replacement;
    const qsizetype length = text.size();
    const qsizetype replaced = std::clamp<qsizetype>(range.length, 0, length);
    const qsizetype kept = length - replaced;
    // The text may reach the limit, or stay as long as it already is when it is over.
    const qsizetype allowed = std::max<qsizetype>(maxLength, length);
    const qsizetype room = allowed - kept;
    if (replacement.size() <= room)
        return replacement;
    qsizetype cut = std::max<qsizetype>(room, 0);
    if (cut > 0 && cut < replacement.size() && replacement[cut - 1].isHighSurrogate()
        && replacement[cut].isLowSurrogate())
        --cut;
    if (cut == 0 && replaced == 0)
        return std::nullopt;
    return replacement.left(cut);
}
