#include "forms/FormDateTimeElement.h"

#include "forms/FormControllerProtocol.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "platform/MutableDictionary.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"

#include <cmath>

namespace {

const QString kDateKey = QStringLiteral("date");
const QString kTimeKey = QStringLiteral("time");

} // namespace

FormDateTimeElement::FormDateTimeElement()
{
    setGrouped(true);
    initializeRoot();
}

std::shared_ptr<FormDateTimeElement> FormDateTimeElement::initWithTitle(
    const QString& title, const QDateTime& date)
{
    auto element = std::make_shared<FormDateTimeElement>();
    element->dropSections();
    element->setTitle(title);
    element->setDateValue(date);
    return element;
}

void FormDateTimeElement::setDateValue(const QDateTime& date)
{
    m_dateValue = date;
    updateElements();
}

void FormDateTimeElement::setMode(int mode)
{
    m_mode = mode;
    removeAllSections();
    initializeRoot();
}

void FormDateTimeElement::setMinuteInterval(qint64 interval)
{
    m_minuteInterval = interval;
    dropSections();
    initializeRoot();
}

QVariant FormDateTimeElement::ticksValue() const
{
    if (!m_dateValue.isValid())
        return {};
    return QVariant(double(m_dateValue.toMSecsSinceEpoch()) / 1000.0);
}

void FormDateTimeElement::setTicksValue(const QVariant& seconds)
{
    if (KeyValueCoding::isNil(seconds) || KeyValueCoding::isNullObject(seconds))
        return;
    setDateValue(
        QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds.toDouble() * 1000.0)), Qt::UTC));
}

void FormDateTimeElement::initializeRoot()
{
    const QDateTime date = m_dateValue.isValid() ? m_dateValue : QDateTime::currentDateTime();
    auto section
        = FormSection::initWithTitle(m_mode == 2 ? QStringLiteral("\n") : QStringLiteral("\n\n"));
    if (m_mode == 0 || m_mode == 2) {
        auto time = FormDateTimeInlineElement::initWithKey(kTimeKey);
        time->setDateValue(date);
        time->setCenterLabel(true);
        time->setMode(FormDateTimeInlineElement::Time);
        time->setHiddenToolbar(true);
        time->setMinuteInterval(m_minuteInterval);
        section->addElement(time);
    }
    addSection(section);
}

void FormDateTimeElement::updateElements()
{
    const QDateTime date = m_dateValue.isValid() ? m_dateValue : QDateTime::currentDateTime();
    for (const QString& key : { kDateKey, kTimeKey }) {
        if (auto* row = qobject_cast<FormDateTimeInlineElement*>(elementWithKey(key)))
            row->setDateValue(date);
    }
}

QString FormDateTimeElement::displayText() const
{
    return FormDateTimeInlineElement::formatDate(m_dateValue, m_mode, {});
}

void FormDateTimeElement::takeValuesFromSubForm()
{
    if (m_mode != 0 && m_mode != 1 && m_mode != 2) {
        qWarning("This control was not created to handle this time of UIDatePickerMode");
        return;
    }
    platform::MutableDictionary values;
    if (FormSection* first = getSectionForIndex(0))
        first->fetchValueIntoObject(QVariant::fromValue(values));
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime current = m_dateValue.isValid() ? m_dateValue : now;
    QDateTime datePart = values.value(kDateKey).toDateTime();
    QDateTime timePart = values.value(kTimeKey).toDateTime();
    if (!datePart.isValid())
        datePart = m_mode == 0 ? now : current;
    if (m_mode == 1 || !timePart.isValid())
        timePart = m_mode == 1 ? now : current;
    const QDateTime joined(datePart.toLocalTime().date(), timePart.toLocalTime().time());
    setDateValue(joined);
}

void FormDateTimeElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, QVariant(m_dateValue), key());
}

platform::ui::TableViewCell* FormDateTimeElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    platform::ui::TableViewCell* cell = FormRootElement::getCellForTableView(tableView, controller);
    if (platform::ui::Label* detail = cell->detailTextLabel())
        detail->setText(displayText());
    return cell;
}

void FormDateTimeElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    FormElement::selected(tableView, controller, indexPath);
    if (!hasSections() || !controller)
        return;
    FormControllerProtocol* sub = controller->controllerForRoot(this);
    if (!sub)
        return;
    sub->viewController()->view(); // its table exists from here on
    if (FormTableView* table = sub->formTableView())
        table->setScrollEnabled(false);
    controller->displayViewController(sub->viewController(), presentationMode());
    if (FormTableView* table = sub->formTableView())
        if (table->numberOfSections() > 0 && table->numberOfRowsInSection(0) > 0)
            table->selectRowAtIndexPath(platform::ui::IndexPath(0, 0), false,
                platform::ui::TableView::ScrollPosition::None);
    QPointer<FormDateTimeElement> self(this);
    sub->setWillDisappearCallback([self] {
        if (self)
            self->takeValuesFromSubForm();
    });
}
