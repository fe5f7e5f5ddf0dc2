#pragma once

#include "platform/ui/SegmentedControl.h"

#include <QStringList>

// A momentary segmented control styled from the current style: button text attributes,
// tint in the button-title colour, and the rounded background unless borders are off.
class ThemeSegmentedButton : public platform::ui::SegmentedControl {
    Q_OBJECT
public:
    explicit ThemeSegmentedButton(const QStringList& items, QWidget* parent = nullptr);
    // Items are titles or images.
    explicit ThemeSegmentedButton(const QVariantList& items, QWidget* parent = nullptr);

private:
    void initStyle();
};
