#include "platform/ui/TextField.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace platform::ui {

const QString TextField::TextDidBeginEditingNotification
    = QStringLiteral("UITextFieldTextDidBeginEditingNotification");
const QString TextField::TextDidEndEditingNotification
    = QStringLiteral("UITextFieldTextDidEndEditingNotification");
const QString TextField::TextDidChangeNotification
    = QStringLiteral("UITextFieldTextDidChangeNotification");

namespace {

// QLineEdit keeps 2 pixels between its edge and the text.
constexpr double kEditorMargin = 2.0;
constexpr double kClearButtonSize = 19.0;
constexpr double kClearButtonArea = 26.0;

} // namespace

TextFieldDelegate::~TextFieldDelegate() = default;

bool TextFieldDelegate::textFieldShouldBeginEditing(TextField*)
{
    return true;
}

void TextFieldDelegate::textFieldDidBeginEditing(TextField*)
{
}

bool TextFieldDelegate::textFieldShouldEndEditing(TextField*)
{
    return true;
}

void TextFieldDelegate::textFieldDidEndEditing(TextField*)
{
}

bool TextFieldDelegate::textFieldShouldChangeCharactersInRange(
    TextField*, const TextRange&, const QString&)
{
    return true;
}

bool TextFieldDelegate::textFieldShouldClear(TextField*)
{
    return true;
}

bool TextFieldDelegate::textFieldShouldReturn(TextField*)
{
    return true;
}

bool TextFieldDelegate::textFieldShouldMoveFocus(TextField*, FocusMove)
{
    return false;
}

// The line edit. Every event that reaches it is watched: when its text differs from the
// field's afterwards, a person changed it (by typing, pasting, dropping, the context
// menu, undo), and the field asks its delegate before taking the change.
class TextField::Editor : public QLineEdit {
public:
    explicit Editor(TextField* field)
        : QLineEdit(field)
        , m_field(field)
    {
        setFrame(false);
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_MacShowFocusRect, false);
    }

    TextRange selection() const
    {
        if (hasSelectedText())
            return TextRange { selectionStart(), selectionLength() };
        return TextRange { cursorPosition(), 0 };
    }

protected:
    bool event(QEvent* event) override
    {
        TextField* field = m_field;
        switch (event->type()) {
        case QEvent::FocusIn: {
            const bool result = QLineEdit::event(event);
            field->editorFocusedIn(this, static_cast<QFocusEvent*>(event));
            return result;
        }
        case QEvent::Show: {
            const bool result = QLineEdit::event(event);
            field->editorShown(this);
            return result;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!field->m_editing && !field->becomeFirstResponder())
                return true;
            if (const auto move = tabMove(key)) {
                field->moveFocus(*move);
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                field->returnPressed();
                return true;
            }
            break;
        }
        case QEvent::InputMethod:
            if (!field->m_editing && !field->becomeFirstResponder())
                return true;
            break;
        case QEvent::MouseButtonPress:
            // A click into the text begins editing, whether or not the window has the
            // keyboard focus to give.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !field->m_editing
                && !field->becomeFirstResponder())
                return true;
            break;
        default:
            break;
        }
        QPointer<TextField> alive(field);
        const TextRange before = selection();
        const bool result = QLineEdit::event(event);
        if (alive && !field->m_settingText && text() != field->m_text)
            field->editorChanged(before);
        return result;
    }

private:
    TextField* m_field;
};

TextField::Appearance& TextField::appearance()
{
    static Appearance appearance;
    return appearance;
}

TextField::TextField(QWidget* parent)
    : Control(parent)
{
    setUp();
}

TextField::TextField(const QRectF& frame, QWidget* parent)
    : Control(parent)
{
    setUp();
    setFrame(frame);
}

void TextField::setUp()
{
    m_font = Font::system(17);
    m_editor = new Editor(this);
    m_editor->setVisible(true); // also when the field is made inside a shown view
    m_editor->setFont(m_font);
    if (appearance().tintColor.isValid())
        setTintColor(appearance().tintColor);
    setCursor(Qt::IBeamCursor);
    applyEditorLook();
    layoutSubviews();
}

