#include "utilities/text/StringsLanguage.h"

#include "platform/UserDefaults.h"

#include <QLocale>
#include <QMutex>
#include <QStringList>
#include <QVariant>

#include <atomic>

const QString StringsLanguage::AppleLanguagesKey = QStringLiteral("AppleLanguages");

namespace {

// Lookups come from many threads at once: each keeps its own copy of the name and takes
// the lock only after the language has been chosen again.
struct Chosen {
    QMutex mutex;
    QString name;
    std::atomic<int> generation { 0 };
};

Chosen& chosen()
{
    static Chosen shared;
    return shared;
}

} // namespace

void StringsLanguage::load()
{
    const QVariant setting = platform::UserDefaults::standard().objectForKey(AppleLanguagesKey);
    QString name = setting.toStringList().value(0);
    if (name.isEmpty())
        name = QLocale().name();
    // The platform writes "de-CH" where the tables are named "de_CH".
    name.replace(u'-', u'_');
    Chosen& language = chosen();
    QMutexLocker lock(&language.mutex);
    language.name = name;
    language.generation.fetch_add(1, std::memory_order_release);
}

QString StringsLanguage::current()
{
    thread_local int seen = -1;
    thread_local QString cached;
    Chosen& language = chosen();
    int generation = language.generation.load(std::memory_order_acquire);
    if (generation == 0) {
        load();
        generation = language.generation.load(std::memory_order_acquire);
    }
    if (generation != seen) {
        QMutexLocker lock(&language.mutex);
        cached = language.name;
        seen = generation;
    }
    return cached;
}
