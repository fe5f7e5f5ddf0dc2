#pragma once

#include "forms/FormDynamicDataSection.h"

#include <QVariantList>

class FormSelectItemElement;

// A section whose rows are its items, ticked in place: one at a time, or several when
// multipleAllowed. Its value, written under its key, is the ticked indexes in the order
// they were ticked.
class FormSelectSection : public FormDynamicDataSection {
    Q_OBJECT
    Q_PROPERTY(QVariantList items READ items WRITE setItems)
    Q_PROPERTY(bool multipleAllowed READ multipleAllowed WRITE setMultipleAllowed)
    Q_PROPERTY(bool deselectAllowed READ deselectAllowed WRITE setDeselectAllowed)
    Q_PROPERTY(QVariantList selectedIndexes READ selectedIndexes WRITE setSelectedIndexes)
    Q_PROPERTY(QVariantList selectedItems READ selectedItems)

public:
    Q_INVOKABLE FormSelectSection();
    // Several indexes allow multiple selection; one or none, single selection.
    static std::shared_ptr<FormSelectSection> initWithItems(
        const QVariantList& items, const QVariantList& selectedIndexes, const QString& title = {});
    static std::shared_ptr<FormSelectSection> initWithItems(
        const QVariantList& items, qulonglong selected, const QString& title = {});
    // The indexes of the given items, in that order; items not in the list are skipped.
    static std::shared_ptr<FormSelectSection> initWithItemsSelectedItems(
        const QVariantList& items, const QVariantList& selectedItems, const QString& title = {});

    QVariantList items() const { return m_items; }
    // Replaces the items and builds their rows afresh.
    void setItems(const QVariantList& items);
    bool multipleAllowed() const { return m_multipleAllowed; }
    void setMultipleAllowed(bool allowed) { m_multipleAllowed = allowed; }
    // Whether tapping the ticked row of a single selection unticks it.
    bool deselectAllowed() const { return m_deselectAllowed; }
    void setDeselectAllowed(bool allowed) { m_deselectAllowed = allowed; }
    QVariantList selectedIndexes() const { return m_selectedIndexes; }
    void setSelectedIndexes(const QVariantList& indexes) { m_selectedIndexes = indexes; }
    // The items at the ticked indexes, in that order; indexes outside the list are left out.
    QVariantList selectedItems() const;
    bool isTicked(qulonglong index) const;

    // Run after every tap on an item.
    std::function<void()> onSelected;

    // One row per item, added in order.
    void createElements();
    void addElement(std::shared_ptr<FormElement> element) override;
    // Inserts the item and its row at the index (clamped to the list); later rows and
    // ticks move up by one, so every row's index stays its place among the items.
    void insertOption(const QVariant& item, qsizetype index);
    void addOption(const QVariant& item);

    // A tap on the item at the index: the ticks change by the section's rules, then
    // onSelected runs. Answers the indexes whose tick changed, for the table to redraw.
    QList<qulonglong> toggleItemAtIndex(qulonglong index);

    // The ticked indexes are the section's rows: binding keeps them unless the bind
    // string builds the rows from the data.
    void bindToObject(const QVariant& data) override;
    // Writes selectedIndexes under the key.
    void fetchValueIntoObject(const QVariant& target) override;

protected:
    QVariantList& mutableSelectedIndexes() { return m_selectedIndexes; }

private:
    QVariantList m_items;
    bool m_multipleAllowed = false;
    bool m_deselectAllowed = false;
    QVariantList m_selectedIndexes;
};
