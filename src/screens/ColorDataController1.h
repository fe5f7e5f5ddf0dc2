#pragma once

#include "screens/ColorDataController.h"

// The colours of the Color Selector: a tapped colour goes back to whoever opened the
// selector instead of being edited.
class ColorDataController1 : public ColorDataController {
    Q_OBJECT
public:
    ColorDataController1();
    ~ColorDataController1() override;

    void tapOnDisclosure(qint64 index) override;
};
