#include "forms/FormBadgeTableCell.h"

#include "forms/FormBadgeLabel.h"
#include "platform/ui/Font.h"

#include <cmath>

const QString FormBadgeTableCell::ReuseIdentifier = QStringLiteral("QuickformBadgeElement");

FormBadgeTableCell::FormBadgeTableCell(QWidget* parent)
    : FormTableViewCell(ReuseIdentifier, Style::Value1, parent)
{
    setSelectionStyle(SelectionStyle::None);
    m_badgeLabel = new FormBadgeLabel(contentView());
    m_badgeLabel->setUserInteractionEnabled(false);
}

void FormBadgeTableCell::layoutSubviews()
{
    FormTableViewCell::layoutSubviews();
    const QRectF content = contentView()->bounds();
    const QSizeF text = platform::ui::Font::measure(m_badgeLabel->text(), m_badgeLabel->font());
    const QRectF badge = QRectF(content.width() - text.width() - 10,
        (content.height() - text.height()) / 2 + 1, text.width(), text.height())
                             .toAlignedRect();
    m_badgeLabel->setBadgeFrame(badge);
    m_badgeLabel->setHidden(m_badgeLabel->text().isEmpty());
    const QRectF title = textLabel()->frame();
    if (text.width() + 40 + title.width() > content.width())
        textLabel()->setFrame(QRectF(
            title.topLeft(), QSizeF(std::max(0.0, title.width() - text.width()), title.height())));
}
