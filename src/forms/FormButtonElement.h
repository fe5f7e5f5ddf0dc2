#pragma once

#include "forms/FormLabelElement.h"

// A command row (Save, Delete, a chooser): its controller action runs when it is
// tapped, even while the table is being edited.
class FormButtonElement : public FormLabelElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormButtonElement();
    static std::shared_ptr<FormButtonElement> initWithTitle(const QString& title);
};
