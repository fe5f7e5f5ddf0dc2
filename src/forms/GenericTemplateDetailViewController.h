#pragma once

#include "forms/CloudDetailViewController.h"

#include "platform/ui/Image.h"

#include <QHash>
#include <QString>

class FormElement;
class FormEntryElement;
class FormSection;
class RowFormDataController;
class TemplateColumn;

// The add and edit form of one row of a user table: one element per column, chosen by the
// column's type and bound to the row's values by column id (a date column with a reminder
// also gets the reminder's repeat under its "%@_Reminder" key). Save hands the values to
// the table's data controller, which checks and stores them. A Protected column is always
// a masked entry with a show/hide toggle and never offers completions.
class GenericTemplateDetailViewController : public CloudDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit GenericTemplateDetailViewController(QObject* parent = nullptr);
    ~GenericTemplateDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    QSizeF popupContentSize() const override;
    void loadData(const QVariant& record) override;
    void cloudStoreLoaded() override;

    // The show/hide toggle of a protected entry; the value itself never changes.
    void lockUnlock(FormElement* element);
    void setLockUnlockImage(FormElement* element);

    // Element makers: each adds its element to the section and returns it.
    FormElement* createHeader(TemplateColumn* column, FormSection* section);
    FormElement* createTextField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createAutoEntryField(TemplateColumn* column, const QString& title,
        FormSection* section, RowFormDataController* dataController);
    FormElement* createMultiLineTextField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createNumberField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createBooelanField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createDateField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createDateTimeField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createTimeField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createListField(
        TemplateColumn* column, const QString& title, FormSection* section);
    FormElement* createReminderField(TemplateColumn* column, FormSection* section);

    // The stored repeat keys of a reminder, in menu order.
    static const QStringList& reminderKeys();

protected:
    RowFormDataController* rowSource() const;

private:
    FormElement* createDateElement(
        TemplateColumn* column, const QString& title, FormSection* section, int mode);
    // The iPad look (title and type image) or the iPhone one (no title, blank image).
    void decorate(FormElement* element, TemplateColumn* column, bool placeholder);
    // Values the form shows unchanged go back exactly as they came.
    QVariantMap keepUnchangedDates(const QVariantMap& values) const;
    // A themed image drawn once per form: the type icons repeat over many columns.
    platform::ui::Image imageNamed(const QString& name);
    platform::ui::Image typeImageOf(const TemplateColumn* column);

    QHash<QString, platform::ui::Image> m_images;
};
