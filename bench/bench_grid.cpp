// A user table of 100,000 rows x 10 columns (plain and protected) shown as tiles on a
// landscape tablet (1024 x 768): opening the screen, scrolling it top to bottom one screen
// per step, and the memory both take. Opening is measured beside SQLite's own shell
// selecting the same rows' JSON; scrolling beside a plain Qt list view in icon mode over
// the same rows' titles, in the same window, by the same steps; memory as the peak
// resident growth over the table's JSON bytes. Each figure is printed with its ratio. The
// opening also prints the share of it spent on the progress overlay. Each table is opened and
// scrolled three times; the ratios' least, middle and greatest values are printed too.
#include "grid/UserTableDataController.h"

#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/MainCollectionViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/LocalTimeZone.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/StoreStack.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimeZone>

#include "BenchSupport.h"
#include "TenColumnTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <numeric>
#include <optional>

namespace {

using benchsupport::secondsSince;

const int RowCount = benchsupport::rowCount();
using benchsupport::RowsPerCommit;
const QString Database = QStringLiteral("5E6F7A8B-9C0D-4E1F-8A2B-3C4D5E6F7A8B");
const QString Definition = QStringLiteral("7A3E9C21-5B4D-4F68-8E0A-1C2B3D4E5F60");
const QString Password = QStringLiteral("bench password");

// The rows controller with the table's password given before the screen makes it.
class BenchRowsController : public gridtest::UserTableDataController {
    Q_OBJECT
public:
    BenchRowsController() { password = nextPassword; }
    static inline Rows::Password nextPassword;
};

// Time spent showing and handling the progress overlay while a screen opens: the calls
// asking for it and the queued work that shows and hides it, as far as it runs inside the
// opening.
struct OverlayTiming {
    static inline bool active = false;
    static inline double seconds = 0;
    static inline int queued = 0;

    template<typename F> static void time(F&& call)
    {
        if (!active) {
            call();
            return;
        }
        QElapsedTimer timer;
        timer.start();
        call();
        seconds += secondsSince(timer);
    }
};

// The rows screen; its overlay requests are timed.
class BenchScreen : public MainCollectionViewController {
public:
    void showHud() override
    {
        request([this] { MainCollectionViewController::showHud(); });
    }
    void hideHud() override
    {
        request([this] { MainCollectionViewController::hideHud(); });
    }

private:
    template<typename F> void request(F&& call)
    {
        OverlayTiming::time(call);
        // Each request queues one call on the main loop that shows or hides the overlay.
        if (OverlayTiming::active)
            ++OverlayTiming::queued;
    }
};

// Times the queued calls the overlay requests left, when they run during the opening.
class BenchApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (OverlayTiming::active && OverlayTiming::queued > 0 && receiver == this
            && event->type() == QEvent::MetaCall) {
            --OverlayTiming::queued;
            bool result = false;
            OverlayTiming::time([&] { result = QApplication::notify(receiver, event); });
            return result;
        }
        return QApplication::notify(receiver, event);
    }
};

// The same rows' titles for the plain list view.
class TitlesModel : public QAbstractListModel {
public:
    explicit TitlesModel(QStringList titles)
        : m_titles(std::move(titles))
    {
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid())
            return m_titles.value(index.row());
        return {};
    }

private:
    QStringList m_titles;
};

