#include "forms/FormAppearance.h"

#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "platform/ui/View.h"

FormAppearance::FormAppearance() = default;

FormAppearance::~FormAppearance() = default;

void FormAppearance::setDefaults()
{
}

std::shared_ptr<FormAppearance> FormAppearance::makeEmpty() const
{
    return std::make_shared<FormAppearance>();
}

std::shared_ptr<FormAppearance> FormAppearance::copy() const
{
    std::shared_ptr<FormAppearance> made = makeEmpty();
    made->labelColorDisabled = labelColorDisabled;
    made->labelColorEnabled = labelColorEnabled;
    made->actionColorEnabled = actionColorEnabled;
    made->actionColorDisabled = actionColorDisabled;
    made->labelFont = labelFont;
    made->labelAlignment = labelAlignment;
    made->backgroundColorEnabled = backgroundColorEnabled;
    made->backgroundColorDisabled = backgroundColorDisabled;
    made->tableSeparatorColor = tableSeparatorColor;
    made->entryTextColorEnabled = entryTextColorEnabled;
    made->entryTextColorDisabled = entryTextColorDisabled;
    made->entryAlignment = entryAlignment;
    made->entryFont = entryFont;
    made->buttonAlignment = buttonAlignment;
    made->valueColorEnabled = valueColorEnabled;
    made->valueColorDisabled = valueColorDisabled;
    made->valueFont = valueFont;
    made->valueAlignment = valueAlignment;
    made->tableBackgroundColor = tableBackgroundColor;
    made->tableGroupedBackgroundColor = tableGroupedBackgroundColor;
    made->sectionTitleColor = sectionTitleColor;
    made->sectionTitleFont = sectionTitleFont;
    made->sectionFooterColor = sectionFooterColor;
    made->sectionFooterFont = sectionFooterFont;
    made->sectionTitleShadowColor = sectionTitleShadowColor;
    return made;
}

platform::ui::View* FormAppearance::buildHeaderForSection(FormSection*, FormTableView*, int)
{
    return nullptr;
}

platform::ui::View* FormAppearance::buildFooterForSection(FormSection*, FormTableView*, int)
{
    return nullptr;
}

double FormAppearance::heightForHeaderInSection(FormSection* section, FormTableView*, int)
{
    if (platform::ui::View* view = section ? section->headerView() : nullptr)
        return view->frame().height();
    return platform::ui::TableView::AutomaticDimension;
}

double FormAppearance::heightForFooterInSection(FormSection* section, FormTableView*, int)
{
    if (platform::ui::View* view = section ? section->footerView() : nullptr)
        return view->frame().height();
    return platform::ui::TableView::AutomaticDimension;
}

void FormAppearance::cellWillAppearForElement(
    platform::ui::TableViewCell*, FormElement*, const platform::ui::IndexPath&)
{
}
