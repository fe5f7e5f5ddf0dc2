#pragma once

#include "platform/ui/View.h"

class QTimer;

namespace platform::ui {

// The spinning wheel of spokes that says "busy". It turns while animating; stopped, it
// hides itself unless told otherwise.
class ActivityIndicatorView : public View {
    Q_OBJECT
public:
    // The platform's numbers.
    enum class Style { WhiteLarge = 0, White = 1, Gray = 2, Medium = 100, Large = 101 };

    explicit ActivityIndicatorView(Style style = Style::White, QWidget* parent = nullptr);

    Style activityIndicatorViewStyle() const { return m_style; }
    void setActivityIndicatorViewStyle(Style style);
    QColor color() const;
    void setColor(const QColor& color);
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }

    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    bool isLarge() const;

    Style m_style;
    QColor m_color;
    bool m_hidesWhenStopped = true;
    bool m_animating = false;
    int m_step = 0;
    QTimer* m_timer = nullptr;
};

} // namespace platform::ui
