#pragma once

#include "forms/FormEntryElement.h"

#include <QStringList>
#include <QVariantList>

class FormEntryTableViewCell;
class FormSection;
class OrderedDictionary;

// A single-choice row: it shows the chosen item and opens the list of items as a form of
// its own (its only section) when tapped. A parallel list of values lets the row show
// names while the record stores ids: bind "selectedItem" for the item, "selectedValue"
// for the value.
class FormRadioElement : public FormEntryElement {
    Q_OBJECT
    Q_PROPERTY(QVariantList items READ items WRITE setItems)
    Q_PROPERTY(QVariant values READ valuesProperty WRITE setValuesProperty)
    Q_PROPERTY(qint64 selected READ selected WRITE setSelected)
    Q_PROPERTY(QStringList itemsImageNames READ itemsImageNames WRITE setItemsImageNames)
    Q_PROPERTY(QVariant selectedItem READ selectedItem WRITE setSelectedItem)
    Q_PROPERTY(QVariant selectedValue READ selectedValue WRITE setSelectedValue)

public:
    Q_INVOKABLE FormRadioElement();
    // These keep the index given.
    static std::shared_ptr<FormRadioElement> initWithItems(
        const QVariantList& items, qint64 selected, const QString& title);
    static std::shared_ptr<FormRadioElement> initWithItems(const QVariantList& items,
        qint64 selected, const QString& title, const QStringList& imageNames);
    // These show no choice: the index only preselects the list's row and the image.
    static std::shared_ptr<FormRadioElement> initWithItems(
        const QVariantList& items, qint64 selected);
    static std::shared_ptr<FormRadioElement> initWithItems(
        const QVariantList& items, qint64 selected, const QStringList& imageNames);
    // Items are the dictionary's keys and values its values, in its order; no choice.
    static std::shared_ptr<FormRadioElement> initWithDict(const OrderedDictionary& dictionary,
        qint64 selected, const QString& title, const QStringList& imageNames = {});

    QVariantList items() const { return m_items; }
    // Stores the items and builds the list of them.
    virtual void setItems(const QVariantList& items);
    // Parallel to items; none when not set.
    const std::optional<QVariantList>& values() const { return m_values; }
    void setValues(const std::optional<QVariantList>& values) { m_values = values; }
    // The chosen index; any value outside the items (-1 included) is no choice.
    qint64 selected() const { return m_selected; }
    // Chooses the index: the list will open at that row, the row shows the item's image,
    // and the value-changed block runs.
    void setSelected(qint64 index);
    QStringList itemsImageNames() const { return m_itemsImageNames; }
    void setItemsImageNames(const QStringList& names) { m_itemsImageNames = names; }

    // The chosen item; without a valid choice, an item given that is not among the items
    // (until a choice is made), or nil.
    QVariant selectedItem() const;
    // Chooses the item's index; an item not found is no choice, but is kept as the
    // selected item, so that a value no one chose again is not lost. Nil, or no items,
    // changes nothing.
    void setSelectedItem(const QVariant& item);
    // The chosen value, or nil.
    QVariant selectedValue() const;
    // A number chooses that index; anything else the index of that value (not found,
    // nil included, is no choice).
    void setSelectedValue(const QVariant& value);

    // Whether the index is a choice among the items.
    bool hasValidChoice() const;
    // The section holding the item rows.
    FormSection* internalRadioItemsSection() const;
    // Builds the item list afresh.
    void createElements();

    // A choice row never takes the keyboard.
    bool canTakeFocus() const override { return false; }
    // The entry cell showing the chosen item, with a chevron when the row can be opened;
    // its field takes no touches.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Shows the item in the cell's field, beside the title when there is one.
    void updateCell(FormEntryTableViewCell* cell, const QVariant& item);
    // An enabled row opens its list.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    // With a valid choice and a key: the chosen value, or without values the index.
    void fetchValueIntoObject(const QVariant& target) override;

protected:
    void setItemsWithoutList(const QVariantList& items) { m_items = items; }
    void setSelectedDirectly(qint64 index) { m_selected = index; }

private:
    void select(qint64 index);
    QVariant valuesProperty() const;
    void setValuesProperty(const QVariant& values);

    QVariantList m_items;
    std::optional<QVariantList> m_values;
    qint64 m_selected = -1;
    QVariant m_unlistedItem;
    QPointer<FormSection> m_internalRadioItemsSection;
    QStringList m_itemsImageNames;
};
