#pragma once

#include "platform/ui/TextInputTraits.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QColor;
class QFocusEvent;
class QKeyEvent;
class QWidget;

namespace platform::ui {

class View;

// A range of a text in UTF-16 units, as QString counts them.
struct TextRange {
    int location = 0;
    int length = 0;

    int end() const { return location + length; }
    bool operator==(const TextRange&) const = default;
};

// Where Tab and Shift+Tab ask to move the focus.
enum class FocusMove { Next, Previous };

// What text fields and text views share: being the first responder (the one input that
// takes the keys; at most one at a time), the text traits, and the views the input panel
// shows while the input is first responder: an accessory bar, and an input view in place
// of the keyboard. An input keeps an accessory or input view that has no parent of its
// own as its hidden child; the panel borrows it while it shows it.
class TextInput {
public:
    virtual ~TextInput();

    virtual View* inputView() const { return m_inputView; }
    virtual void setInputView(View* view);
    virtual View* inputAccessoryView() const { return m_accessoryView; }
    virtual void setInputAccessoryView(View* view);
    // Shows the input's present views in the panel again (after changing them while it is
    // first responder).
    void reloadInputViews();

    // Asks the delegate; true when the input is first responder afterwards.
    virtual bool becomeFirstResponder() = 0;
    // Asks the delegate; true when the input is no longer first responder afterwards.
    virtual bool resignFirstResponder() = 0;
    virtual bool isFirstResponder() const = 0;
    // Ends editing whatever the delegate answers.
    virtual void forceResignFirstResponder() = 0;

    TextInputTraits& traits() { return m_traits; }
    const TextInputTraits& traits() const { return m_traits; }
    virtual void setTraits(const TextInputTraits& traits) { m_traits = traits; }

    // The view the input is.
    virtual View* inputAsView() = 0;

    // The first responder of the application, or null.
    static TextInput* firstResponder();
    // Resigns the first responder when it is inside the widget (anywhere, for null); with
    // force the delegate is not asked. True when no first responder is left there.
    static bool endEditing(QWidget* within, bool force);

    // What an edit changed, from the text before and after it: the range replaced and the
    // replacement. The cursor after the edit and the selection before it tell apart
    // edits that the texts alone leave open (typing "a" into "aa").
    static TextRange changedRange(const QString& before, const QString& after, int cursorAfter,
        const TextRange& selectionBefore, QString* replacement);

protected:
    // The input that has become or stopped being first responder says so (the panel goes
    // when it stops; an input that has begun shows its views with reloadInputViews).
    void noteFirstResponder(bool isFirst);
    void keepView(View* view);

    // The first responder that is not this input lets go of the keys; false when it
    // refuses.
    bool takeKeysFromOtherInput();
    // Asks shouldEnd (guarded) and, when it agrees, ends editing with end.
    bool resignAfterAsking(
        const std::function<bool()>& shouldEnd, const std::function<void()>& end);
    // The editor widget takes or lets go of the keyboard focus; that by itself neither
    // begins nor ends editing.
    void focusEditor(QWidget* editor, bool focus);
    // The editor got the focus: focus a person gave (a click, a shortcut) begins
    // editing; focus that comes back with the window, or that the delegate refuses, is
    // let go.
    void editorFocusedIn(QWidget* editor, const QFocusEvent* event);
    // The editor came on screen: an input made first responder before it was (a screen
    // asking for the keys as it appears, before it is put into the window) takes the
    // keys and shows its views now.
    void editorShown(QWidget* editor);
    // Plain Tab or Shift+Tab (no Ctrl, no Alt): where it asks the focus to move.
    static std::optional<FocusMove> tabMove(const QKeyEvent* event);
    // Transparent background, the text colours, the selection tinted.
    static void setEditorPalette(
        QWidget* editor, const QColor& text, const QColor& selectedText, const QColor& tint);

private:
    QPointer<View> m_inputView;
    QPointer<View> m_accessoryView;
    TextInputTraits m_traits;
    bool m_movingFocus = false; // focus changes made by the input itself
    bool m_focusOnShow = false; // asked for the keys while its editor was off screen
};

} // namespace platform::ui
