#pragma once

#include "forms/FilterDetailViewController.h"

#include <memory>

class FormRootElement;

// One sort key of a desktop-server table: the column by its header, and ascending (the
// default) or not. Like the filter form it edits a copy.
class SortDetailViewController : public FilterDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit SortDetailViewController(QObject* parent = nullptr);
    ~SortDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    void createFields() override;
    QSizeF popupContentSize() const override { return { 600, 275 }; }
    bool Save(const QVariantMap& values) override;

protected:
    QVariant editableValues(const QObject& entry) const override;
};
