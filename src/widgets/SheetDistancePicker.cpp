#include "widgets/SheetDistancePicker.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/DistancePickerView.h"

#include <QDebug>

#include <algorithm>

using namespace platform::ui;

namespace {

int digitsOf(long value)
{
    return int(QString::asprintf("%li", value).size());
}

long powerOfTen(int exponent)
{
    long result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

} // namespace

SheetDistancePicker::SheetDistancePicker(const QString& title, const QString& bigUnitString,
    long bigUnitMax, long selectedBigUnit, const QString& smallUnitString, long smallUnitMax,
    long selectedSmallUnit, QObject* target, const QByteArray& action, QObject* origin,
    QObject* parent)
    : AbstractSheetPicker(target, action, {}, origin, parent)
    , m_bigUnitString(bigUnitString)
    , m_bigUnitMax(std::max(0L, bigUnitMax))
    , m_smallUnitString(smallUnitString)
    , m_smallUnitMax(std::max(0L, smallUnitMax))
{
    setTitle(title);
    // Amounts outside 0 ... max are clamped: no wheel is asked for a row it lacks.
    m_selectedBigUnit = std::clamp(selectedBigUnit, 0L, m_bigUnitMax);
    m_selectedSmallUnit = std::clamp(selectedSmallUnit, 0L, m_smallUnitMax);
    m_bigUnitDigits = digitsOf(m_bigUnitMax);
    m_smallUnitDigits = digitsOf(m_smallUnitMax);
}

SheetDistancePicker* SheetDistancePicker::showPickerWithTitle(const QString& title,
    const QString& bigUnitString, long bigUnitMax, long selectedBigUnit,
    const QString& smallUnitString, long smallUnitMax, long selectedSmallUnit, QObject* target,
    const QByteArray& action, QObject* origin)
{
    return showNewPicker(new SheetDistancePicker(title, bigUnitString, bigUnitMax, selectedBigUnit,
        smallUnitString, smallUnitMax, selectedSmallUnit, target, action, origin));
}

View* SheetDistancePicker::configuredPickerView()
{
    auto* picker = new DistancePickerView(pickerFrame());
    setUpWheels(picker, this, this);
    selectAmount(picker, m_selectedBigUnit, 0, m_bigUnitDigits);
    selectAmount(picker, m_selectedSmallUnit, m_bigUnitDigits + 1, m_smallUnitDigits);
    setPickerView(picker);
    return picker;
}

void SheetDistancePicker::selectAmount(PickerView* picker, long amount, int first, int digits)
{
    long sum = 0;
    for (int i = 0; i < digits; ++i) {
        const long factor = powerOfTen(digits - 1 - i);
        const long row = (amount - sum) / factor;
        sum += row * factor;
        picker->selectRow(int(row), first + i, false);
    }
}

long SheetDistancePicker::amountOnWheels(int first, int digits) const
{
    auto* picker = qobject_cast<PickerView*>(pickerView());
    if (!picker)
        return 0;
    long amount = 0;
    for (int i = 0; i < digits; ++i)
        amount
            += std::max(0, picker->selectedRowInComponent(first + i)) * powerOfTen(digits - 1 - i);
    return amount;
}

long SheetDistancePicker::bigAmount() const
{
    return amountOnWheels(0, m_bigUnitDigits);
}

long SheetDistancePicker::smallAmount() const
{
    return amountOnWheels(m_bigUnitDigits + 1, m_smallUnitDigits);
}

void SheetDistancePicker::notifyTargetDidSucceed(
    QObject* target, const QByteArray& action, QObject* origin)
{
    if (!answers(target, action, "QVariant,QVariant,QObject*"))
        raise(invalidTargetActionMessage(target, action));
    QMetaObject::invokeMethod(target, action.constData(), Qt::DirectConnection,
        Q_ARG(QVariant, QVariant::fromValue(bigAmount())),
        Q_ARG(QVariant, QVariant::fromValue(smallAmount())), Q_ARG(QObject*, origin));
}

void SheetDistancePicker::customButtonPressed(int)
{
    qWarning().noquote()
        << "Not implemented. If you get around to it, please contribute back to the project :)";
}

int SheetDistancePicker::numberOfComponentsInPickerView(PickerView*)
{
    return m_bigUnitDigits + m_smallUnitDigits + 2;
}

int SheetDistancePicker::pickerViewNumberOfRowsInComponent(PickerView*, int component)
{
    const int bigUnit = m_bigUnitDigits;
    const int smallFirst = m_bigUnitDigits + 1;
    const int smallUnit = smallFirst + m_smallUnitDigits;
    if (component == bigUnit || component == smallUnit)
        return 1;
    if (component == 0)
        return int(m_bigUnitMax / powerOfTen(m_bigUnitDigits - 1) + 1);
    if (component == smallFirst)
        return int(m_smallUnitMax / powerOfTen(m_smallUnitDigits - 1) + 1);
    return 10;
}

double SheetDistancePicker::pickerViewWidthForComponent(PickerView* picker, int)
{
    return (picker->bounds().width() - 30) / (m_bigUnitDigits + m_smallUnitDigits + 2);
}

View* SheetDistancePicker::pickerViewViewForRow(PickerView* picker, int row, int component, View*)
{
    const double width = pickerViewWidthForComponent(picker, component);
    auto* label = new Label(QRectF(0, 0, width, RowHeight));
    label->setTextAlignment(Qt::AlignCenter);
    label->setBackgroundColor(Qt::transparent);
    if (component == m_bigUnitDigits) {
        label->setText(m_bigUnitString);
        label->setFont(Font::boldSystem(20));
    } else if (component == m_bigUnitDigits + m_smallUnitDigits + 1) {
        label->setText(m_smallUnitString);
        label->setFont(Font::boldSystem(20));
    } else {
        label->setText(QString::asprintf("%li", long(row)));
        label->setFont(Font::system(20));
    }
    return label;
}
