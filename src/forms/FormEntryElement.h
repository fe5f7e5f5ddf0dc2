#pragma once

#include "forms/FormControllerProtocol.h"
#include "forms/FormLabelElement.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextInputTraits.h"
#include "platform/ui/View.h"

#include <optional>

class FormEntryElementDelegate;
class FormEntryTableViewCell;

// A single-line text row: the text, its hint, its length limit and the keyboard it asks
// for. The entry cell copies these into its field and writes every change back.
class FormEntryElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(QString placeholder READ placeholder WRITE setPlaceholder)
    Q_PROPERTY(QString textValue READ textValue WRITE setTextValue)
    Q_PROPERTY(bool hiddenToolbar READ hiddenToolbar WRITE setHiddenToolbar)
    Q_PROPERTY(bool enablesReturnKeyAutomatically READ enablesReturnKeyAutomatically WRITE
            setEnablesReturnKeyAutomatically)
    Q_PROPERTY(bool secureTextEntry READ isSecureTextEntry WRITE setSecureTextEntry)
    Q_PROPERTY(bool clearsOnBeginEditing READ clearsOnBeginEditing WRITE setClearsOnBeginEditing)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
    Q_PROPERTY(QString prefix READ prefix WRITE setPrefix)
    Q_PROPERTY(QString suffix READ suffix WRITE setSuffix)
    Q_PROPERTY(int autocorrectionType READ autocorrectionType WRITE setAutocorrectionType)
    Q_PROPERTY(
        int autocapitalizationType READ autocapitalizationType WRITE setAutocapitalizationType)
    Q_PROPERTY(int keyboardType READ keyboardType WRITE setKeyboardType)
    Q_PROPERTY(int keyboardAppearance READ keyboardAppearance WRITE setKeyboardAppearance)
    Q_PROPERTY(int returnKeyType READ returnKeyType WRITE setReturnKeyType)
    Q_PROPERTY(QString customDateFormat READ customDateFormat WRITE setCustomDateFormat)

public:
    Q_INVOKABLE FormEntryElement();
    static std::shared_ptr<FormEntryElement> initWithTitle(
        const QString& title, const QString& value, const QString& placeholder = {});

    QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder) { m_placeholder = placeholder; }
    virtual QString textValue() const { return m_textValue; }
    virtual void setTextValue(const QString& text) { m_textValue = text; }
    // The text of the field as the user left it: an emptied field holds "" (not nil),
    // so saving writes the empty text.
    void setTextFromField(const QString& text);
    // When set, the field gets no Previous/Next/Done bar.
    bool hiddenToolbar() const { return m_hiddenToolbar; }
    void setHiddenToolbar(bool hidden) { m_hiddenToolbar = hidden; }
    bool enablesReturnKeyAutomatically() const { return m_traits.enablesReturnKeyAutomatically; }
    void setEnablesReturnKeyAutomatically(bool enables)
    {
        m_traits.enablesReturnKeyAutomatically = enables;
    }
    bool isSecureTextEntry() const { return m_traits.secureTextEntry; }
    void setSecureTextEntry(bool secure) { m_traits.secureTextEntry = secure; }
    bool clearsOnBeginEditing() const { return m_clearsOnBeginEditing; }
    void setClearsOnBeginEditing(bool clears) { m_clearsOnBeginEditing = clears; }
    // 0 means no limit.
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }
    // Drawn before and after the text in the field.
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString& prefix) { m_prefix = prefix; }
    QString suffix() const { return m_suffix; }
    void setSuffix(const QString& suffix) { m_suffix = suffix; }
    int autocorrectionType() const { return int(m_traits.autocorrectionType); }
    void setAutocorrectionType(int type);
    int autocapitalizationType() const { return int(m_traits.autocapitalizationType); }
    void setAutocapitalizationType(int type);
    int keyboardType() const { return int(m_traits.keyboardType); }
    void setKeyboardType(int type);
    int keyboardAppearance() const { return int(m_traits.keyboardAppearance); }
    void setKeyboardAppearance(int appearance);
    int returnKeyType() const { return int(m_traits.returnKeyType); }
    void setReturnKeyType(int type);
    // The text traits together, for the field.
    const platform::ui::TextInputTraits& traits() const { return m_traits; }
    // The date format of date entries; empty for the one their mode gives.
    QString customDateFormat() const { return m_customDateFormat; }
    void setCustomDateFormat(const QString& format) { m_customDateFormat = format; }

    // Optional callbacks (not owned).
    FormEntryElementDelegate* delegate() const { return m_delegate; }
    void setDelegate(FormEntryElementDelegate* delegate) { m_delegate = delegate; }
    // The controller of the form that made the element's cell (not owned).
    FormControllerProtocol* controller() const { return m_controller.get(); }
    void setController(FormControllerProtocol* controller);

    // A change of the text: the delegate, then the value-changed block.
    virtual void handleEditingChanged(FormEntryTableViewCell* cell);
    using FormRootElement::handleEditingChanged;
    // Editing ended: the row's selection handling runs again with the controller.
    virtual void fieldDidEndEditing();
    // Enabled and not hidden.
    virtual bool canTakeFocus() const;

    // The entry cell, filled from the element; its field takes touches only when the
    // element is enabled.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

    // Writes the text under the key (nil removes the key from a dictionary).
    void fetchValueIntoObject(const QVariant& target) override;

    // What of a change to `text` (replacing `range` with `replacement`) the length limit
    // lets through: the replacement as it is, or cut to the room left (never splitting a
    // character), or nothing when it would only lengthen a text that has no room. A
    // text already over the limit may shrink or keep its length but not grow; a limit of
    // 0 lets everything through.
    static std::optional<QString> fittingReplacement(const QString& text,
        const platform::ui::TextRange& range, const QString& replacement, int maxLength);

protected:
    // What every entry cell takes from the element before it is filled: appearance,
    // controller, no highlight, touchability, alignment, image.
    void setUpEntryCell(FormEntryTableViewCell* cell, FormControllerProtocol* controller);

private:
    QString m_placeholder;
    QString m_textValue;
    bool m_hiddenToolbar = false;
    bool m_clearsOnBeginEditing = false;
    int m_maxLength = 0;
    QString m_prefix;
    QString m_suffix;
    platform::ui::TextInputTraits m_traits;
    QString m_customDateFormat;
    FormEntryElementDelegate* m_delegate = nullptr;
    FormControllerReference m_controller;
};
