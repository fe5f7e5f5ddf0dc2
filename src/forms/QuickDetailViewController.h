#pragma once

#include "forms/FormController.h"
#include "grid/DetailFormProtocol.h"

#include <QSizeF>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class BaseDataController;
class FormElement;
class FormRootElement;

// The base of every detail form: one record shown in a grouped form, its elements made
// when the view loads (createFields) and bound to the record; Save gathers the bound
// values into a new dictionary and hands them to the form's Save hooks, which pass them
// to the calling screen's data controller. The form closes by device after a successful
// save; leaving an add or edit form any other way drops the store's unsaved changes.
// Only the element tree (createForm) may be built off the main thread.
class QuickDetailViewController : public FormController, public DetailFormProtocol {
    Q_OBJECT
public:
    Q_INVOKABLE explicit QuickDetailViewController(QObject* parent = nullptr);
    ~QuickDetailViewController() override;

    static constexpr double DefaultPopupWidth = 600;
    static constexpr double DefaultPopupHeight = 450;

    // The record the form edits or shows.
    QVariant currentRow() const { return m_currentRow; }
    void setCurrentRow(const QVariant& row) { m_currentRow = row; }
    // The screen that opened the form, and its data controller (null when none).
    BaseViewController* callingScreen() const;
    BaseDataController* callingDataController() const;

    // Hooks of the form classes.
    virtual void createFields();
    // Enables, disables and refreshes elements that depend on others.
    virtual void EnableDisable(bool reload);
    // Forms take no screen record: no data controller, no toolbars from it.
    void initProperties() override;
    QSizeF popupContentSize() const override;
    // Save hooks; a form answers the responds...() of those it has.
    virtual bool respondsToSave() const { return false; }
    virtual bool Save(const QVariantMap& values);
    virtual bool respondsToSaveWithSender() const { return false; }
    virtual void Save(const QVariantMap& values, QObject* sender);

    // Writes the style's colours and fonts into the appearance every form shares.
    void applyStyleToAppearance();

    void loadView() override;
    // Binds the root to the record and makes it the current row.
    void loadData(const QVariant& record) override;
    // The Save button.
    Q_INVOKABLE void onSave();
    // Closes the form after a successful save: popped on a phone, the popover dismissed on
    // a tablet (and the calling screen reloaded when refresh is set).
    Q_INVOKABLE void afterSave(bool refresh = true);
    void SetParentDirty();
    // "Add" after the Add button, "Edit" after Edit, else empty.
    QString getAddEditPrefix() const;
    // Popover heights for n rows.
    static double calculateHeight(unsigned rows);
    static double calculateActualHeight(unsigned rows);
    void viewWillDisappear(bool animated) override;

    // A server's connection form (name, server, port, user, password, Save).
    static std::shared_ptr<FormRootElement> createServerFormWithTitle(
        const QString& title, const QString& controllerName);

    // The mutable record a plain values map becomes, so elements can write into it.
    static QVariant asMutableRecord(const QVariant& record);

protected:
    // The last section of a detail form: a Save button that sends onSave:.
    static void addSaveSection(FormRootElement& form);

private:
    QVariant m_currentRow;
};
