#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/Layer.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>

namespace platform::ui {

class GestureRecognizer;

// Which margins and sizes of a view follow its superview's size, with the platform's
// values.
enum AutoresizingMask : unsigned {
    AutoresizingNone = 0,
    AutoresizingFlexibleLeftMargin = 1u << 0,
    AutoresizingFlexibleWidth = 1u << 1,
    AutoresizingFlexibleRightMargin = 1u << 2,
    AutoresizingFlexibleTopMargin = 1u << 3,
    AutoresizingFlexibleHeight = 1u << 4,
    AutoresizingFlexibleBottomMargin = 1u << 5,
};

// The view base: a QWidget whose frame is in points (one point, one device-independent
// pixel). It keeps the model values (frame, alpha, colour, scale) apart from what is
// shown while an animation runs, resizes its subviews by their autoresizing masks when
// its size changes, draws its background, rounded corners, border and shadow from its
// layer, and finds subviews by tag.
class View : public QWidget {
    Q_OBJECT
public:
    explicit View(QWidget* parent = nullptr);
    explicit View(const QRectF& frame, QWidget* parent = nullptr);
    ~View() override;

    // Geometry. The frame is in the superview's coordinates; the bounds start at (0, 0).
    // A frame is kept within what integer geometry holds: its size up to QWIDGETSIZE_MAX,
    // its origin within MaximumCoordinate either way; a frame that is not finite is ignored.
    QRectF frame() const;
    void setFrame(const QRectF& frame); // animatable
    // Several of them still add up within an int along a chain of superviews.
    static constexpr double MaximumCoordinate = 1 << 26;
    QRectF bounds() const { return QRectF(QPointF(0, 0), frame().size()); }
    void setBounds(const QRectF& bounds); // keeps the centre, as the platform does
    QPointF center() const { return frame().center(); }
    void setCenter(const QPointF& center); // animatable

    // Coordinate conversion; a null view stands for the window.
    QPointF convertPointToView(const QPointF& point, const QWidget* view) const;
    QPointF convertPointFromView(const QPointF& point, const QWidget* view) const;
    QRectF convertRectToView(const QRectF& rect, const QWidget* view) const;
    QRectF convertRectFromView(const QRectF& rect, const QWidget* view) const;

    unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool value) { m_autoresizesSubviews = value; }

    // The hierarchy. A scroll view keeps its subviews in the content it moves; for one
    // of those the superview is the scroll view.
    View* superview() const;
    QList<View*> subviews() const;
    void addSubview(QWidget* view);
    void insertSubview(QWidget* view, int index);
    void insertSubviewBelow(QWidget* view, QWidget* sibling);
    void insertSubviewAbove(QWidget* view, QWidget* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(QWidget* view);
    void sendSubviewToBack(QWidget* view);
    bool isDescendantOfView(const QWidget* view) const;

    // Tags: this view when it carries the tag, else the first descendant that does
    // (depth first, in subview order), else null.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    View* viewWithTag(int tag);

    // Visibility and interaction.
    void setHidden(bool hidden);
    bool isHidden() const { return m_hidden; }
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha); // animatable
    bool isUserInteractionEnabled() const { return m_userInteraction; }
    void setUserInteractionEnabled(bool enabled);
    bool clipsToBounds() const { return m_clipsToBounds; }
    virtual void setClipsToBounds(bool clips);

    // Scale about the centre, as a scale transform does; animatable.
    double scale() const { return m_scale; }
    void setScale(double scale);

    // Background: a plain colour, or a pattern image tiled from the view's origin.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color); // animatable
    const Image& backgroundPattern() const { return m_pattern; }
    void setBackgroundPattern(const Image& image);
    QColor tintColor() const;
    void setTintColor(const QColor& color);

    // The layer, made on first use by makeLayer(). Setting one replaces it.
    Layer* layer() const;
    void setLayer(std::unique_ptr<Layer> layer);

    // Gesture recognisers see the touches that start on this view or its subviews. The
    // view takes each one added (it becomes the recogniser's parent); removing one hands it
    // back to the caller.
    void addGestureRecognizer(GestureRecognizer* recognizer);
    void removeGestureRecognizer(GestureRecognizer* recognizer);
    QList<GestureRecognizer*> gestureRecognizers() const;

