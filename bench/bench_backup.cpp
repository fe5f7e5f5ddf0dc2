// Backup and restore of a store holding a user table of 100,000 rows x 10 columns. The
// backup is printed beside `zip -P` packing the same five JSON files with the same
// password, the restore beside `unzip -P` unpacking that archive, both in the same run,
// as ratios. Ours includes reading the store and writing the JSON, and on restore parsing
// and checking the JSON and replacing the store's records in one transaction. The ratios'
// least, middle and greatest values over the iterations are printed too.
#include "model/BackupRestore.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Folders.h"
#include "platform/LocalTimeZone.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/KivoLibContext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace cd = platform::coredata;

namespace {

using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
using benchsupport::RowsPerCommit;
const QString Definition = QStringLiteral("7A3E9C21-5B4D-4F68-8E0A-1C2B3D4E5F60");
const QString Table = QStringLiteral("1B2C3D4E-5F60-4A7B-8C9D-0E1F2A3B4C5D");
// The password every backup archive carries.
const QString ArchivePassword = QStringLiteral("Hn4]cWrT8;mzPe");
const QStringList Entries { "database.json", "template.json", "templatecolumn.json",
    "usertemplate.json", "rows.json" };

class BenchDelegate : public KivoAppDelegate {
public:
    explicit BenchDelegate(const QString& path)
    {
        ModelRegistry::registerClasses();
        model
            = cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));
        coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model);
        if (!coordinator->addPersistentStore(
                cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path), {}))
            qFatal("The benchmark's store could not be opened");
        freshContext();
    }
    void freshContext()
    {
        context = std::make_unique<cd::ManagedObjectContext>();
        context->setPersistentStoreCoordinator(coordinator);
    }
    cd::ManagedObjectContext* managedObjectContext() const override { return context.get(); }
    std::shared_ptr<const cd::ManagedObjectModel> managedObjectModel() const override
    {
        return model;
    }

    std::shared_ptr<const cd::ManagedObjectModel> model;
    std::shared_ptr<cd::PersistentStoreCoordinator> coordinator;
    std::unique_ptr<cd::ManagedObjectContext> context;
};

struct Fixture {
    QTemporaryDir folder;
    std::unique_ptr<BenchDelegate> delegate;
    QList<TemplateColumn*> columns;
    QStringList ids;

    QString path(const QString& name) const { return folder.filePath(name); }
};

Fixture* fixture = nullptr;

void makeColumns()
{
    addTenColumns(Definition, fixture->columns, fixture->ids);
}

QVariantMap rowValues(int i, QRandomGenerator& random)
{
    return tenColumnRow(fixture->ids, i, random);
}

bool addRows()
{
    QRandomGenerator random(7);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(Table);
        row->updateData(rowValues(i, random), fixture->columns, std::nullopt);
        row->setMtimestamp(ModelRegistry::now());
        KivoLib::insertEntity(row);
        if ((i + 1) % RowsPerCommit == 0 && !KivoLib::commit())
            return false;
    }
    return KivoLib::commit();
}

// Runs the tool in the folder; the seconds it took, or -1 when it failed.
double runTool(const QString& program, const QStringList& arguments, const QString& folder)
{
    QProcess tool;
    tool.setWorkingDirectory(folder);
    tool.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    tool.start(program, arguments);
    tool.waitForFinished(-1);
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0 ? secondsSince(timer)
                                                                             : -1;
}

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
    fixture->delegate = std::make_unique<BenchDelegate>(fixture->path("Kivotab.sqlite"));
    makeColumns();
    if (!addRows())
        qFatal("could not make the rows");
    // The copy of the log that the last saves started belongs to making the rows, not to
    // the first backup measured.
    for (const auto& store : fixture->delegate->coordinator->persistentStores())
        store->waitForCheckpoint();
    fixture->delegate->freshContext();
    // The five JSON files the references pack and unpack: those of our own backup.
    if (!BackupRestore().backup(fixture->path("seed.zip")))
        qFatal("the first backup failed");
    QDir().mkpath(fixture->path("files"));
    if (runTool("unzip", { "-q", "-o", "-P", ArchivePassword, fixture->path("seed.zip") },
            fixture->path("files"))
        < 0)
        qFatal("unzip could not unpack the backup");
    if (runTool("zip",
            QStringList { "-q", "-P", ArchivePassword, fixture->path("ref.zip") } + Entries,
            fixture->path("files"))
        < 0)
        qFatal("zip could not pack the files");
}

void report(benchmark::State& state, double ours, double tool, const char* toolName,
    benchsupport::Spread& ratio)
{
    if (ours < 0 || tool < 0) {
        state.SkipWithError("a run failed");
        return;
    }
    state.SetIterationTime(ours);
    state.counters["ours_ms"] = ours * 1000;
    state.counters[toolName] = tool * 1000;
    state.counters["ratio"] = ours / tool;
    ratio.add(ours / tool);
}

void Backup(benchmark::State& state)
{
    setUp();
    benchsupport::Spread ratio(state, "ratio");
    for (auto _ : state) {
        fixture->delegate->freshContext();
        QElapsedTimer timer;
        timer.start();
        const bool ok = BackupRestore().backup(fixture->path("ours.zip"));
        const double ours = ok ? secondsSince(timer) : -1;
        QFile::remove(fixture->path("zip.zip"));
        const double tool = runTool("zip",
            QStringList { "-q", "-P", ArchivePassword, fixture->path("zip.zip") } + Entries,
            fixture->path("files"));
        state.counters["archive_kb"] = double(QFileInfo(fixture->path("ours.zip")).size()) / 1024;
        state.counters["zip_archive_kb"]
            = double(QFileInfo(fixture->path("zip.zip")).size()) / 1024;
        report(state, ours, tool, "zip_ms", ratio);
    }
}

void Restore(benchmark::State& state)
{
    setUp();
    benchsupport::Spread ratio(state, "ratio");
    for (auto _ : state) {
        fixture->delegate->freshContext();
        QElapsedTimer timer;
        timer.start();
        BackupRestore job;
        const bool ok = job.unzipArchive(fixture->path("seed.zip")) && job.restore({});
        const double seconds = secondsSince(timer);
        const double ours = ok && Rows::getRowsAll().size() == RowCount ? seconds : -1;
        QDir(fixture->path("unpacked")).removeRecursively();
        QDir().mkpath(fixture->path("unpacked"));
        const double tool
            = runTool("unzip", { "-q", "-o", "-P", ArchivePassword, fixture->path("ref.zip") },
                fixture->path("unpacked"));
        report(state, ours, tool, "unzip_ms", ratio);
    }
}

} // namespace

BENCHMARK(Backup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Restore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] { delete fixture; });
}