struct Fixture {
    QTemporaryDir folder;
    QString store;
    std::unique_ptr<KivoAppDelegate> delegate;
    QList<TemplateColumn*> columns;
    QStringList ids;
    QString plainTable;
    QString protectedTable;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

Fixture* fixture = nullptr;

// Starts the peak resident size again from the present size.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void makeColumns()
{
    addTenColumns(Definition, fixture->columns, fixture->ids);
}

QVariantMap rowValues(int i, QRandomGenerator& random)
{
    return tenColumnRow(fixture->ids, i, random);
}

QString makeTable(const QString& name, const Rows::Password& password)
{
    UserTemplate* table = UserTemplate::add(Database);
    table->setTemplate_id(Definition);
    table->setName(name);
    table->setIsprotected(password.has_value());
    if (!table->saveUserTemplate())
        std::abort();
    const QString id = table->id().toString();
    QRandomGenerator random(7);
    for (int i = 0; i < RowCount; ++i) {
        Rows* row = Rows::add(id);
        row->updateData(rowValues(i, random), fixture->columns, password);
        row->setOrder(i);
        row->setMtimestamp(ModelRegistry::now());
        KivoLib::insertEntity(row);
        if ((i + 1) % RowsPerCommit == 0 && !KivoLib::commit())
            std::abort();
    }
    if (!KivoLib::commit())
        std::abort();
    return id;
}

void setUp()
{
    if (fixture)
        return;
    fixture = new Fixture;
    fixture->store = fixture->folder.filePath("Kivotab.sqlite");
    fixture->delegate = std::make_unique<KivoAppDelegate>();
    Preferences::registerDefaults();
    fixture->delegate->setCurrentStyle(Theme::getDefaultTheme());
    ModelRegistry::registerClasses();
    StoreStack::install(StoreStack::open(fixture->store, {}));
    makeColumns();
    fixture->plainTable = makeTable(QStringLiteral("Plain"), std::nullopt);
    fixture->protectedTable = makeTable(QStringLiteral("Protected"), Password);

    ClassRegistry::registerClass<BenchRowsController>();
    platform::ui::Animation::setInstant(true);
    if (!platform::ui::Device::current().selectModel(QStringLiteral("tablet")))
        std::abort();
    platform::ui::Device::current().setOrientation(platform::ui::Orientation::LandscapeLeft);
    MainCollectionViewController::registerStoryboard(platform::ui::Storyboard::main());
    // The screen is pushed over a plain one, as a table is opened from the home screen.
    fixture->navigation = std::make_unique<platform::ui::NavigationController>();
    fixture->navigation->pushViewController(new platform::ui::ViewController(), false);
    auto& application = platform::ui::Application::shared();
    application.setRootViewController(fixture->navigation.get());
    application.makeKeyAndVisible();
    application.keyWindow()->resize(1024, 768);
    QCoreApplication::processEvents();
}

// The shell reading the table's JSON: its time and the bytes it printed.
std::pair<double, qint64> shellSelect(const QString& table)
{
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), { fixture->store });
    shell.write(
        "SELECT \"json\" FROM \"Rows\" WHERE \"usertemplate_id\" = '" + table.toUtf8() + "';\n");
    shell.closeWriteChannel();
    qint64 bytes = 0;
    while (shell.state() != QProcess::NotRunning || shell.bytesAvailable() > 0) {
        shell.waitForReadyRead(100);
        bytes += shell.readAllStandardOutput().size();
    }
    shell.waitForFinished(-1);
    const double seconds = secondsSince(timer);
    return { shell.exitCode() == 0 ? seconds : -1, bytes };
}

void paint()
{
    platform::ui::Window* window = platform::ui::Application::shared().keyWindow();
    window->layoutIfNeeded();
    window->repaint();
}

struct Steps {
    double mean = 0;
    double p99 = 0;
    double max = 0;
    int count = 0;
};

Steps summarize(std::vector<double> times)
{
    Steps steps;
    if (times.empty())
        return steps;
    std::sort(times.begin(), times.end());
    steps.count = int(times.size());
    steps.mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    steps.p99 = times[std::min(times.size() - 1, size_t(double(times.size()) * 0.99))];
    steps.max = times.back();
    return steps;
}

struct Run {
    double open = -1;
    double overlay = 0; // of the opening, in seconds
    Steps scroll;
    qint64 peakGrowthBytes = 0;
    int cells = 0;
    int cellLimit = 0;
    QRect gridArea; // in window coordinates
    double step = 0;
};

