#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/TextField.h"

#include <QStringList>

namespace platform::ui {
class Label;
}

// A text field that shows, right after the typed text, the rest of a completion in light
// grey ("inline" completion). The completion comes from the delegate when it is an
// AutocompleteTextFieldDelegate; the field only asks, places and shows it, and only while
// it is being edited. Main thread only.
class AutocompleteTextField : public platform::ui::TextField {
    Q_OBJECT

public:
    explicit AutocompleteTextField(QWidget* parent = nullptr);
    explicit AutocompleteTextField(const QRectF& frame, QWidget* parent = nullptr);
    ~AutocompleteTextField() override;

    // The completion the delegate last gave (the part after the typed text).
    QString autoCompleteString() const { return m_autoCompleteString; }
    // The typed text followed by the completion; empty when there is no text.
    QString getAutoCompleteText() const;
    // Candidates kept for the delegate's use.
    void setAutoCompletes(const QStringList& values) { m_autoCompletes = values; }
    QStringList getAutoCompletes() const { return m_autoCompletes; }

    QColor autocompleteTextColor() const;
    void setAutocompleteTextColor(const QColor& color);
    void setFont(const QFont& font) override;
    // Where the completion goes: right after the typed text, never past the text area.
    QRectF autocompleteRectForBounds(const QRectF& bounds) const;
    // Asks the delegate again and places the completion.
    void refreshAutocomplete();
    // The label that shows the completion.
    platform::ui::Label* autocompleteLabel() const { return m_label; }

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void forceResignFirstResponder() override;
    void layoutSubviews() override;

private:
    void setUpAutocomplete();

    platform::ui::Label* m_label = nullptr;
    QString m_autoCompleteString;
    QStringList m_autoCompletes;
    platform::NotificationCenter::Token m_observer = 0;
};
