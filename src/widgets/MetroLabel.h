#pragma once

#include "platform/ui/Label.h"

// A tile's title: left aligned in the tile label colours and font, shrinking to 10 points
// when the autofit setting is on. It tags itself, so a tile finds it again by tag.
class MetroLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit MetroLabel(QWidget* parent = nullptr);
    explicit MetroLabel(const QRectF& frame, QWidget* parent = nullptr);

    static constexpr int Tag = 3000;
    static constexpr double MinimumFontSize = 10.0;

    // A tile label's look: left aligned, the tile label colours and font, and shrinking
    // to fit when the autofit setting is on.
    static void styleAsRowLabel(platform::ui::Label* label);

private:
    void initStyle();
};
