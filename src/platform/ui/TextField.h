#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/TextInput.h"

#include <QFont>
#include <QPointer>

class QLineEdit;

namespace platform::ui {

class TextField;

// What a text field asks and tells its delegate; every method is optional.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate();
    virtual bool textFieldShouldBeginEditing(TextField* field);
    virtual void textFieldDidBeginEditing(TextField* field);
    virtual bool textFieldShouldEndEditing(TextField* field);
    virtual void textFieldDidEndEditing(TextField* field);
    // Asked before every change a person makes: typing, deleting, pasting, dropping,
    // cutting, undoing and clearing. NO leaves the text as it is. While it is asked the
    // field still shows the old text; the delegate may set another text itself.
    virtual bool textFieldShouldChangeCharactersInRange(
        TextField* field, const TextRange& range, const QString& replacement);
    virtual bool textFieldShouldClear(TextField* field);
    // Return (or Enter). YES also sends editing-did-end-on-exit.
    virtual bool textFieldShouldReturn(TextField* field);
    // Tab (next) and Shift+Tab (previous). The field never passes the focus on by itself;
    // the delegate moves it and answers true, or leaves it where it is.
    virtual bool textFieldShouldMoveFocus(TextField* field, FocusMove move);
};

// A single-line text input over a QLineEdit: placeholder, font, colour, alignment,
// border, clear button, left and right views, secure entry, clear-on-begin. The line edit
// takes the keys only while the field is first responder; otherwise the field draws its
// text itself (drawTextInRect), so subclasses can draw around it. Every change a person
// makes goes through the delegate first, then sends editing-changed and posts the
// text-did-change notification; changes made in code do neither.
class TextField : public Control, public TextInput {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    enum class BorderStyle { None = 0, Line = 1, Bezel = 2, RoundedRect = 3 };
    enum class ViewMode { Never = 0, WhileEditing = 1, UnlessEditing = 2, Always = 3 };
    enum class VerticalAlignment { Center = 0, Top = 1, Bottom = 2, Fill = 3 };

