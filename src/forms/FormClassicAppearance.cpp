#include "forms/FormClassicAppearance.h"

#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

FormClassicAppearance::FormClassicAppearance()
{
    FormClassicAppearance::setDefaults();
}

double FormClassicAppearance::currentGroupedTableViewMarginForWidth(double width)
{
    if (width <= 20)
        return width - 10;
    if (width < 400)
        return 10;
    return std::clamp(float(width * 0.06), 31.0f, 45.0f);
}

void FormClassicAppearance::setDefaults()
{
    using platform::ui::Font::boldSystem;
    using platform::ui::Font::system;
    FormAppearance::setDefaults();
    const Color slate = Color::colorWithRed(0.298039, 0.337255, 0.423529, 1);
    toolbarTranslucent = true;
    sectionTitleFont = boldSystem(16);
    sectionTitleColor = slate;
    sectionFooterFont = system(14);
    sectionFooterColor = slate;
    entryAlignment = Qt::AlignLeft;
    buttonAlignment = Qt::AlignHCenter;
    sectionTitleShadowColor = Color::colorWithWhite(1, 1);
    labelColorDisabled = Color::lightGrayColor();
    labelColorEnabled = Color::blackColor();
    labelFont = boldSystem(15);
    backgroundColorEnabled = Color::whiteColor();
    backgroundColorDisabled = Color::colorWithWhite(0.9605, 1);
    labelAlignment = Qt::AlignLeft;
    entryFont = system(15);
    entryTextColorEnabled = Color::blackColor();
    entryTextColorDisabled = Color::lightGrayColor();
    valueColorEnabled = Color::colorWithRed(0.1653, 0.2532, 0.4543, 1);
    valueColorDisabled = Color::lightGrayColor();
    valueFont = system(15);
    valueAlignment = Qt::AlignRight;
    actionColorEnabled = Color::blackColor();
    actionColorDisabled = Color::lightGrayColor();
    cellBorderWidth = 20;
    toolbarStyle = 1;
}

std::shared_ptr<FormAppearance> FormClassicAppearance::makeEmpty() const
{
    return std::make_shared<FormClassicAppearance>();
}

namespace {

// The platform's label size, for a root that brings no appearance.
constexpr double kLabelFontSize = 17;

double textHeight(const QString& text, const QFont& font, double width)
{
    return std::ceil(platform::ui::Font::measure(text, font, std::max(1.0, width)).height());
}

} // namespace

platform::ui::View* FormClassicAppearance::buildHeaderForSection(
    FormSection* section, FormTableView* tableView, int index)
{
    using namespace platform::ui;
    if (!sectionTitleFont || tableView->style() != TableView::Style::Grouped)
        return nullptr;
    const double w = tableView->frame().width();
    const double m = currentGroupedTableViewMarginForWidth(w);
    const double h = std::max(0.0, heightForHeaderInSection(section, tableView, index));
    auto* header = new View(QRectF(0, 0, w, h));
    header->setAutoresizingMask(AutoresizingFlexibleWidth);
    auto* label
        = new Label(QRectF(m + 8, 8, std::max(0.0, w - 2 * (m + 8)), std::max(0.0, h - 4)), header);
    label->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    label->setText(section->title());
    label->setBackgroundColor(Qt::transparent);
    label->setFont(*sectionTitleFont);
    label->setNumberOfLines(0);
    if (sectionTitleShadowColor)
        label->setShadowColor(sectionTitleShadowColor->toQColor());
    label->setShadowOffset(QPointF(0, 1));
    if (sectionTitleColor)
        label->setTextColor(sectionTitleColor->toQColor());
    return header;
}

platform::ui::View* FormClassicAppearance::buildFooterForSection(
    FormSection* section, FormTableView* tableView, int)
{
    using namespace platform::ui;
    if (!sectionFooterFont || tableView->style() != TableView::Style::Grouped)
        return nullptr;
    const double w = tableView->frame().width();
    const double m = currentGroupedTableViewMarginForWidth(w);
    const double width = std::max(0.0, w - 2 * (m + 8));
    const double h = textHeight(section->footer(), *sectionFooterFont, width);
    auto* footer = new View(QRectF(0, 0, w, h));
    footer->setAutoresizingMask(AutoresizingFlexibleWidth);
    auto* label = new Label(QRectF(m + 8, 5, width, h), footer);
    label->setText(section->footer());
    label->setTextAlignment(Qt::AlignCenter);
    label->setBackgroundColor(Qt::transparent);
    label->setFont(*sectionFooterFont);
    if (sectionFooterColor)
        label->setTextColor(sectionFooterColor->toQColor());
    label->setNumberOfLines(0);
    label->setShadowColor(Qt::white);
    label->setShadowOffset(QPointF(0, 1));
    // Kept as the section's own footer from now on.
    section->setFooterView(footer);
    return footer;
}

double FormClassicAppearance::heightForHeaderInSection(
    FormSection* section, FormTableView* tableView, int)
{
    if (platform::ui::View* view = section->headerView())
        return view->bounds().height();
    if (section->title().isEmpty())
        return 0;
    const double w = tableView->frame().width();
    FormRootElement* tableRoot = tableView->root();
    if (tableRoot && tableRoot->grouped()) {
        const std::shared_ptr<FormAppearance> rootLook = tableRoot->appearance();
        const QFont font = rootLook && rootLook->sectionTitleFont
            ? *rootLook->sectionTitleFont
            : platform::ui::Font::system(kLabelFontSize);
        FormRootElement* own = section->rootElement();
        const double width = own && own->grouped() ? w - 40 : w - 20;
        return textHeight(section->title(), font, width) + 24;
    }
    const double m = currentGroupedTableViewMarginForWidth(w);
    const QFont font
        = sectionTitleFont ? *sectionTitleFont : platform::ui::Font::system(kLabelFontSize);
    return textHeight(section->title(), font, w - 2 * (m + 8)) + 22;
}

double FormClassicAppearance::heightForFooterInSection(
    FormSection* section, FormTableView* tableView, int)
{
    if (platform::ui::View* view = section->footerView())
        return view->bounds().height();
    if (section->footer().isEmpty())
        return -1;
    const double w = tableView->frame().width();
    const double m = currentGroupedTableViewMarginForWidth(w);
    FormRootElement* tableRoot = tableView->root();
    const std::shared_ptr<FormAppearance> rootLook = tableRoot ? tableRoot->appearance() : nullptr;
    const QFont font = rootLook && rootLook->sectionFooterFont ? *rootLook->sectionFooterFont
                                                               : platform::ui::Font::system(14);
    return textHeight(section->footer(), font, w - 2 * (m + 8)) + 22;
}
