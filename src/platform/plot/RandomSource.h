#pragma once

#include <QtGlobal>

#include <functional>

namespace platform::plot {

// Where random colours come from: the system's generator, or one a test puts in place so
// colours repeat from run to run.
class RandomSource {
public:
    RandomSource() = delete;

    static quint32 next();
    // A seeded generator; next() then gives the same numbers after each seeding.
    static void seed(quint32 value);
    // Any source; an empty one goes back to the system's.
    static void setSource(std::function<quint32()> source);
};

} // namespace platform::plot
