#pragma once

#include "common/TestSupport.h"
#include "grid/ExportMenuHost.h"
#include "grid/RowObject.h"
#include "grid/TableDataController.h"
#include "model/ModelFixture.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/GenericTemplateReportController.h"
#include "reports/GenericTemplateReportDataSource.h"
#include "reports/ReportController.h"
#include "utilities/shell/FileBrowserProtocol.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"
#include "utilities/store/KivoLibContext.h"

#include <QDir>
#include <QFile>
#include <QSizeF>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace reporttest {

// A user table's rows data controller as the export menu sees it: the table's columns,
// its rows in stored order, the password it was given, and the two rules of a row.
class TableController : public TableDataController, public GenericTemplateDataControllerProtocol {
    Q_OBJECT
public:
    const QList<TemplateColumn*>& Columns() const override { return tableColumns; }
    UserTemplate* userTemplate() const override { return table; }
    const Rows::Password& secret() const override { return password; }
    // A mandatory column needs a value (a text one a non-empty one); a Text or BigText
    // value is no longer than the column's length, when it has one.
    QStringList validateRow(const QVariantMap& values) override
    {
        QStringList invalid;
        for (TemplateColumn* column : tableColumns) {
            const QVariant value = values.value(column->id().toString());
            const bool isText = TypeConstants::isText(column->typeName());
            const bool missing = !value.isValid() || (isText && value.toString().isEmpty());
            if (column->mandatory().toBool() && missing) {
                invalid << column->name().toString();
                continue;
            }
            const int length = column->length().toInt();
            if ((column->typeName() == TypeConstants::Text
                    || column->typeName() == TypeConstants::BigText)
                && length > 0 && value.toString().size() > length)
                invalid << column->name().toString();
        }
        return invalid;
    }
    void rebuildAllNotifications() override
    {
        ++rebuilds;
        if (!platform::dispatch::isMainThread())
            ++rebuildsOffMainThread;
        if (failRebuild)
            throw std::runtime_error("no reminders today");
    }
    void loadData(const std::shared_ptr<Parent>&) override
    {
        QVariantList rows;
        if (table) {
            for (Rows* row : Rows::getRowFaults(table->id().toString()))
                rows.append(RowObject::fromObject(row));
        }
        setRows(rows);
    }

    QList<TemplateColumn*> tableColumns;
    UserTemplate* table = nullptr;
    Rows::Password password;
    int rebuilds = 0;
    int rebuildsOffMainThread = 0;
    bool failRebuild = false;
};

// One file-browser request of the menu.
struct BrowserRequest {
    bool cloud = false;
    bool save = false;
    QString defaultFileName;
    QString type;
    QString startupDir;
    QString title;
    FileBrowserProtocol* delegate = nullptr;
};

// The grid screen that opens the menu: it counts its overlay's busy periods, keeps the
// menu list and the browser requests it was asked for, and reloads its controller.
class FakeHost : public platform::ui::ViewController, public ExportMenuHost {
    Q_OBJECT
public:
    explicit FakeHost(std::shared_ptr<TableController> controller)
        : controller(std::move(controller))
    {
        setTitle(QStringLiteral("Clients"));
        if (this->controller)
            this->controller->setViewController(this);
    }

    platform::ui::ViewController* hostViewController() override { return this; }
    QObject* hostDataController() override { return controller.get(); }
    void showHud() override { ++hudShown; }
    void hideHud() override { ++hudHidden; }
    void showListMenu(const QString& title, const QStringList& texts, const QStringList& images,
        const QSizeF& popupSize, std::function<void(qint64)> select) override
    {
        menuTitle = title;
        menuTexts = texts;
        menuImages = images;
        menuSize = popupSize;
        menuSelect = std::move(select);
    }
    void dismissListMenu() override { ++menuDismissals; }
    void showLocalFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate) override
    {
        browsers.append({ false, save, defaultFileName, type, startupDir, title, delegate });
    }
    void showCloudFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString& startupDir, const QString& title, FileBrowserProtocol* delegate) override
    {
        browsers.append({ true, save, defaultFileName, type, startupDir, title, delegate });
    }
    void refreshView() override
    {
        ++refreshes;
        if (controller)
            controller->loadData(nullptr);
    }

    // Every busy period that began has ended.
    bool idle() const { return hudShown > 0 && hudShown == hudHidden; }

    std::shared_ptr<TableController> controller;
    int hudShown = 0;
    int hudHidden = 0;
    QString menuTitle;
    QStringList menuTexts;
    QStringList menuImages;
    QSizeF menuSize;
    std::function<void(qint64)> menuSelect;
    int menuDismissals = 0;
    QList<BrowserRequest> browsers;
    int refreshes = 0;
};

