#pragma once

#include "forms/FormEntryElement.h"

#include <QSizeF>

// A text of several lines, edited on a screen of its own rather than in its row.
class FormMultilineElement : public FormEntryElement {
    Q_OBJECT

public:
    Q_INVOKABLE FormMultilineElement();
    static std::shared_ptr<FormMultilineElement> initWithTitle(
        const QString& title, const QString& value);

    // The size of the editing screen when it opens in a popover.
    QSizeF popupSize = QSizeF(320, 360);

    // The row opens the editing screen; it never takes the keyboard in place.
    bool canTakeFocus() const override { return false; }
};
