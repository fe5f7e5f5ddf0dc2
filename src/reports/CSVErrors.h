#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariantMap>

// The one error domain of the CSV reader and writer. Every data problem, from a stray
// character after a field to a write the disk refused, is a format error in it.
namespace CSVErrors {

extern const QString Domain; // "net.solvane.csv"
constexpr qint64 FormatError = 1;

// A format error with its description and any further user-info facts.
platform::Error formatError(const QString& description, QVariantMap userInfo = {});

} // namespace CSVErrors
