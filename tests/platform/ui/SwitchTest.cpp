#include "platform/ui/Switch.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform::ui;

namespace {

// The switch drawn on a white row, as forms show it.
QImage drawn(bool on, bool enabled)
{
    View row(QRectF(0, 0, 71, 51));
    row.setBackgroundColor(Qt::white);
    auto* toggle = new Switch(&row);
    toggle->setFrame(QRectF(10, 10, 51, 31));
    toggle->setOnTintColor(QColor(0, 144, 223));
    toggle->setOn(on);
    toggle->setEnabled(enabled);
    return row.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int distanceFromWhite(QRgb pixel)
{
    return std::max({ 255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel) });
}

} // namespace

TEST(Switch, ADisabledSwitchStillShowsItsTrackOnAWhiteRow)
{
    for (bool on : { false, true }) {
        SCOPED_TRACE(on ? "on" : "off");
        const QImage enabled = drawn(on, true);
        const QImage disabled = drawn(on, false);
        // Inside the track, on the side away from the knob, and a point inside each end.
        const int awayFromKnob = on ? 16 : 54;
        for (const QPoint at : { QPoint(awayFromKnob, 25), QPoint(12, 25), QPoint(59, 25) }) {
            SCOPED_TRACE(at.x());
            EXPECT_GE(distanceFromWhite(disabled.pixel(at)), 10);
        }
        // Dimmed, so a person tells it from one that can be switched.
        EXPECT_NE(disabled.pixel(awayFromKnob, 25), enabled.pixel(awayFromKnob, 25));
    }
}
