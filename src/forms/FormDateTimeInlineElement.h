#pragma once

#include "forms/FormEntryElement.h"

#include <QDateTime>

// The date row of a form: the platform's date picker takes the keyboard's place when the
// row is tapped, and the row shows the value formatted by its mode.
class FormDateTimeInlineElement : public FormEntryElement {
    Q_OBJECT
    Q_PROPERTY(QDateTime dateValue READ dateValue WRITE setDateValue)
    Q_PROPERTY(int mode READ mode WRITE setMode)
    Q_PROPERTY(qint64 minuteInterval READ minuteInterval WRITE setMinuteInterval)
    Q_PROPERTY(bool centerLabel READ centerLabel WRITE setCenterLabel)
    Q_PROPERTY(QDateTime maximumDate READ maximumDate WRITE setMaximumDate)
    Q_PROPERTY(QDateTime minimumDate READ minimumDate WRITE setMinimumDate)
    Q_PROPERTY(QVariant ticksValue READ ticksValue WRITE setTicksValue)

public:
    // The platform's date-picker modes.
    enum Mode { Time = 0, Date = 1, DateAndTime = 2, CountDownTimer = 3 };

    // The value is now; the row stays selected while its picker is open.
    Q_INVOKABLE FormDateTimeInlineElement();
    static std::shared_ptr<FormDateTimeInlineElement> initWithKey(const QString& key);
    static std::shared_ptr<FormDateTimeInlineElement> initWithTitle(
        const QString& title, const QDateTime& date, int mode);
    static std::shared_ptr<FormDateTimeInlineElement> initWithDate(const QDateTime& date, int mode);

    // Nil (an invalid date) empties the row.
    virtual QDateTime dateValue() const { return m_dateValue; }
    virtual void setDateValue(const QDateTime& date) { m_dateValue = date; }
    int mode() const { return m_mode; }
    void setMode(int mode) { m_mode = mode; }
    qint64 minuteInterval() const { return m_minuteInterval; }
    void setMinuteInterval(qint64 interval) { m_minuteInterval = interval; }
    // Show the value centred in place of the title.
    bool centerLabel() const { return m_centerLabel; }
    void setCenterLabel(bool center) { m_centerLabel = center; }
    QDateTime maximumDate() const { return m_maximumDate; }
    void setMaximumDate(const QDateTime& date) { m_maximumDate = date; }
    QDateTime minimumDate() const { return m_minimumDate; }
    void setMinimumDate(const QDateTime& date) { m_minimumDate = date; }
    // Seconds since 1970 of the value (nil without one); setting nil changes nothing.
    virtual QVariant ticksValue() const;
    virtual void setTicksValue(const QVariant& seconds);

    // The signed time from now to the value as "hh:mm:ss", each part cut toward zero.
    QString textValue() const override;

    // The text the row shows: the value in the custom format when there is one, else by
    // mode (a short time, a medium date, both, or for the count-down the hours and
    // minutes of ticksValue). Empty without a value.
    QString displayText() const;
    // A date in the custom format, else in the styles of the mode; empty for nil.
    static QString formatDate(const QDateTime& date, int mode, const QString& customFormat);
    // "%d hrs, %d mins" of a duration (the hours only from one hour on).
    static QString formatInterval(double seconds);

    // The date cell; tapping the row opens the picker.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

    // Writes the value under the key.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    QDateTime m_dateValue;
    int m_mode = Time;
    qint64 m_minuteInterval = 1;
    bool m_centerLabel = false;
    QDateTime m_maximumDate;
    QDateTime m_minimumDate;
};
