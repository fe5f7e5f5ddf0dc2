#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace platform::ui {

class View;

// The drawing state behind a view: rounded corners, border and shadow. A view makes its
// layer on first use with its virtual makeLayer(), the stand-in for choosing a layer
// class; a subclass of Layer adds its own drawing on top of the view's content.
class Layer {
public:
    Layer() = default;
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    View* view() const { return m_view; }

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    // Which corners the radius rounds, with the platform's values; all four by default.
    enum CornerMask : unsigned {
        MinXMinYCorner = 1u << 0,
        MaxXMinYCorner = 1u << 1,
        MinXMaxYCorner = 1u << 2,
        MaxXMaxYCorner = 1u << 3,
        AllCorners = 15u,
    };
    unsigned maskedCorners() const { return m_maskedCorners; }
    void setMaskedCorners(unsigned corners);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks);

    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& color);

    // The shadow is drawn around the view, outside its bounds.
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& color);
    double shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(double opacity); // animatable
    QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(const QPointF& offset);
    double shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(double radius);
    // The shape that casts the shadow, in the view's coordinates. Without one the shadow
    // follows whatever the view and its subviews draw, which must then be drawn off
    // screen first; with one the view draws straight and the shadow is drawn once.
    QPainterPath shadowPath() const { return m_shadowPath; }
    void setShadowPath(const QPainterPath& path);

    // Copies the base state of another layer (used when a view's layer is replaced).
    void copyBaseState(const Layer& other);

    // Drawn after the view's own content and border, in the view's coordinates.
    virtual void drawOver(QPainter& painter, const QRectF& bounds);
    // Called when the view's bounds change.
    virtual void layoutSublayers();

    void setNeedsDisplay();

    // Presentation value while a shadow animation runs.
    void applyShadowOpacity(double opacity);

private:
    friend class View;
    View* m_view = nullptr;
    double m_cornerRadius = 0;
    unsigned m_maskedCorners = AllCorners;
    bool m_masksToBounds = false;
    double m_borderWidth = 0;
    QColor m_borderColor = Qt::black;
    QColor m_shadowColor = Qt::black;
    double m_shadowOpacity = 0;
    double m_presentedShadowOpacity = 0;
    QPointF m_shadowOffset = { 0, -3 };
    double m_shadowRadius = 3;
    QPainterPath m_shadowPath;

public:
    double presentedShadowOpacity() const { return m_presentedShadowOpacity; }
};

} // namespace platform::ui
