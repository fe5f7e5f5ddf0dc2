#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariantMap>

// The one error domain of the CSV reader and writer. Every data problem, from a stray
// character after a field to a write the disk refused, is a format error in it.
namespace CSVErrors {

extern const QString Domain; // "net.solvane.csv"
constexpr qint64 FormatError = 1;
// User-info key of the line of the text, from 1, that a reader error was found in.
extern const QString LineKey; // "CSVLine"

// A format error with its description and any further user-info facts.
platform::Error formatError(const QString& description, QVariantMap userInfo = {});
// The same, found in the line of the text.
platform::Error formatErrorInLine(
    const QString& description, quint64 line, QVariantMap userInfo = {});

// The description for a person looking for the place: led by the line when the error
// knows it and its text does not name it already.
QString describedWithLine(const platform::Error& error);

} // namespace CSVErrors
