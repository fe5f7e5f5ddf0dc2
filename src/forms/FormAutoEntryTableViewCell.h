#pragma once

#include "forms/FormEntryTableViewCell.h"

#include <QStringList>

#include <memory>

class AutocompleteTextField;
class FormAutoEntryElement;

// The entry cell of an auto-completing row: as the user types, the rest of the first
// value of the element's list that begins with the typed text shows after it; leaving the
// field (by a tap elsewhere, Next, Tab or Done) takes the whole value, Return keeps what
// was typed. No prefix or suffix is drawn.
class FormAutoEntryTableViewCell : public FormEntryTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformAutoEntryElement"

    explicit FormAutoEntryTableViewCell(QWidget* parent = nullptr);
    ~FormAutoEntryTableViewCell() override;

    AutocompleteTextField* autocompleteField() const;
    // The whole value the last completion stood for (or the typed text when none).
    QString lastFullStringWithAutocompletion() const { return m_lastFull; }
    bool completionEnabled() const { return m_completionEnabled; }

    void prepareForElement(FormEntryElement* element, FormTableView* tableView) override;
    // Completion is off until the user types.
    bool becomeFirstResponder() override;
    void recalculateEntryFieldPosition() override;

    // The completion for what has been typed; none while completion is off.
    QString completionForPrefix(const QString& prefix);

    void textFieldEditingChanged() override;
    void textFieldDidBeginEditing(platform::ui::TextField* field) override;
    void textFieldDidEndEditing(platform::ui::TextField* field) override;
    bool textFieldShouldReturn(platform::ui::TextField* field) override;

protected:
    void textSetByCell() override;

private:
    class Completer;

    std::unique_ptr<Completer> m_completer;
    QStringList m_values;
    QString m_lastFull;
    bool m_completionEnabled = false;
};
