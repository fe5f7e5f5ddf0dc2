#pragma once

#include "platform/Error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// Whole CSV texts at once: lines of field texts read from a file or a string, and a list
// of lines written as a string.
namespace CSVAdditions {

// The file's lines, each a list of field texts, read with the CSVParserOptions given; none
// after a format error (`error` then says what and, where known, in which line). Raises
// for a null path. `textLines`, when given, receives the line of the file each line
// began on, counting blank lines.
std::optional<QList<QStringList>> arrayWithContentsOfCSVFile(const QString& path,
    quint32 options = 0, platform::Error* error = nullptr, QList<quint64>* textLines = nullptr);

// The same over a string.
std::optional<QList<QStringList>> CSVComponents(
    const QString& string, platform::Error* error = nullptr);
std::optional<QList<QStringList>> CSVComponentsWithOptions(
    const QString& string, quint32 options, platform::Error* error = nullptr);

// Every element that is a list becomes one line of fields, "," between them and "\n" after
// each line; other elements are left out.
QString CSVString(const QVariantList& array);

} // namespace CSVAdditions
