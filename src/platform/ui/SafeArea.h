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

// The same where the view comes to rest: a screen's view that a navigation stack slides
// in or out counts where it will stay, not where the slide has it now, so content laid
// out as the slide starts is not laid out again at its end. A view outside the main
// window (a canvas drawn off the screen) has nothing to avoid.
QMarginsF restingOverlap(const QWidget* view);

// What the device's safe area covers of the view on all four sides, where the view
// comes to rest (a screen sliding in, a sheet rising): the notch at the top or at a
// side, and the home indicator's strip at the bottom. A phone without a notch draws
// nothing in its status bar's place here, so its top counts as free.
QMarginsF restingInsets(const QWidget* view);

// Marks a view whose children are screens slid in and out (a navigation stack's
// content area): each of them rests at its left edge.
void markSlidingContainer(QWidget* container);

// Marks the view a presented screen rises into: the screen rests centred in it
// (a sheet on a tablet, the whole window on a phone).
void markPresentationHost(QWidget* host);

} // namespace SafeArea

} // namespace platform::ui
