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
    m_onActionSheetCancel = std::move(cancelBlock);
}

SheetDatePicker* SheetDatePicker::showPickerWithTitle(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, QObject* target, const QByteArray& action, QObject* origin)
{
    auto* picker = new SheetDatePicker(title, datePickerMode, selectedDate, target, action, origin);
    try {
        picker->showSheetPicker();
    } catch (...) {
        delete picker;
        throw;
    }
    return picker;
}

SheetDatePicker* SheetDatePicker::showPickerWithTitle(const QString& title, Mode datePickerMode,
    const QDateTime& selectedDate, DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin)
{
    auto* picker = new SheetDatePicker(
        title, datePickerMode, selectedDate, std::move(doneBlock), std::move(cancelBlock), origin);
    try {
        picker->showSheetPicker();
    } catch (...) {
        delete picker;
        throw;
    }
    return picker;
}

View* SheetDatePicker::configuredPickerView()
{
    auto* picker = new DatePicker(QRectF(0, PickerTop, viewSize().width(), PickerHeight));
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
    if (!answers(target, action, "QVariant,QObject*"))
        raise(invalidTargetActionMessage(target, action));
    QMetaObject::invokeMethod(target, action.constData(), Qt::DirectConnection,
        Q_ARG(QVariant, value), Q_ARG(QObject*, origin));
}

void SheetDatePicker::notifyTargetDidCancel(
    QObject* target, const QByteArray& action, QObject* origin)
{
    if (m_onActionSheetCancel) {
        m_onActionSheetCancel(this);
        return;
    }
    AbstractSheetPicker::notifyTargetDidCancel(target, action, origin);
}

void SheetDatePicker::customButtonPressed(int tag)
{
    const QVariantMap record
        = customButtonRecord(tag, "Bad custom button tag: %zd, custom button count: %zd");
    if (runClosingCustomButton(record))
        return;
    if (record.value(ButtonActionKey).toInt() != SelectValue)
        raise(QStringLiteral("Unknown action type"));
    auto* picker = qobject_cast<DatePicker*>(pickerView());
    if (!picker)
        raise(QStringLiteral("Bad pickerView for SheetDatePicker, doesn't respond to "
                             "setDate:animated:"));
    if (m_datePickerMode == Mode::CountDownTimer)
        return;
    // A value that is not a date does nothing.
    const QVariant value = record.value(ButtonValueKey);
    if (value.typeId() != QMetaType::QDateTime || !value.toDateTime().isValid())
        return;
    picker->setDate(value.toDateTime(), true);
    eventForDatePicker(picker);
}
