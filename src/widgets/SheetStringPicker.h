#pragma once

#include "platform/ui/PickerView.h"
#include "widgets/AbstractSheetPicker.h"

#include <QVariantList>

// Picks one entry of a list. Done reports the chosen index and entry to the done block,
// or to the target's success action as (QVariant index, QObject* origin).
class SheetStringPicker : public AbstractSheetPicker,
                          public platform::ui::PickerViewDelegate,
                          public platform::ui::PickerViewDataSource {
    Q_OBJECT
public:
    // The value is invalid when the index names no entry.
    using DoneBlock = std::function<void(
        SheetStringPicker* picker, int selectedIndex, const QVariant& selectedValue)>;
    using CancelBlock = std::function<void(SheetStringPicker* picker)>;

    SheetStringPicker(const QString& title, const QVariantList& rows, int initialSelection,
        QObject* target, const QByteArray& successAction, const QByteArray& cancelAction,
        QObject* origin, QObject* parent = nullptr);
    SheetStringPicker(const QString& title, const QVariantList& rows, int initialSelection,
        DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin, QObject* parent = nullptr);

    static SheetStringPicker* showPickerWithTitle(const QString& title, const QVariantList& rows,
        int initialSelection, DoneBlock doneBlock, CancelBlock cancelBlock, QObject* origin);
    static SheetStringPicker* showPickerWithTitle(const QString& title, const QVariantList& rows,
        int initialSelection, QObject* target, const QByteArray& successAction,
        const QByteArray& cancelAction, QObject* origin);

    QVariantList data() const { return m_data; }
    // No list at all (as opposed to an empty one): showing then raises.
    void setNoData() { m_hasData = false; }
    int selectedIndex() const { return m_selectedIndex; }
    // The entry at the index, or invalid when the index names none.
    QVariant valueAt(int index) const;

    platform::ui::View* configuredPickerView() override;
    void notifyTargetDidSucceed(
        QObject* target, const QByteArray& action, QObject* origin) override;
    void customButtonPressed(int tag) override;

    int numberOfComponentsInPickerView(platform::ui::PickerView* picker) override;
    int pickerViewNumberOfRowsInComponent(platform::ui::PickerView* picker, int component) override;
    QString pickerViewTitleForRow(
        platform::ui::PickerView* picker, int row, int component) override;
    double pickerViewWidthForComponent(platform::ui::PickerView* picker, int component) override;
    void pickerViewDidSelectRow(platform::ui::PickerView* picker, int row, int component) override;

private:
    DoneBlock m_onActionSheetDone;
    QVariantList m_data;
    bool m_hasData = true;
    int m_selectedIndex = 0;
};
