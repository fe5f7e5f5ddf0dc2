#pragma once

#include <QtGlobal>

#include <limits>

// The position the tree answers for "not there" (the largest signed 64-bit value).
inline constexpr qsizetype FormNotFound = std::numeric_limits<qint64>::max();

// A row of the form's table: the visible position of the element in its section and of
// the section in the root.
struct FormIndexPath {
    qsizetype row = 0;
    qsizetype section = 0;

    bool operator==(const FormIndexPath&) const = default;
};
