#pragma once

#include "platform/ui/PickerView.h"
#include "widgets/AbstractSheetPicker.h"

#include <QHash>
#include <QStringList>
#include <QTimeZone>

// Picks a time zone on two wheels, continent and city, each city shown with its zone's
// abbreviation now. Done reports the zone on screen to the done block, or to the target's
// success action as (QVariant zone, QObject* origin).
class SheetLocalePicker : public AbstractSheetPicker,
                          public platform::ui::PickerViewDelegate,
                          public platform::ui::PickerViewDataSource {
    Q_OBJECT
public:
    using DoneBlock = std::function<void(SheetLocalePicker* picker, const QTimeZone& zone)>;
    using CancelBlock = std::function<void(SheetLocalePicker* picker)>;

    SheetLocalePicker(const QString& title, const QTimeZone& initialSelection, QObject* target,
        const QByteArray& successAction, const QByteArray& cancelAction, QObject* origin,
        QObject* parent = nullptr);
    SheetLocalePicker(const QString& title, const QTimeZone& initialSelection, DoneBlock doneBlock,
        CancelBlock cancelBlock, QObject* origin, QObject* parent = nullptr);

    static SheetLocalePicker* showPickerWithTitle(const QString& title,
        const QTimeZone& initialSelection, DoneBlock doneBlock, CancelBlock cancelBlock,
        QObject* origin);
    static SheetLocalePicker* showPickerWithTitle(const QString& title,
        const QTimeZone& initialSelection, QObject* target, const QByteArray& successAction,
        const QByteArray& cancelAction, QObject* origin);

    QTimeZone initialTimeZone() const { return m_initialTimeZone; }
    QString selectedContinent() const { return m_selectedContinent; }
    QString selectedCity() const { return m_selectedCity; }
    QStringList continents() const { return m_continents; }
    QStringList getCitiesByContinent(const QString& continent) const;
    // The zone named by the chosen continent and city.
    QTimeZone selectedTimeZone() const;

    void fillContinentsAndCities();
    void setSelectedRows();
    void selectCurrentLocale(platform::ui::PickerView* picker);

    platform::ui::View* configuredPickerView() override;
    void notifyTargetDidSucceed(
        QObject* target, const QByteArray& action, QObject* origin) override;
    void customButtonPressed(int tag) override;

    int numberOfComponentsInPickerView(platform::ui::PickerView* picker) override;
    int pickerViewNumberOfRowsInComponent(platform::ui::PickerView* picker, int component) override;
    double pickerViewWidthForComponent(platform::ui::PickerView* picker, int component) override;
    platform::ui::View* pickerViewViewForRow(platform::ui::PickerView* picker, int row,
        int component, platform::ui::View* reusing) override;
    void pickerViewDidSelectRow(platform::ui::PickerView* picker, int row, int component) override;

    // What a city's row shows: the city and its zone's abbreviation now.
    static QString cityTitle(const QString& continent, const QString& city);

private:
    DoneBlock m_onActionSheetDone;
    QTimeZone m_initialTimeZone;
    QString m_selectedContinent;
    QString m_selectedCity;
    QHash<QString, QStringList> m_continentsAndCityDictionary;
    QStringList m_continents;
};
