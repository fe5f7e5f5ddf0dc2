#include "platform/ui/TextView.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/SafeArea.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace platform::ui {

const QString TextView::TextDidBeginEditingNotification
    = QStringLiteral("UITextViewTextDidBeginEditingNotification");
const QString TextView::TextDidEndEditingNotification
    = QStringLiteral("UITextViewTextDidEndEditingNotification");
const QString TextView::TextDidChangeNotification
    = QStringLiteral("UITextViewTextDidChangeNotification");

TextViewDelegate::~TextViewDelegate() = default;

bool TextViewDelegate::textViewShouldBeginEditing(TextView*)
{
    return true;
}

void TextViewDelegate::textViewDidBeginEditing(TextView*)
{
}

bool TextViewDelegate::textViewShouldEndEditing(TextView*)
{
    return true;
}

void TextViewDelegate::textViewDidEndEditing(TextView*)
{
}

bool TextViewDelegate::textViewShouldChangeTextInRange(TextView*, const TextRange&, const QString&)
{
    return true;
}

void TextViewDelegate::textViewDidChange(TextView*)
{
}

void TextViewDelegate::textViewDidChangeSelection(TextView*)
{
}

bool TextViewDelegate::textViewShouldMoveFocus(TextView*, FocusMove)
{
    return false;
}

// The text edit; as in the text field, every event it and its viewport get is watched
// for changes a person made, and those go through the delegate.
class TextView::Editor : public QPlainTextEdit {
public:
    explicit Editor(TextView* view)
        : QPlainTextEdit(view)
        , m_view(view)
    {
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::ClickFocus);
        setTabChangesFocus(false);
        viewport()->setAutoFillBackground(false);
        connect(
            document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
                if (removed || added)
                    m_view->m_documentChanged = true;
            });
        connect(this, &QPlainTextEdit::selectionChanged, this, [this] {
            if (!m_view->m_settingText && m_view->m_delegate)
                guarded([&] { m_view->m_delegate->textViewDidChangeSelection(m_view); });
        });
    }

    TextRange selection() const
    {
        const QTextCursor cursor = textCursor();
        return TextRange { cursor.selectionStart(),
            cursor.selectionEnd() - cursor.selectionStart() };
    }

    void setMargins(const QMarginsF& inset)
    {
        setViewportMargins(
            int(inset.left()), int(inset.top()), int(inset.right()), int(inset.bottom()));
    }

protected:
    bool event(QEvent* event) override
    {
        TextView* view = m_view;
        switch (event->type()) {
        case QEvent::FocusIn: {
            const bool result = QPlainTextEdit::event(event);
            view->editorFocusedIn(this, static_cast<QFocusEvent*>(event));
            return result;
        }
        case QEvent::Show: {
            const bool result = QPlainTextEdit::event(event);
            view->editorShown(this);
            return result;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!view->m_editing && !view->becomeFirstResponder())
                return true;
            if (const auto move = tabMove(key)) {
                bool moved = false;
                if (view->m_delegate)
                    guarded(
                        [&] { moved = view->m_delegate->textViewShouldMoveFocus(view, *move); });
                if (moved || *move == FocusMove::Previous)
                    return true;
            }
            break;
        }
        case QEvent::InputMethod:
            if (!view->m_editing && !view->becomeFirstResponder())
                return true;
            break;
        default:
            break;
        }
        return watched([&] { return QPlainTextEdit::event(event); });
    }

    bool viewportEvent(QEvent* event) override
    {
        // A click into the text begins editing, whether or not the window has the
        // keyboard focus to give.
        TextView* view = m_view;
        if (event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && view->m_editable
            && !view->m_editing && !view->becomeFirstResponder())
            return true;
        return watched([&] { return QPlainTextEdit::viewportEvent(event); });
    }

private:
    template<class F> bool watched(F&& handle)
    {
        QPointer<TextView> alive(m_view);
        const TextRange before = selection();
        const bool result = handle();
        if (alive && !m_view->m_settingText && m_view->m_documentChanged) {
            m_view->m_documentChanged = false;
            if (toPlainText() != m_view->m_text)
                m_view->editorChanged(before);
        }
        return result;
    }

    TextView* m_view;
};

TextView::Appearance& TextView::appearance()
{
    static Appearance appearance;
    return appearance;
}

TextView::TextView(QWidget* parent)
    : View(parent)
{
    setUp();
}

TextView::TextView(const QRectF& frame, QWidget* parent)
    : View(parent)
{
    setUp();
    setFrame(frame);
}

void TextView::setUp()
{
    m_font = Font::system(12);
    setBackgroundColor(Qt::white);
    m_editor = new Editor(this);
    m_editor->setVisible(true); // also when the view is made inside a shown view
    m_editor->setFont(m_font);
    if (appearance().tintColor.isValid())
        setTintColor(appearance().tintColor);
    applyLook();
    layoutSubviews();
}

TextView::~TextView()
{
    if (m_editing) {
        m_editing = false;
        noteFirstResponder(false);
    }
}

QPlainTextEdit* TextView::textEdit() const
{
    return m_editor;
}

void TextView::setText(const QString& text)
{
    ++m_codeChanges;
    m_text = text;
    m_settingText = true;
    m_editor->setPlainText(text);
    applyLook();
    m_documentChanged = false;
    m_settingText = false;
}

