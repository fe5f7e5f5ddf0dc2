#pragma once

#include "forms/FormAppearance.h"

// The appearance every form uses: plain section headers, right-aligned values and the
// platform's text-style fonts.
class FormFlatAppearance : public FormAppearance {
public:
    FormFlatAppearance();

protected:
    void setDefaults() override;
    std::shared_ptr<FormAppearance> makeEmpty() const override;
};
