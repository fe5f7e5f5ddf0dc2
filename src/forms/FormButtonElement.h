#pragma once

#include "forms/FormLabelElement.h"

// A command row (Save, Delete, a chooser): its controller action runs when it is
// tapped, even while the table is being edited.
class FormButtonElement : public FormLabelElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormButtonElement();
    static std::shared_ptr<FormButtonElement> initWithTitle(const QString& title);

    // A plain row with the title in the action colour, aligned by the appearance.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // An enabled button runs the label row's selection; the row always fades back.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    static const QString ReuseIdentifier; // "QuickformButtonElement"
};
