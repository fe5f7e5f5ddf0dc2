#include "platform/ui/DatePicker.h"

#include "platform/ui/PickerView.h"

#include <QPointer>

#include <cmath>

namespace platform::ui {

namespace {

constexpr int kDaysEachSide = 3650;
constexpr int kYearsEachSide = 100;
constexpr double kLongestCountDown = 23 * 3600 + 59 * 60;
const QColor kUnavailable(142, 142, 147, 150);

} // namespace

// The wheels, showing rows outside the limits in grey.
class DatePicker::Wheels : public PickerView {
public:
    explicit Wheels(DatePicker* picker)
        : PickerView(picker)
        , m_picker(picker)
    {
    }

protected:
    QColor colorForRow(int row, int component) override
    {
        return m_picker->allowed(component, row) ? textColor() : kUnavailable;
    }

    Qt::Alignment alignmentForComponent(int component) override
    {
        const Column column = m_picker->m_columns.value(component);
        if (column == Column::Hour && m_picker->m_columns.size() > 1)
            return Qt::AlignRight;
        if (column == Column::Minute)
            return Qt::AlignLeft;
        return Qt::AlignHCenter;
    }

    void userSelectedRow(int row, int component) override
    {
        PickerView::userSelectedRow(row, component);
        m_picker->userTurned(component);
    }

private:
    DatePicker* m_picker;
};

// The wheels' rows come from the picker's columns.
class DatePicker::Source : public PickerViewDataSource, public PickerViewDelegate {
public:
    explicit Source(DatePicker* picker)
        : m_picker(picker)
    {
    }

    int numberOfComponentsInPickerView(PickerView*) override
    {
        return int(m_picker->m_columns.size());
    }
    int pickerViewNumberOfRowsInComponent(PickerView*, int component) override
    {
        return m_picker->rowCount(m_picker->m_columns.value(component));
    }
    QString pickerViewTitleForRow(PickerView*, int row, int component) override
    {
        return m_picker->title(m_picker->m_columns.value(component), row);
    }
    double pickerViewWidthForComponent(PickerView*, int component) override
    {
        return m_picker->width(m_picker->m_columns.value(component));
    }

private:
    DatePicker* m_picker;
};

DatePicker::Appearance& DatePicker::appearance()
{
    static Appearance appearance;
    return appearance;
}

DatePicker::DatePicker(QWidget* parent)
    : Control(parent)
{
    setUp();
    setFrame(QRectF(0, 0, 320, PickerView::DefaultHeight));
}

DatePicker::DatePicker(const QRectF& frame, QWidget* parent)
    : Control(parent)
{
    setUp();
    setFrame(frame);
}

DatePicker::~DatePicker()
{
    // The wheels go before the source they ask.
    delete m_wheels;
}

void DatePicker::setUp()
{
    m_preferredStyle = appearance().preferredDatePickerStyle;
    m_timeZone = QTimeZone::systemTimeZone();
    m_date = QDateTime::currentDateTime().toTimeZone(m_timeZone);
    m_source = std::make_unique<Source>(this);
    m_wheels = new Wheels(this);
    rebuild();
}

PickerView* DatePicker::wheels() const
{
    return m_wheels;
}

bool DatePicker::uses12Hours() const
{
    return m_locale.timeFormat(QLocale::ShortFormat)
        .contains(QLatin1String("ap"), Qt::CaseInsensitive);
}

void DatePicker::rebuild()
{
    m_columns.clear();
    switch (m_mode) {
    case Mode::Date: {
        // In the order the locale writes a short date.
        const QString format = m_locale.dateFormat(QLocale::ShortFormat);
        QList<std::pair<qsizetype, Column>> order;
        const qsizetype month = format.indexOf(QLatin1Char('M'));
        const qsizetype day = format.indexOf(QLatin1Char('d'));
        const qsizetype year = format.indexOf(QLatin1Char('y'));
        order.append({ month < 0 ? 0 : month, Column::Month });
        order.append({ day < 0 ? 1 : day, Column::Day });
        order.append({ year < 0 ? 2 : year, Column::Year });
        std::stable_sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& entry : order)
            m_columns.append(entry.second);
        break;
    }
    case Mode::Time:
    case Mode::DateAndTime:
        if (m_mode == Mode::DateAndTime)
            m_columns.append(Column::Days);
        m_columns.append(Column::Hour);
        m_columns.append(Column::Minute);
        if (uses12Hours())
            m_columns.append(Column::Meridiem);
        break;
    case Mode::CountDownTimer:
        m_columns.append(Column::Hours);
        m_columns.append(Column::Minutes);
        break;
    }
    m_date = clamped(m_date);
    fitRanges();
    m_wheels->setDataSource(m_source.get());
    m_wheels->setDelegate(m_source.get());
    showValue(false);
}

