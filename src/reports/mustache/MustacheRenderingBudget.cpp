#include "reports/mustache/MustacheRenderingBudget.h"

#include "reports/mustache/MustacheError.h"

namespace {
struct Spent {
    int open = 0;
    qint64 steps = 0;
    qint64 characters = 0;
};
thread_local Spent t_spent;
} // namespace

MustacheRenderingBudget::MustacheRenderingBudget()
{
    if (t_spent.open++ == 0) {
        t_spent.steps = 0;
        t_spent.characters = 0;
    }
}

MustacheRenderingBudget::~MustacheRenderingBudget()
{
    --t_spent.open;
}

bool MustacheRenderingBudget::spendSteps(qint64 count)
{
    // Outside a rendering there is nothing to stop: a value described for a message, a
    // lookup made by hand.
    if (t_spent.open == 0)
        return true;
    t_spent.steps += count;
    return t_spent.steps <= MaximumSteps && t_spent.characters <= MaximumCharacters;
}

bool MustacheRenderingBudget::spendCharacters(qsizetype written)
{
    if (t_spent.open == 0)
        return true;
    t_spent.characters += written;
    return t_spent.steps <= MaximumSteps && t_spent.characters <= MaximumCharacters;
}

bool MustacheRenderingBudget::fail(platform::Error* error)
{
    const QString message = t_spent.characters > MaximumCharacters
        ? QStringLiteral("Rendering wrote more than %1 characters").arg(MaximumCharacters)
        : QStringLiteral("Rendering took more than %1 steps").arg(MaximumSteps);
    MustacheError::report(MustacheError::make(MustacheError::RenderingError, message), error);
    return false;
}
