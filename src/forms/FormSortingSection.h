#pragma once

#include "forms/FormSection.h"

// A section whose rows the user drags into a new order; its value is the order of its
// elements' keys.
class FormSortingSection : public FormSection {
    Q_OBJECT
    Q_PROPERTY(bool sortingEnabled READ sortingEnabled WRITE setSortingEnabled)

public:
    Q_INVOKABLE FormSortingSection();

    bool sortingEnabled() const { return m_sortingEnabled; }
    void setSortingEnabled(bool enabled) { m_sortingEnabled = enabled; }
    bool needsEditing() const override { return m_sortingEnabled; }

    bool canRemoveElementForRow(qsizetype) const { return true; }
    // Raw positions; a position outside the list moves nothing.
    void moveElementFromRow(qsizetype from, qsizetype to);
    bool removeElementForRow(qsizetype row);

    // Writes, under the key, the elements' keys in their current order (nothing without
    // a key); a row without a key gives the null object.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    bool m_sortingEnabled = true;
};
