#pragma once

#include "forms/RowFormDataController.h"
#include "grid/ColumnTableDataController.h"
#include "grid/UserTableRows.h"
#include "model/Rows.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "screens/CloudTableDataController.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class ChartDataController;
class GenericTemplateReportController;
class GenericTemplateReportDataSource;
class Template;
class TemplateColumn;
class UserTemplate;

namespace platform::ui {
class AlertView;
}

// The rows of one user table: the table tapped on Home is its link's data. It loads the
// table's columns (once) and rows, gives the grid its tiles and column cells, searches,
// sorts by a header tap, opens the row form, validates and saves a row, stores a tile's
// check mark at once and keeps the rows' reminders in step.
//
// Rows come as faults and are decoded only when a tile or cell shows them. A protected
// table's rows are read and written with the password Home verified, taken from Home's
// data controller at the first load; without it the table is neither read nor written.
// The table's protection may change on another machine while it is open: each reload and
// each write go by the protection the table has then (a table protected meanwhile under a
// password this screen lacks is locked; one unprotected meanwhile is written in the
// clear), and rows another machine left in the other form are re-stored in the table's
// with the password held here. A table locked so says why and asks for its password, as
// Home does when it opens a protected table; an open row form keeps what was typed, and
// a Save refused for want of the password is made once it is given. Its share button
// opens the table's export menu.
class GenericTemplateDataController : public CloudTableDataController,
                                      public RowFormDataController,
                                      public ColumnTableDataController,
                                      public GenericTemplateDataControllerProtocol {
    Q_OBJECT
public:
    GenericTemplateDataController();
    ~GenericTemplateDataController() override;

    // The user table (the link's data) and its definition.
    UserTemplate* userTemplate() const override;
    virtual Template* getTemplate() const;
    // The table's password: what its rows are read with. It is held on when the table is
    // unprotected elsewhere meanwhile, so rows still encrypted read; writes go by
    // writePassword().
    const Rows::Password& secret() const override { return m_password; }
    // What a row is written with now: the password while the table is protected, none
    // once it is not.
    Rows::Password writePassword() const;
    // A protected table whose password this controller does not have.
    bool isLocked() const { return m_locked; }

    // Every column of the definition, in order; those of the column table, of a tile, and
    // the Yes/No column a tile shows as a check mark (or null).
    const Rows::Columns& Columns() const override { return m_columns; }
    const Rows::Columns& tableColumns() const { return m_tableColumns; }
    const Rows::Columns& tilesColumns() const { return m_tilesColumns; }
    TemplateColumn* booleanColumn() const { return m_booleanColumn; }

    // Loads the columns once, and again when the store went with them, after an import and
    // on Refresh: the initial sorts come from the columns' sort fields, the searched columns
    // are every column but Protected ones, the tiles per row from the definition.
    void loadColumns(const QString& templateId);

    // The grid.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // The rows ahead are decoded on a pool thread before their tiles ask; the first ask
    // (the first rows are drawn) lets the search texts be made.
    void prefetchRows(qint64 first, qint64 count) override;
    QString getImage() override;
    QString getTitle() override;
    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    QStringList searchbarBookmarkImage() override;
    void searchBarBookmarkClicked() override;
    void tapOnDisclosure(qint64 index) override;
    void searchData(const QString& text) override;
    QVariantList matchingRows(const QVariantList& rows, const SearchBlock& block) override;
    // Reads the columns again, then the rows.
    void refresh(platform::ui::Control* sender) override;
    // After an import too: the definition may have changed on another machine.
    void cloudStoreLoaded() override;
    // The store goes away: nothing decoded from it is kept.
    void cloudStoreUnloaded() override;

    // The rows as read, with what searches and sorts keep of them.
    const UserTableRows& tableRows() const { return m_tableRows; }

    // The row at the index (active rows), and its values by column id.
    Rows* rowAt(qint64 index) const;
    QVariantMap rowValues(qint64 index);
    // Whether the row at the index could not be read (encrypted under a password this
    // screen does not hold, or no JSON object): its tile and cells say so, and it is
    // neither opened nor written.
    bool isRowUnreadable(qint64 index);

    // Rows.
    void addRow() override;
    void editRow() override;
    // The row form's values: a chart definition after the chart button; else checked and
    // stored in the row being edited. Refused values leave the stored row as it was.
    bool saveRow(const QVariant& values) override;
    bool updateAndSaveRow(const QVariantMap& values);
    bool deleteRow() override;
    // Says which columns break a rule; true when none does.
    bool isRowValid(const QVariantMap& values);
    // The names of the columns whose values break a rule, in column order: a mandatory
    // column without a value (or with an empty text), a Text or BigText longer than its
    // length.
    QStringList validateRow(const QVariantMap& values) override;
    void detailTouched(platform::ui::Control* sender) override;
    // Stores a tile's check mark in its row at once; false when it could not be stored.
    bool checkMarkTouched(qint64 index, bool checked);
    // Sorts by the column of the header: the same header again turns its direction,
    // another header sorts by that column alone, descending. Not while searching, never by
    // a Protected column.
    void headerLabelTouched(qint64 column) override;
    bool respondsToHeaderLabelTouched() const override { return true; }
    void filterTouched(platform::ui::Control* sender) override;
    void sortTouched(platform::ui::Control* sender) override;
    void chartTouched(platform::ui::Control* sender) override;
    // The export menu of the rows shown, over this screen.
    void shareTouched(platform::ui::Control* sender) override;
    // Draws the chart of the definition (or says why there is none); the form may close.
    virtual bool plotChart(const QVariantMap& definition);
    // The distinct values the rows hold in the column; none for a Protected column.
    QVariantList getAutoCompleteValues(const QString& columnId) override;

    // Reminders.
    void scheduleNotifications();
    void deleteNotifications(const QString& rowId);
    // The table was found protected under a password this screen does not hold: asks
    // for it with Home's prompt (one at a time), first saying that the table has been
    // protected meanwhile when `sayProtected`.
    void askForPassword(bool sayProtected);
    // The prompt's answer: a password that holds for the table opens it again, and a
    // Save refused while it was locked is made.
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;

    // Rebuilds the reminders of the rows shown on a later turn of the main queue, at the
    // earliest after the delay.
    void rebuildNotifications(int delayMs = 0);
    // The reminders of every row of the table, rebuilt now.
    void rebuildAllNotifications() override;

    // The tiles per row of a definition's stored count: 1 to 4, anything else the
    // nearest of them (unset counts as 1).
    static unsigned tilesPerRow(const QVariant& stored);

    // How long after a protected table opens its reminders are rebuilt: the rebuild reads
    // every row, which must not hold back the first tiles.
    static constexpr int ReminderRebuildDelayMs = 500;
    // How long after a load the rows' search texts are begun at the latest when no grid
    // has asked for rows ahead (it does once its first rows are drawn).
    static constexpr int SearchTextsLatestMs = 1000;

    // What a tile shows for a Protected value.
    static const QString HiddenValue; // nine black circles
    // What the tile and first cell of a row that could not be read show, and what an
    // attempt to open or change it is told.
    static const QString UnreadableRow;
    static const QString UnreadableRowRefused;
    // What an open table protected meanwhile says before it asks for the password.
    static const QString ProtectedMeanwhile;
    static const QString ChartDetailViewController; // "ChartDetailViewController"
    static const QString SearchColumnSelectorDetailViewController;

private:
    // The test of a search of the table: the folded text in the columns at the positions
    // (of the searchable ones).
    struct RowSearch {
        UserTableRows* rows;
        QString folded;
        QList<int> positions;
        bool operator()(const QVariant& row) const;
    };

    bool columnsAreLive() const;
    // Lets go of the columns, deleted with their store, and of what was made with them.
    void forgetColumns();
    void stopFollowingColumns();
    void takePassword(const std::shared_ptr<Parent>& parent, UserTemplate* table);
    // Goes by the table's protection as it stands now: locked when it is protected under a
    // password this screen does not hold, open otherwise. Whether it is open.
    bool followProtection(UserTemplate* table);
    Rows* detailRow() const;
    // An Add form's row, of the store in use, when the one it was opened with went with
    // its store; null otherwise.
    Rows* rowBeingAddedAgain();
    // Refuses when the table is locked (as its protection stands now), and asks for the
    // password.
    bool refuseLocked();
    void passwordAnswered(const QString& typed);
    // Refuses with a message when the stored row does not read.
    bool refuseUnreadable(Rows* row);

    QPointer<UserTemplate> m_userTemplate;
    Rows::Columns m_columns;
    QList<QPointer<TemplateColumn>> m_columnGuards;
    Rows::Columns m_tableColumns;
    Rows::Columns m_tilesColumns;
    TemplateColumn* m_booleanColumn = nullptr;
    bool m_columnsLoaded = false;
    // Read the columns again at the next load.
    bool m_columnsStale = false;
    Rows::Password m_password;
    bool m_passwordTaken = false;
    // The table's check value the password was last found to open.
    QString m_verifiedCheck;
    // Whether the next load looks for rows left in the other form than the table's.
    bool m_lookForOtherForm = true;
    bool m_locked = false;
    QPointer<platform::ui::AlertView> m_passwordPrompt;
    // A row form's Save was refused for want of the password: it is made once given.
    bool m_saveAwaitsPassword = false;
    bool m_rebuildNotifications = false;
    // The id of the row the last Add made.
    QString m_addingRowId;
    UserTableRows m_tableRows;
    std::shared_ptr<GenericTemplateReportDataSource> m_reportDataSource;
    std::shared_ptr<GenericTemplateReportController> m_reportController;
    std::shared_ptr<ChartDataController> m_chartDataController;
};
