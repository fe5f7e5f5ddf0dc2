#pragma once

#include <QMarginsF>

class QWidget;

namespace platform::ui {

// The device's safe area seen from one view: what a notch or a rounded corner at the
// side of the screen covers of it. Bars keep their buttons out of it and screens their
// content; a view away from the screen's edges (inside a popup) has nothing to avoid.
namespace SafeArea {

// The parts of the device's left and right safe-area insets that lie over the view
// (top and bottom are left to the bars and the status bar, which take them whole).
QMarginsF horizontalOverlap(const QWidget* view);

} // namespace SafeArea

} // namespace platform::ui
