#pragma once

#include "platform/ui/View.h"

#include <QPointer>

// The panel behind the progress overlay's contents and the overlay's full-size backdrop:
// a solid colour (style 0) or a blurred backdrop under the colour (style 1).
class HUDBackgroundView : public platform::ui::View {
    Q_OBJECT
public:
    enum Style { SolidColor = 0, Blur = 1 };
    // The platform's blur styles.
    enum BlurEffectStyle { ExtraLight = 0, Light = 1, Dark = 2 };

    explicit HUDBackgroundView(QWidget* parent = nullptr);
    explicit HUDBackgroundView(const QRectF& frame, QWidget* parent = nullptr);

    int style() const { return m_style; }
    void setStyle(int style);
    int blurEffectStyle() const { return m_blurEffectStyle; }
    void setBlurEffectStyle(int style);
    // A missing colour is a programming error.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // Present in style 1 only: the lowest subview, covering the bounds.
    platform::ui::View* effectView() const { return m_effectView; }

    // Its content sets its size.
    QSizeF intrinsicContentSize() const { return QSizeF(0, 0); }

    void layoutSubviews() override;

private:
    void updateForBackgroundStyle();
    void updateViewsForColor();

    int m_style = Blur;
    int m_blurEffectStyle = Light;
    QColor m_color = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.6f);
    QPointer<platform::ui::View> m_effectView;
};