TextField::~TextField()
{
    if (m_editing) {
        // Going away while editing: the input panel lets go of it, nobody is told.
        m_editing = false;
        noteFirstResponder(false);
    }
}

QLineEdit* TextField::lineEdit() const
{
    return m_editor;
}

void TextField::setText(const QString& text)
{
    ++m_codeChanges;
    m_text = text;
    if (m_editor->text() != text) {
        m_settingText = true;
        m_editor->setText(text);
        m_settingText = false;
    }
    layoutSubviews();
    update();
}

void TextField::setPlaceholder(const QString& placeholder)
{
    m_placeholder = placeholder;
    update();
}

void TextField::setPlaceholderColor(const QColor& color)
{
    m_placeholderColor = color;
    update();
}

void TextField::setFont(const QFont& font)
{
    m_font = font;
    m_editor->setFont(shownFont());
    update();
}

void TextField::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    m_adjusts = adjusts;
    layoutSubviews();
    update();
}

void TextField::setMinimumFontSize(double size)
{
    m_minimumFontSize = std::max(0.0, size);
    layoutSubviews();
    update();
}

QFont TextField::shownFont() const
{
    if (!m_adjusts || m_text.isEmpty())
        return m_font;
    const QString shown = isSecureTextEntry() ? QString(m_text.size(), QChar(0x2022)) : m_text;
    const double width = textRectForBounds(bounds()).width();
    const auto fits
        = [&](const QFont& font) { return Font::measure(shown, font).width() <= width; };
    if (fits(m_font))
        return m_font;
    const int size = m_font.pixelSize() > 0 ? m_font.pixelSize() : int(m_font.pointSizeF());
    const int minimum = std::max(1, int(std::ceil(m_minimumFontSize)));
    QFont font = m_font;
    for (int s = size - 1; s >= minimum; --s) {
        font.setPixelSize(s);
        if (fits(font))
            return font;
    }
    // Still too long at the smallest size: cut at the end, as without shrinking.
    font.setPixelSize(std::min(size, minimum));
    return font;
}

void TextField::setTextColor(const QColor& color)
{
    m_textColor = color;
    applyEditorLook();
    update();
}

void TextField::setTextAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    applyEditorLook();
    update();
}

void TextField::setContentVerticalAlignment(VerticalAlignment alignment)
{
    m_verticalAlignment = alignment;
    applyEditorLook();
    update();
}

void TextField::setBorderStyle(BorderStyle style)
{
    m_borderStyle = style;
    if (style == BorderStyle::RoundedRect && !backgroundColor().isValid())
        setBackgroundColor(Qt::white);
    layoutSubviews();
    update();
}

void TextField::setClearButtonMode(ViewMode mode)
{
    m_clearButtonMode = mode;
    layoutSubviews();
    update();
}

void TextField::setLeftView(View* view)
{
    if (m_leftView && m_leftView != view && m_leftView->parentWidget() == this)
        m_leftView->deleteLater();
    m_leftView = view;
    if (view)
        addSubview(view);
    layoutSubviews();
}

void TextField::setLeftViewMode(ViewMode mode)
{
    m_leftViewMode = mode;
    layoutSubviews();
}

void TextField::setRightView(View* view)
{
    if (m_rightView && m_rightView != view && m_rightView->parentWidget() == this)
        m_rightView->deleteLater();
    m_rightView = view;
    if (view)
        addSubview(view);
    layoutSubviews();
}

void TextField::setRightViewMode(ViewMode mode)
{
    m_rightViewMode = mode;
    layoutSubviews();
}

void TextField::setSecureTextEntry(bool secure)
{
    TextInputTraits t = traits();
    t.secureTextEntry = secure;
    setTraits(t);
}

void TextField::setKeyboardType(TextInputTraits::KeyboardType type)
{
    TextInputTraits t = traits();
    t.keyboardType = type;
    setTraits(t);
}

