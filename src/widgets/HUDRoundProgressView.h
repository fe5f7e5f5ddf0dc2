#pragma once

#include "platform/ui/View.h"

// The round determinate indicator of the progress overlay: an outline circle with a thick
// arc for the progress, or, annular, a faint ring with a thin progress ring over it. The
// arcs start at the top and run clockwise.
class HUDRoundProgressView : public platform::ui::View {
    Q_OBJECT
    Q_PROPERTY(float progress READ progress WRITE setProgress)
public:
    // 37 × 37 points.
    explicit HUDRoundProgressView(QWidget* parent = nullptr);
    explicit HUDRoundProgressView(const QRectF& frame, QWidget* parent = nullptr);

    float progress() const { return m_progress; }
    void setProgress(float progress);
    // A missing colour is a programming error.
    QColor progressTintColor() const { return m_progressTintColor; }
    void setProgressTintColor(const QColor& color);
    QColor backgroundTintColor() const { return m_backgroundTintColor; }
    void setBackgroundTintColor(const QColor& color);
    bool isAnnular() const { return m_annular; }
    void setAnnular(bool annular);

    QSizeF intrinsicContentSize() const;

    static constexpr double DefaultSize = 37.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    float m_progress = 0.0f;
    QColor m_progressTintColor = QColor::fromRgbF(1, 1, 1, 1);
    QColor m_backgroundTintColor = QColor::fromRgbF(1, 1, 1, 0.1f);
    bool m_annular = false;
};
