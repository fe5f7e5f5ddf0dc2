#include "utilities/text/FormatLocale.h"

#include <atomic>

namespace {

std::atomic<int> changes { 0 };

} // namespace

void FormatLocale::setDefault(const QLocale& locale)
{
    QLocale::setDefault(locale);
    changes.fetch_add(1, std::memory_order_release);
}

int FormatLocale::generation()
{
    return changes.load(std::memory_order_acquire);
}