// A store with user tables made from one definition, a rows screen over one of them on
// the window's navigation stack, and its export menu.
struct ReportTest : modeltest::ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        ReportController::setFileOpener([this](const QString& path) { opened << path; });
    }

    void TearDown() override
    {
        platform::dispatch::waitForGlobal();
        testsupport::processEvents(20);
        menu.reset();
        navigation.reset();
        controller.reset();
        ReportController::setFileOpener({});
        ModelTest::TearDown();
    }

    // A column of the table definition, saved.
    TemplateColumn* addColumn(const QString& name, const QString& type, bool mandatory = false,
        int length = 0, int precision = 2)
    {
        TemplateColumn* made = column(definition, name, type, precision);
        made->setMandatory(mandatory);
        made->setLength(length);
        EXPECT_TRUE(made->saveTemplateColumn());
        columns.append(made);
        return made;
    }

    // A new table of the definition, saved; protected with the password when one is given.
    UserTemplate* addTable(const QString& name, const Rows::Password& password = std::nullopt)
    {
        UserTemplate* table = UserTemplate::add(QStringLiteral("DB"));
        table->setTemplate_id(definition);
        table->setName(name);
        EXPECT_TRUE(table->saveUserTemplate());
        if (password) {
            QString message;
            EXPECT_TRUE(table->changeProtection(std::nullopt, password, columns, &message))
                << message.toStdString();
        }
        return table;
    }

    // Rows of the values (column name to value), stored in one commit.
    void storeRows(UserTemplate* table, const QList<QVariantMap>& rows,
        const Rows::Password& password = std::nullopt)
    {
        for (const QVariantMap& byName : rows) {
            QVariantMap values;
            for (auto it = byName.begin(); it != byName.end(); ++it)
                values.insert(key(it.key()), it.value());
            Rows* row = Rows::add(table->id().toString());
            row->updateData(values, columns, password);
            KivoLib::insertEntity(row);
        }
        ASSERT_TRUE(KivoLib::commit());
    }

    QString key(const QString& columnName) const
    {
        for (TemplateColumn* c : columns) {
            if (c->name().toString() == columnName)
                return c->id().toString();
        }
        return {};
    }

    // Each stored row's values, in stored order.
    QList<QVariantMap> storedValues(
        UserTemplate* table, const Rows::Password& password = std::nullopt)
    {
        QList<QVariantMap> values;
        for (Rows* row : Rows::getRows(table->id().toString(), columns, {}, {}, password))
            values.append(row->getData(columns, password));
        return values;
    }

    // The rows screen of the table with its export menu (the user table's, with import).
    void open(UserTemplate* table, const Rows::Password& password = std::nullopt)
    {
        controller = std::make_shared<TableController>();
        controller->tableColumns = columns;
        controller->table = table;
        controller->password = password;
        navigation = std::make_unique<platform::ui::NavigationController>();
        host = new FakeHost(controller);
        navigation->pushViewController(host, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
        controller->loadData(nullptr);
        source = std::make_shared<GenericTemplateReportDataSource>(controller.get());
        menu = GenericTemplateReportController::create(host, source);
    }

    // Runs the action of the code with the chosen file and waits until it has ended.
    void run(unsigned code, const std::shared_ptr<FileInfo>& file = nullptr)
    {
        const int before = host->hudShown;
        menu->setLastClickedButton(code);
        menu->fileBrowseCompleted(file, nullptr);
        waitUntilIdle(before);
    }

    void waitUntilIdle(int busyBefore = 0)
    {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return host->hudShown > busyBefore && host->hudShown == host->hudHidden; },
            120000))
            << "the busy overlay did not end";
        testsupport::processEvents(20);
    }

    // A file entry of Documents (or of the folder given), as a save browser makes it.
    static std::shared_ptr<FileInfo> documentsFile(const QString& name, const QString& folder = {})
    {
        auto file = std::make_shared<FileInfo>();
        file->name = name;
        file->parent = FileManager::getHomeDirectory();
        file->fullName
            = QDir(folder.isEmpty() ? FileManager::documentsDirectory() : folder).filePath(name);
        return file;
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList alertMessages()
    {
        QStringList messages;
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            messages << alert->message();
        return messages;
    }

    static void dismissAlerts()
    {
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(10);
    }

    const QString definition = QStringLiteral("5D1C4B3A-2E6F-4A8B-9C0D-1E2F3A4B5C6D");
    QList<TemplateColumn*> columns;
    std::shared_ptr<TableController> controller;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    FakeHost* host = nullptr;
    std::shared_ptr<GenericTemplateReportDataSource> source;
    std::shared_ptr<GenericTemplateReportController> menu;
    QStringList opened;
};

} // namespace reporttest
