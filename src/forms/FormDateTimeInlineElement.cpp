#include "forms/FormDateTimeInlineElement.h"

#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormTableView.h"
#include "platform/ui/ImageView.h"
#include "utilities/text/IcuDateFormatter.h"

#include <QHash>

#include <cmath>

FormDateTimeInlineElement::FormDateTimeInlineElement()
    : m_dateValue(QDateTime::currentDateTime())
{
    setKeepSelected(true);
}

std::shared_ptr<FormDateTimeInlineElement> FormDateTimeInlineElement::initWithKey(
    const QString& key)
{
    auto element = std::make_shared<FormDateTimeInlineElement>();
    element->setKey(key);
    return element;
}

std::shared_ptr<FormDateTimeInlineElement> FormDateTimeInlineElement::initWithTitle(
    const QString& title, const QDateTime& date, int mode)
{
    auto element = std::make_shared<FormDateTimeInlineElement>();
    element->setTitle(title);
    if (date.isValid())
        element->setValue(date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000")));
    element->setDateValue(date);
    element->setMode(mode);
    // Deselected right after the tap, unlike a row made plainly.
    element->setKeepSelected(false);
    return element;
}

std::shared_ptr<FormDateTimeInlineElement> FormDateTimeInlineElement::initWithDate(
    const QDateTime& date, int mode)
{
    return initWithTitle({}, date, mode);
}

QVariant FormDateTimeInlineElement::ticksValue() const
{
    const QDateTime date = dateValue();
    if (!date.isValid())
        return {};
    return QVariant(double(date.toMSecsSinceEpoch()) / 1000.0);
}

void FormDateTimeInlineElement::setTicksValue(const QVariant& seconds)
{
    if (KeyValueCoding::isNil(seconds) || KeyValueCoding::isNullObject(seconds))
        return;
    setDateValue(
        QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds.toDouble() * 1000.0)), Qt::UTC));
}

QString FormDateTimeInlineElement::textValue() const
{
    const QDateTime date = dateValue();
    const qint64 milliseconds
        = date.isValid() ? QDateTime::currentDateTime().msecsTo(date) : qint64(0);
    const long seconds = long(milliseconds / 1000);
    return QString::asprintf(
        "%02li:%02li:%02li", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

QString FormDateTimeInlineElement::displayText() const
{
    if (m_mode == CountDownTimer) {
        const QVariant ticks = ticksValue();
        return ticks.isValid() ? formatInterval(ticks.toDouble()) : QString();
    }
    return formatDate(dateValue(), m_mode, customDateFormat());
}

namespace {

std::unique_ptr<IcuDateFormatter> makeFormatter(int mode, const QString& customFormat)
{
    if (!customFormat.isEmpty())
        return IcuDateFormatter::withPattern(customFormat);
    switch (mode) {
    case FormDateTimeInlineElement::Time:
        return IcuDateFormatter::withStyles(IcuDateFormatter::None, IcuDateFormatter::Short);
    case FormDateTimeInlineElement::Date:
        return IcuDateFormatter::withStyles(IcuDateFormatter::Medium, IcuDateFormatter::None);
    case FormDateTimeInlineElement::DateAndTime:
        return IcuDateFormatter::withStyles(IcuDateFormatter::Medium, IcuDateFormatter::Short);
    default:
        return IcuDateFormatter::withStyles(IcuDateFormatter::None, IcuDateFormatter::None);
    }
}

// Making a formatter costs far more than using one, and every date row shown asks: they
// are kept by mode and format, and by the locale and time zone they were made in.
const IcuDateFormatter* formatterFor(int mode, const QString& customFormat)
{
    thread_local QHash<QString, std::shared_ptr<IcuDateFormatter>> made;
    const QString key = QString::number(mode) + u'\x1f' + customFormat + u'\x1f'
        + QString::fromLatin1(IcuDateFormatter::currentLocaleId()) + u'\x1f'
        + QString::fromLocal8Bit(qgetenv("TZ"));
    auto found = made.constFind(key);
    if (found == made.constEnd())
        found = made.insert(
            key, std::shared_ptr<IcuDateFormatter>(makeFormatter(mode, customFormat)));
    return found->get();
}

} // namespace

QString FormDateTimeInlineElement::formatDate(
    const QDateTime& date, int mode, const QString& customFormat)
{
    if (!date.isValid())
        return {};
    const IcuDateFormatter* formatter = formatterFor(mode, customFormat);
    return formatter ? formatter->stringFromDate(date) : QString();
}

QString FormDateTimeInlineElement::formatInterval(double seconds)
{
    const long whole = std::isfinite(seconds) ? long(seconds) : 0;
    QString text;
    if (whole >= 3600)
        text = QString::asprintf("%d hrs, ", int(whole / 3600));
    return text + QString::asprintf("%d mins", int((whole % 3600) / 60));
}

void FormDateTimeInlineElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, QVariant(dateValue()), key());
}

platform::ui::TableViewCell* FormDateTimeInlineElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    using platform::ui::TableViewCell;
    auto* cell = qobject_cast<FormDateEntryTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(FormDateEntryTableViewCell::ReuseIdentifier));
    if (!cell)
        cell = new FormDateEntryTableViewCell;
    setController(controller);
    cell->prepareForElement(this, tableView);
    cell->setSelectionStyle(
        isEnabled() ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    cell->textField()->setEnabled(isEnabled());
    cell->textField()->setUserInteractionEnabled(isEnabled());
    cell->imageView()->setImage(image());
    cell->setLabelingPolicy(labelingPolicy());
    return cell;
}