void TextField::setReturnKeyType(TextInputTraits::ReturnKeyType type)
{
    traits().returnKeyType = type;
}

void TextField::setAutocapitalizationType(TextInputTraits::AutocapitalizationType type)
{
    traits().autocapitalizationType = type;
}

void TextField::setAutocorrectionType(TextInputTraits::AutocorrectionType type)
{
    traits().autocorrectionType = type;
}

void TextField::setKeyboardAppearance(TextInputTraits::KeyboardAppearance appearance)
{
    traits().keyboardAppearance = appearance;
}

void TextField::setEnablesReturnKeyAutomatically(bool enables)
{
    traits().enablesReturnKeyAutomatically = enables;
}

void TextField::setTraits(const TextInputTraits& value)
{
    TextInput::setTraits(value);
    m_editor->setEchoMode(value.secureTextEntry ? QLineEdit::Password : QLineEdit::Normal);
    // The keyboard type tells the input method what is expected.
    Qt::InputMethodHints hints = Qt::ImhNone;
    switch (value.keyboardType) {
    case TextInputTraits::KeyboardType::NumberPad:
        hints = Qt::ImhDigitsOnly;
        break;
    case TextInputTraits::KeyboardType::DecimalPad:
    case TextInputTraits::KeyboardType::NumbersAndPunctuation:
        hints = Qt::ImhFormattedNumbersOnly;
        break;
    case TextInputTraits::KeyboardType::PhonePad:
        hints = Qt::ImhDialableCharactersOnly;
        break;
    case TextInputTraits::KeyboardType::EmailAddress:
        hints = Qt::ImhEmailCharactersOnly;
        break;
    case TextInputTraits::KeyboardType::URL:
        hints = Qt::ImhUrlCharactersOnly;
        break;
    default:
        break;
    }
    if (value.secureTextEntry)
        hints |= Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
    m_editor->setInputMethodHints(hints);
    update();
}

TextRange TextField::selectedRange() const
{
    return m_editor->selection();
}

void TextField::setSelectedRange(const TextRange& range)
{
    const int start = std::clamp(range.location, 0, int(m_text.size()));
    const int length = std::clamp(range.length, 0, int(m_text.size()) - start);
    if (length > 0)
        m_editor->setSelection(start, length);
    else
        m_editor->setCursorPosition(start);
}

void TextField::insertText(const QString& text)
{
    const TextRange before = m_editor->selection();
    m_editor->insert(text);
    if (m_editor->text() != m_text)
        editorChanged(before);
}

void TextField::applyEditorLook()
{
    // Not being edited, the field draws its text itself.
    setEditorPalette(
        m_editor, m_editing ? m_textColor : QColor(Qt::transparent), m_textColor, tintColor());
    m_editor->setAlignment(m_alignment | verticalAlignmentFlag());
}

Qt::Alignment TextField::verticalAlignmentFlag() const
{
    if (m_verticalAlignment == VerticalAlignment::Top)
        return Qt::AlignTop;
    if (m_verticalAlignment == VerticalAlignment::Bottom)
        return Qt::AlignBottom;
    return Qt::AlignVCenter;
}

double TextField::padding() const
{
    switch (m_borderStyle) {
    case BorderStyle::RoundedRect:
        return 7;
    case BorderStyle::Line:
    case BorderStyle::Bezel:
        return 3;
    default:
        return 0;
    }
}

bool TextField::visible(ViewMode mode, bool hasContent) const
{
    switch (mode) {
    case ViewMode::Always:
        return hasContent;
    case ViewMode::WhileEditing:
        return hasContent && m_editing;
    case ViewMode::UnlessEditing:
        return hasContent && !m_editing;
    default:
        return false;
    }
}

bool TextField::clearButtonShown() const
{
    return visible(m_clearButtonMode, !m_text.isEmpty()) && isEnabled();
}

QRectF TextField::leftViewRectForBounds(const QRectF& bounds) const
{
    if (!m_leftView)
        return QRectF();
    const QSizeF size = m_leftView->frame().size();
    const double x = m_borderStyle == BorderStyle::RoundedRect ? 6 : 0;
    return QRectF(
        bounds.left() + x, bounds.center().y() - size.height() / 2, size.width(), size.height());
}

