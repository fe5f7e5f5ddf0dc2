#include "platform/Progress.h"

#include <algorithm>

namespace platform {

Progress::Progress(qint64 totalUnitCount)
    : m_total(totalUnitCount)
{
}

double Progress::fractionCompleted() const
{
    const qint64 total = m_total.load();
    if (total <= 0)
        return 0.0;
    return std::clamp(double(m_completed.load()) / double(total), 0.0, 1.0);
}

} // namespace platform
