#include "forms/FormDateEntryTableViewCell.h"

#include "forms/FormAppearance.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormTextField.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <QTimeZone>

using namespace platform::ui;

const QString FormDateEntryTableViewCell::ReuseIdentifier
    = QStringLiteral("QuickformDateTimeInlineElement");

namespace {

constexpr double kPickerHeight = 250;
constexpr double kLabelInset = 10;

QPointer<DatePicker>& classPicker()
{
    static QPointer<DatePicker> picker;
    return picker;
}

} // namespace

FormDateEntryTableViewCell::FormDateEntryTableViewCell(QWidget* parent)
    : FormEntryTableViewCell(ReuseIdentifier, new FormTextField, parent)
{
    // The field only holds the focus: nothing of it shows and it takes no touches of
    // its own, but it still takes the keys (Tab, Return) while it is first responder.
    textField()->setAlpha(0);
    m_centeredLabel = new Label(contentView());
    m_centeredLabel->setHighlightedTextColor(Qt::white);
    m_centeredLabel->setFont(Font::system(17));
    m_centeredLabel->setBackgroundColor(Qt::transparent);
    m_centeredLabel->setTextAlignment(Qt::AlignCenter);
    m_centeredLabel->setUserInteractionEnabled(false);
    setSelectionStyle(SelectionStyle::Blue);
}

FormDateEntryTableViewCell::~FormDateEntryTableViewCell()
{
    if (m_picker)
        m_picker->deleteLater();
}

DatePicker* FormDateEntryTableViewCell::getPickerForDate()
{
    auto* picker = new DatePicker;
    picker->setTimeZone(QTimeZone::systemTimeZone());
    picker->sizeToFit();
    picker->setFrame(QRectF(0, 0, Device::current().screenBounds().width(), kPickerHeight));
    classPicker() = picker;
    return picker;
}

void FormDateEntryTableViewCell::prepareForElement(
    FormEntryElement* entry, FormTableView* tableView)
{
    FormEntryTableViewCell::prepareForElement(entry, tableView);
    auto* element = qobject_cast<FormDateTimeInlineElement*>(entry);
    if (!element)
        return;
    const QString text = element->displayText();
    if (element->centerLabel()) {
        textLabel()->setText(QString());
        m_centeredLabel->setText(text);
        if (Label* detail = detailTextLabel())
            detail->setText(QString());
    } else {
        textLabel()->setText(element->title());
        m_centeredLabel->setText(QString());
        if (Label* detail = detailTextLabel())
            detail->setText(text);
    }
    textField()->setText(text);
    textField()->setPlaceholder(element->placeholder());
    if (element->hiddenToolbar())
        textField()->setInputAccessoryView(nullptr);
    if (const std::optional<Color>& color = element->appearance()->entryTextColorEnabled)
        m_centeredLabel->setTextColor(color->toQColor());
    setNeedsLayout();
}

void FormDateEntryTableViewCell::textFieldDidBeginEditing(TextField* field)
{
    auto* element = qobject_cast<FormDateTimeInlineElement*>(entryElement());
    if (element) {
        DatePicker* picker = getPickerForDate();
        QPointer<FormDateEntryTableViewCell> self(this);
        picker->addTarget(
            [self](Control*) {
                if (self)
                    self->dateChanged();
            },
            ControlEventValueChanged);
        picker->setDatePickerMode(DatePicker::Mode(element->mode()));
        picker->setMaximumDate(element->maximumDate());
        picker->setMinimumDate(element->minimumDate());
        picker->setMinuteInterval(int(element->minuteInterval()));
        if (element->mode() == FormDateTimeInlineElement::CountDownTimer) {
            const QVariant ticks = element->ticksValue();
            if (ticks.isValid())
                picker->setCountDownDuration(ticks.toDouble());
        } else if (element->dateValue().isValid()) {
            picker->setDate(element->dateValue());
        }
        if (m_picker && m_picker != picker)
            m_picker->deleteLater();
        m_picker = picker;
        field->setInputView(picker);
    }
    FormEntryTableViewCell::textFieldDidBeginEditing(field);
    setSelected(true, false);
}

void FormDateEntryTableViewCell::dateChanged()
{
    auto* element = qobject_cast<FormDateTimeInlineElement*>(entryElement());
    if (!element || !m_picker)
        return;
    if (element->mode() == FormDateTimeInlineElement::CountDownTimer)
        element->setTicksValue(m_picker->countDownDuration());
    else
        element->setDateValue(m_picker->date());
    prepareForElement(element, quickformTableView());
    element->handleEditingChanged(this);
}

void FormDateEntryTableViewCell::textFieldDidEndEditing(TextField* field)
{
    FormEntryTableViewCell::textFieldDidEndEditing(field);
    if (m_picker) {
        m_picker->removeAllTargets();
        field->setInputView(nullptr);
        m_picker->deleteLater();
        m_picker.clear();
    }
    setSelected(false, true);
}

void FormDateEntryTableViewCell::setSelected(bool selected, bool animated)
{
    if (!selected && m_picker && textField()->isFirstResponder())
        return;
    FormEntryTableViewCell::setSelected(selected, animated);
}

void FormDateEntryTableViewCell::layoutSubviews()
{
    FormEntryTableViewCell::layoutSubviews();
    const QRectF content = contentView()->bounds();
    m_centeredLabel->setFrame(
        QRectF(kLabelInset, kLabelInset, std::max(0.0, content.width() - 2 * kLabelInset),
            std::max(0.0, content.height() - 2 * kLabelInset)));
}
