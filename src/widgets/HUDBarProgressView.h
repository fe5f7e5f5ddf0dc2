#pragma once

#include "platform/ui/View.h"

// The horizontal bar indicator of the progress overlay: a rounded outline, filled from
// the left as far as the progress goes, with rounded caps at both ends.
class HUDBarProgressView : public platform::ui::View {
    Q_OBJECT
    Q_PROPERTY(float progress READ progress WRITE setProgress)
public:
    // 120 × 20 points (it asks for 10 of height in a layout).
    explicit HUDBarProgressView(QWidget* parent = nullptr);
    explicit HUDBarProgressView(const QRectF& frame, QWidget* parent = nullptr);

    float progress() const { return m_progress; }
    void setProgress(float progress);
    QColor lineColor() const { return m_lineColor; }
    void setLineColor(const QColor& color) { m_lineColor = color; }
    // A missing colour is a programming error.
    QColor progressRemainingColor() const { return m_progressRemainingColor; }
    void setProgressRemainingColor(const QColor& color);
    QColor progressColor() const { return m_progressColor; }
    void setProgressColor(const QColor& color);

    QSizeF intrinsicContentSize() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    float m_progress = 0.0f;
    QColor m_lineColor = Qt::white;
    QColor m_progressRemainingColor = Qt::transparent;
    QColor m_progressColor = Qt::white;
};