void TextView::setFont(const QFont& font)
{
    m_font = font;
    m_editor->setFont(font);
}

void TextView::setTextColor(const QColor& color)
{
    m_textColor = color;
    applyLook();
}

void TextView::setTextAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    applyLook();
}

void TextView::setEditable(bool editable)
{
    m_editable = editable;
    m_editor->setReadOnly(!editable);
    m_editor->setTextInteractionFlags(
        editable ? Qt::TextEditorInteraction : Qt::TextSelectableByMouse);
    if (!editable && m_editing)
        endEditing(true);
}

void TextView::setScrollEnabled(bool enabled)
{
    m_scrollEnabled = enabled;
    m_editor->setVerticalScrollBarPolicy(enabled ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TextView::setContentInset(const QMarginsF& inset)
{
    const QMarginsF from = m_inset;
    m_inset = inset;
    auto asRect
        = [](const QMarginsF& m) { return QRectF(m.left(), m.top(), m.right(), m.bottom()); };
    if (Animation::record(
            this, "contentInset", asRect(from), asRect(inset), [this](const QVariant& v) {
                const QRectF r = v.toRectF();
                applyInset(QMarginsF(r.x(), r.y(), r.width(), r.height()));
            }))
        return;
    applyInset(inset);
}

void TextView::applyInset(const QMarginsF& inset)
{
    m_editor->setMargins(inset);
}

void TextView::applyLook()
{
    setEditorPalette(m_editor, m_textColor, m_textColor, tintColor());
    // Alignment is a property of the paragraphs.
    QTextOption option = m_editor->document()->defaultTextOption();
    option.setAlignment(m_alignment);
    m_editor->document()->setDefaultTextOption(option);
}

TextRange TextView::selectedRange() const
{
    return m_editor->selection();
}

void TextView::setSelectedRange(const TextRange& range)
{
    const int size = int(m_text.size());
    const int start = std::clamp(range.location, 0, size);
    const int end = std::clamp(range.location + range.length, start, size);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void TextView::insertText(const QString& text)
{
    const TextRange before = m_editor->selection();
    m_editor->insertPlainText(text);
    m_documentChanged = false;
    if (m_editor->toPlainText() != m_text)
        editorChanged(before);
}

void TextView::scrollRangeToVisible(const TextRange& range)
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(std::clamp(range.location, 0, int(m_text.size())));
    const QTextCursor keep = m_editor->textCursor();
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
    m_editor->setTextCursor(keep);
}

void TextView::layoutSubviews()
{
    // The text keeps clear of a notch at the side; the view's white reaches under it.
    m_editor->setGeometry(
        bounds().toRect().marginsRemoved(SafeArea::restingOverlap(this).toMargins()));
}

bool TextView::becomeFirstResponder()
{
    if (m_editing)
        return true;
    if (!m_editable || !isEnabled() || !isUserInteractionEnabled())
        return false;
    QPointer<TextView> self(this);
    bool should = true;
    if (m_delegate)
        guarded([&] { should = m_delegate->textViewShouldBeginEditing(this); });
    if (!self || !should)
        return false;
    if (!takeKeysFromOtherInput() || !self)
        return false;
    m_editing = true;
    noteFirstResponder(true);
    focusEditor(m_editor, true);
    if (m_delegate)
        guarded([&] { m_delegate->textViewDidBeginEditing(this); });
    if (!self)
        return true;
    NotificationCenter::defaultCenter().post(TextDidBeginEditingNotification, this);
    if (self && m_editing)
        reloadInputViews();
    return true;
}

bool TextView::resignFirstResponder()
{
    return resignAfterAsking(
        [this] { return !m_delegate || m_delegate->textViewShouldEndEditing(this); },
        [this] { endEditing(true); });
}

void TextView::forceResignFirstResponder()
{
    if (m_editing)
        endEditing(true);
}

void TextView::endEditing(bool notify)
{
    m_editing = false;
    // Also when the window is not active: the window forgets it as its focus widget.
    focusEditor(m_editor, false);
    noteFirstResponder(false);
    if (!notify)
        return;
    QPointer<TextView> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->textViewDidEndEditing(this); });
    if (self)
        NotificationCenter::defaultCenter().post(TextDidEndEditingNotification, this);
}

void TextView::editorChanged(const TextRange& selectionBefore)
{
    const QString after = m_editor->toPlainText();
    QString replacement;
    const TextRange range = changedRange(
        m_text, after, m_editor->textCursor().position(), selectionBefore, &replacement);
    QPointer<TextView> self(this);
    const int codeChanges = m_codeChanges;
    bool allowed = true;
    if (m_delegate)
        guarded([&] {
            allowed = m_delegate->textViewShouldChangeTextInRange(this, range, replacement);
        });
    if (!self || m_codeChanges != codeChanges)
        return;
    if (!allowed) {
        m_settingText = true;
        m_editor->setPlainText(m_text);
        applyLook();
        setSelectedRange(selectionBefore);
        m_documentChanged = false;
        m_settingText = false;
        return;
    }
    m_text = after;
    if (m_delegate)
        guarded([&] { m_delegate->textViewDidChange(this); });
    if (self)
        NotificationCenter::defaultCenter().post(TextDidChangeNotification, this);
}

} // namespace platform::ui
