#pragma once

#include "forms/FormAppearance.h"

// The older grouped look: bold section titles and footers drawn by the appearance.
class FormClassicAppearance : public FormAppearance {
public:
    FormClassicAppearance();

    // The side margin of a grouped table of that width.
    static double currentGroupedTableViewMarginForWidth(double width);

protected:
    void setDefaults() override;
    std::shared_ptr<FormAppearance> makeEmpty() const override;
};
