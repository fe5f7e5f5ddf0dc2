#pragma once

#include "platform/ui/Label.h"

// A general label in the style's label colour and font.
class BLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit BLabel(QWidget* parent = nullptr);
    explicit BLabel(const QRectF& frame, QWidget* parent = nullptr);

    void initStyle();
};
