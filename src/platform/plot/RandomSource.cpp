#include "platform/plot/RandomSource.h"

#include <QRandomGenerator>

#include <memory>
#include <mutex>

namespace platform::plot {

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

std::function<quint32()>& source()
{
    static std::function<quint32()> current;
    return current;
}

} // namespace

quint32 RandomSource::next()
{
    std::lock_guard guard(lock());
    if (source())
        return source()();
    return QRandomGenerator::global()->generate();
}

void RandomSource::seed(quint32 value)
{
    auto generator = std::make_shared<QRandomGenerator>(value);
    setSource([generator] { return generator->generate(); });
}

void RandomSource::setSource(std::function<quint32()> next)
{
    std::lock_guard guard(lock());
    source() = std::move(next);
}

} // namespace platform::plot
