#pragma once

#include "grid/DataControllerPtotocol.h"
#include "grid/ToolBarAction.h"
#include "platform/ui/AlertView.h"
#include "widgets/HorizontalPickerViewDataSource.h"
#include "widgets/HorizontalPickerViewDelegate.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <functional>
#include <memory>

class FilterExtended;
class GridScreenProtocol;
class MatrixResponse;
class Parent;
class ResponseTable;
class SingleResponse;
class Sort;

namespace platform::ui {
class ViewController;
}

// The common base of every screen's data controller: it holds what the grid shows (the
// rows, the rows matching the current search, the desktop-server reply and the table of
// it being shown, filters and sorts), answers the grid's row questions, and is the
// target of every toolbar button. Each action records its button code in
// lastClickedButton and calls the matching hook (DataControllerPtotocol); an exception
// in the hook is shown, and the code stays. It is also the data source and delegate of
// the grid's page picker, which has no pages until a controller of paged tables says so.
// Held by std::shared_ptr; main thread only.
class BaseDataController : public QObject,
                           public ToolBarAction,
                           public DataControllerPtotocol,
                           public platform::ui::AlertViewDelegate,
                           public HorizontalPickerViewDataSource,
                           public HorizontalPickerViewDelegate {
    Q_OBJECT
public:
    // A search's test of one row.
    using SearchBlock = std::function<bool(const QVariant& row)>;

    BaseDataController();
    ~BaseDataController() override;

    // Action codes (the toolbar buttons' tags); mail records share's code.
    enum ActionCode : unsigned {
        AddAction = 1,
        EditAction = 2,
        RemoveAction = 3,
        SearchAction = 7,
        ScriptAction = 8,
        DependentAction = 10,
        ReferenceAction = 11,
        HomeAction = 12,
        SizeAction = 13,
        StartAction = 14,
        StopAction = 15,
        NoteAction = 16,
        HistoryAction = 17,
        UnlockAction = 18,
        UndoAction = 19,
        CheckoutAction = 21,
        PauseAction = 22,
        RestartAction = 23,
        SuspendAction = 24,
        HelpAction = 25,
        CalendarAction = 26,
        DetailAction = 27,
        SettingsAction = 28,
        AddeditdeleteAction = 30,
        SaveAction = 31,
        OpenAction = 32,
        VideoAction = 33,
        QuickstartAction = 34,
        ExpandcollapseAction = 35,
        SortAction = 36,
        ColumnsAction = 37,
        OrderAction = 38,
        ChartAction = 39,
        MailAction = 40,
        ShareAction = 40,
        FilterAction = 41,
        ApplyAction = 42,
        SendicloudAction = 43,
        DatabaseAction = 44,
    };

    // The last desktop-server reply (a MatrixResponse or a SingleResponse).
    std::shared_ptr<SingleResponse> response() const { return m_response; }
    void setResponse(std::shared_ptr<SingleResponse> response) { m_response = std::move(response); }
    std::shared_ptr<MatrixResponse> matrixResponse() const;
    std::shared_ptr<SingleResponse> singleResponse() const { return m_response; }
    // The table of the reply the grid shows.
    std::shared_ptr<ResponseTable> table() const { return m_table; }
    void setTable(std::shared_ptr<ResponseTable> table) { m_table = std::move(table); }

    // The rows (row objects, see RowObject). Replacing them while a search is active
    // searches the new rows again, so rows that went do not stay on screen.
    const QVariantList& rows() const { return m_rows; }
    void setRows(QVariantList rows);
    // Moves one row within rows (a drag); false, changing nothing, for an index out of
    // range or while a search is active (the indexes would be the search's).
    bool moveRow(qint64 from, qint64 to);
    // The rows matching the current search.
    const QVariantList& searchRows() const { return m_searchRows; }
    void setSearchRows(QVariantList rows) { m_searchRows = std::move(rows); }
    bool isSearchActive() const { return m_isSearchActive; }
    // Ending a search also forgets its test.
    void setIsSearchActive(bool active);
    // Searches the rows with the test: the matches become searchRows and the search is
    // active until it ends.
    void applySearch(SearchBlock block);
    // The rows the test passes, in their order: each row tested in turn, unless a
    // controller knows a quicker way to the same answer.
    virtual QVariantList matchingRows(const QVariantList& rows, const SearchBlock& block);
    // Ends the search. The row selected among the matches (an index into searchRows) is
    // found again among all rows: the answer is its index there, or -1 when there was
    // none or it is gone.
    qint64 endSearch(qint64 selectedRow);

    QList<std::shared_ptr<FilterExtended>>& filters() { return m_filters; }
    QList<std::shared_ptr<Sort>>& sorts() { return m_sorts; }
    bool queryChanged() const { return m_queryChanged; }
    void setQueryChanged(bool changed) { m_queryChanged = changed; }
    unsigned lastClickedButton() const { return m_lastClickedButton; }
    void setLastClickedButton(unsigned code) { m_lastClickedButton = code; }
    // Titles of the table picker, one per table of the reply.
    QStringList& pickerData() { return m_pickerData; }
    // Left for a following screen or form.
    QVariant extraData() const { return m_extraData; }
    void setExtraData(const QVariant& data) { m_extraData = data; }
    // The grid screen that owns this controller (held weakly).
    platform::ui::ViewController* viewController() const;
    void setViewController(platform::ui::ViewController* controller);
    // The owning screen as a main grid screen; null when it is none (or gone).
    GridScreenProtocol* mainGridViewController() const;
    // The detail form opened last (held weakly).
    platform::ui::ViewController* lastDetailViewController() const;
    void setLastDetailViewController(platform::ui::ViewController* controller);
    // A detail form is made off the main thread: between the ask and its showing the
    // screen counts it as coming.
    void detailFormRequested() { ++m_detailFormsComing; }
    void detailFormArrived() { m_detailFormsComing = std::max(0, m_detailFormsComing - 1); }
    // Whether a detail form is open (the last one shown is still there) or on its way.
    bool isDetailFormOpenOrComing() const;
    QVariant detailRowInAction() const { return m_detailRowInAction; }
    void setDetailRowInAction(const QVariant& row) { m_detailRowInAction = row; }
    QVariantMap& searchColumns() { return m_searchColumns; }
    // Tiles per row from the columns menu (1 to 4); 0 leaves the layout's own count.
    unsigned ipadColumns() const { return m_ipadColumns; }
    void setIpadColumns(unsigned columns) { m_ipadColumns = columns; }

    // Row access. The active rows are searchRows while a search is active, else rows.
    qint64 count() const;
    // The active row at the index; invalid for an index out of range.
    QVariant getRowData(qint64 index) const;
    const QVariantList& activeRows() const;
    bool doesRowExist() const;
    void tapOnItem(qint64 index) override;
    qint64 determineSelectedRow() const { return -1; }

    // The value of the column in the row selected on the screen with that id: this
    // screen when it has the id, else the nearest link of the breadcrumb that has it.
    // Invalid when no screen has the id, it has no selection, or the row lacks the column.
    QVariant getColumnValueInScreen(
        const QString& screenId, const QString& column, const std::shared_ptr<Parent>& parent);

    // Toolbar actions (refresh, next, query and checkin are not the base's).
    void add(platform::ui::Control* sender) override;
    void edit(platform::ui::Control* sender) override;
    void remove(platform::ui::Control* sender) override;
    void search(platform::ui::Control* sender) override;
    void script(platform::ui::Control* sender) override;
    void dependent(platform::ui::Control* sender) override;
    void reference(platform::ui::Control* sender) override;
    void size(platform::ui::Control* sender) override;
    void start(platform::ui::Control* sender) override;
    void stop(platform::ui::Control* sender) override;
    void note(platform::ui::Control* sender) override;
    void history(platform::ui::Control* sender) override;
    void unlock(platform::ui::Control* sender) override;
    void undo(platform::ui::Control* sender) override;
    void checkout(platform::ui::Control* sender) override;
    void pause(platform::ui::Control* sender) override;
    void restart(platform::ui::Control* sender) override;
    void suspend(platform::ui::Control* sender) override;
    void help(platform::ui::Control* sender) override;
    void calendar(platform::ui::Control* sender) override;
    void detail(platform::ui::Control* sender) override;
    void settings(platform::ui::Control* sender) override;
    void addeditdelete(platform::ui::Control* sender) override;
    void save(platform::ui::Control* sender) override;
    void open(platform::ui::Control* sender) override;
    void video(platform::ui::Control* sender) override;
    void quickstart(platform::ui::Control* sender) override;
    void expandcollapse(platform::ui::Control* sender) override;
    void sort(platform::ui::Control* sender) override;
    void columns(platform::ui::Control* sender) override;
    void order(platform::ui::Control* sender) override;
    void chart(platform::ui::Control* sender) override;
    void mail(platform::ui::Control* sender) override;
    void share(platform::ui::Control* sender) override;
    void filter(platform::ui::Control* sender) override;
    void apply(platform::ui::Control* sender) override;
    void sendicloud(platform::ui::Control* sender) override;
    void database(platform::ui::Control* sender) override;
    // Records 12 and calls homeTouched, uncaught.
    void home(platform::ui::Control* sender) override;
    // Without a hook of its own: the owning screen returns to the root screen.
    void homeTouched(platform::ui::Control* sender) override;

protected:
    // Records the code, then runs the hook; an exception is shown.
    void runAction(unsigned code, const std::function<void()>& hook);
    // Returns the owning screen's navigation stack to its root, animated.
    void popToRoot();

private:
    std::shared_ptr<SingleResponse> m_response;
    std::shared_ptr<ResponseTable> m_table;
    QVariantList m_rows;
    QList<std::shared_ptr<FilterExtended>> m_filters;
    QList<std::shared_ptr<Sort>> m_sorts;
    bool m_queryChanged = false;
    unsigned m_lastClickedButton = 0;
    QVariantList m_searchRows;
    SearchBlock m_searchBlock;
    QStringList m_pickerData;
    QVariant m_extraData;
    QPointer<platform::ui::ViewController> m_viewController;
    QPointer<platform::ui::ViewController> m_lastDetailViewController;
    int m_detailFormsComing = 0;
    QVariant m_detailRowInAction;
    QVariantMap m_searchColumns;
    unsigned m_ipadColumns = 0;
    bool m_isSearchActive = false;
};
