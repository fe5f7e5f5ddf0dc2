#pragma once

#include "forms/FormRootElement.h"

#include <QDateTime>

// A date row that opens a small form of its own holding a time row, and takes the
// picked time back when that form closes.
class FormDateTimeElement : public FormRootElement {
    Q_OBJECT
    Q_PROPERTY(QDateTime dateValue READ dateValue WRITE setDateValue)
    Q_PROPERTY(int mode READ mode WRITE setMode)
    Q_PROPERTY(qint64 minuteInterval READ minuteInterval WRITE setMinuteInterval)
    Q_PROPERTY(QVariant ticksValue READ ticksValue WRITE setTicksValue)

public:
    Q_INVOKABLE FormDateTimeElement();
    // No sub-form is built until the mode or the minute interval is set.
    static std::shared_ptr<FormDateTimeElement> initWithTitle(
        const QString& title, const QDateTime& date);

    QDateTime dateValue() const { return m_dateValue; }
    void setDateValue(const QDateTime& date);
    int mode() const { return m_mode; }
    // Rebuilds the sub-form for the mode.
    void setMode(int mode);
    qint64 minuteInterval() const { return m_minuteInterval; }
    void setMinuteInterval(qint64 interval);
    QVariant ticksValue() const;
    void setTicksValue(const QVariant& seconds);

    // The sub-form: one section ("\n" in date-and-time mode, else "\n\n") holding, in
    // time and date-and-time mode, a centred time row keyed "time".
    void initializeRoot();
    // Gives the value (or now) to the sub-form's rows keyed "date" and "time".
    void updateElements();
    // The text of the row: the value formatted by the mode.
    QString displayText() const;
    // The sub-form's values joined into dateValue when it closes: the date part from
    // "date" (or, without such a row, the current value), the time part from "time" (or
    // in date mode the time of now). Other modes are logged and change nothing.
    void takeValuesFromSubForm();

    // The root's cell with the value as its detail text.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Opens the sub-form (not scrolling, its first row selected); its values come back
    // when it goes.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    void fetchValueIntoObject(const QVariant& target) override;

private:
    QDateTime m_dateValue;
    int m_mode = 2;
    qint64 m_minuteInterval = 1;
};
