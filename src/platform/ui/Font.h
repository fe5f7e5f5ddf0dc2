#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>
#include <QString>

namespace platform::ui {

// Named fonts and text measuring. A name is a family with an optional weight or style
// after a dash ("HelveticaNeue-Medium", "Helvetica-Bold"); families this machine lacks
// fall back to the nearest sans-serif one, keeping weight, style and point size.
namespace Font {

QFont named(const QString& name, double pointSize);
QFont system(double pointSize);
QFont boldSystem(double pointSize);

// The size the text needs in the font: one line when width <= 0, else wrapped at the
// width (words, then characters), with the height of all lines.
QSizeF measure(const QString& text, const QFont& font, double width = 0);

// How text wraps at the width: between words, or anywhere when one word is wider than
// the line, so it breaks at the edge instead of running past it.
int wrapFlag(const QString& text, const QFontMetricsF& metrics, double width);

} // namespace Font

} // namespace platform::ui
