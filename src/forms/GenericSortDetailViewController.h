#pragma once

#include "forms/QuickDetailViewController.h"

#include <QList>

#include <memory>

class FormBooleanElement;
class FormRadioElement;
class FormRootElement;
class FormSection;
class Sort;
class TemplateColumn;

// One sort key of a user table: a column (never a Protected one) and the direction. The
// form edits a copy of the key; the sort list's data controller takes it over only when
// it accepts the Save.
class GenericSortDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit GenericSortDetailViewController(QObject* parent = nullptr);
    ~GenericSortDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    QSizeF popupContentSize() const override { return { 400, 275 }; }
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    // Binds the form to a copy of the key.
    void loadData(const QVariant& record) override;

    std::shared_ptr<FormRadioElement> createColumnsField(
        const QList<TemplateColumn*>& columns, FormSection* section);
    std::shared_ptr<FormBooleanElement> createAscendingField(FormSection* section);

    // The key being edited (the copy); null before a record is loaded.
    std::shared_ptr<Sort> editedSort() const { return m_edited; }

private:
    QList<TemplateColumn*> tableColumns() const;

    std::shared_ptr<Sort> m_edited;
};
