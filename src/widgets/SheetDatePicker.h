#pragma once

#include "platform/ui/DatePicker.h"
#include "widgets/AbstractSheetPicker.h"

#include <QCalendar>
#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

// Picks a date, a time, both, or a count-down duration. Done reports the date (in
// count-down mode the duration in seconds, as a number) to the done block, or to the
// target's success action as (QVariant value, QObject* origin).
class SheetDatePicker : public AbstractSheetPicker {
    Q_OBJECT
public:
    using DoneBlock = std::function<void(
        SheetDatePicker* picker, const QVariant& selectedValue, QObject* origin)>;
    using CancelBlock = std::function<void(SheetDatePicker* picker)>;
    using Mode = platform::ui::DatePicker::Mode;

    SheetDatePicker(const QString& title, Mode datePickerMode, const QDateTime& selectedDate,
        QObject* target, const QByteArray& action, QObject* origin,
        const QByteArray& cancelAction = {}, QObject* parent = nullptr);
    SheetDatePicker(const QString& title, Mode datePickerMode, const QDateTime& selectedDate,
        DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin, QObject* parent = nullptr);

    static SheetDatePicker* showPickerWithTitle(const QString& title, Mode datePickerMode,
        const QDateTime& selectedDate, QObject* target, const QByteArray& action, QObject* origin);
    static SheetDatePicker* showPickerWithTitle(const QString& title, Mode datePickerMode,
        const QDateTime& selectedDate, DoneBlock doneBlock, CancelBlock cancelBlock,
        QObject* origin);

    QDateTime minimumDate() const { return m_minimumDate; }
    void setMinimumDate(const QDateTime& date) { m_minimumDate = date; }
    QDateTime maximumDate() const { return m_maximumDate; }
    void setMaximumDate(const QDateTime& date) { m_maximumDate = date; }
    int minuteInterval() const { return m_minuteInterval; }
    void setMinuteInterval(int minutes) { m_minuteInterval = minutes; }
    QLocale locale() const { return m_locale; }
    void setLocale(const QLocale& locale) { m_locale = locale; }
    QCalendar calendar() const { return m_calendar; }
    void setCalendar(const QCalendar& calendar) { m_calendar = calendar; }
    QTimeZone timeZone() const { return m_timeZone; }
    void setTimeZone(const QTimeZone& zone) { m_timeZone = zone; }
    double countDownDuration() const { return m_countDownDuration; }
    void setCountDownDuration(double seconds) { m_countDownDuration = seconds; }
    Mode datePickerMode() const { return m_datePickerMode; }
    QDateTime selectedDate() const { return m_selectedDate; }

    // The date picker's value changed: its date and duration are kept.
    void eventForDatePicker(QObject* sender);

    platform::ui::View* configuredPickerView() override;
    void notifyTargetDidSucceed(
        QObject* target, const QByteArray& action, QObject* origin) override;
    void customButtonPressed(int tag) override;

private:
    QDateTime m_minimumDate;
    QDateTime m_maximumDate;
    int m_minuteInterval = 1;
    QLocale m_locale;
    QCalendar m_calendar;
    QTimeZone m_timeZone = QTimeZone::systemTimeZone();
    double m_countDownDuration = 0;
    DoneBlock m_onActionSheetDone;
    Mode m_datePickerMode = Mode::DateAndTime;
    QDateTime m_selectedDate;
};
