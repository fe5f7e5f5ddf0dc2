#pragma once

#include "forms/FormTableViewCell.h"

#include <QPointer>

namespace platform::ui {
class ProgressView;
}

// The cell of a progress row: the bar centred in the content, 60 narrower than it,
// whatever width the table gives the row.
class FormProgressTableViewCell : public FormTableViewCell {
    Q_OBJECT

public:
    explicit FormProgressTableViewCell(const QString& reuseIdentifier, QWidget* parent = nullptr);

    platform::ui::ProgressView* bar() const { return m_bar; }
    void layoutSubviews() override;

    static constexpr double BarInset = 60;

private:
    platform::ui::ProgressView* m_bar = nullptr;
};