void DatePicker::fitRanges()
{
    const QDate day = m_date.toTimeZone(m_timeZone).date();
    if (!day.isValid())
        return;
    const QDate low = m_minimum.isValid() ? m_minimum.toTimeZone(m_timeZone).date() : QDate();
    const QDate high = m_maximum.isValid() ? m_maximum.toTimeZone(m_timeZone).date() : QDate();
    // Years around the date, reaching the limits: those outside them show in grey.
    if (day.year() < m_firstYear || day.year() > m_lastYear || low.isValid() || high.isValid()) {
        m_firstYear
            = std::min(day.year(), low.isValid() ? low.year() : day.year()) - kYearsEachSide;
        m_lastYear
            = std::max(day.year(), high.isValid() ? high.year() : day.year()) + kYearsEachSide;
    }
    if (!m_firstDay.isValid() || day < m_firstDay || day > m_lastDay || low.isValid()
        || high.isValid()) {
        m_firstDay = low.isValid() ? low : day.addDays(-kDaysEachSide);
        m_lastDay = high.isValid() ? high : day.addDays(kDaysEachSide);
        if (day < m_firstDay || day > m_lastDay) {
            m_firstDay = day.addDays(-kDaysEachSide);
            m_lastDay = day.addDays(kDaysEachSide);
        }
    }
}

int DatePicker::rowCount(Column column) const
{
    switch (column) {
    case Column::Month:
        return 12;
    case Column::Day:
        return 31;
    case Column::Year:
        return m_lastYear - m_firstYear + 1;
    case Column::Days:
        return int(m_firstDay.daysTo(m_lastDay)) + 1;
    case Column::Hour:
        return uses12Hours() ? 12 : 24;
    case Column::Minute:
    case Column::Minutes:
        return 60 / m_interval;
    case Column::Meridiem:
        return 2;
    case Column::Hours:
        return 24;
    }
    return 0;
}

QString DatePicker::title(Column column, int row) const
{
    switch (column) {
    case Column::Month:
        return m_locale.standaloneMonthName(row + 1, QLocale::LongFormat);
    case Column::Day:
        return QString::number(row + 1);
    case Column::Year:
        return QString::number(m_firstYear + row);
    case Column::Days: {
        const QDate day = m_firstDay.addDays(row);
        if (day == QDateTime::currentDateTime().toTimeZone(m_timeZone).date())
            return QStringLiteral("Today");
        return m_locale.toString(day, QStringLiteral("ddd MMM d"));
    }
    case Column::Hour:
        if (uses12Hours())
            return QString::number(row == 0 ? 12 : row);
        return QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
    case Column::Minute:
        return QStringLiteral("%1").arg(row * m_interval, 2, 10, QLatin1Char('0'));
    case Column::Meridiem:
        return row == 0 ? m_locale.amText() : m_locale.pmText();
    case Column::Hours:
        return row == 1 ? QStringLiteral("1 hour") : QStringLiteral("%1 hours").arg(row);
    case Column::Minutes:
        return QStringLiteral("%1 min").arg(row * m_interval);
    }
    return QString();
}

double DatePicker::width(Column column) const
{
    const bool timeOnly = m_mode == Mode::Time;
    switch (column) {
    case Column::Month:
        return 140;
    case Column::Day:
        return 50;
    case Column::Year:
        return 80;
    case Column::Days:
        return 150;
    case Column::Hour:
    case Column::Minute:
    case Column::Meridiem:
        return timeOnly ? 62 : 50;
    case Column::Hours:
    case Column::Minutes:
        return 120;
    }
    return 0;
}

