#include "forms/FormCountdownElement.h"

#include <cmath>

FormCountdownElement::FormCountdownElement()
{
    setMode(CountDownTimer);
}

QDateTime FormCountdownElement::dateValue() const
{
    return QDateTime::currentDateTimeUtc().addMSecs(qint64(std::llround(m_ticks * 1000.0)));
}

void FormCountdownElement::setDateValue(const QDateTime&)
{
    qWarning("Don't set the date on the FormCountdownElement");
}

void FormCountdownElement::setTicksValue(const QVariant& seconds)
{
    if (KeyValueCoding::isNil(seconds) || KeyValueCoding::isNullObject(seconds))
        return;
    m_ticks = seconds.toDouble();
}

platform::ui::TableViewCell* FormCountdownElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    setMode(CountDownTimer);
    return FormDateTimeInlineElement::getCellForTableView(tableView, controller);
}
