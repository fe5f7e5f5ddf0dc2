#pragma once

#include "forms/CloudDetailViewController.h"

#include <QStringList>

#include <memory>

class FormAutoEntryElement;
class FormBooleanElement;
class FormDecimalElement;
class FormEntryElement;
class FormLabelElement;
class FormRootElement;
class FormSection;

// The form of a table definition: name, description, category, tiles per row (not on a
// phone, whose grid has one), protection and image, which is picked from a list of the
// definition images. Save writes the values into the definition and hands it to the
// Templates screen's data controller; a refused definition is put back as stored.
class TemplateDetailViewController : public CloudDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TemplateDetailViewController(QObject* parent = nullptr);
    ~TemplateDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    FormEntryElement* createNameField(FormSection* section);
    FormEntryElement* createDescrField(FormSection* section);
    FormAutoEntryElement* createCategoryField(FormSection* section);
    FormDecimalElement* createTilesColumnsField(FormSection* section);
    FormBooleanElement* createProtectedField(FormSection* section);
    FormLabelElement* createImageField(FormSection* section);

    QSizeF popupContentSize() const override;
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    void EnableDisable(bool reload) override;

    // The element of the key shows the themed image its value names.
    void setImage(const QString& key);
    // The list of definition images; the one chosen becomes the element's value.
    void showImagePicker(const QString& key);

    // The images a definition can have, in the order offered.
    static const QStringList& images();
    static const QString ImageKey; // "image"
    static const QString ImageSelectorScreen; // "List Image Selector"
};
