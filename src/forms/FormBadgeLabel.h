#pragma once

#include "platform/ui/Label.h"

// A count in a pill: the text drawn over a rounded fill of the badge colour. Its frame is
// widened by a third of its height on each side, so the pill has room around the text.
class FormBadgeLabel : public platform::ui::Label {
    Q_OBJECT

public:
    explicit FormBadgeLabel(QWidget* parent = nullptr);

    // An invalid colour fills the pill with the tint of wherever the label shows.
    QColor badgeColor() const;
    void setBadgeColor(const QColor& color);
    // Sets the frame widened by a third of its height on each side.
    void setBadgeFrame(const QRectF& frame);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QColor m_badgeColor;
};
