#include "widgets/SheetLocalePicker.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "utilities/text/IcuDateFormatter.h"

#include <QDebug>

using namespace platform::ui;

namespace {

constexpr double kContinentWidth = 100;
constexpr double kCityWidth = 160;
constexpr double kRowHeight = 32;

} // namespace

SheetLocalePicker::SheetLocalePicker(const QString& title, const QTimeZone& initialSelection,
    QObject* target, const QByteArray& successAction, const QByteArray& cancelAction,
    QObject* origin, QObject* parent)
    : AbstractSheetPicker(target, successAction, cancelAction, origin, parent)
    , m_initialTimeZone(initialSelection)
{
    setTitle(title);
}

SheetLocalePicker::SheetLocalePicker(const QString& title, const QTimeZone& initialSelection,
    DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin, QObject* parent)
    : SheetLocalePicker(title, initialSelection, nullptr, {}, {}, origin, parent)
{
    m_onActionSheetDone = std::move(doneBlock);
    if (cancelBlock)
        setCancelBlock([this, block = std::move(cancelBlock)] { block(this); });
}

SheetLocalePicker* SheetLocalePicker::showPickerWithTitle(const QString& title,
    const QTimeZone& initialSelection, DoneBlock doneBlock, CancelBlock cancelBlock,
    QObject* origin)
{
    return showNewPicker(new SheetLocalePicker(
        title, initialSelection, std::move(doneBlock), std::move(cancelBlock), origin));
}

SheetLocalePicker* SheetLocalePicker::showPickerWithTitle(const QString& title,
    const QTimeZone& initialSelection, QObject* target, const QByteArray& successAction,
    const QByteArray& cancelAction, QObject* origin)
{
    return showNewPicker(new SheetLocalePicker(
        title, initialSelection, target, successAction, cancelAction, origin));
}

QStringList SheetLocalePicker::getCitiesByContinent(const QString& continent) const
{
    return m_continentsAndCityDictionary.value(continent);
}

QTimeZone SheetLocalePicker::selectedTimeZone() const
{
    return QTimeZone(QStringLiteral("%1/%2").arg(m_selectedContinent, m_selectedCity).toUtf8());
}

void SheetLocalePicker::fillContinentsAndCities()
{
    m_continentsAndCityDictionary.clear();
    m_continents.clear();
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
        const QStringList parts = QString::fromUtf8(id).split('/');
        QString city;
        if (parts.size() == 2)
            city = parts[1];
        else if (parts.size() == 3)
            city = parts[1] + "/" + parts[2];
        else
            continue;
        const QString& continent = parts[0];
        auto it = m_continentsAndCityDictionary.find(continent);
        if (it == m_continentsAndCityDictionary.end()) {
            m_continentsAndCityDictionary.insert(continent, QStringList { city });
            m_continents.append(continent);
        } else {
            it->append(city);
        }
    }
}

void SheetLocalePicker::setSelectedRows()
{
    const QTimeZone zone
        = m_initialTimeZone.isValid() ? m_initialTimeZone : QTimeZone::systemTimeZone();
    const QString name = QString::fromUtf8(zone.id());
    // A name of three parts is filed as the lists file it: its city is the rest.
    m_selectedContinent = name.section('/', 0, 0);
    m_selectedCity = name.section('/', 1);
}

void SheetLocalePicker::selectCurrentLocale(PickerView* picker)
{
    const int continent = int(m_continents.indexOf(m_selectedContinent));
    int city = continent >= 0
        ? int(getCitiesByContinent(m_selectedContinent).indexOf(m_selectedCity))
        : -1;
    if (continent >= 0 && city >= 0) {
        picker->selectRow(continent, 0, true);
        picker->reloadComponent(1);
    } else {
        // A zone the wheels do not hold shows the first city of the first continent, and
        // that is what is chosen.
        picker->selectRow(0, 0, true);
        m_selectedContinent = m_continents.value(0);
        picker->reloadComponent(1);
        city = 0;
        m_selectedCity = getCitiesByContinent(m_selectedContinent).value(0);
    }
    picker->selectRow(city, 1, true);
}

View* SheetLocalePicker::configuredPickerView()
{
    fillContinentsAndCities();
    setSelectedRows();
    auto* picker = new PickerView(pickerFrame());
    setUpWheels(picker, this, this);
    setPickerView(picker);
    selectCurrentLocale(picker);
    return picker;
}

void SheetLocalePicker::notifyTargetDidSucceed(
    QObject* target, const QByteArray& action, QObject* origin)
{
    const QTimeZone zone = selectedTimeZone();
    if (m_onActionSheetDone) {
        m_onActionSheetDone(this, zone);
        return;
    }
    if (!invokeSuccessAction(target, action, QVariant::fromValue(zone), origin))
        qWarning().noquote() << invalidTargetActionMessage(target, action);
}

void SheetLocalePicker::customButtonPressed(int tag)
{
    const std::optional<QVariant> value
        = customButtonSelectValue(tag, "Bad custom button tag: %ld, custom button count: %ld");
    if (!value || value->typeId() != QMetaType::fromType<QTimeZone>().id())
        return;
    m_initialTimeZone = value->value<QTimeZone>();
    setSelectedRows();
    if (auto* picker = qobject_cast<PickerView*>(pickerView()))
        selectCurrentLocale(picker);
}

int SheetLocalePicker::numberOfComponentsInPickerView(PickerView*)
{
    return 2;
}

int SheetLocalePicker::pickerViewNumberOfRowsInComponent(PickerView*, int component)
{
    if (component == 0)
        return int(m_continents.size());
    if (component == 1)
        return int(getCitiesByContinent(m_selectedContinent).size());
    return 0;
}

double SheetLocalePicker::pickerViewWidthForComponent(PickerView*, int component)
{
    if (component == 0)
        return kContinentWidth;
    if (component == 1)
        return kCityWidth;
    return 0;
}

QString SheetLocalePicker::cityTitle(const QString& continent, const QString& city)
{
    const QString zone = QStringLiteral("%1/%2").arg(continent, city);
    const auto formatter = IcuDateFormatter::withPattern(QStringLiteral("z"), {}, zone);
    const QString abbreviation
        = formatter ? formatter->stringFromDate(QDateTime::currentDateTime()) : QString();
    return city + QStringLiteral(" (%1)").arg(abbreviation);
}

View* SheetLocalePicker::pickerViewViewForRow(PickerView*, int row, int component, View* reusing)
{
    auto* label = qobject_cast<Label*>(reusing);
    if (!label) {
        label = new Label(QRectF(0, 0, component == 0 ? kContinentWidth : kCityWidth, kRowHeight));
        label->setTextAlignment(Qt::AlignCenter);
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumScaleFactor(0.5);
        label->setBackgroundColor(Qt::transparent);
        label->setFont(Font::system(20));
    }
    label->setFrame(QRectF(0, 0, component == 0 ? kContinentWidth : kCityWidth, kRowHeight));
    if (component == 0)
        label->setText(m_continents.value(row));
    else
        label->setText(
            cityTitle(m_selectedContinent, getCitiesByContinent(m_selectedContinent).value(row)));
    return label;
}

void SheetLocalePicker::pickerViewDidSelectRow(PickerView* picker, int row, int component)
{
    if (component == 1) {
        m_selectedCity = getCitiesByContinent(m_selectedContinent).value(row);
    } else if (component == 0) {
        m_selectedContinent = m_continents.value(row);
        picker->reloadComponent(1);
        m_selectedCity
            = getCitiesByContinent(m_selectedContinent).value(picker->selectedRowInComponent(1));
    }
}
