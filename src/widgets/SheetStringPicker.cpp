#include "widgets/SheetStringPicker.h"

#include <QDebug>

using namespace platform::ui;

SheetStringPicker::SheetStringPicker(const QString& title, const QVariantList& rows,
    int initialSelection, QObject* target, const QByteArray& successAction,
    const QByteArray& cancelAction, QObject* origin, QObject* parent)
    : AbstractSheetPicker(target, successAction, cancelAction, origin, parent)
    , m_data(rows)
    , m_selectedIndex(initialSelection)
{
    setTitle(title);
}

SheetStringPicker::SheetStringPicker(const QString& title, const QVariantList& rows,
    int initialSelection, DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin,
    QObject* parent)
    : SheetStringPicker(title, rows, initialSelection, nullptr, {}, {}, origin, parent)
{
    m_onActionSheetDone = std::move(doneBlock);
    if (cancelBlock)
        setCancelBlock([this, block = std::move(cancelBlock)] { block(this); });
}

SheetStringPicker* SheetStringPicker::showPickerWithTitle(const QString& title,
    const QVariantList& rows, int initialSelection, DoneBlock doneBlock, CancelBlock cancelBlock,
    QObject* origin)
{
    return showNewPicker(new SheetStringPicker(
        title, rows, initialSelection, std::move(doneBlock), std::move(cancelBlock), origin));
}

SheetStringPicker* SheetStringPicker::showPickerWithTitle(const QString& title,
    const QVariantList& rows, int initialSelection, QObject* target,
    const QByteArray& successAction, const QByteArray& cancelAction, QObject* origin)
{
    return showNewPicker(new SheetStringPicker(
        title, rows, initialSelection, target, successAction, cancelAction, origin));
}

QVariant SheetStringPicker::valueAt(int index) const
{
    // An index outside the list is never read.
    if (index < 0 || index >= m_data.size())
        return QVariant();
    return m_data.at(index);
}

View* SheetStringPicker::configuredPickerView()
{
    if (!m_hasData)
        return nullptr;
    auto* picker = new PickerView(pickerFrame());
    setUpWheels(picker, this, this);
    // An initial selection past the rows selects nothing (the picker ignores it).
    picker->selectRow(m_selectedIndex, 0, false);
    const bool hasRows = !m_data.isEmpty();
    picker->setShowsSelectionIndicator(hasRows);
    picker->setUserInteractionEnabled(hasRows);
    setPickerView(picker);
    return picker;
}

void SheetStringPicker::notifyTargetDidSucceed(
    QObject* target, const QByteArray& action, QObject* origin)
{
    if (m_onActionSheetDone) {
        m_onActionSheetDone(this, m_selectedIndex, valueAt(m_selectedIndex));
        return;
    }
    if (!invokeSuccessAction(target, action, QVariant(m_selectedIndex), origin))
        qWarning().noquote() << invalidTargetActionMessage(target, action);
}

void SheetStringPicker::customButtonPressed(int tag)
{
    const QVariantMap record
        = customButtonRecord(tag, "Bad custom button tag: %ld, custom button count: %ld");
    if (record.value(ButtonActionKey).toInt() == SelectValue) {
        // A value past the rows is ignored.
        const int row = record.value(ButtonValueKey).toInt();
        if (row < 0 || row >= m_data.size())
            return;
    }
    AbstractSheetPicker::customButtonPressed(tag);
}

int SheetStringPicker::numberOfComponentsInPickerView(PickerView*)
{
    return 1;
}

int SheetStringPicker::pickerViewNumberOfRowsInComponent(PickerView*, int)
{
    return int(m_data.size());
}

QString SheetStringPicker::pickerViewTitleForRow(PickerView*, int row, int)
{
    const QVariant value = valueAt(row);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.canConvert<QString>())
        return value.toString();
    return QString();
}

double SheetStringPicker::pickerViewWidthForComponent(PickerView* picker, int)
{
    return picker->bounds().width() - 30;
}

void SheetStringPicker::pickerViewDidSelectRow(PickerView*, int row, int)
{
    m_selectedIndex = row;
}
