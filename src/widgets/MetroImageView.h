#pragma once

#include "platform/ui/ImageView.h"

// A tile's icon; it tags itself, so the tile finds it again.
class MetroImageView : public platform::ui::ImageView {
    Q_OBJECT
public:
    explicit MetroImageView(QWidget* parent = nullptr);
    explicit MetroImageView(const QRectF& frame, QWidget* parent = nullptr);

    static constexpr int Tag = 4000;
};
