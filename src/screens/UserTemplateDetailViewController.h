#pragma once

#include "forms/CloudDetailViewController.h"

#include <memory>

class FormBooleanElement;
class FormElement;
class FormEntryElement;
class FormRadioElement;
class FormRootElement;
class FormSection;

// The form of one of the user's tables on Home: its name and description, and while it
// holds no rows and no password check, the definition it is made from and whether it is
// protected; afterwards a Protect or Unprotect button instead. Save hands the table to
// Home's data controller, which checks and stores it and runs the protection.
class UserTemplateDetailViewController : public CloudDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit UserTemplateDetailViewController(QObject* parent = nullptr);
    ~UserTemplateDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    static void registerForm();

    void createFields() override;
    FormEntryElement* createNameField(FormSection* section);
    FormEntryElement* createDescrField(FormSection* section);
    FormRadioElement* createTemplateField(FormSection* section);
    FormBooleanElement* createProtectedField(FormSection* section);
    std::shared_ptr<FormSection> createSectionProtect();
    // The switch follows the chosen definition's protection.
    void updateProtectedFiled();

    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    Q_INVOKABLE void protect(FormElement* element = nullptr);
    Q_INVOKABLE void unprotect(FormElement* element = nullptr);
    QSizeF popupContentSize() const override { return { 600, 350 }; }

    static const QString TemplateKey; // "template"
    static const QString ProtectedKey; // "protected"

private:
    QVariant m_chosenTemplate;
};
