#pragma once

#include "platform/ui/Label.h"

// A further line of a tile: left aligned in the sub-label colour and the row font,
// shrinking to 9 points when the autofit setting is on.
class MetroSubLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit MetroSubLabel(QWidget* parent = nullptr);
    explicit MetroSubLabel(const QRectF& frame, QWidget* parent = nullptr);

    static constexpr double MinimumFontSize = 9.0;

private:
    void initStyle();
};
