#pragma once

#include "forms/FormTableViewCell.h"

class FormBadgeLabel;

// A label row with a count badge at its right edge.
class FormBadgeTableCell : public FormTableViewCell {
    Q_OBJECT

public:
    static const QString ReuseIdentifier; // "QuickformBadgeElement"

    explicit FormBadgeTableCell(QWidget* parent = nullptr);

    FormBadgeLabel* badgeLabel() const { return m_badgeLabel; }

    // The badge sized to its text at the right, vertically centred; a title too long to
    // leave room gives up the badge's width.
    void layoutSubviews() override;

private:
    FormBadgeLabel* m_badgeLabel = nullptr;
};
