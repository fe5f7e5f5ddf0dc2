#include "grid/DetailFormRegistry.h"

#include <QHash>

#include <mutex>

namespace {

// Forms are looked up on the main thread and built on others, hence the lock.
struct Registry {
    std::mutex mutex;
    QHash<QString, DetailFormRegistry::FormClass> forms;
};

Registry& registry()
{
    static Registry shared;
    return shared;
}

} // namespace

void DetailFormRegistry::registerForm(const QString& className, FormClass formClass)
{
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.forms.insert(className, std::move(formClass));
}

void DetailFormRegistry::unregisterForm(const QString& className)
{
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.forms.remove(className);
}

std::optional<DetailFormRegistry::FormClass> DetailFormRegistry::formClass(const QString& className)
{
    if (className.isEmpty())
        return std::nullopt;
    Registry& shared = registry();
    std::lock_guard lock(shared.mutex);
    const auto it = shared.forms.constFind(className);
    if (it == shared.forms.constEnd())
        return std::nullopt;
    return *it;
}
