#pragma once

#include "forms/QuickDetailViewController.h"

#include <memory>

class FormRootElement;

// Which columns of a user table the rows screen's search bar looks in: every column,
// Protected ones included, ticked when the screen's data controller searches it. Save
// writes the choice back (unticked columns as NO) without storing anything.
class SearchColumnSelectorDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit SearchColumnSelectorDetailViewController(QObject* parent = nullptr);
    ~SearchColumnSelectorDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    QSizeF popupContentSize() const override;
    // Only ticks, nothing typed: closing loses nothing a tap cannot bring back.
    bool closesOnEscape() const override { return true; }
    Q_INVOKABLE void onSave();

    static const QString SectionKey; // "searchColumns"
};