QRectF TextField::rightViewRectForBounds(const QRectF& bounds) const
{
    if (!m_rightView)
        return QRectF();
    const QSizeF size = m_rightView->frame().size();
    const double x = m_borderStyle == BorderStyle::RoundedRect ? 6 : 0;
    return QRectF(bounds.right() - x - size.width(), bounds.center().y() - size.height() / 2,
        size.width(), size.height());
}

QRectF TextField::clearButtonRectForBounds(const QRectF& bounds) const
{
    double right = bounds.right() - std::max(0.0, padding() - 4);
    if (m_rightView && visible(m_rightViewMode, true))
        right = rightViewRectForBounds(bounds).left();
    return QRectF(right - kClearButtonArea + (kClearButtonArea - kClearButtonSize) / 2,
        bounds.center().y() - kClearButtonSize / 2, kClearButtonSize, kClearButtonSize);
}

QRectF TextField::textRectForBounds(const QRectF& bounds) const
{
    double left = bounds.left() + padding();
    double right = bounds.right() - padding();
    if (m_leftView && visible(m_leftViewMode, true))
        left = std::max(left, leftViewRectForBounds(bounds).right() + 4);
    if (m_rightView && visible(m_rightViewMode, true))
        right = std::min(right, rightViewRectForBounds(bounds).left() - 2);
    if (clearButtonShown())
        right = std::min(right, clearButtonRectForBounds(bounds).left() - 4);
    return QRectF(left, bounds.top(), std::max(0.0, right - left), bounds.height());
}

QRectF TextField::editingRectForBounds(const QRectF& bounds) const
{
    return textRectForBounds(bounds);
}

QRectF TextField::placeholderRectForBounds(const QRectF& bounds) const
{
    return textRectForBounds(bounds);
}

void TextField::layoutSubviews()
{
    const QRectF b = bounds();
    // The line edit's own margin is outside the text rectangle, so its text starts
    // exactly where the field draws it.
    const QRectF rect = (m_editing ? editingRectForBounds(b) : textRectForBounds(b))
                            .adjusted(-kEditorMargin, 0, kEditorMargin, 0);
    m_editor->setGeometry(rect.toRect());
    if (m_adjusts && m_editor->font() != shownFont())
        m_editor->setFont(shownFont());
    if (m_leftView) {
        m_leftView->setFrame(leftViewRectForBounds(b));
        m_leftView->setHidden(!visible(m_leftViewMode, true));
    }
    if (m_rightView) {
        m_rightView->setFrame(rightViewRectForBounds(b));
        m_rightView->setHidden(!visible(m_rightViewMode, true));
    }
}

QSizeF TextField::sizeThatFits(const QSizeF& size) const
{
    const double height = QFontMetricsF(m_font).height() + 2 * std::max(4.0, padding());
    return QSizeF(
        size.width(), m_borderStyle == BorderStyle::RoundedRect ? std::max(30.0, height) : height);
}

bool TextField::becomeFirstResponder()
{
    if (m_editing)
        return true;
    if (!isEnabled() || !isUserInteractionEnabled())
        return false;
    QPointer<TextField> self(this);
    bool should = true;
    if (m_delegate)
        guarded([&] { should = m_delegate->textFieldShouldBeginEditing(this); });
    if (!self || !should)
        return false;
    // The input that has the keys now must let go of them first.
    if (!takeKeysFromOtherInput() || !self)
        return false;
    m_editing = true;
    noteFirstResponder(true);
    applyEditorLook();
    layoutSubviews();
    focusEditor(m_editor, true);
    m_editor->setCursorPosition(int(m_text.size()));
    if (m_clearsOnBegin && !m_text.isEmpty()) {
        bool clear = true;
        if (m_delegate)
            guarded([&] { clear = m_delegate->textFieldShouldClear(this); });
        if (self && clear && askChange(TextRange { 0, int(m_text.size()) }, QString())) {
            setText(QString());
            edited();
        }
    }
    if (!self)
        return true;
    if (m_delegate)
        guarded([&] { m_delegate->textFieldDidBeginEditing(this); });
    if (!self)
        return true;
    sendActionsForControlEvents(ControlEventEditingDidBegin);
    if (!self)
        return true;
    NotificationCenter::defaultCenter().post(TextDidBeginEditingNotification, this);
    if (self && m_editing) {
        // The views the delegate may have set while editing began show now.
        reloadInputViews();
        update();
    }
    return true;
}

