#pragma once

#include <QColor>
#include <QString>

// The programming errors the progress overlay and its views report, as the platform's
// internal-inconsistency failures with fixed texts.
namespace ProgressHUDFailures {

extern const QString NilColor; // "The color should not be nil."
extern const QString NilView; // "View must not be nil."
extern const QString NotMainThread; // "ProgressHUD needs to be accessed on the main thread."

[[noreturn]] void raise(const QString& reason);
// Raises NilColor for a missing colour.
void requireColor(const QColor& color);

} // namespace ProgressHUDFailures
