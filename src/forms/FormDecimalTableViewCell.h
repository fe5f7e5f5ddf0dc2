#pragma once

#include "forms/FormEntryTableViewCell.h"

// The entry cell of a decimal row: every key goes to the element, which keeps the number
// typed like a cash register, and the field always shows the number formatted.
class FormDecimalTableViewCell : public FormEntryTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformDecimalElement"

    explicit FormDecimalTableViewCell(QWidget* parent = nullptr);

    void prepareForElement(FormEntryElement* element, FormTableView* tableView) override;
    // The change goes to the number; the field's own change is refused and the field
    // shows the number again.
    bool textFieldShouldChangeCharactersInRange(platform::ui::TextField* field,
        const platform::ui::TextRange& range, const QString& replacement) override;
};