    // Hit testing, as the platform does it: the deepest visible, interactive subview
    // containing the point, or this view, or null. Subclasses may widen or narrow it.
    virtual bool pointInside(const QPointF& point) const;
    virtual View* hitTest(const QPointF& point);

    // A view its superview draws in its own paint, over its own content: it keeps its
    // frame, state and tag, and takes touches while interactive (a widget that paints
    // nothing), but is no widget painted on its own. A grid tile's parts are drawn so: one
    // paint per tile instead of one per part. Alpha is drawn; scale and shadow are not.
    bool isDrawnBySuperview() const { return m_drawnBySuperview; }
    void setDrawnBySuperview(bool drawn);

    // Drawing and layout. Repaints this view, or the part of its superview it is drawn in.
    void setNeedsDisplay();
    void setNeedsLayout();
    void layoutIfNeeded();
    virtual void layoutSubviews();
    virtual QSizeF sizeThatFits(const QSizeF& size) const;
    void sizeToFit();

    // What the person sees of this view, at the screen's scale.
    QImage snapshot();

    // Animation support (called by Animation).
    void setAnimationBlocksInteraction(bool block);
    void layerChanged();

    // The view that holds this view's subviews: the view itself, or the content a scroll
    // view moves. A view's coordinates are those of its container.
    virtual View* subviewContainer() const { return const_cast<View*>(this); }

    // Called after layoutSubviews; view controllers hook their viewDidLayoutSubviews here.
    std::function<void()> onLayoutSubviews;

signals:
    void frameChanged();

protected:
    // The layer class of this view; the default is the plain layer.
    virtual std::unique_ptr<Layer> makeLayer() const;
    // Draws the view's own content inside its bounds, over the background.
    virtual void drawRect(QPainter& painter, const QRectF& rect);
    // Called after any change of the layer's drawing state, shown values included.
    virtual void layerDidChange() { }

    // A person's touch (the mouse's left button) at a point in the view's coordinates.
    // By default it goes on to the superview, as touches go up the responder chain; a
    // view that takes the touch gets its moves and its end.
    virtual void touchesBegan(const QPointF& point, QMouseEvent* event);
    virtual void touchesMoved(const QPointF& point, QMouseEvent* event);
    virtual void touchesEnded(const QPointF& point, QMouseEvent* event);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

    void applyGeometry(const QRectF& frame);
    void applyAlpha(double alpha);
    void applyScale(double scale);
    void applyBackgroundColor(const QColor& color);

private:
    QPainterPath shapePath(const QRectF& bounds, double radius) const;
    // Background, content, border and layer overlay, then the subviews drawn here;
    // `drawnHere` for a view drawn in its superview's paint.
    void paintView(QPainter& painter, bool drawnHere);
    void paintDrawnSubviews(QPainter& painter);
    // Shown as a widget: not hidden, and either painting itself or taking touches.
    void applyVisibility();
    bool shownAsWidget() const;
    // Painted as a widget: not a part drawn by its superview without self-painting subviews.
    bool paintsAsWidget() const;
    void updatePaintEvents();
    void paintBackground(QPainter& painter, const QRectF& bounds, double radius);
    void updateOpaque();
    void resizeSubviews(const QSizeF& oldSize, const QSizeF& newSize);
    void sizeChanged(const QSizeF& oldSize, const QSizeF& newSize);
    void updateEffect();
    void updateMouseTransparency();
    void showAsSubview(QWidget* view);

    QRectF m_frame;
    bool m_applyingGeometry = false;
    unsigned m_autoresizingMask = AutoresizingNone;
    bool m_autoresizesSubviews = true;
    int m_tag = 0;
    bool m_hidden = false;
    double m_alpha = 1.0;
    double m_presentedAlpha = 1.0;
    double m_scale = 1.0;
    double m_presentedScale = 1.0;
    bool m_userInteraction = true;
    int m_animationBlocks = 0;
    bool m_clipsToBounds = false;
    bool m_drawnBySuperview = false;
    QColor m_backgroundColor;
    QColor m_presentedBackground;
    QColor m_tint;
    Image m_pattern;
    QPixmap m_fill; // the pattern drawn: shared (no m_fillKey), or its own while m_fillKey holds
    QString m_fillKey;
    bool m_patternOpaque = false;
    mutable std::unique_ptr<Layer> m_layer;
    bool m_layoutPending = false;
    QSizeF m_laidOutSize;
};

} // namespace platform::ui
