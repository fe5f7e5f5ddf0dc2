#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

// A bar that fills from the left as the progress goes from 0 to 1.
class ProgressView : public View {
    Q_OBJECT
public:
    enum class Style { Default = 0, Bar = 1 };

    explicit ProgressView(Style style = Style::Default, QWidget* parent = nullptr);

    Style progressViewStyle() const { return m_style; }
    void setProgressViewStyle(Style style);
    float progress() const { return m_progress; }
    void setProgress(float progress, bool animated = false);
    QColor progressTintColor() const { return m_progressTint; }
    void setProgressTintColor(const QColor& color);
    QColor trackTintColor() const { return m_trackTint; }
    void setTrackTintColor(const QColor& color);

    QSizeF sizeThatFits(const QSizeF& size) const override;

    static constexpr double BarHeight = 2.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void applyShown(double progress);

    Style m_style = Style::Default;
    float m_progress = 0;
    double m_shown = 0;
    QColor m_progressTint;
    QColor m_trackTint;
};

} // namespace platform::ui
