#pragma once

#include "forms/FormTableViewCell.h"

namespace platform::ui {
class Slider;
}

// The cell of a slider row: the title at its natural width, the slider in the rest.
class FormFloatTableViewCell : public FormTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "FormFloatTableViewCell"

    explicit FormFloatTableViewCell(QWidget* parent = nullptr);

    platform::ui::Slider* slider() const { return m_slider; }

    void layoutSubviews() override;

private:
    platform::ui::Slider* m_slider = nullptr;
};
