// A cloud store whose other peer has a long history: 20,000 change sets, a year of a busy
// user's saves. Timed in one run against the same store whose peer has saved once:
// - a look for changes with nothing new (the ratio should stay near 1: a look must not
//   cost more as the history grows);
// - the worst main-thread fetch while looks run one after another (the store's lock must
//   not be held while the folders are read);
// - a new machine catching up on the whole history (once; it should grow linearly, so
//   it is also timed for half the history).
#include "model/ModelRegistry.h"
#include "platform/Folders.h"
#include "platform/coredata/ChangeSet.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/FetchRequest.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/UbiquitousContent.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

namespace cd = platform::coredata;

namespace {

using benchsupport::secondsSince;

constexpr int History = 20000;
const QString HistoryPeer = QStringLiteral("0A0A0A0A-0000-4000-8000-00000000000A");
// Looks timed per store, and how long fetches are timed while looks run.
constexpr int Looks = 300;
constexpr int FetchSeconds = 3;

QVariantMap cloudOptions(const QString& content)
{
    return { { cd::MigratePersistentStoresAutomaticallyOption, true },
        { cd::InferMappingModelAutomaticallyOption, true },
        { cd::PersistentStoreUbiquitousContentNameKey, content },
        { cd::PersistentStoreUbiquitousContentURLKey, "CloudLogs/" + content } };
}

// The other peer's sets 1..count of the content, each inserting one Database row.
void writeHistory(const QString& content, int count)
{
    const QString folder = QDir(cd::CloudContainer::rootPath())
                               .filePath(QStringLiteral("%1/CloudLogs/%2/%3/%2")
                                             .arg(cd::CloudContainer::defaultContainerIdentifier(),
                                                 content, HistoryPeer));
    QDir().mkpath(folder);
    for (int sequence = 1; sequence <= count; ++sequence) {
        cd::ChangeSet set;
        set.peer = HistoryPeer;
        set.sequence = sequence;
        set.time = 1600000000 + sequence;
        cd::ChangeSet::Change change;
        change.entity = QStringLiteral("Database");
        change.object = QStringLiteral("OBJECT-%1-%2").arg(content).arg(sequence);
        change.version = set.time;
        change.values = { { "id", QStringLiteral("D%1").arg(sequence) },
            { "name", QStringLiteral("Database %1").arg(sequence) }, { "mtimestamp", set.time } };
        set.changes << change;
        QSaveFile file(QDir(folder).filePath(cd::ChangeSet::fileName(sequence)));
        if (!file.open(QIODevice::WriteOnly) || file.write(set.toJson()) < 0 || !file.commit())
            qFatal("The history could not be written");
    }
}

struct Machine {
    Machine(const std::shared_ptr<const cd::ManagedObjectModel>& model, const QString& content,
        const QString& file)
    {
        coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model);
        platform::Error error;
        QElapsedTimer timer;
        timer.start();
        store = coordinator->addPersistentStore(cd::SQLiteStoreType, {},
            QUrl::fromLocalFile(QDir(platform::Folders::home()).filePath(file)),
            cloudOptions(content), &error);
        opening = secondsSince(timer);
        if (!store)
            qFatal("The cloud store could not be opened: %s",
                qPrintable(error.localizedDescription()));
        content_ = cd::UbiquitousContent::contentOf(*store);
        context = std::make_unique<cd::ManagedObjectContext>(
            cd::ManagedObjectContext::ConcurrencyType::Confinement);
        context->setPersistentStoreCoordinator(coordinator);
    }
    ~Machine()
    {
        context.reset();
        (void)coordinator->removePersistentStore(store);
    }

    // The mean seconds of a look with nothing new.
    double look()
    {
        content_->importNow();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Looks; ++i)
            content_->importNow();
        return secondsSince(timer) / Looks;
    }

    // The longest main-thread fetch while looks run one after another.
    double worstFetchWhileLooking(int* fetches)
    {
        std::atomic<bool> looking { true };
        std::thread looks([&] {
            while (looking)
                content_->importNow();
        });
        double worst = 0;
        *fetches = 0;
        QElapsedTimer all;
        all.start();
        while (all.elapsed() < FetchSeconds * 1000) {
            cd::FetchRequest request(QStringLiteral("Database"));
            request.setPredicate(cd::Predicate::equal(QStringLiteral("id"), QStringLiteral("D1")));
            QElapsedTimer timer;
            timer.start();
            [[maybe_unused]] const auto found = context->executeFetchRequest(request);
            worst = std::max(worst, secondsSince(timer));
            ++*fetches;
            context->reset();
        }
        looking = false;
        looks.join();
        return worst;
    }

    std::shared_ptr<cd::PersistentStoreCoordinator> coordinator;
    std::shared_ptr<cd::PersistentStore> store;
    std::shared_ptr<cd::UbiquitousContent> content_;
    std::unique_ptr<cd::ManagedObjectContext> context;
    double opening = 0;
};

void BM_LongHistory(benchmark::State& state)
{
    QTemporaryDir home;
    qputenv("KIVOTAB_HOME", home.path().toUtf8());
    qputenv("KIVOTAB_CLOUD", (home.path() + "/cloud").toUtf8());
    QDir().mkpath(home.path() + "/cloud");
    cd::CloudContainer::setPollInterval(0);
    cd::CloudContainer::signIn();
    ModelRegistry::registerClasses();
    const auto model
        = cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));

    writeHistory(QStringLiteral("Short"), 1);
    writeHistory(QStringLiteral("Half"), History / 2);
    writeHistory(QStringLiteral("Long"), History);

    for (auto _ : state) {
        Machine reference(model, QStringLiteral("Short"), QStringLiteral("Short.sqlite"));
        Machine half(model, QStringLiteral("Half"), QStringLiteral("Half.sqlite"));
        Machine machine(model, QStringLiteral("Long"), QStringLiteral("Long.sqlite"));
        const double lookReference = reference.look();
        const double look = machine.look();
        int referenceFetches = 0;
        int fetches = 0;
        const double fetchReference = reference.worstFetchWhileLooking(&referenceFetches);
        const double fetch = machine.worstFetchWhileLooking(&fetches);
        state.SetIterationTime(look);
        state.counters["look_us"] = look * 1e6;
        state.counters["look_reference_us"] = lookReference * 1e6;
        state.counters["look_ratio"] = look / lookReference;
        state.counters["worst_fetch_ms"] = fetch * 1000;
        state.counters["worst_fetch_reference_ms"] = fetchReference * 1000;
        state.counters["worst_fetch_ratio"] = fetch / fetchReference;
        state.counters["fetches"] = fetches;
        state.counters["fetches_reference"] = referenceFetches;
        state.counters["catch_up_20000_s"] = machine.opening;
        state.counters["catch_up_10000_s"] = half.opening;
        state.counters["catch_up_ratio_20000_to_10000"] = machine.opening / half.opening;
        std::printf("look with nothing new: %.1f us, %.1f us with one set of history: ratio "
                    "%.2f (goal <= 1.5)\n",
            look * 1e6, lookReference * 1e6, look / lookReference);
        std::printf("worst main-thread fetch while looks run: %.2f ms (%d fetches), %.2f ms "
                    "(%d fetches) with one set of history: ratio %.2f (goal <= 2)\n",
            fetch * 1000, fetches, fetchReference * 1000, referenceFetches, fetch / fetchReference);
        std::printf("a new machine catching up: %.2f s on %d sets, %.2f s on %d: ratio %.2f "
                    "(2 is linear)\n",
            machine.opening, History, half.opening, History / 2, machine.opening / half.opening);
    }
}
BENCHMARK(BM_LongHistory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
