#pragma once

#include "platform/ui/View.h"

#include <QPainterPath>
#include <QPointer>

namespace platform::ui {
class Label;
class ViewController;
} // namespace platform::ui

// Arrow directions of a popover, as bits; a set of them says which a popover may take.
enum PopoverArrowDirection : unsigned {
    PopoverArrowDirectionUp = 1, // the panel below its anchor
    PopoverArrowDirectionDown = 2, // above it
    PopoverArrowDirectionLeft = 4, // right of it
    PopoverArrowDirectionRight = 8, // left of it
    PopoverArrowDirectionAny = 15,
    PopoverArrowDirectionNone = 16,
};

// The popover's panel: a rounded outline with an optional arrow, a title strip in the
// style's bar colour over a body in the tint's colour, the title and the content view.
class PopoverView : public platform::ui::View {
    Q_OBJECT
public:
    explicit PopoverView(const QRectF& frame, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // Where the arrow points, in the panel's coordinates.
    QPointF relativeOrigin() const { return m_relativeOrigin; }
    void setRelativeOrigin(const QPointF& point);
    qint32 tint() const { return m_tint; }
    void setTint(qint32 tint);
    bool draw3dBorder() const { return m_draw3dBorder; }
    void setDraw3dBorder(bool draw) { m_draw3dBorder = draw; }
    bool border() const { return m_border; }
    // Off, the content is clipped to the rounded body and nothing is drawn around it.
    void setBorder(bool border);
    double radius() const { return m_radius; }
    void setRadius(double radius);
    platform::ui::ViewController* parentController() const { return m_parentController; }
    void setParentController(platform::ui::ViewController* controller);
    unsigned arrowDirection() const { return m_arrowDirection; }
    void setArrowDirection(unsigned direction);

    // Shows the view as the content (the panel's child, replacing another one).
    void addContentView(platform::ui::View* view);
    platform::ui::View* contentView() const { return m_contentView; }
    platform::ui::Label* titleLabel() const { return m_titleLabel; }

    // Places the title label and the content view for the direction and the title.
    void setupViews();
    // The outline for the border width (10 without border) and the direction.
    QPainterPath newContentPathWithBorderWidth(double borderWidth, unsigned direction) const;

    void layoutSubviews() override;

    static constexpr double ArrowHeight = 20.0;
    static constexpr double ArrowBase = 20.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QColor bodyColor() const;
    void updateContentMask();
    // The shadow follows the outline, so the panel draws straight under it.
    void updateShadowPath();

    QString m_title;
    QPointF m_relativeOrigin;
    qint32 m_tint = 1;
    bool m_draw3dBorder = true;
    bool m_border = true;
    double m_radius = 10.0;
    QPointer<platform::ui::ViewController> m_parentController;
    unsigned m_arrowDirection = 0;
    QPointer<platform::ui::View> m_contentView;
    platform::ui::Label* m_titleLabel = nullptr;
};