Run openAndScroll(const QString& tableId, const Rows::Password& password)
{
    Run run;
    // A context that holds nothing yet, as after a start.
    StoreStack::instance()->makeContext();
    UserTemplate* table = nullptr;
    for (UserTemplate* candidate : UserTemplate::getUserTemplates(Database))
        if (candidate->id().toString() == tableId)
            table = candidate;
    if (!table)
        return run;
    auto record = std::make_shared<BridgeScreenData>();
    record->id = QStringLiteral("Template Rows");
    record->title = table->name().toString();
    record->dataController = QString::fromLatin1(BenchRowsController::staticMetaObject.className());
    record->rowView = QStringLiteral("GenericRowViewController");
    record->disclosure = true;
    record->image = QStringLiteral("inventory");
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(table);
    BenchRowsController::nextPassword = password;

    malloc_trim(0);
    const qint64 baseline = benchsupport::statusKilobytes("VmRSS:");
    resetPeak();

    OverlayTiming::seconds = 0;
    OverlayTiming::queued = 0;
    OverlayTiming::active = true;
    QElapsedTimer timer;
    timer.start();
    auto* screen = new BenchScreen();
    screen->setScreen(record);
    screen->setParentLink(link);
    fixture->navigation->pushViewController(screen, false);
    paint();
    run.open = secondsSince(timer);
    OverlayTiming::active = false;
    run.overlay = OverlayTiming::seconds;
    platform::ui::CollectionView* grid = screen->collectionView();
    if (!grid || grid->visibleCells().isEmpty())
        return Run {};

    // One screen per step, top to bottom, each step painted.
    const double page = grid->bounds().height();
    const double end = std::max(0.0, grid->contentSize().height() - page);
    std::vector<double> times;
    for (double y = page; y < end + page; y += page) {
        timer.restart();
        grid->setContentOffset(QPointF(0, std::min(y, end)));
        // Only the scrolled view changes; the bars around it are not painted again.
        grid->layoutIfNeeded();
        grid->repaint();
        times.push_back(secondsSince(timer));
        // The event loop runs between frames: what the step posted does not pile up.
        QCoreApplication::processEvents();
    }
    run.scroll = summarize(std::move(times));
    run.peakGrowthBytes = (benchsupport::statusKilobytes("VmHWM:") - baseline) * 1024;
    run.cells = int(grid->findChildren<platform::ui::CollectionViewCell*>().size());
    const QSizeF tile
        = grid->cellForItemAtIndexPath(
                  platform::ui::IndexPath(int(grid->numberOfItemsInSection(0) - 1), 0))
              ->frame()
              .size();
    const int perLine = std::max(1, int((grid->bounds().width() + 1) / (tile.width() + 10)));
    const int lines = int(std::ceil(page / (tile.height() + 10))) + 1;
    run.cellLimit = (lines + 2) * perLine;
    run.gridArea = QRect(grid->mapTo(grid->window(), QPoint(0, 0)), grid->size());
    run.step = page;

    fixture->navigation->popViewController(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    StoreStack::instance()->makeContext();
    return run;
}

// The plain list view over the same titles, in the same window and area, scrolled by the
// same steps.
Steps scrollReference(const QString& tableId, const Rows::Password& password, const Run& ours)
{
    StoreStack::instance()->makeContext();
    const auto columns = TemplateColumn::getColumns(Definition);
    QStringList titles;
    titles.reserve(RowCount);
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, password))
        titles << columns.first()->getStringValue(
            row->getData(columns, password).value(columns.first()->id().toString()));
    StoreStack::instance()->makeContext();
    TitlesModel model(titles);
    platform::ui::Window* window = platform::ui::Application::shared().keyWindow();
    QListView view(window);
    view.setViewMode(QListView::IconMode);
    view.setFlow(QListView::LeftToRight);
    view.setWrapping(true);
    view.setResizeMode(QListView::Adjust);
    view.setUniformItemSizes(true);
    view.setMovement(QListView::Static);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.setGridSize(QSize(331, 60));
    view.setModel(&model);
    view.setGeometry(ours.gridArea);
    view.show();
    view.raise();
    window->repaint();
    QScrollBar* bar = view.verticalScrollBar();
    const int page = int(ours.step);
    std::vector<double> times;
    QElapsedTimer timer;
    for (int y = page; y < bar->maximum() + page; y += page) {
        timer.restart();
        bar->setValue(std::min(y, bar->maximum()));
        view.repaint();
        times.push_back(secondsSince(timer));
        QCoreApplication::processEvents();
    }
    view.hide();
    return summarize(std::move(times));
}

