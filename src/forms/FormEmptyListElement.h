#pragma once

#include "forms/FormLabelElement.h"

// The row a list shows when its collection is empty.
class FormEmptyListElement : public FormLabelElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormEmptyListElement();
    static std::shared_ptr<FormEmptyListElement> initWithTitle(const QString& title);

    // Choosing the row does nothing.
    void handleElementSelected(FormControllerProtocol*) override { }
};
