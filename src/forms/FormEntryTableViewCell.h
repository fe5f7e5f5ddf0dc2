#pragma once

#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"

#include <QPointer>

#include <memory>

class FormEntryElement;
class FormTextField;

// The cell of every entry row: a text field beside the title, whose changes go straight
// into the element, with a bar above the keyboard (Previous, Next, Done) that walks the
// focus over the form's entry rows. Tab and Shift+Tab walk it the same way, Return moves
// on to the next entry or closes the keyboard. The fields of the titled rows of one
// section start at one x, set by the longest title.
class FormEntryTableViewCell : public FormTableViewCell, public platform::ui::TextFieldDelegate {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformEntryElement"

    explicit FormEntryTableViewCell(QWidget* parent = nullptr);
    ~FormEntryTableViewCell() override;

    platform::ui::TextField* textField() const { return m_textField; }
    // The field when it draws a prefix and suffix (not in every subclass).
    FormTextField* formTextField() const;
    FormEntryElement* entryElement() const { return m_entryElement.get(); }
    FormTableView* quickformTableView() const { return m_tableView; }
    platform::ui::SegmentedControl* prevNext() const { return m_prevNext; }
    // The bar above the keyboard; null when the element hides it.
    platform::ui::Toolbar* actionBar() const { return m_actionBar; }

    // Fills the cell and its field from the element.
    virtual void prepareForElement(FormEntryElement* element, FormTableView* tableView);
    // A new keyboard bar: Previous and Next, a flexible space, Done, styled by the
    // current style.
    platform::ui::Toolbar* createActionBar();
    // Previous and Next enabled by whether the form has an entry to move to.
    void updatePrevNextStatus();
    // The field's frame: for a titled row, the section's shared entry column.
    QRectF calculateFrameForEntryElement();
    virtual void recalculateEntryFieldPosition();
    void layoutSubviews() override;

    // The bar's Previous (segment 0) or Next (segment 1), and Tab and Shift+Tab: the
    // focus moves to the entry before or after; one scrolled away is scrolled to and
    // takes the focus 0.3 s later.
    void handleActionBarPreviousNext(int segment);
    // Done: the keyboard closes. Answers false.
    bool handleActionBarDone();

    // The field takes the keys.
    bool becomeFirstResponder() override;
    void applyAppearanceForElement(FormElement* element) override;
    void prepareForReuse() override;

    // The field's delegate.
    // The keyboard bar is made when a field first takes the keys, not for every row shown.
    bool textFieldShouldBeginEditing(platform::ui::TextField* field) override;
    void textFieldDidBeginEditing(platform::ui::TextField* field) override;
    void textFieldDidEndEditing(platform::ui::TextField* field) override;
    bool textFieldShouldChangeCharactersInRange(platform::ui::TextField* field,
        const platform::ui::TextRange& range, const QString& replacement) override;
    bool textFieldShouldReturn(platform::ui::TextField* field) override;
    bool textFieldShouldMoveFocus(
        platform::ui::TextField* field, platform::ui::FocusMove move) override;
    // Every change of the field's text.
    virtual void textFieldEditingChanged();

    // The delays of the focus steps.
    static constexpr int ScrollDelayMilliseconds = 50;
    static constexpr int FocusDelayMilliseconds = 300;

protected:
    // For cells with a field of their own (made without a parent); the identifier is
    // the cell's reuse identifier.
    FormEntryTableViewCell(
        const QString& reuseIdentifier, platform::ui::TextField* field, QWidget* parent = nullptr);
    // Sets the field up and puts it in the content view.
    virtual void createSubviews();
    // Remembers the element and the table.
    void rememberElement(FormEntryElement* element, FormTableView* tableView);
    // Gives the field the keyboard bar, unless the element hides it.
    void installActionBar();
    // The text was set by the cell, not typed: the element takes it as typed text.
    virtual void textSetByCell();
    // Moves the focus to the element, scrolling to it first when it is out of sight.
    void focusElement(FormEntryElement* target);
    // The element's form, or null.
    class FormRootElement* formRoot() const;

private:
    platform::ui::TextField* m_textField = nullptr;
    std::shared_ptr<FormEntryElement> m_entryElement;
    QPointer<FormTableView> m_tableView;
    QPointer<platform::ui::SegmentedControl> m_prevNext;
    QPointer<platform::ui::Toolbar> m_actionBar;
};
