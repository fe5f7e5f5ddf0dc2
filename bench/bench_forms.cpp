// Opening the row form of a 200-column table with a full row, from the opener's call to
// the first painted frame of the form, against a scroll area of a form layout with the
// same 200 label and field rows. Median of 20 runs each, tablet and phone, offscreen.
#include "forms/DetailForms.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/LocalTimeZone.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/store/StoreStack.h"
#include "widgets/PopoverController.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int ColumnCount = 200;
constexpr int Runs = 20;
constexpr qint64 WaitLimitMs = 20000;

class RowsController : public BaseDataController, public RowFormDataController {
public:
    const Rows::Columns& Columns() const override { return columns; }
    const Rows::Password& secret() const override { return password; }
    QVariantList getAutoCompleteValues(const QString&) override { return {}; }
    Rows::Columns columns;
    Rows::Password password;
};

class HostScreen : public BaseViewController {
public:
    void use(std::shared_ptr<BaseDataController> controller) { setDataController(controller); }
    void initProperties() override { }
};

// Notes the first paint of a widget inside the watched one.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted && matches(watched))
            painted = true;
        return false;
    }
    bool matches(QObject* object) const
    {
        for (QObject* walk = object; walk; walk = walk->parent()) {
            if (className && walk->inherits(className))
                return true;
            if (root && walk == root)
                return true;
        }
        return false;
    }
    const char* className = nullptr;
    QObject* root = nullptr;
    bool painted = false;
};

bool waitForPaint(PaintWatch& watch)
{
    QElapsedTimer limit;
    limit.start();
    while (!watch.painted && limit.elapsed() < WaitLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return watch.painted;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Table {
    std::shared_ptr<RowsController> controller = std::make_shared<RowsController>();
    Rows* row = nullptr;
    QStringList captions;
    QStringList texts;
};

Table makeTable()
{
    Table table;
    const QStringList& types = TypeConstants::allTypes();
    QVariantMap values;
    for (int i = 0; i < ColumnCount; ++i) {
        const QString type = types.at(i % types.size());
        TemplateColumn* column = TemplateColumn::add(QStringLiteral("T"));
        column->setName(QStringLiteral("Column %1").arg(i));
        column->setType(type);
        column->setPrecision(2);
        column->setListvalues(QStringLiteral("Alpha,Beta,Gamma"));
        (void)column->saveTemplateColumn();
        table.controller->columns << column;
        QVariant value;
        if (TypeConstants::isDate(type))
            value = QDateTime(QDate(2026, 1, 1 + i % 28), QTime(10, i % 60));
        else if (TypeConstants::isNumber(type))
            value = 1000.25 + i;
        else if (TypeConstants::isBoolean(type))
            value = i % 2 == 0;
        else if (TypeConstants::isList(type))
            value = QStringLiteral("Beta");
        else
            value = QStringLiteral("Value of column %1").arg(i);
        values.insert(column->id().toString(), value);
        table.captions << column->name().toString();
        table.texts << column->getStringValue(value);
    }
    table.row = Rows::add(QStringLiteral("U"));
    table.row->updateData(values, table.controller->columns, table.controller->password);
    (void)table.row->saveRows();
    return table;
}

// One opening of the form; its view's size through `size`.
double openForm(HostScreen* host, platform::ui::NavigationController* navigation,
    const Table& table, QSize* size)
{
    PaintWatch watch;
    watch.className = "FormTableView";
    qApp->installEventFilter(&watch);
    table.controller->setLastClickedButton(BaseDataController::EditAction);
    table.controller->setDetailRowInAction(RowObject::fromObject(table.row));
    const QVariantMap values
        = table.row->getData(table.controller->columns, table.controller->password);
    QElapsedTimer timer;
    timer.start();
    host->ShowDetail(values, QStringLiteral("GenericTemplateDetailViewController"), {});
    const bool painted = waitForPaint(watch);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    qApp->removeEventFilter(&watch);
    platform::ui::ViewController* form = navigation->topViewController() != host
        ? navigation->topViewController()
        : (host->popupController() ? host->popupController()->contentViewController() : nullptr);
    if (form && size)
        *size = form->view()->size();
    if (navigation->topViewController() != host)
        navigation->popToRootViewController(false);
    host->dismissPopup();
    settle();
    return painted ? seconds : -1;
}

double openReference(const Table& table, const QSize& size)
{
    PaintWatch watch;
    QElapsedTimer timer;
    timer.start();
    auto* area = new QScrollArea();
    watch.root = area;
    qApp->installEventFilter(&watch);
    area->resize(size);
    auto* content = new QWidget();
    auto* layout = new QFormLayout(content);
    for (int i = 0; i < table.captions.size(); ++i)
        layout->addRow(new QLabel(table.captions.at(i)), new QLineEdit(table.texts.at(i)));
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->show();
    const bool painted = waitForPaint(watch);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    qApp->removeEventFilter(&watch);
    delete area;
    settle();
    return painted ? seconds : -1;
}

void runDevice(const QString& device, const Table& table)
{
    if (!platform::ui::Device::current().selectModel(device))
        return;
    auto navigation = std::make_unique<platform::ui::NavigationController>();
    auto* host = new HostScreen();
    host->use(table.controller);
    auto link = std::make_shared<Parent>();
    host->setParentLink(link);
    navigation->pushViewController(host, false);
    auto& application = platform::ui::Application::shared();
    application.setRootViewController(navigation.get());
    application.makeKeyAndVisible();
    settle();

    std::vector<double> ours;
    std::vector<double> reference;
    QSize size;
    // One opening first, so both sides start warm.
    openForm(host, navigation.get(), table, &size);
    openReference(table, size);
    for (int run = 0; run < Runs; ++run) {
        ours.push_back(openForm(host, navigation.get(), table, nullptr));
        reference.push_back(openReference(table, size));
    }
    const double a = median(ours);
    const double b = median(reference);
    std::printf("%-7s form %dx%d: row form %.1f ms, QScrollArea+QFormLayout %.1f ms, ratio %.2f "
                "(median of %d)\n",
        qUtf8Printable(device), size.width(), size.height(), a * 1000, b * 1000, b > 0 ? a / b : -1,
        Runs);
    std::fflush(stdout);
    application.reset();
    navigation.reset();
    settle();
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("KIVOTAB_HOME", home.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::LocalTimeZone::pin();
    QApplication app(argc, argv);
    platform::ui::Animation::setInstant(true);
    KivoAppDelegate delegate;
    Preferences::registerDefaults();
    delegate.setCurrentStyle(Theme::getDefaultTheme());
    ModelRegistry::registerClasses();
    platform::Error error;
    StoreStack::install(StoreStack::open(home.path() + "/Kivotab.sqlite", {}, &error));
    if (!StoreStack::instance()) {
        std::fprintf(stderr, "no store: %s\n", qUtf8Printable(error.localizedDescription()));
        return 1;
    }
    DetailForms::registerAll();
    const Table table = makeTable();
    runDevice(QStringLiteral("tablet"), table);
    runDevice(QStringLiteral("phone"), table);
    StoreStack::install(nullptr);
    return 0;
}
