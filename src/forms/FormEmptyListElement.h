#pragma once

#include "forms/FormLabelElement.h"

// The row a list shows when its collection is empty.
class FormEmptyListElement : public FormLabelElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormEmptyListElement();
    static std::shared_ptr<FormEmptyListElement> initWithTitle(const QString& title);

    // A row of its own: the title centred in a light grey, not selectable.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Choosing the row does nothing.
    void handleElementSelected(FormControllerProtocol*) override { }

    static const QString ReuseIdentifier; // "FormEmptyListElement"
};
