#pragma once

#include "grid/ColumnTableDataController.h"
#include "model/Rows.h"
#include "screens/CloudTableDataController.h"
#include "screens/StoreCommands.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/shell/FileBrowserProtocol.h"

#include <QSizeF>
#include <QStringList>

class Database;
class UserTemplate;

// Home: the user tables of the open database, added, edited, deleted and reordered here,
// each opening its rows; a protected table opens only after its password. Its settings
// menu leads to the reminders, the preferences, the databases, the table definitions, the
// default tables, the colours, the file browser, backup and restore.
//
// Protection: a table is protected by a password its rows are stored encrypted with. The
// password is never stored, only a check phrase encrypted with it. Protecting and
// unprotecting store every row anew in one transaction under the overlay: all rows or
// none.
class MainDataController : public CloudTableDataController,
                           public ColumnTableDataController,
                           public FileBrowserProtocol {
    Q_OBJECT
public:
    MainDataController();
    ~MainDataController() override;

    // The password typed for the table being opened (or protected); none after a tap on
    // another table. The opened table's rows take it at their first load.
    const Rows::Password& secret() const { return m_password; }
    // The password typed for the table when it holds for it: checked against the table's
    // stored check value once, when typed (the check derives a key, which is slow), and
    // again only when that check value has changed since.
    Rows::Password verifiedSecret(const UserTemplate* table) const;
    // The database Home shows; null while the store is not loaded.
    Database* currentDatabase() const;

    // The grid.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    void searchData(const QString& text) override;
    // The column table's headers, widths and a row's values.
    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    // Opens the tapped table; a protected one asks for its password first (a new one
    // twice when it has none yet).
    void tapOnDisclosure(qint64 index) override;
    // Reloads; rows of the table whose protection was last changed here that another
    // machine wrote in the old form meanwhile arrive with it, and are re-stored in the
    // table's form with the password of that change.
    void cloudStoreLoaded() override;

    // Tables.
    void addRow() override;
    bool saveRow(const QVariant& row) override;
    bool deleteRow() override;
    // The tiles were dragged into a new order: the orders become 0, 1, 2, ...
    void itemsReorderd() override;
    bool respondsToItemsReorderd() const override { return true; }
    OrderedDictionary getOrderingData() const override;
    bool onOrderingComplete(const QStringList& ids) override;
    bool respondsToOnOrderingComplete() const override { return true; }

    // The settings menu.
    void settingsTouched(platform::ui::Control* sender) override;
    void handleSettingsSelection(qint64 index);
    struct Options {
        QStringList texts;
        QStringList images;
    };
    static Options options();
    static QSizeF optionsPopupSize(qsizetype entries);
    // Adds, in the open database, a table for every default definition not used yet.
    void addDefaultTemplates();

    // Backup and restore.
    void backup();
    void restore();
    void fileBrowseCompleted(
        const std::shared_ptr<FileInfo>& entry, platform::ui::ViewController* sender) override;

    // Help: the bundled user guide in the file preview (toolbar 25), the product's online
    // help page pushed in the in-app browser, and the tutorial video (33) in a popup.
    void helpTouched(platform::ui::Control* sender) override;
    void showLocalHelp();
    void showOnlineHelp();
    void videoTouched(platform::ui::Control* sender) override;
    // Shows the video at the address a moment later, once the touch has ended.
    void showVideo(const QString& address);
    void showpopupAfterDely(const QString& address);

    static const QString OnlineHelpPage; // "Products/Kivotab/Kivotab.aspx"
    static const QString VideoTitle; // "Kivotab"
    static constexpr int VideoDelayMs = 100;

    // Protection of the selected table.
    void promptPassword(int tag);
    // The prompt of the tag, not shown yet: its title, an empty message, Cancel and Ok, and
    // a hidden text field. A table's rows screen asks for the password with it too.
    static platform::ui::AlertView* passwordPrompt(int tag);
    bool verifyPassword(const QString& text) const;
    bool savePassword();
    void protect();
    void unprotect();
    void protectRowsWithHud();
    void unprotectRowsWithHud();
    // Stores every row of the selected table encrypted with the password (protect), or
    // in the clear (unprotect), in one commit; nothing changes on failure, which is shown.
    bool protectRows();
    bool unprotectRows();

    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;

    // The full reminder rebuild, once per process, this long after the first load that
    // finds the setting on (milliseconds; two minutes).
    static void setReminderResetDelay(int milliseconds);
    // Forgets what the process keeps (tests).
    static void resetProcessState();

    static constexpr int CreatePasswordTag = 100;
    static constexpr int RetypePasswordTag = 101;
    static constexpr int OpenPasswordTag = 200;
    static constexpr int UnprotectPasswordTag = 300;
    static constexpr int ProtectPasswordTag = 301;
    static constexpr int RetypeProtectPasswordTag = 302;
    static constexpr int DefaultTemplatesTag = 402;

private:
    UserTemplate* selectedTable() const;
    UserTemplate* rowAt(qint64 index) const;
    void openSelectedTable();
    void passwordAnswered(int tag, const QString& text);
    void reencryptWithHud(bool protect);
    bool changeProtection(bool protect);
    void rebuildNotfications();

    void noteVerified();

    Rows::Password m_password;
    // The table whose protection was last changed here with m_password, until another
    // table is tapped.
    QString m_protectionChanged;
    // The table and check value the password was last found to hold for.
    QString m_verifiedTable;
    QString m_verifiedCheck;
    StoreCommands m_commands;
};