bool TextField::resignFirstResponder()
{
    return resignAfterAsking(
        [this] { return !m_delegate || m_delegate->textFieldShouldEndEditing(this); },
        [this] { endEditing(true); });
}

void TextField::forceResignFirstResponder()
{
    if (m_editing)
        endEditing(true);
}

void TextField::endEditing(bool notify)
{
    m_editing = false;
    // Also when the window is not active: the window forgets it as its focus widget.
    focusEditor(m_editor, false);
    m_editor->deselect();
    noteFirstResponder(false);
    applyEditorLook();
    layoutSubviews();
    update();
    if (!notify)
        return;
    QPointer<TextField> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->textFieldDidEndEditing(this); });
    if (!self)
        return;
    sendActionsForControlEvents(ControlEventEditingDidEnd);
    if (self)
        NotificationCenter::defaultCenter().post(TextDidEndEditingNotification, this);
}

bool TextField::askChange(const TextRange& range, const QString& replacement)
{
    if (!m_delegate)
        return true;
    bool allowed = true;
    guarded([&] {
        allowed = m_delegate->textFieldShouldChangeCharactersInRange(this, range, replacement);
    });
    return allowed;
}

void TextField::editorChanged(const TextRange& selectionBefore)
{
    const QString after = m_editor->text();
    const int cursor = m_editor->cursorPosition();
    QString replacement;
    const TextRange range = changedRange(m_text, after, cursor, selectionBefore, &replacement);
    QPointer<TextField> self(this);
    const int codeChanges = m_codeChanges;
    const bool allowed = askChange(range, replacement);
    if (!self)
        return;
    if (m_codeChanges != codeChanges) {
        // The delegate set the text itself while it was asked: its text stands.
        return;
    }
    if (allowed) {
        m_text = after;
        edited();
        return;
    }
    // Refused: the text and the selection go back to what they were.
    m_settingText = true;
    m_editor->setText(m_text);
    setSelectedRange(selectionBefore);
    m_settingText = false;
}

void TextField::edited()
{
    layoutSubviews();
    update();
    QPointer<TextField> self(this);
    sendActionsForControlEvents(ControlEventEditingChanged);
    if (self)
        NotificationCenter::defaultCenter().post(TextDidChangeNotification, this);
}

void TextField::clearButtonClicked()
{
    QPointer<TextField> self(this);
    bool clear = true;
    if (m_delegate)
        guarded([&] { clear = m_delegate->textFieldShouldClear(this); });
    if (!self || !clear)
        return;
    if (!m_text.isEmpty() && askChange(TextRange { 0, int(m_text.size()) }, QString()) && self) {
        setText(QString());
        edited();
    }
    if (self && !m_editing)
        becomeFirstResponder();
}

void TextField::moveFocus(FocusMove move)
{
    if (m_delegate)
        guarded([&] { m_delegate->textFieldShouldMoveFocus(this, move); });
}

void TextField::returnPressed()
{
    QPointer<TextField> self(this);
    bool should = true;
    if (m_delegate)
        guarded([&] { should = m_delegate->textFieldShouldReturn(this); });
    if (self && should)
        sendActionsForControlEvents(ControlEventEditingDidEndOnExit);
}

void TextField::drawTextInRect(QPainter& painter, const QRectF& rect)
{
    const QString shown = isSecureTextEntry() ? QString(m_text.size(), QChar(0x2022)) : m_text;
    const QFont font = shownFont();
    painter.setFont(font);
    painter.setPen(m_textColor);
    const QString elided = QFontMetricsF(font).elidedText(shown, Qt::ElideRight, rect.width());
    painter.drawText(rect, int(m_alignment | verticalAlignmentFlag()) | Qt::TextSingleLine, elided);
}

