#include "widgets/SheetCustomPicker.h"

#include "platform/ui/PickerView.h"
#include "widgets/SheetCustomPickerDelegate.h"

using namespace platform::ui;

SheetCustomPicker::SheetCustomPicker(const QString& title,
    std::shared_ptr<SheetCustomPickerDelegate> delegate, bool showCancelButton, QObject* origin,
    const QList<int>& initialSelections, QObject* parent)
    : AbstractSheetPicker(nullptr, {}, {}, origin, parent)
{
    setTitle(title);
    setHideCancel(!showCancelButton);
    if (!delegate)
        raise(QStringLiteral("Delegate can't be nil"));
    m_delegate = std::move(delegate);
    m_initialSelections = initialSelections;
}

SheetCustomPicker* SheetCustomPicker::showPickerWithTitle(const QString& title,
    std::shared_ptr<SheetCustomPickerDelegate> delegate, bool showCancelButton, QObject* origin,
    const QList<int>& initialSelections)
{
    return showNewPicker(new SheetCustomPicker(
        title, std::move(delegate), showCancelButton, origin, initialSelections));
}

View* SheetCustomPicker::configuredPickerView()
{
    auto* picker = new PickerView(pickerFrame());
    setPickerView(picker);
    setUpWheels(picker, m_delegate.get(), m_delegate.get());
    auto mismatch = [this, picker] {
        setPickerView(nullptr);
        delete picker;
        raise(QStringLiteral("Number of sections not match"));
    };
    if (!m_initialSelections.isEmpty()) {
        if (m_initialSelections.size() != picker->numberOfComponents())
            mismatch();
        for (int component = 0; component < m_initialSelections.size(); ++component) {
            const int row = m_initialSelections[component];
            if (row >= picker->numberOfRowsInComponent(component))
                mismatch();
            picker->selectRow(row, component, false);
        }
    }
    m_delegate->sheetPickerConfigurePickerView(this, picker);
    return picker;
}

void SheetCustomPicker::notifyTargetDidSucceed(QObject*, const QByteArray&, QObject* origin)
{
    m_delegate->sheetPickerDidSucceed(this, origin);
}

void SheetCustomPicker::notifyTargetDidCancel(QObject*, const QByteArray&, QObject* origin)
{
    m_delegate->sheetPickerDidCancel(this, origin);
}