    explicit TextField(QWidget* parent = nullptr);
    explicit TextField(const QRectF& frame, QWidget* parent = nullptr);
    ~TextField() override;

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder);
    QColor placeholderColor() const { return m_placeholderColor; }
    void setPlaceholderColor(const QColor& color);
    QFont font() const { return m_font; }
    virtual void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    Qt::Alignment textAlignment() const { return m_alignment; }
    void setTextAlignment(Qt::Alignment alignment);
    VerticalAlignment contentVerticalAlignment() const { return m_verticalAlignment; }
    void setContentVerticalAlignment(VerticalAlignment alignment);
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);
    ViewMode clearButtonMode() const { return m_clearButtonMode; }
    void setClearButtonMode(ViewMode mode);
    bool clearsOnBeginEditing() const { return m_clearsOnBegin; }
    void setClearsOnBeginEditing(bool clears) { m_clearsOnBegin = clears; }
    // Shrink-to-fit: the text is shown smaller, never below the minimum font size, when it
    // does not fit the field's width; typing shrinks it as the text grows.
    bool adjustsFontSizeToFitWidth() const { return m_adjusts; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    double minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(double size);
    // The font the text is shown in now, after shrinking.
    QFont shownFont() const;

    // Views inside the field at its left and right edges (the field takes them).
    View* leftView() const { return m_leftView; }
    void setLeftView(View* view);
    ViewMode leftViewMode() const { return m_leftViewMode; }
    void setLeftViewMode(ViewMode mode);
    View* rightView() const { return m_rightView; }
    void setRightView(View* view);
    ViewMode rightViewMode() const { return m_rightViewMode; }
    void setRightViewMode(ViewMode mode);

    // The traits one by one (the forms copy each of them).
    bool isSecureTextEntry() const { return traits().secureTextEntry; }
    TextInputTraits::KeyboardType keyboardType() const { return traits().keyboardType; }
    TextInputTraits::ReturnKeyType returnKeyType() const { return traits().returnKeyType; }
    void setSecureTextEntry(bool secure);
    void setKeyboardType(TextInputTraits::KeyboardType type);
    void setReturnKeyType(TextInputTraits::ReturnKeyType type);
    void setAutocapitalizationType(TextInputTraits::AutocapitalizationType type);
    void setAutocorrectionType(TextInputTraits::AutocorrectionType type);
    void setKeyboardAppearance(TextInputTraits::KeyboardAppearance appearance);
    void setEnablesReturnKeyAutomatically(bool enables);
    void setTraits(const TextInputTraits& traits) override;

    TextFieldDelegate* delegate() const { return m_delegate; }
    void setDelegate(TextFieldDelegate* delegate) { m_delegate = delegate; }

    bool isEditing() const { return m_editing; }
    TextRange selectedRange() const;
    void setSelectedRange(const TextRange& range);
    // Inserts at the selection as if typed (the delegate is asked).
    void insertText(const QString& text);

    // Where things go inside the bounds; subclasses may move them.
    virtual QRectF textRectForBounds(const QRectF& bounds) const;
    virtual QRectF editingRectForBounds(const QRectF& bounds) const;
    virtual QRectF placeholderRectForBounds(const QRectF& bounds) const;
    virtual QRectF clearButtonRectForBounds(const QRectF& bounds) const;
    virtual QRectF leftViewRectForBounds(const QRectF& bounds) const;
    virtual QRectF rightViewRectForBounds(const QRectF& bounds) const;

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFirstResponder() const override { return m_editing; }
    void forceResignFirstResponder() override;
    View* inputAsView() override { return this; }

    // The line edit that takes the keys (tests type into it).
    QLineEdit* lineEdit() const;
    // A click on the clear button.
    void clearButtonClicked();

    QSizeF sizeThatFits(const QSizeF& size) const override;
    void layoutSubviews() override;

    // What every text field made from now on starts with (the style object sets it).
    struct Appearance {
        QColor tintColor;
    };
    static Appearance& appearance();

    static const QString TextDidBeginEditingNotification;
    static const QString TextDidEndEditingNotification;
    static const QString TextDidChangeNotification;

protected:
    // Draws the text while the field is not being edited (the line edit shows it while it
    // is): by default the text, or bullets for secure entry, cut at the end.
    virtual void drawTextInRect(QPainter& painter, const QRectF& rect);
    virtual void drawPlaceholderInRect(QPainter& painter, const QRectF& rect);

    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Editor;
    friend class Editor;

    void setUp();
    void applyEditorLook();
    Qt::Alignment verticalAlignmentFlag() const;
    void endEditing(bool notify);
    bool visible(ViewMode mode, bool hasContent) const;
    bool clearButtonShown() const;
    double padding() const;
    // The editor changed its text from a person's action.
    void editorChanged(const TextRange& selectionBefore);
    bool askChange(const TextRange& range, const QString& replacement);
    void edited();
    void moveFocus(FocusMove move);
    void returnPressed();

    Editor* m_editor = nullptr;
    TextFieldDelegate* m_delegate = nullptr;
    QString m_text;
    QString m_placeholder;
    QColor m_placeholderColor = QColor(199, 199, 205);
    QFont m_font;
    QColor m_textColor = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    VerticalAlignment m_verticalAlignment = VerticalAlignment::Center;
    BorderStyle m_borderStyle = BorderStyle::None;
    ViewMode m_clearButtonMode = ViewMode::Never;
    bool m_clearsOnBegin = false;
    bool m_adjusts = false;
    double m_minimumFontSize = 0;
    QPointer<View> m_leftView;
    QPointer<View> m_rightView;
    ViewMode m_leftViewMode = ViewMode::Never;
    ViewMode m_rightViewMode = ViewMode::Never;
    bool m_editing = false;
    bool m_settingText = false; // the editor's text is being set from here
    int m_codeChanges = 0; // texts set in code, to notice one set during a question
    bool m_clearPressed = false;
    bool m_forwardingKey = false;
};

} // namespace platform::ui
