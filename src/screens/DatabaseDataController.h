#pragma once

#include "grid/ColumnTableDataController.h"
#include "screens/CloudTableDataController.h"
#include "screens/StoreCommands.h"
#include "utilities/shell/FileBrowserProtocol.h"

#include <QSizeF>
#include <QStringList>

class Database;

// The databases screen, the application's first: every database of the store, added,
// edited and deleted here (the system database neither edited nor deleted), and the
// application's options: preferences, the local file browser, backup, restore and the
// iCloud commands. A database's row makes that database the open one and opens its Home.
class DatabaseDataController : public CloudTableDataController,
                               public ColumnTableDataController,
                               public FileBrowserProtocol {
    Q_OBJECT
public:
    DatabaseDataController();
    ~DatabaseDataController() override;

    // The grid.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // The column table's headers, widths and a row's values.
    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    void searchData(const QString& text) override;
    void tapOnDisclosure(qint64 index) override;

    // Rows.
    void addRow() override;
    void editTouched(platform::ui::Control* sender) override;
    void removeTouched(platform::ui::Control* sender) override;
    // The database edited in the form: a name, unique among the databases, and a
    // description, else every failure in one message and nothing saved.
    bool saveRow(const QVariant& row) override;
    // Only a database that holds no table, or one empty table, goes: with the table, in
    // one commit. Otherwise "Database in use." and nothing changes. Deleting the open
    // database makes the system database the default one.
    bool deleteRow() override;

    // The options.
    void settingsTouched(platform::ui::Control* sender) override;
    void handleSettingsSelection(qint64 index);
    // The option texts and their images: four without iCloud, five with iCloud off, eight
    // with it on.
    struct Options {
        QStringList texts;
        QStringList images;
    };
    static Options options(bool cloudAvailable, bool cloudEnabled);
    // The options popup on a tablet, for that many entries.
    static QSizeF optionsPopupSize(qsizetype entries);

    // Backup, restore and iCloud.
    void backup();
    void restore();
    void backupRestore(const QString& path);
    void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& entry, platform::ui::ViewController* sender) override;
    void resetDatabase();
    void resetDatabaseOniCloudChange();
    void enableDisableiCloud(bool overwrite);
    void rebuildiCloud();
    void cleariCloud();
    int backupRestoreMode() const { return m_commands.backupRestore(); }

    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;

private:
    Database* selectedDatabase() const;
    Database* rowAt(qint64 index) const;

    StoreCommands m_commands;
};
