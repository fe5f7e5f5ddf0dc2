#include "forms/FormAppearance.h"

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
