#pragma once

#include "platform/Error.h"

#include <QtGlobal>

// The work one rendering may do on the current thread. Nesting is bounded elsewhere, but
// a few sections over short lists nested inside each other multiply their work: without
// a bound a template of a few hundred characters renders for hours. Every step (a
// component rendered, a section's content, a list item, a pass of a component through
// the overrides in force, a context a lookup walks through) and every character written
// counts against the rendering that started first on the thread; once either runs out,
// the rendering fails with an error.
class MustacheRenderingBudget {
public:
    // A report page of 100 rows and 10 columns takes about 3,300 steps and 90,000
    // characters, all 1,000 such rows at once 32,000 steps and 3 million characters.
    // Characters count at every level that adds them to its output, so nested sections
    // count theirs more than once; 64 Mi of them are 128 MiB of text.
#ifndef KIVOTAB_MUSTACHE_FUZZ_BUDGET
    static constexpr qint64 MaximumSteps = 2'000'000;
    static constexpr qint64 MaximumCharacters = 64 * 1024 * 1024;
#else
    // The fuzz target's engine, ten times slower under its instrumentation, runs out of
    // the same budget a hundred times sooner, so one input takes no more than moments.
    static constexpr qint64 MaximumSteps = 20'000;
    static constexpr qint64 MaximumCharacters = 1024 * 1024;
#endif

    // Opens a rendering; the outermost one on the thread starts a fresh budget.
    MustacheRenderingBudget();
    ~MustacheRenderingBudget();
    MustacheRenderingBudget(const MustacheRenderingBudget&) = delete;
    MustacheRenderingBudget& operator=(const MustacheRenderingBudget&) = delete;

    // Each takes its share and says whether the budget still holds. Once it has run out,
    // every later call fails too, so the rendering stops at the first place that asks.
    // Outside a rendering nothing is counted and both hold.
    static bool spendSteps(qint64 count = 1);
    static bool spendCharacters(qsizetype written);
    // Reports the rendering error saying which part of the budget ran out; false.
    static bool fail(platform::Error* error);
};
