#pragma once

#include "forms/QuickDetailViewController.h"

#include <QStringList>
#include <QVariant>

#include <memory>

class FormRootElement;

// One filter condition of a desktop-server table: and/or, the column by its header, the
// operator and a typed value. The columns are the headers of the table shown on the
// screen below the filter list. The form edits a copy: the filter itself changes only
// when the list's data controller accepts the save.
class FilterDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit FilterDetailViewController(QObject* parent = nullptr);
    ~FilterDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    void createFields() override;
    // Keeps the entry and shows its values.
    void loadData(const QVariant& record) override;
    QSizeF popupContentSize() const override { return { 600, 350 }; }
    bool respondsToSave() const override { return true; }
    // A copy of the entry with the form's values goes to the data controller's saveRow;
    // only when it is accepted are the values written into the entry.
    bool Save(const QVariantMap& values) override;

    // "None", then the headers of the columns of the table the filter list belongs to.
    QStringList columnItems() const;
    // The nine operators, "None" first.
    static QStringList operatorItems();

protected:
    // The values of the entry that the form binds to, by property name.
    virtual QVariant editableValues(const QObject& entry) const;
    // Writes every property of `from` into `to` (objects of one class).
    static void copyProperties(const QObject& from, QObject& to);
    // Saves a copy of the entry holding the form's values through the data controller,
    // and writes the values into the entry only when it accepted them.
    template<class Entry> bool saveCopy(const QVariantMap& values);
    // The table the list belongs to: the data controller of the list screen's parent link.
    std::shared_ptr<BaseDataController> tableController() const;

    QVariant m_entry;
};
