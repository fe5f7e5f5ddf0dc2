// The desktop-server tables, each job beside a reference measured in the same run:
// - a 20,000-row page from a local server, from the page request to the painted grid,
//   against curl posting the same request with python3's json.load reading the reply;
// - the mail's CSV text of a 100,000-row reply, against Python's csv writer over the
//   same values (the JSON load is not counted for Python).
// Ratios below 1 mean we are faster.

#include "BenchSupport.h"

#include "bridge/BridgeCaller.h"
#include "common/FixtureHttpServer.h"
#include "forms/DetailForms.h"
#include "grid/BridgeScreenData.h"
#include "grid/MainCollectionViewController.h"
#include "grid/MatrixResponse.h"
#include "grid/ServerTableCsv.h"
#include "grid/TableDataController.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kPageRows = 20000;
constexpr int kMailRows = 100000;

QJsonArray columnsJSON()
{
    QJsonArray columns;
    const QStringList names { "CustomerId", "CustomerName", "CustomerCity", "QDGUDPIcon",
        "Balance" };
    const QStringList headers { "Id", "Name", "City", "Icon", "Balance" };
    for (int i = 0; i < names.size(); ++i)
        columns.append(QJsonObject { { "Name", names[i] }, { "Header", headers[i] },
            { "Length", 12 }, { "Order", i }, { "Hide", "N" } });
    return columns;
}

QJsonArray valuesOf(int id)
{
    return QJsonArray { id, QStringLiteral("Customer \"%1\"").arg(id),
        QStringLiteral("City, %1").arg(id % 97), QStringLiteral("database"), id * 10.25 };
}

QByteArray replyBody(int rows)
{
    QJsonArray shown;
    for (int id = 1; id <= rows; ++id) {
        const QJsonArray values = valuesOf(id);
        QJsonArray cells;
        for (int i = 0; i < values.size(); ++i)
            cells.append(QJsonObject { { "Column", i }, { "Value", values[i] } });
        shown.append(QJsonObject { { "Columns", cells } });
    }
    const QJsonObject table { { "Name", "Customers" }, { "CurrentPage", 1 }, { "TotalPages", 1 },
        { "Columns", columnsJSON() }, { "Rows", shown } };
    return QJsonDocument(
        QJsonObject { { "Success", true }, { "Id", "RS-1" }, { "Tables", QJsonArray { table } } })
        .toJson(QJsonDocument::Compact);
}

struct PageSetUp {
    QTemporaryDir dir;
    std::unique_ptr<KivoAppDelegate> delegate;
    std::unique_ptr<FixtureHttpServer> server;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    MainCollectionViewController* screen = nullptr;
    QByteArray requestBody;
};

