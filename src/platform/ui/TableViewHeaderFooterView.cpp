#include "platform/ui/TableViewHeaderFooterView.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <QFontMetricsF>

#include <cmath>

namespace platform::ui {

namespace {

const QColor GroupedTextColor(109, 109, 114);
const QColor PlainBarColor(247, 247, 247);
constexpr double GroupedFontSize = 13;
constexpr double PlainFontSize = 15;
constexpr double PlainHeight = 28;
constexpr double FirstHeaderGap = 35; // above the first card
constexpr double HeaderGap = 17; // between the previous card's footer and this header's text
constexpr double HeaderTextBottom = 7;
constexpr double FooterTextTop = 7;
constexpr double FooterGap = 17;

QFont fontFor(TableViewHeaderFooterView::Role role)
{
    switch (role) {
    case TableViewHeaderFooterView::Role::PlainHeader:
    case TableViewHeaderFooterView::Role::PlainFooter:
        return Font::named("HelveticaNeue-Bold", PlainFontSize);
    default:
        return Font::system(GroupedFontSize);
    }
}

} // namespace

TableViewHeaderFooterView::TableViewHeaderFooterView(QWidget* parent)
    : View(parent)
{
    m_contentView = new View(this);
    m_textLabel = new Label(m_contentView);
    configure(Role::GroupedHeader, QString(), 15, 15);
}

TableViewHeaderFooterView::~TableViewHeaderFooterView() = default;

void TableViewHeaderFooterView::configure(
    Role role, const QString& title, double leading, double trailing)
{
    m_role = role;
    m_leading = leading;
    m_trailing = trailing;
    m_textLabel->setFont(fontFor(role));
    switch (role) {
    case Role::GroupedHeader:
        setBackgroundColor(QColor());
        m_textLabel->setText(title.toUpper());
        m_textLabel->setTextColor(GroupedTextColor);
        m_textLabel->setNumberOfLines(1);
        m_textLabel->setTextAlignment(Qt::AlignLeft | Qt::AlignBottom);
        break;
    case Role::GroupedFooter:
        setBackgroundColor(QColor());
        m_textLabel->setText(title);
        m_textLabel->setTextColor(GroupedTextColor);
        m_textLabel->setNumberOfLines(0);
        m_textLabel->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        break;
    case Role::PlainHeader:
    case Role::PlainFooter:
        setBackgroundColor(PlainBarColor);
        m_textLabel->setText(title);
        m_textLabel->setTextColor(Qt::black);
        m_textLabel->setNumberOfLines(1);
        m_textLabel->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        break;
    }
    setNeedsLayout();
}

void TableViewHeaderFooterView::setTextMargins(double leading, double trailing)
{
    if (leading == m_leading && trailing == m_trailing)
        return;
    m_leading = leading;
    m_trailing = trailing;
    setNeedsLayout();
}

double TableViewHeaderFooterView::heightForTitle(
    Role role, const QString& title, double width, bool firstSection)
{
    switch (role) {
    case Role::PlainHeader:
    case Role::PlainFooter:
        return title.isEmpty() ? 0 : PlainHeight;
    case Role::GroupedHeader: {
        const double gap = firstSection ? FirstHeaderGap : HeaderGap;
        if (title.isEmpty())
            return gap;
        return gap + std::ceil(QFontMetricsF(fontFor(role)).height()) + HeaderTextBottom;
    }
    case Role::GroupedFooter:
        if (title.isEmpty())
            return FooterGap;
        return FooterTextTop + std::ceil(Font::measure(title, fontFor(role), width).height())
            + FooterGap;
    }
    return 0;
}

void TableViewHeaderFooterView::layoutSubviews()
{
    const QRectF b = bounds();
    m_contentView->setFrame(b);
    const double width = std::max(0.0, b.width() - m_leading - m_trailing);
    switch (m_role) {
    case Role::GroupedHeader:
        m_textLabel->setFrame(
            QRectF(m_leading, 0, width, std::max(0.0, b.height() - HeaderTextBottom)));
        break;
    case Role::GroupedFooter:
        m_textLabel->setFrame(
            QRectF(m_leading, FooterTextTop, width, std::max(0.0, b.height() - FooterTextTop)));
        break;
    case Role::PlainHeader:
    case Role::PlainFooter:
        m_textLabel->setFrame(QRectF(m_leading, 0, width, b.height()));
        break;
    }
}

} // namespace platform::ui
