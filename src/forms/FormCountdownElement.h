#pragma once

#include "forms/FormDateTimeInlineElement.h"

// The date row in count-down-timer mode: its value is a number of seconds (ticks), and
// its date is always that long after the moment it is read.
class FormCountdownElement : public FormDateTimeInlineElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormCountdownElement();

    // Now plus the ticks.
    QDateTime dateValue() const override;
    // Ignored, logged "Don't set the date on the FormCountdownElement": the count-down is
    // set through its ticks.
    void setDateValue(const QDateTime& date) override;
    // The seconds; nil sets nothing.
    QVariant ticksValue() const override { return m_ticks; }
    void setTicksValue(const QVariant& seconds) override;

    // The date cell with the picker in count-down-timer mode.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

private:
    double m_ticks = 0;
};
