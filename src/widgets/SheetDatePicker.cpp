#include "widgets/SheetDatePicker.h"

using namespace platform::ui;

SheetDatePicker::SheetDatePicker(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, QObject* target, const QByteArray& action, QObject* origin,
    const QByteArray& cancelAction, QObject* parent)
    : AbstractSheetPicker(target, action, cancelAction, origin, parent)
    , m_datePickerMode(datePickerMode)
    // With no date given the wheels start at now.
    , m_selectedDate(selectedDate.isValid() ? selectedDate : QDateTime::currentDateTime())
{
    setTitle(title);
}

SheetDatePicker::SheetDatePicker(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin,
    QObject* parent)
    : SheetDatePicker(title, datePickerMode, selectedDate, nullptr, {}, origin, {}, parent)
{
    m_onActionSheetDone = std::move(doneBlock);
    if (cancelBlock)
        setCancelBlock([this, block = std::move(cancelBlock)] { block(this); });
}

SheetDatePicker* SheetDatePicker::showPickerWithTitle(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, QObject* target, const QByteArray& action, QObject* origin)
{
    return showNewPicker(
        new SheetDatePicker(title, datePickerMode, selectedDate, target, action, origin));
}

SheetDatePicker* SheetDatePicker::showPickerWithTitle(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin)
{
    return showNewPicker(new SheetDatePicker(
        title, datePickerMode, selectedDate, std::move(doneBlock), std::move(cancelBlock), origin));
}

View* SheetDatePicker::configuredPickerView()
{
    auto* picker = new DatePicker(pickerFrame());
    picker->setAutoresizingMask(AutoresizingFlexibleWidth);
    picker->setDatePickerMode(m_datePickerMode);
    picker->setMaximumDate(m_maximumDate);
    picker->setMinimumDate(m_minimumDate);
    picker->setMinuteInterval(m_minuteInterval);
    picker->setCalendar(m_calendar);
    picker->setTimeZone(m_timeZone);
    picker->setLocale(m_locale);
    if (m_datePickerMode != Mode::CountDownTimer) {
        picker->setDate(m_selectedDate, false);
        // A date outside the limits is reported as the wheels show it.
        m_selectedDate = picker->date();
    } else
        picker->setCountDownDuration(m_countDownDuration);
    QPointer<SheetDatePicker> self(this);
    picker->addTarget(
        [self](Control* sender) {
            if (self)
                self->eventForDatePicker(sender);
        },
        ControlEventValueChanged);
    setPickerView(picker);
    return picker;
}

void SheetDatePicker::eventForDatePicker(QObject* sender)
{
    auto* picker = qobject_cast<DatePicker*>(sender);
    if (!picker)
        return;
    m_selectedDate = picker->date();
    m_countDownDuration = picker->countDownDuration();
}

void SheetDatePicker::notifyTargetDidSucceed(
    QObject* target, const QByteArray& action, QObject* origin)
{
    QVariant value = m_selectedDate;
    if (m_datePickerMode == Mode::CountDownTimer) {
        auto* picker = qobject_cast<DatePicker*>(pickerView());
        value = picker ? picker->countDownDuration() : m_countDownDuration;
    }
    if (m_onActionSheetDone) {
        m_onActionSheetDone(this, value, origin);
        return;
    }
    if (!invokeSuccessAction(target, action, value, origin))
        raise(invalidTargetActionMessage(target, action));
}

void SheetDatePicker::customButtonPressed(int tag)
{
    const std::optional<QVariant> value
        = customButtonSelectValue(tag, "Bad custom button tag: %zd, custom button count: %zd");
    if (!value)
        return;
    auto* picker = qobject_cast<DatePicker*>(pickerView());
    if (!picker)
        raise(QStringLiteral("Bad pickerView for SheetDatePicker, doesn't respond to "
                             "setDate:animated:"));
    if (m_datePickerMode == Mode::CountDownTimer)
        return;
    // A value that is not a date does nothing.
    if (value->typeId() != QMetaType::QDateTime || !value->toDateTime().isValid())
        return;
    picker->setDate(value->toDateTime(), true);
    eventForDatePicker(picker);
}
