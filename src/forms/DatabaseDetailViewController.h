#pragma once

#include "forms/CloudDetailViewController.h"

#include <memory>

class FormEntryElement;
class FormRootElement;
class FormSection;

// The form of a database: its name and description, and Save, which hands the database
// to the Databases screen's data controller to check and store.
class DatabaseDetailViewController : public CloudDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit DatabaseDetailViewController(QObject* parent = nullptr);
    ~DatabaseDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    FormEntryElement* createNameField(FormSection* section);
    FormEntryElement* createDescrField(FormSection* section);
    QSizeF popupContentSize() const override { return { 600, 250 }; }
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
};
