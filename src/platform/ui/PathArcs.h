#pragma once

#include <QPainterPath>
#include <QPointF>

namespace platform::ui {

// Arcs added to a path the way the platform's drawing context adds them, in view
// coordinates (y grows downwards, angles in radians from the positive x axis, growing
// clockwise on screen). Both draw a straight line from the current point to the arc's
// start first, as the platform does.
namespace PathArcs {

// The arc about the centre from the start angle to the end angle; `clockwise` false runs
// it with growing angles (clockwise on screen), true with shrinking ones.
void addArc(QPainterPath& path, const QPointF& center, double radius, double startAngle,
    double endAngle, bool clockwise);

// The arc of the radius tangent to the line from the current point to `corner` and to
// the line from `corner` to `towards`; a straight line to `corner` when the lines do not
// turn or the radius is zero.
void addArcToPoint(
    QPainterPath& path, const QPointF& corner, const QPointF& towards, double radius);

} // namespace PathArcs

} // namespace platform::ui