PageSetUp& pageSetUp()
{
    static PageSetUp* made = [] {
        auto* set = new PageSetUp;
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        set->delegate = std::make_unique<KivoAppDelegate>();
        set->delegate->setCurrentPreferences(std::make_shared<Preferences>());
        set->delegate->currentPreferences()->setRows(kPageRows);
        set->delegate->setCurrentStyle(Theme::getDefaultTheme());
        MainCollectionViewController::registerStoryboard(platform::ui::Storyboard::main());
        DetailForms::registerAll();
        set->server = std::make_unique<FixtureHttpServer>();
        set->server->serve("/matrix", FixtureReply::json(replyBody(kPageRows)));
        BridgeCaller::install();
        BridgeCaller::setMatrixAddress(set->server->url("/matrix"));
        BridgeCaller::setToken("token-1");
        auto record = std::make_shared<BridgeScreenData>();
        record->id = "SCREEN_SERVER_TABLE";
        record->title = "Customers";
        record->dataController = "TableDataController";
        record->rowView = "ColumnsRowViewController";
        record->brigeType = "Bench.Service";
        record->bridgeMethod = "Customers";
        record->keyFields = { "CustomerName" };
        record->buttonBits
            = std::make_shared<BitManager>(BitManager::createButtonVector({ 4, 7, 9 }));
        set->navigation = std::make_unique<platform::ui::NavigationController>();
        set->screen = new MainCollectionViewController();
        set->screen->setScreen(record);
        set->navigation->pushViewController(set->screen, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(set->navigation.get());
        application.makeKeyAndVisible();
        // The opening page, so the runs below ask for a page of a shown table.
        QElapsedTimer wait;
        wait.start();
        while (set->server->requests().isEmpty() && wait.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        while (set->screen->hudCount() > 0 && wait.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        set->requestBody = set->server->requests().value(0).body;
        QFile file(set->dir.filePath("request.json"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(set->requestBody);
        return set;
    }();
    return *made;
}

// Runs the command in a shell while the event loop serves the fixture server.
double runServed(const QString& command)
{
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("bash"), { "-c", command });
    shell.waitForStarted(-1);
    while (shell.state() != QProcess::NotRunning)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    const double seconds = benchsupport::secondsSince(timer);
    return shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0 ? seconds : -1;
}

void Page20000_FromRequestToPaintedGrid(benchmark::State& state)
{
    PageSetUp& set = pageSetUp();
    auto* controller = dynamic_cast<TableDataController*>(set.screen->dataController().get());
    if (!controller)
        std::abort();
    for (auto _ : state) {
        const qsizetype before = set.server->requests().size();
        QElapsedTimer timer;
        timer.start();
        set.screen->setRefresh(true);
        controller->setQueryChanged(true);
        controller->navigatePage("First");
        while ((set.server->requests().size() == before || set.screen->hudCount() > 0)
            && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        benchmark::DoNotOptimize(platform::ui::Application::shared().keyWindow()->snapshot());
        const double ours = benchsupport::secondsSince(timer);
        if (controller->rows().size() != kPageRows)
            std::abort();
        const double reference = runServed(
            QStringLiteral("curl -s -X POST -H 'Content-Type: application/json' --data-binary @%1 "
                           "%2 | python3 -c 'import json, sys; json.load(sys.stdin)'")
                .arg(set.dir.filePath("request.json"), set.server->url("/matrix").toString()));
        if (!benchsupport::report(state, ours, reference))
            return;
        state.counters.erase("sqlite3_ms");
        state.counters["curl_json_ms"] = reference * 1000;
    }
}

const char kPythonCsv[] = R"(
import csv, io, json, sys, time
rows = json.load(open(sys.argv[1], encoding='utf-8'))
start = time.perf_counter()
out = io.StringIO()
w = csv.writer(out, quoting=csv.QUOTE_ALL, lineterminator='\r\n')
w.writerow(['Id', 'Name', 'City', 'Balance'])
w.writerows(rows)
data = out.getvalue().encode('utf-8')
print(time.perf_counter() - start)
)";

void MailCsv100000_Text(benchmark::State& state)
{
    QTemporaryDir dir;
    auto reply = std::make_shared<MatrixResponse>();
    reply->Success = true;
    auto table = std::make_shared<ResponseTable>();
    const QJsonArray columns = columnsJSON();
    for (const QJsonValue& column : columns) {
        const QJsonObject fields = column.toObject();
        table->Columns.append(ResponseColumn { fields["Name"].toString(),
            fields["Header"].toString(), 12, unsigned(fields["Order"].toInt()), "N" });
    }
    QJsonArray pythonRows;
    for (int id = 1; id <= kMailRows; ++id) {
        const QJsonArray values = valuesOf(id);
        auto row = std::make_shared<ResponseRow>();
        for (int i = 0; i < values.size(); ++i)
            row->Columns.append(ResponseRowColumn { unsigned(i), values[i].toVariant() });
        table->Rows.append(row);
        pythonRows.append(QJsonArray { values[0], values[1], values[2], values[4] });
    }
    reply->Tables.append(table);
    QFile file(dir.filePath("rows.json"));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    file.write(QJsonDocument(pythonRows).toJson(QJsonDocument::Compact));
    file.close();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray text = ServerTableCsv::text(ServerTableCsv::snapshot(*reply)).toUtf8();
        const double ours = benchsupport::secondsSince(timer);
        if (text.size() < kMailRows * 20)
            std::abort();
        QProcess python;
        python.start(QStringLiteral("python3"),
            { "-c", QString::fromLatin1(kPythonCsv), dir.filePath("rows.json") });
        python.waitForFinished(-1);
        const double reference
            = python.exitCode() == 0 ? python.readAllStandardOutput().trimmed().toDouble() : -1;
        if (!benchsupport::report(state, ours, reference))
            return;
        state.counters.erase("sqlite3_ms");
        state.counters["python_csv_ms"] = reference * 1000;
    }
}

BENCHMARK(Page20000_FromRequestToPaintedGrid)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MailCsv100000_Text)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runInApplication(argc, argv, {}, [] {
        PageSetUp& set = pageSetUp();
        platform::ui::Application::shared().reset();
        set.navigation.reset();
        platform::ui::Storyboard::main().clear();
    });
}
