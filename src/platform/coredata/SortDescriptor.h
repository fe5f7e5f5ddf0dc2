#pragma once

#include <QString>

namespace platform::coredata {

// Orders fetch results by one attribute. Unset values come first in ascending order;
// text compares by code point, numbers and flags by value.
struct SortDescriptor {
    QString key;
    bool ascending = true;

    bool operator==(const SortDescriptor&) const = default;
};

} // namespace platform::coredata
