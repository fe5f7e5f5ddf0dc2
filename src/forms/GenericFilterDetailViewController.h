#pragma once

#include "forms/QuickDetailViewController.h"

#include <QList>
#include <QStringList>

#include <memory>

class FilterExtended;
class FormElement;
class FormRadioElement;
class FormRootElement;
class FormSection;
class TemplateColumn;

// One filter condition of a user table: and/or, column, operator and a value element
// that follows the column's type. Protected columns are never offered. The form edits a
// copy of the condition; the filter list's data controller takes it over only when it
// accepts the Save.
//
// The table's columns come from the data controller of the rows screen below the filter
// list (the list screen's parent link).
class GenericFilterDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit GenericFilterDetailViewController(QObject* parent = nullptr);
    ~GenericFilterDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    QSizeF popupContentSize() const override { return { 400, 350 }; }
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    // Binds the form to a copy of the condition.
    void loadData(const QVariant& record) override;

    // The element makers: with a section, the element (and on a phone its caption row
    // before it) is added to it.
    std::shared_ptr<FormRadioElement> createAndOrField(FormSection* section);
    std::shared_ptr<FormRadioElement> createColumnsField(
        const QList<TemplateColumn*>& columns, FormSection* section);
    std::shared_ptr<FormRadioElement> createConditionField(
        const TemplateColumn* column, FormSection* section);
    std::shared_ptr<FormElement> createValueField(
        const TemplateColumn* column, FormSection* section);
    // A new column was chosen: the operators and the value element follow it; what was
    // typed in the old value element is dropped.
    void columnChanged();

    // The image of each operator label ("unknownd" for any label not known).
    static QStringList conditionImages(const QStringList& conditions);
    // The nine operator labels offered while no column is chosen.
    static QStringList allConditions();
    // "None", "And", "Or" and their images.
    static QStringList andOrItems();
    static QStringList andOrImages();

    // The column choice shared with the sort form: "None" and every column but Protected
    // ones, with their type images, bound to the record's Header.
    static std::shared_ptr<FormRadioElement> makeColumnsElement(
        const QList<TemplateColumn*>& columns, const QString& title);
    // On a phone, the caption row put before an untitled element.
    static std::shared_ptr<FormElement> makeCaption(const QString& title, const QString& type);
    // The table's columns (those of the rows screen below the list); none when unknown.
    QList<TemplateColumn*> tableColumns() const;
    // The condition being edited (the copy); null before a record is loaded.
    std::shared_ptr<FilterExtended> editedFilter() const { return m_edited; }

    static const QString SectionKey; // "section1"
    static const QString ColumnsKey; // "columns"
    static const QString ConditionsKey; // "conditions"
    static const QString ValueCaptionKey; // "labelvalue"

private:
    std::shared_ptr<FilterExtended> m_edited;
    // The column the operator and value elements were made for.
    QString m_shownColumnId;
};
