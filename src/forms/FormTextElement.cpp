#include "forms/FormTextElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/Exception.h"
#include "platform/KeyValueCoding.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "style/UIColor_Expanded.h"

#include <algorithm>
#include <cmath>
#include <optional>

const QString FormTextElement::ReuseIdentifier = QStringLiteral("QuickformText");

namespace {

// The tallest text measured: longer texts are cut there, as the platform's measure is.
constexpr double kMaximumTextHeight = 20000;

// A colour from one of the texts the system stores colours in. The hex form must be whole:
// the hex reader alone would take "bad" or "blue" for a number.
std::optional<Color> colorFromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u'{'))
        return UIColor_Expanded::colorWithString(trimmed);
    const QStringView digits = QStringView(trimmed).mid(trimmed.startsWith(u'#') ? 1 : 0);
    const bool hex = digits.size() == 6 && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
    });
    return hex ? UIColor_Expanded::colorWithHexString(trimmed) : std::nullopt;
}

} // namespace

FormTextElement::FormTextElement() = default;

std::shared_ptr<FormTextElement> FormTextElement::initWithText(const QString& text)
{
    auto element = std::make_shared<FormTextElement>();
    element->setText(text);
    return element;
}

void FormTextElement::setText(const QString& text)
{
    m_text = text;
    m_measuredWidth = -1;
}

void FormTextElement::setColorValue(const QVariant& value)
{
    using platform::KeyValueCoding;
    std::optional<Color> color;
    if (KeyValueCoding::isNil(value) || KeyValueCoding::isNullObject(value))
        color = Color::blackColor();
    else if (value.metaType() == QMetaType::fromType<Color>())
        color = value.value<Color>();
    else if (value.metaType().id() == QMetaType::QColor)
        color = Color::fromQColor(value.value<QColor>());
    else if (value.metaType().id() == QMetaType::QString)
        color = colorFromText(value.toString());
    if (!color)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("%1 is no colour for the key color of %2")
                .arg(KeyValueCoding::description(value),
                    QString::fromLatin1(metaObject()->className())));
    m_color = *color;
}

QFont FormTextElement::textFont()
{
    const std::optional<QFont>& named = appearance()->valueFont;
    return named ? *named : platform::ui::Font::system(17);
}

platform::ui::TableViewCell* FormTextElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol*)
{
    using platform::ui::TableViewCell;
    auto* cell = qobject_cast<FormTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(ReuseIdentifier));
    if (!cell)
        cell = new FormTableViewCell(ReuseIdentifier, TableViewCell::Style::Subtitle);
    cell->applyAppearanceForElement(this);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    cell->setAccessoryType(TableViewCell::AccessoryType::None);
    platform::ui::Label* title = cell->textLabel();
    title->setNumberOfLines(1);
    title->setAdjustsFontSizeToFitWidth(true);
    title->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setText(this->title());
    platform::ui::Label* detail = cell->detailTextLabel();
    detail->setNumberOfLines(0);
    detail->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    detail->setFont(textFont());
    detail->setTextColor(m_color.toQColor());
    detail->setText(m_text);
    return cell;
}

double FormTextElement::getRowHeightForTableView(FormTableView* tableView)
{
    if (m_text.isEmpty() || !tableView)
        return FormElement::getRowHeightForTableView(tableView);
    const bool grouped = tableView->root() && tableView->root()->grouped();
    const double width = std::max(1.0, tableView->bounds().width() - (grouped ? 40 : 20));
    const QFont font = textFont();
    if (width != m_measuredWidth || font != m_measuredFont) {
        m_measuredHeight = std::min(kMaximumTextHeight,
            std::ceil(platform::ui::Font::measure(m_text, font, width).height()));
        m_measuredWidth = width;
        m_measuredFont = font;
    }
    const double rowHeight
        = m_measuredHeight + TextMargin + (title().isEmpty() ? 0 : TitleAllowance);
    return std::max(rowHeight, height());
}

void FormTextElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, m_text, key());
}
