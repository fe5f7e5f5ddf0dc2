#pragma once

#include "forms/QuickDetailViewController.h"

#include <memory>

class FormRootElement;

// Puts the items of a list screen (tables, filters, sorts) in order by dragging; Save
// hands the item ids in their new order to the screen's data controller.
class OrderingDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit OrderingDetailViewController(QObject* parent = nullptr);
    ~OrderingDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    QSizeF popupContentSize() const override;
    Q_INVOKABLE void onSave();

    static const QString SectionKey; // "sortingSection"
};