void showTable(benchmark::State& state, const QString& table, const Rows::Password& password)
{
    setUp();
    benchsupport::Spread meanRatio(state, "mean_ratio");
    benchsupport::Spread p99Ratio(state, "p99_ratio");
    benchsupport::Spread memoryRatio(state, "memory_ratio");
    benchsupport::Spread openRatio(state, "open_ratio");
    std::optional<qint64> firstGrowth;
    for (auto _ : state) {
        const Run ours = openAndScroll(table, password);
        const auto [shellSeconds, jsonBytes] = shellSelect(table);
        const Steps reference = scrollReference(table, password, ours);
        if (ours.open < 0 || shellSeconds < 0 || reference.count == 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(ours.open);
        state.counters["open_ms"] = ours.open * 1000;
        state.counters["sqlite3_ms"] = shellSeconds * 1000;
        state.counters["overlay_ms"] = ours.overlay * 1000;
        state.counters["overlay_share"] = ours.overlay / ours.open;
        state.counters["open_ratio"] = ours.open / shellSeconds;
        state.counters["steps"] = ours.scroll.count;
        state.counters["ref_steps"] = reference.count;
        state.counters["scroll_mean_ms"] = ours.scroll.mean * 1000;
        state.counters["scroll_p99_ms"] = ours.scroll.p99 * 1000;
        state.counters["scroll_max_ms"] = ours.scroll.max * 1000;
        state.counters["listview_mean_ms"] = reference.mean * 1000;
        state.counters["listview_p99_ms"] = reference.p99 * 1000;
        state.counters["listview_max_ms"] = reference.max * 1000;
        state.counters["mean_ratio"] = ours.scroll.mean / reference.mean;
        state.counters["p99_ratio"] = ours.scroll.p99 / reference.p99;
        state.counters["max_ratio"] = ours.scroll.max / reference.max;
        // The memory the first opening took, as after a start; the later ones find the
        // freed room of the earlier.
        if (!firstGrowth)
            firstGrowth = ours.peakGrowthBytes;
        state.counters["peak_growth_MB"] = double(*firstGrowth) / 1e6;
        state.counters["json_MB"] = double(jsonBytes) / 1e6;
        state.counters["memory_ratio"] = double(*firstGrowth) / double(jsonBytes);
        meanRatio.add(ours.scroll.mean / reference.mean);
        p99Ratio.add(ours.scroll.p99 / reference.p99);
        memoryRatio.add(double(ours.peakGrowthBytes) / double(jsonBytes));
        openRatio.add(ours.open / shellSeconds);
        state.counters["cells"] = ours.cells;
        state.counters["cells_allowed"] = ours.cellLimit;
    }
}

void GridPlain(benchmark::State& state)
{
    showTable(state, fixture ? fixture->plainTable : QString(), std::nullopt);
}

void GridProtected(benchmark::State& state)
{
    showTable(state, fixture ? fixture->protectedTable : QString(), Password);
}

} // namespace

BENCHMARK(GridPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(GridProtected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return benchsupport::runInApplication<BenchApplication>(argc, argv, setUp, [] {
        platform::ui::Application::shared().reset();
        fixture->navigation.reset();
        StoreStack::install(nullptr);
        delete fixture;
    });
}

#include "bench_grid.moc"
