#include "widgets/AutocompleteTextField.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/AutocompleteTextFieldDelegate.h"

#include <QFontMetricsF>
#include <QPointer>

#include <algorithm>
#include <cmath>

using namespace platform::ui;

namespace {

// The width of the text on one line in the font, no wider than the room there is.
double widthWithin(const QString& text, const QFont& font, double room)
{
    if (text.isEmpty() || room <= 0)
        return 0;
    return std::min(room, std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

} // namespace

AutocompleteTextField::AutocompleteTextField(QWidget* parent)
    : TextField(parent)
{
    setUpAutocomplete();
}

AutocompleteTextField::AutocompleteTextField(const QRectF& frame, QWidget* parent)
    : TextField(frame, parent)
{
    setUpAutocomplete();
}

AutocompleteTextField::~AutocompleteTextField()
{
    platform::NotificationCenter::defaultCenter().removeObserver(m_observer);
}

void AutocompleteTextField::setUpAutocomplete()
{
    m_label = new Label(QRectF(), this);
    m_label->setFont(font());
    m_label->setBackgroundColor(Qt::transparent);
    m_label->setTextColor(QColor(170, 170, 170));
    m_label->setUserInteractionEnabled(false);
    m_label->setHidden(true);
    m_label->raise();
    QPointer<AutocompleteTextField> self(this);
    m_observer = platform::NotificationCenter::defaultCenter().addObserver(
        TextField::TextDidChangeNotification, static_cast<TextField*>(this),
        [self](const platform::Notification&) {
            if (self)
                self->refreshAutocomplete();
        });
}

QString AutocompleteTextField::getAutoCompleteText() const
{
    if (text().isNull())
        return QStringLiteral("");
    return text() + m_autoCompleteString;
}

QColor AutocompleteTextField::autocompleteTextColor() const
{
    return m_label->textColor();
}

void AutocompleteTextField::setAutocompleteTextColor(const QColor& color)
{
    m_label->setTextColor(color);
}

void AutocompleteTextField::setFont(const QFont& font)
{
    TextField::setFont(font);
    if (m_label)
        m_label->setFont(font);
}

QRectF AutocompleteTextField::autocompleteRectForBounds(const QRectF& bounds) const
{
    // Where the typed text is: the editing area while editing.
    const QRectF area = isEditing() ? editingRectForBounds(bounds) : textRectForBounds(bounds);
    const double typed = widthWithin(text(), font(), area.width());
    const double rest = widthWithin(m_autoCompleteString, font(), area.width() - typed);
    return QRectF(area.x() + typed, area.y(), rest, area.height());
}

void AutocompleteTextField::refreshAutocomplete()
{
    auto* completer = dynamic_cast<AutocompleteTextFieldDelegate*>(delegate());
    if (!completer)
        return;
    m_autoCompleteString = completer->textFieldCompletionForPrefix(this, text());
    m_label->setText(m_autoCompleteString);
    m_label->sizeToFit();
    m_label->setFrame(autocompleteRectForBounds(bounds()));
}

bool AutocompleteTextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (clearsOnBeginEditing())
        m_label->setText(QStringLiteral(""));
    refreshAutocomplete();
    m_label->setHidden(false);
    m_label->raise();
    const bool became = TextField::becomeFirstResponder();
    if (!became)
        m_label->setHidden(true);
    else
        m_label->setFrame(autocompleteRectForBounds(bounds()));
    return became;
}

bool AutocompleteTextField::resignFirstResponder()
{
    m_label->setHidden(true);
    return TextField::resignFirstResponder();
}

void AutocompleteTextField::forceResignFirstResponder()
{
    m_label->setHidden(true);
    TextField::forceResignFirstResponder();
}

void AutocompleteTextField::layoutSubviews()
{
    TextField::layoutSubviews();
    if (m_label)
        m_label->setFrame(autocompleteRectForBounds(bounds()));
}
