#include "platform/ui/TextInput.h"

#include "platform/ui/Guard.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/View.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPalette>

namespace platform::ui {

namespace {

QPointer<View>& currentFirstResponder()
{
    static QPointer<View> view;
    return view;
}

} // namespace

TextInput::~TextInput() = default;

void TextInput::keepView(View* view)
{
    if (view && !view->parentWidget()) {
        view->setHidden(true);
        view->setParent(inputAsView());
    }
}

void TextInput::setInputView(View* view)
{
    m_inputView = view;
    keepView(view);
}

void TextInput::setInputAccessoryView(View* view)
{
    m_accessoryView = view;
    keepView(view);
}

void TextInput::reloadInputViews()
{
    if (isFirstResponder())
        InputPanel::showFor(this);
}

TextInput* TextInput::firstResponder()
{
    return dynamic_cast<TextInput*>(currentFirstResponder().data());
}

bool TextInput::endEditing(QWidget* within, bool force)
{
    TextInput* current = firstResponder();
    if (!current)
        return true;
    View* view = current->inputAsView();
    if (within && view != within && !within->isAncestorOf(view))
        return true;
    if (force) {
        current->forceResignFirstResponder();
        return true;
    }
    return current->resignFirstResponder();
}

void TextInput::noteFirstResponder(bool isFirst)
{
    auto& current = currentFirstResponder();
    if (isFirst) {
        current = inputAsView();
    } else if (current == inputAsView()) {
        current.clear();
        InputPanel::inputResigned(this);
    }
}

bool TextInput::takeKeysFromOtherInput()
{
    TextInput* current = firstResponder();
    return !current || current == this || current->resignFirstResponder();
}

bool TextInput::resignAfterAsking(
    const std::function<bool()>& shouldEnd, const std::function<void()>& end)
{
    if (!isFirstResponder())
        return true;
    QPointer<View> self(inputAsView());
    bool should = true;
    guarded([&] { should = shouldEnd(); });
    if (!self)
        return true;
    if (!should)
        return false;
    end();
    return true;
}

void TextInput::focusEditor(QWidget* editor, bool focus)
{
    m_movingFocus = true;
    // Qt drops the focus of a widget that is moved into the window, as a screen's view is
    // when it comes on screen: the editor takes the keys again once it shows.
    m_focusOnShow = focus && !editor->isVisible();
    if (focus)
        editor->setFocus(Qt::OtherFocusReason);
    else
        editor->clearFocus();
    m_movingFocus = false;
}

void TextInput::editorFocusedIn(QWidget* editor, const QFocusEvent* event)
{
    if (isFirstResponder() || m_movingFocus)
        return;
    const Qt::FocusReason reason = event->reason();
    const bool given = reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason
        || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (!given || !becomeFirstResponder())
        focusEditor(editor, false);
}

void TextInput::editorShown(QWidget* editor)
{
    if (!m_focusOnShow)
        return;
    m_focusOnShow = false;
    if (!isFirstResponder())
        return;
    focusEditor(editor, true);
    // Off screen it had no window whose panel could show its views.
    if (!InputPanel::showingFor(this))
        reloadInputViews();
}

std::optional<FocusMove> TextInput::tabMove(const QKeyEvent* key)
{
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) || !plain)
        return std::nullopt;
    const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
    return back ? FocusMove::Previous : FocusMove::Next;
}

void TextInput::setEditorPalette(
    QWidget* editor, const QColor& text, const QColor& selectedText, const QColor& tint)
{
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    palette.setColor(QPalette::Text, text);
    QColor selection = tint;
    selection.setAlpha(70);
    palette.setColor(QPalette::Highlight, selection);
    palette.setColor(QPalette::HighlightedText, selectedText);
    editor->setPalette(palette);
}

TextRange TextInput::changedRange(const QString& before, const QString& after, int cursorAfter,
    const TextRange& selectionBefore, QString* replacement)
{
    const int grown = int(after.size()) - int(before.size());
    // The usual edits first: what was selected (or nothing at the cursor) was replaced.
    const TextRange s = selectionBefore;
    if (s.location >= 0 && s.end() <= before.size()) {
        const int inserted = s.length + grown;
        if (inserted >= 0 && s.location + inserted <= after.size()
            && QStringView(after).left(s.location) == QStringView(before).left(s.location)
            && QStringView(after).mid(s.location + inserted) == QStringView(before).mid(s.end())
            && (inserted > 0 || s.length > 0)) {
            if (replacement)
                *replacement = after.mid(s.location, inserted);
            return s;
        }
    }
    // Otherwise: the text after the cursor is what the edit left alone at the end.
    cursorAfter = std::clamp(cursorAfter, 0, int(after.size()));
    const QStringView tail = QStringView(after).mid(cursorAfter);
    int suffix = 0;
    if (tail.size() <= before.size() && QStringView(before).endsWith(tail)) {
        suffix = int(tail.size());
    } else {
        const int most = std::min(int(before.size()), int(after.size()));
        while (suffix < most
            && after.at(after.size() - 1 - suffix) == before.at(before.size() - 1 - suffix))
            ++suffix;
    }
    int prefix = 0;
    const int limit = std::min(int(before.size()) - suffix, int(after.size()) - suffix);
    while (prefix < limit && before.at(prefix) == after.at(prefix))
        ++prefix;
    if (replacement)
        *replacement = after.mid(prefix, after.size() - suffix - prefix);
    return TextRange { prefix, int(before.size()) - suffix - prefix };
}

} // namespace platform::ui
