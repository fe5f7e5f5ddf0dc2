#pragma once

#include "platform/ui/Control.h"

#include <QCalendar>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QTimeZone>

#include <memory>

namespace platform::ui {

class PickerView;

// A date, a time, both, or a count-down duration, chosen on wheels: month, day and year
// in the locale's order; hour, minute (in steps of the minute interval) and AM/PM where
// the locale uses them; for date and time one wheel of days ("Today" among them). Rows
// outside the minimum and maximum date are grey, and a wheel brought onto one rolls back
// to the nearest allowed value. A person's change sends value-changed; a value set in code
// does not.
class DatePicker : public Control {
    Q_OBJECT
public:
    enum class Mode { Time = 0, Date = 1, DateAndTime = 2, CountDownTimer = 3 };
    enum class Style { Automatic = 0, Wheels = 1, Compact = 2, Inline = 3 };

    explicit DatePicker(QWidget* parent = nullptr);
    explicit DatePicker(const QRectF& frame, QWidget* parent = nullptr);
    ~DatePicker() override;

    Mode datePickerMode() const { return m_mode; }
    void setDatePickerMode(Mode mode);

    QDateTime date() const { return m_date; }
    void setDate(const QDateTime& date, bool animated = false);
    QDateTime minimumDate() const { return m_minimum; }
    void setMinimumDate(const QDateTime& date);
    QDateTime maximumDate() const { return m_maximum; }
    void setMaximumDate(const QDateTime& date);
    // Minutes between two rows of the minute wheel: 1 to 30, dividing 60 (else 1).
    int minuteInterval() const { return m_interval; }
    void setMinuteInterval(int minutes);
    // Seconds, in count-down mode: at least one minute interval, at most 23:59.
    double countDownDuration() const { return m_duration; }
    void setCountDownDuration(double seconds);

    QLocale locale() const { return m_locale; }
    void setLocale(const QLocale& locale);
    QTimeZone timeZone() const { return m_timeZone; }
    void setTimeZone(const QTimeZone& zone);
    // Kept for those that hand one over; the wheels count in the Gregorian calendar.
    QCalendar calendar() const { return m_calendar; }
    void setCalendar(const QCalendar& calendar) { m_calendar = calendar; }

    // The style asked for, and the one shown: wheels, whatever was asked.
    Style preferredDatePickerStyle() const { return m_preferredStyle; }
    void setPreferredDatePickerStyle(Style style) { m_preferredStyle = style; }
    Style datePickerStyle() const { return Style::Wheels; }

    // The wheels (tests turn them).
    PickerView* wheels() const;

    void layoutSubviews() override;
    QSizeF sizeThatFits(const QSizeF& size) const override;

    // What every date picker made from now on starts with (the style object sets it).
    struct Appearance {
        Style preferredDatePickerStyle = Style::Automatic;
    };
    static Appearance& appearance();

private:
    enum class Column { Month, Day, Year, Days, Hour, Minute, Meridiem, Hours, Minutes };
    class Wheels;
    class Source;
    friend class Wheels;
    friend class Source;

    void setUp();
    void rebuild();
    void fitRanges();
    void showValue(bool animated);
    bool uses12Hours() const;
    int rowCount(Column column) const;
    QString title(Column column, int row) const;
    double width(Column column) const;
    int rowFor(Column column) const;
    // The value the wheels show, with one wheel at another row; invalid for a day the
    // month does not have.
    QDateTime valueWith(int component, int row) const;
    QDateTime clamped(const QDateTime& date) const;
    bool allowed(int component, int row) const;
    void userTurned(int component);

    Mode m_mode = Mode::DateAndTime;
    Style m_preferredStyle = Style::Automatic;
    QDateTime m_date;
    QDateTime m_minimum;
    QDateTime m_maximum;
    int m_interval = 1;
    double m_duration = 0;
    QLocale m_locale;
    QTimeZone m_timeZone;
    QCalendar m_calendar;
    QList<Column> m_columns;
    int m_firstYear = 1900;
    int m_lastYear = 2100;
    QDate m_firstDay;
    QDate m_lastDay;
    Wheels* m_wheels = nullptr;
    std::unique_ptr<Source> m_source;
};

} // namespace platform::ui
