#include "screens/ColorDataController1.h"

#include "screens/ColorViewController.h"

ColorDataController1::ColorDataController1() = default;

ColorDataController1::~ColorDataController1() = default;

void ColorDataController1::tapOnDisclosure(qint64 index)
{
    auto* selector = dynamic_cast<ColorViewController*>(viewController());
    const ColorViewController::Handler handler = selector ? selector->listSelectHandler() : nullptr;
    const QVariantMap color = colorValues(index);
    if (!handler || color.isEmpty())
        return;
    handler(color, index);
}
