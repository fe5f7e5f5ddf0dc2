#pragma once

#include "forms/FormAppearance.h"

// The older grouped look: bold section titles and footers drawn by the appearance.
class FormClassicAppearance : public FormAppearance {
public:
    FormClassicAppearance();

    // The side margin of a grouped table of that width.
    static double currentGroupedTableViewMarginForWidth(double width);

    // Drawn section titles and footers, in a grouped table, when the fonts are set.
    platform::ui::View* buildHeaderForSection(
        FormSection* section, FormTableView* tableView, int index) override;
    platform::ui::View* buildFooterForSection(
        FormSection* section, FormTableView* tableView, int index) override;
    // The height the title (footer) needs in its font, with room around it; 0 for a
    // section without a title.
    double heightForHeaderInSection(
        FormSection* section, FormTableView* tableView, int index) override;
    double heightForFooterInSection(
        FormSection* section, FormTableView* tableView, int index) override;

protected:
    void setDefaults() override;
    std::shared_ptr<FormAppearance> makeEmpty() const override;
};
