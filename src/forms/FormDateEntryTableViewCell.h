#pragma once

#include "forms/FormEntryTableViewCell.h"
#include "platform/ui/DatePicker.h"

#include <QPointer>

namespace platform::ui {
class Label;
}

// The cell of an inline date row. Its text field is invisible: it only holds the focus,
// and while it does a date picker takes the keyboard's place (with the Previous, Next and
// Done bar above it) and the row shows itself selected. The value shows as the row's
// value, or centred in place of the title.
class FormDateEntryTableViewCell : public FormEntryTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformDateTimeInlineElement"

    explicit FormDateEntryTableViewCell(QWidget* parent = nullptr);
    ~FormDateEntryTableViewCell() override;

    // The picker while the row is being edited, else null.
    platform::ui::DatePicker* pickerView() const { return m_picker; }
    platform::ui::Label* centeredLabel() const { return m_centeredLabel; }

    void prepareForElement(FormEntryElement* element, FormTableView* tableView) override;
    // A new date picker, kept as the only one of the class (the previous one is dropped
    // by the row that had it).
    static platform::ui::DatePicker* getPickerForDate();
    // The picker moved: the element takes its value, the row shows it.
    void dateChanged();

    void textFieldDidBeginEditing(platform::ui::TextField* field) override;
    void textFieldDidEndEditing(platform::ui::TextField* field) override;
    // While its picker is open the row stays selected.
    void setSelected(bool selected, bool animated = false) override;
    void layoutSubviews() override;

private:
    QPointer<platform::ui::DatePicker> m_picker;
    platform::ui::Label* m_centeredLabel = nullptr;
};
