#pragma once

#include "forms/QuickDetailViewController.h"

#include <QString>

#include <memory>

class FormRootElement;

// The form that names a new folder of a file browser: one name entry and Save. The
// browser's data controller makes the folder (refusing an empty or unsafe name with a
// message) and closes the form once it exists.
class DirectoryDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit DirectoryDetailViewController(QObject* parent = nullptr);
    ~DirectoryDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    static std::shared_ptr<FormRootElement> createFormWithTitle(const QString& title);

    // The entry (a file entry row) is kept; the form edits a copy of its name.
    void loadData(const QVariant& record) override;
    QVariant entryRow() const { return m_entry; }
    QSizeF popupContentSize() const override { return { 400, 200 }; }
    bool respondsToSaveWithSender() const override { return true; }
    // Writes the typed name into the folder entry and asks the browser to make it.
    void Save(const QVariantMap& values, QObject* sender) override;

private:
    QVariant m_entry;
};