void TextField::drawPlaceholderInRect(QPainter& painter, const QRectF& rect)
{
    painter.setFont(m_font);
    painter.setPen(m_placeholderColor);
    const QString elided
        = QFontMetricsF(m_font).elidedText(m_placeholder, Qt::ElideRight, rect.width());
    painter.drawText(rect, int(m_alignment | Qt::AlignVCenter) | Qt::TextSingleLine, elided);
}

void TextField::drawRect(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    switch (m_borderStyle) {
    case BorderStyle::RoundedRect:
        painter.setPen(QPen(QColor(0, 0, 0, 50), 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(rect.adjusted(0.25, 0.25, -0.25, -0.25), 5, 5);
        break;
    case BorderStyle::Line:
        painter.setPen(QPen(QColor(60, 60, 60), 1));
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
    case BorderStyle::Bezel:
        painter.setPen(QPen(QColor(120, 120, 120), 1));
        painter.drawLine(QPointF(0.5, 0.5), QPointF(rect.right() - 0.5, 0.5));
        painter.drawLine(QPointF(0.5, 0.5), QPointF(0.5, rect.bottom() - 0.5));
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        painter.drawLine(
            QPointF(rect.right() - 0.5, 0.5), QPointF(rect.right() - 0.5, rect.bottom() - 0.5));
        painter.drawLine(
            QPointF(0.5, rect.bottom() - 0.5), QPointF(rect.right() - 0.5, rect.bottom() - 0.5));
        break;
    default:
        break;
    }
    painter.restore();

    const QRectF b = bounds();
    if (m_text.isEmpty()) {
        if (!m_placeholder.isEmpty()) {
            painter.save();
            guarded([&] { drawPlaceholderInRect(painter, placeholderRectForBounds(b)); });
            painter.restore();
        }
    } else if (!m_editing) {
        painter.save();
        guarded([&] { drawTextInRect(painter, textRectForBounds(b)); });
        painter.restore();
    }
    if (clearButtonShown()) {
        const QRectF r = clearButtonRectForBounds(b);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(142, 142, 147, m_clearPressed ? 255 : 190));
        painter.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
        QPen cross(Qt::white, 1.6);
        cross.setCapStyle(Qt::RoundCap);
        painter.setPen(cross);
        const QRectF x = r.adjusted(6.5, 6.5, -6.5, -6.5);
        painter.drawLine(x.topLeft(), x.bottomRight());
        painter.drawLine(x.topRight(), x.bottomLeft());
        painter.restore();
    }
}

void TextField::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        View::mousePressEvent(event);
        return;
    }
    m_clearPressed = clearButtonShown()
        && clearButtonRectForBounds(bounds()).adjusted(-4, -4, 4, 4).contains(event->position());
    update();
    event->accept();
}

void TextField::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void TextField::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        View::mouseReleaseEvent(event);
        return;
    }
    QPointer<TextField> self(this);
    const bool onClear = m_clearPressed
        && clearButtonRectForBounds(bounds()).adjusted(-8, -8, 8, 8).contains(event->position());
    m_clearPressed = false;
    update();
    if (onClear)
        clearButtonClicked();
    else if (rect().contains(event->position().toPoint()))
        becomeFirstResponder();
    if (self)
        event->accept();
}

void TextField::keyPressEvent(QKeyEvent* event)
{
    // Keys sent to the field itself go to its line edit; what the line edit leaves comes
    // back up here and goes on to the field's parents.
    if (m_forwardingKey) {
        event->ignore();
        return;
    }
    m_forwardingKey = true;
    QCoreApplication::sendEvent(m_editor, event);
    m_forwardingKey = false;
}

void TextField::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        layoutSubviews();
        update();
    }
    Control::changeEvent(event);
}

} // namespace platform::ui
