#pragma once

#include "forms/CloudDetailViewController.h"

#include <QStringList>

#include <memory>

class FormBooleanElement;
class FormDecimalElement;
class FormEntryElement;
class FormRadioElement;
class FormRootElement;
class FormSection;

// The form of one typed column of a table definition. Its fields follow the chosen type
// (a list needs values, a link has a fixed length, dates and flags have neither length
// nor precision, only dates remind). Editing refuses what would break the rows already
// stored: a type of another family while a table is made from the definition, and a
// shorter text. A column the data controller refuses is put back as stored.
class TemplateColumnDetailViewController : public CloudDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TemplateColumnDetailViewController(QObject* parent = nullptr);
    ~TemplateColumnDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    FormEntryElement* createNameField(FormSection* section);
    FormRadioElement* createTypeField(FormSection* section);
    FormBooleanElement* createMandatoryField(FormSection* section);
    FormDecimalElement* createLengthField(FormSection* section);
    FormDecimalElement* createPrecisionField(FormSection* section);
    FormBooleanElement* createInTilesField(FormSection* section);
    FormBooleanElement* createInTableField(FormSection* section);
    FormEntryElement* createListVauesField(FormSection* section);
    FormBooleanElement* createSortField(FormSection* section);
    FormBooleanElement* createSortAscendingField(FormSection* section);
    FormBooleanElement* createAutoCompleteField(FormSection* section);
    FormBooleanElement* createReminderField(FormSection* section);

    // Enables and sets the fields by the chosen type; reloads the table when asked.
    void EnableDisable(bool reload) override;
    QSizeF popupContentSize() const override { return { 600, 700 }; }
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;

    // The types offered, in order, and the image of each.
    static const QStringList& types();
    static const QStringList& typeImages();
    // The length a link column shows.
    static constexpr int LinkLength = 1024;
};
