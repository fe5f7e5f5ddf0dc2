#pragma once

#include <QtGlobal>

#include <atomic>

namespace platform {

// How far a job has come: completed units out of a total. The job updates it from its own
// thread while the interface reads it.
class Progress {
public:
    explicit Progress(qint64 totalUnitCount = 0);

    qint64 totalUnitCount() const { return m_total.load(); }
    void setTotalUnitCount(qint64 count) { m_total.store(count); }
    qint64 completedUnitCount() const { return m_completed.load(); }
    void setCompletedUnitCount(qint64 count) { m_completed.store(count); }

    // Completed over total, from 0 to 1; 0 while the total is not above 0.
    double fractionCompleted() const;

private:
    std::atomic<qint64> m_total;
    std::atomic<qint64> m_completed { 0 };
};

} // namespace platform
