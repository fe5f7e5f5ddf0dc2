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

    // The entry cell with a chevron; its field shows the text and cannot be typed into.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // Opens the editing screen the way the presentation mode asks; the text comes back on
    // every change and when the screen goes.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;
};