int DatePicker::rowFor(Column column) const
{
    if (column == Column::Hours)
        return int(m_duration) / 3600;
    if (column == Column::Minutes)
        return (int(m_duration) % 3600) / 60 / m_interval;
    const QDateTime local = m_date.toTimeZone(m_timeZone);
    const QDate day = local.date();
    const QTime time = local.time();
    switch (column) {
    case Column::Month:
        return day.month() - 1;
    case Column::Day:
        return day.day() - 1;
    case Column::Year:
        return day.year() - m_firstYear;
    case Column::Days:
        return int(m_firstDay.daysTo(day));
    case Column::Hour:
        return uses12Hours() ? time.hour() % 12 : time.hour();
    case Column::Minute:
        return time.minute() / m_interval;
    case Column::Meridiem:
        return time.hour() >= 12 ? 1 : 0;
    default:
        return 0;
    }
}

void DatePicker::showValue(bool animated)
{
    for (int i = 0; i < m_columns.size(); ++i)
        m_wheels->selectRow(rowFor(m_columns[i]), i, animated);
    m_wheels->update();
}

QDateTime DatePicker::valueWith(int component, int row) const
{
    auto rowOf = [&](Column column) {
        const qsizetype i = m_columns.indexOf(column);
        if (i < 0)
            return -1;
        return i == component ? row : m_wheels->selectedRowInComponent(int(i));
    };
    const QDateTime local = m_date.toTimeZone(m_timeZone);
    QDate day = local.date();
    QTime time = local.time();
    if (m_mode == Mode::Date) {
        const int y = m_firstYear + rowOf(Column::Year);
        const int m = rowOf(Column::Month) + 1;
        const int d = rowOf(Column::Day) + 1;
        day = QDate(y, m, d);
        if (!day.isValid())
            return QDateTime();
    } else {
        if (m_mode == Mode::DateAndTime)
            day = m_firstDay.addDays(rowOf(Column::Days));
        int hour = rowOf(Column::Hour);
        if (uses12Hours())
            hour = hour % 12 + (rowOf(Column::Meridiem) == 1 ? 12 : 0);
        time = QTime(hour, rowOf(Column::Minute) * m_interval);
    }
    return QDateTime(day, time, m_timeZone);
}

QDateTime DatePicker::clamped(const QDateTime& date) const
{
    if (!date.isValid())
        return date;
    if (m_minimum.isValid() && date < m_minimum)
        return m_minimum;
    if (m_maximum.isValid() && date > m_maximum)
        return m_maximum;
    return date;
}

bool DatePicker::allowed(int component, int row) const
{
    if (m_mode == Mode::CountDownTimer)
        return true;
    const QDateTime value = valueWith(component, row);
    if (!value.isValid())
        return false;
    // Only the wheel's own unit is compared, so a row is grey only when every choice of
    // the finer wheels would be outside the limits.
    const Column column = m_columns.value(component);
    QDateTime low = value;
    QDateTime high = value;
    const QDateTime local = value.toTimeZone(m_timeZone);
    switch (column) {
    case Column::Year:
        low = QDateTime(QDate(local.date().year(), 1, 1), QTime(0, 0), m_timeZone);
        high = QDateTime(QDate(local.date().year(), 12, 31), QTime(23, 59, 59), m_timeZone);
        break;
    case Column::Month: {
        const QDate first(local.date().year(), local.date().month(), 1);
        low = QDateTime(first, QTime(0, 0), m_timeZone);
        high = QDateTime(first.addMonths(1).addDays(-1), QTime(23, 59, 59), m_timeZone);
        break;
    }
    case Column::Day:
    case Column::Days:
        if (m_mode != Mode::Time) {
            low = QDateTime(local.date(), QTime(0, 0), m_timeZone);
            high = QDateTime(local.date(), QTime(23, 59, 59), m_timeZone);
        }
        break;
    case Column::Hour:
        low = QDateTime(local.date(), QTime(local.time().hour(), 0), m_timeZone);
        high = QDateTime(local.date(), QTime(local.time().hour(), 59, 59), m_timeZone);
        break;
    case Column::Meridiem: {
        const int start = local.time().hour() >= 12 ? 12 : 0;
        low = QDateTime(local.date(), QTime(start, 0), m_timeZone);
        high = QDateTime(local.date(), QTime(start + 11, 59, 59), m_timeZone);
        break;
    }
    default:
        break;
    }
    if (m_minimum.isValid() && high < m_minimum)
        return false;
    if (m_maximum.isValid() && low > m_maximum)
        return false;
    return true;
}

