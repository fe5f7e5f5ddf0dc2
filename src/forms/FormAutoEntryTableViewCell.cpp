#include "forms/FormAutoEntryTableViewCell.h"

#include "forms/FormAppearance.h"
#include "forms/FormAutoEntryElement.h"
#include "forms/FormSection.h"
#include "platform/ui/Label.h"
#include "widgets/AutocompleteTextField.h"
#include "widgets/AutocompleteTextFieldDelegate.h"

using namespace platform::ui;

const QString FormAutoEntryTableViewCell::ReuseIdentifier
    = QStringLiteral("QuickformAutoEntryElement");

namespace {

// The title ends this far before the entry column.
constexpr double kTitleGap = 20;

} // namespace

// The field's delegate: the cell's own answers, and the completion.
class FormAutoEntryTableViewCell::Completer : public AutocompleteTextFieldDelegate {
public:
    explicit Completer(FormAutoEntryTableViewCell* cell)
        : m_cell(cell)
    {
    }

    QString textFieldCompletionForPrefix(AutocompleteTextField*, const QString& prefix) override
    {
        return m_cell->completionForPrefix(prefix);
    }
    bool textFieldShouldBeginEditing(TextField* field) override
    {
        return m_cell->textFieldShouldBeginEditing(field);
    }
    void textFieldDidBeginEditing(TextField* field) override
    {
        m_cell->textFieldDidBeginEditing(field);
    }
    bool textFieldShouldEndEditing(TextField* field) override
    {
        return m_cell->textFieldShouldEndEditing(field);
    }
    void textFieldDidEndEditing(TextField* field) override
    {
        m_cell->textFieldDidEndEditing(field);
    }
    bool textFieldShouldChangeCharactersInRange(
        TextField* field, const TextRange& range, const QString& replacement) override
    {
        return m_cell->textFieldShouldChangeCharactersInRange(field, range, replacement);
    }
    bool textFieldShouldClear(TextField* field) override
    {
        return m_cell->textFieldShouldClear(field);
    }
    bool textFieldShouldReturn(TextField* field) override
    {
        return m_cell->textFieldShouldReturn(field);
    }
    bool textFieldShouldMoveFocus(TextField* field, FocusMove move) override
    {
        return m_cell->textFieldShouldMoveFocus(field, move);
    }

private:
    FormAutoEntryTableViewCell* m_cell;
};

FormAutoEntryTableViewCell::FormAutoEntryTableViewCell(QWidget* parent)
    : FormEntryTableViewCell(ReuseIdentifier, new AutocompleteTextField, parent)
    , m_completer(std::make_unique<Completer>(this))
{
    textField()->setDelegate(m_completer.get());
}

FormAutoEntryTableViewCell::~FormAutoEntryTableViewCell()
{
    textField()->setDelegate(nullptr);
}

AutocompleteTextField* FormAutoEntryTableViewCell::autocompleteField() const
{
    return static_cast<AutocompleteTextField*>(textField());
}

void FormAutoEntryTableViewCell::prepareForElement(
    FormEntryElement* entry, FormTableView* tableView)
{
    auto* element = qobject_cast<FormAutoEntryElement*>(entry);
    if (!element) {
        FormEntryTableViewCell::prepareForElement(entry, tableView);
        return;
    }
    rememberElement(element, tableView);
    textField()->setDelegate(m_completer.get());
    textLabel()->setText(element->title());
    setLabelingPolicy(element->labelingPolicy());
    m_values = element->autoCompleteValues();
    autocompleteField()->setAutoCompletes(m_values);
    textField()->setText(element->textValue());
    textField()->setPlaceholder(element->placeholder());
    textField()->setTraits(element->traits());
    textField()->setClearsOnBeginEditing(element->clearsOnBeginEditing());
    if (element->autoCompleteColor)
        autocompleteField()->setAutocompleteTextColor(element->autoCompleteColor->toQColor());
    const std::shared_ptr<FormAppearance> look = element->appearance();
    if (look->entryFont)
        textField()->setFont(*look->entryFont);
    const std::optional<Color>& color
        = element->isEnabled() ? look->entryTextColorEnabled : look->entryTextColorDisabled;
    if (color)
        textField()->setTextColor(color->toQColor());
    if (actionBar() || textField()->isFirstResponder())
        installActionBar();
    textField()->setUserInteractionEnabled(element->isEnabled());
    updatePrevNextStatus();
    setNeedsLayout();
}

bool FormAutoEntryTableViewCell::becomeFirstResponder()
{
    m_completionEnabled = false;
    return FormEntryTableViewCell::becomeFirstResponder();
}

QString FormAutoEntryTableViewCell::completionForPrefix(const QString& prefix)
{
    if (!m_completionEnabled)
        return QStringLiteral("");
    // A cleared field (no text at all) is an empty prefix: it offers nothing and leaving
    // it writes nothing in.
    return FormAutoEntryElement::completion(
        m_values, prefix.isNull() ? QStringLiteral("") : prefix, &m_lastFull);
}

void FormAutoEntryTableViewCell::textFieldEditingChanged()
{
    m_completionEnabled = true;
    FormEntryTableViewCell::textFieldEditingChanged();
}

void FormAutoEntryTableViewCell::textSetByCell()
{
    textFieldEditingChanged();
    autocompleteField()->refreshAutocomplete();
}

void FormAutoEntryTableViewCell::textFieldDidBeginEditing(TextField* field)
{
    m_completionEnabled = false;
    FormEntryTableViewCell::textFieldDidBeginEditing(field);
}

void FormAutoEntryTableViewCell::textFieldDidEndEditing(TextField* field)
{
    // Leaving the field takes the offered value.
    FormEntryElement* element = entryElement();
    if (element && m_completionEnabled && element->textValue() != m_lastFull) {
        field->setText(m_lastFull);
        element->setTextFromField(m_lastFull);
        element->handleEditingChanged(this);
    }
    FormEntryTableViewCell::textFieldDidEndEditing(field);
}

bool FormAutoEntryTableViewCell::textFieldShouldReturn(TextField* field)
{
    // Return keeps what was typed.
    const bool completing = m_completionEnabled;
    m_completionEnabled = false;
    const bool answer = FormEntryTableViewCell::textFieldShouldReturn(field);
    field->resignFirstResponder();
    m_completionEnabled = completing;
    return answer;
}

void FormAutoEntryTableViewCell::recalculateEntryFieldPosition()
{
    FormEntryElement* element = entryElement();
    FormSection* section = element ? element->parentSection() : nullptr;
    if (section)
        section->entryPosition = QRectF();
    const QRectF frame = calculateFrameForEntryElement();
    textField()->setFrame(frame);
    const double column = section ? section->entryPosition.x() : frame.x();
    const QRectF title = textLabel()->frame();
    textLabel()->setFrame(
        QRectF(title.topLeft(), QSizeF(std::max(0.0, column - kTitleGap), title.height())));
}
