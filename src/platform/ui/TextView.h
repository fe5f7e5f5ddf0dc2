#pragma once

#include "platform/ui/TextInput.h"
#include "platform/ui/View.h"

#include <QFont>
#include <QMarginsF>

class QPlainTextEdit;

namespace platform::ui {

class TextView;

// What a text view asks and tells its delegate; every method is optional.
class TextViewDelegate {
public:
    virtual ~TextViewDelegate();
    virtual bool textViewShouldBeginEditing(TextView* view);
    virtual void textViewDidBeginEditing(TextView* view);
    virtual bool textViewShouldEndEditing(TextView* view);
    virtual void textViewDidEndEditing(TextView* view);
    // Asked before every change a person makes; NO leaves the text as it is.
    virtual bool textViewShouldChangeTextInRange(
        TextView* view, const TextRange& range, const QString& replacement);
    virtual void textViewDidChange(TextView* view);
    virtual void textViewDidChangeSelection(TextView* view);
    // Tab and Shift+Tab: true when the delegate moved the focus; otherwise Tab is typed.
    virtual bool textViewShouldMoveFocus(TextView* view, FocusMove move);
};

// A multi-line text input over a QPlainTextEdit: font, colour, alignment, editable or
// not, scrolling, a content inset (what a keyboard covers), and the same delegate
// question before every change a person makes as the text field asks.
class TextView : public View, public TextInput {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit TextView(QWidget* parent = nullptr);
    explicit TextView(const QRectF& frame, QWidget* parent = nullptr);
    ~TextView() override;

    QString text() const { return m_text; }
    void setText(const QString& text);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    Qt::Alignment textAlignment() const { return m_alignment; }
    void setTextAlignment(Qt::Alignment alignment);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);
    // Space kept clear at the edges inside the view; animatable.
    QMarginsF contentInset() const { return m_inset; }
    void setContentInset(const QMarginsF& inset);

    TextRange selectedRange() const;
    void setSelectedRange(const TextRange& range);
    // Inserts at the selection as if typed (the delegate is asked).
    void insertText(const QString& text);
    void scrollRangeToVisible(const TextRange& range);

    TextViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(TextViewDelegate* delegate) { m_delegate = delegate; }

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFirstResponder() const override { return m_editing; }
    void forceResignFirstResponder() override;
    View* inputAsView() override { return this; }

    // The text edit that takes the keys (tests type into it).
    QPlainTextEdit* textEdit() const;

    void layoutSubviews() override;

    struct Appearance {
        QColor tintColor;
    };
    static Appearance& appearance();

    static const QString TextDidBeginEditingNotification;
    static const QString TextDidEndEditingNotification;
    static const QString TextDidChangeNotification;

private:
    class Editor;
    friend class Editor;

    void setUp();
    void applyLook();
    void applyInset(const QMarginsF& inset);
    void endEditing(bool notify);
    void editorChanged(const TextRange& selectionBefore);

    Editor* m_editor = nullptr;
    TextViewDelegate* m_delegate = nullptr;
    QString m_text;
    QFont m_font;
    QColor m_textColor = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_editable = true;
    bool m_scrollEnabled = true;
    QMarginsF m_inset;
    bool m_editing = false;
    bool m_settingText = false;
    bool m_documentChanged = false;
    int m_codeChanges = 0;
};

} // namespace platform::ui
