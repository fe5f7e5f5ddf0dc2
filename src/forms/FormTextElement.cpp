#include "forms/FormTextElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <cmath>

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

QString FormTextElement::shownText() const
{
    if (title().isEmpty())
        return m_text;
    return m_text.isEmpty() ? title() : title() + u'\n' + m_text;
}

platform::ui::TableViewCell* FormTextElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    platform::ui::TableViewCell* cell = FormElement::getCellForTableView(tableView, controller);
    platform::ui::Label* label = cell->textLabel();
    label->setNumberOfLines(0);
    label->setTextColor(color.toQColor());
    label->setText(shownText());
    return cell;
}

double FormTextElement::getRowHeightForTableView(FormTableView* tableView)
{
    if (height() > 0)
        return height();
    if (!tableView)
        return MinimumHeight;
    const std::optional<QFont>& named = appearance()->labelFont;
    // Else the size a cell's title starts with.
    const QFont font = named ? *named : platform::ui::Font::system(17);
    const double width = std::max(1.0, tableView->cellTextWidth());
    if (width != m_measuredWidth || font != m_measuredFont) {
        const QString shown = shownText();
        const double textHeight = shown.isEmpty()
            ? 0
            : std::ceil(platform::ui::Font::measure(shown, font, width).height());
        m_measuredHeight = std::max(MinimumHeight, textHeight + 2 * VerticalMargin);
        m_measuredWidth = width;
        m_measuredFont = font;
    }
    return m_measuredHeight;
}

void FormTextElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, m_text, key());
}
