#pragma once

#include "platform/ui/PickerView.h"
#include "widgets/AbstractSheetPicker.h"

// Picks a distance as an amount of a big unit and an amount of a small unit, each set
// digit by digit on its own wheels, with a wheel naming each unit. Done sends the
// target's success action (QVariant big, QVariant small, QObject* origin).
class SheetDistancePicker : public AbstractSheetPicker,
                            public platform::ui::PickerViewDelegate,
                            public platform::ui::PickerViewDataSource {
    Q_OBJECT
public:
    SheetDistancePicker(const QString& title, const QString& bigUnitString, long bigUnitMax,
        long selectedBigUnit, const QString& smallUnitString, long smallUnitMax,
        long selectedSmallUnit, QObject* target, const QByteArray& action, QObject* origin,
        QObject* parent = nullptr);

    static SheetDistancePicker* showPickerWithTitle(const QString& title,
        const QString& bigUnitString, long bigUnitMax, long selectedBigUnit,
        const QString& smallUnitString, long smallUnitMax, long selectedSmallUnit, QObject* target,
        const QByteArray& action, QObject* origin);

    QString bigUnitString() const { return m_bigUnitString; }
    long selectedBigUnit() const { return m_selectedBigUnit; }
    long bigUnitMax() const { return m_bigUnitMax; }
    int bigUnitDigits() const { return m_bigUnitDigits; }
    QString smallUnitString() const { return m_smallUnitString; }
    long selectedSmallUnit() const { return m_selectedSmallUnit; }
    long smallUnitMax() const { return m_smallUnitMax; }
    int smallUnitDigits() const { return m_smallUnitDigits; }

    // What the wheels show now.
    long bigAmount() const;
    long smallAmount() const;

    platform::ui::View* configuredPickerView() override;
    void notifyTargetDidSucceed(
        QObject* target, const QByteArray& action, QObject* origin) override;
    void customButtonPressed(int tag) override;

    int numberOfComponentsInPickerView(platform::ui::PickerView* picker) override;
    int pickerViewNumberOfRowsInComponent(platform::ui::PickerView* picker, int component) override;
    double pickerViewWidthForComponent(platform::ui::PickerView* picker, int component) override;
    platform::ui::View* pickerViewViewForRow(platform::ui::PickerView* picker, int row,
        int component, platform::ui::View* reusing) override;

    static constexpr double RowHeight = 30;

private:
    long amountOnWheels(int first, int digits) const;
    void selectAmount(platform::ui::PickerView* picker, long amount, int first, int digits);

    QString m_bigUnitString;
    long m_selectedBigUnit = 0;
    long m_bigUnitMax = 0;
    int m_bigUnitDigits = 1;
    QString m_smallUnitString;
    long m_selectedSmallUnit = 0;
    long m_smallUnitMax = 0;
    int m_smallUnitDigits = 1;
};