void DatePicker::userTurned(int component)
{
    QPointer<DatePicker> self(this);
    if (m_mode == Mode::CountDownTimer) {
        const int hours = m_wheels->selectedRowInComponent(0);
        const int minutes = m_wheels->selectedRowInComponent(1) * m_interval;
        double duration = hours * 3600.0 + minutes * 60.0;
        if (duration < m_interval * 60.0) {
            // A count-down runs at least one step.
            duration = m_interval * 60.0;
            m_wheels->selectRow(1, 1, true);
        }
        if (duration != m_duration) {
            m_duration = duration;
            sendActionsForControlEvents(ControlEventValueChanged);
        }
        return;
    }
    QDateTime value = valueWith(component, m_wheels->selectedRowInComponent(component));
    if (!value.isValid()) {
        // A day the month does not have rolls back to its last day.
        const int y
            = m_firstYear + m_wheels->selectedRowInComponent(int(m_columns.indexOf(Column::Year)));
        const int m = m_wheels->selectedRowInComponent(int(m_columns.indexOf(Column::Month))) + 1;
        const QDate last = QDate(y, m, 1).addMonths(1).addDays(-1);
        value = QDateTime(last, m_date.toTimeZone(m_timeZone).time(), m_timeZone);
    }
    const QDateTime limited = clamped(value);
    const bool changed = limited != m_date;
    m_date = limited;
    // The wheels show what was taken (rolled back when the limits or the month said so).
    showValue(true);
    if (changed && self)
        sendActionsForControlEvents(ControlEventValueChanged);
}

void DatePicker::setDatePickerMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    rebuild();
}

void DatePicker::setDate(const QDateTime& date, bool animated)
{
    if (!date.isValid())
        return;
    m_date = clamped(date.toTimeZone(m_timeZone));
    const int firstYear = m_firstYear;
    const QDate firstDay = m_firstDay;
    fitRanges();
    if (firstYear != m_firstYear || firstDay != m_firstDay) {
        m_wheels->reloadAllComponents();
        animated = false;
    }
    showValue(animated);
}

void DatePicker::setMinimumDate(const QDateTime& date)
{
    m_minimum = date;
    if (m_minimum.isValid() && m_maximum.isValid() && m_maximum < m_minimum)
        m_maximum = m_minimum;
    m_date = clamped(m_date);
    fitRanges();
    m_wheels->reloadAllComponents();
    showValue(false);
}

void DatePicker::setMaximumDate(const QDateTime& date)
{
    m_maximum = date;
    if (m_minimum.isValid() && m_maximum.isValid() && m_maximum < m_minimum)
        m_minimum = m_maximum;
    m_date = clamped(m_date);
    fitRanges();
    m_wheels->reloadAllComponents();
    showValue(false);
}

void DatePicker::setMinuteInterval(int minutes)
{
    if (minutes < 1 || minutes > 30 || 60 % minutes != 0)
        minutes = 1;
    m_interval = minutes;
    m_wheels->reloadAllComponents();
    showValue(false);
}

void DatePicker::setCountDownDuration(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    const double step = m_interval * 60.0;
    seconds = std::clamp(seconds, step, kLongestCountDown);
    m_duration = std::floor(seconds / step) * step;
    showValue(false);
}

void DatePicker::setLocale(const QLocale& locale)
{
    m_locale = locale;
    rebuild();
}

void DatePicker::setTimeZone(const QTimeZone& zone)
{
    if (!zone.isValid())
        return;
    m_timeZone = zone;
    m_date = m_date.toTimeZone(zone);
    rebuild();
}

void DatePicker::layoutSubviews()
{
    m_wheels->setFrame(bounds());
}

QSizeF DatePicker::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width() > 0 ? size.width() : 320, PickerView::DefaultHeight);
}

} // namespace platform::ui
