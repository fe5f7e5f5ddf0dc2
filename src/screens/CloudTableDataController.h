#pragma once

#include "grid/TableDataController.h"
#include "utilities/shell/CloudStoreProtocol.h"

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class ScreenHost;

// The base of every data controller whose rows come from the store. While the store is
// away (cloudStoreUnloaded) the screen shows no rows under its overlay; after it has
// changed (cloudStoreLoaded) the rows are loaded again and the row the user had chosen
// stays chosen only while it is the same row in the same state, as its checksum tells.
// An open Add or Edit form keeps the row it saves into through any reload. A child
// screen whose parent's chosen row went returns to the root screen.
class CloudTableDataController : public TableDataController, public CloudStoreProtocol {
    Q_OBJECT
public:
    CloudTableDataController();
    ~CloudTableDataController() override;

    // The grid's selected row at the last reload; negative for none.
    qint64 prevSelectedRow() const { return m_prevSelectedRow; }
    // The checksum of the row the user last tapped; null for none.
    QString checksum() const { return m_checksum; }

    // Two states of a row with the same checksum count as the same row: the entity's id
    // here.
    virtual QString dataChecksum(const QVariant& row) const;
    // Both tile buttons on every tile.
    qint8 tilesButtons() override { return 3; }

    // Chooses the row, unless an Add or Edit form is open: it keeps its own.
    void tapOnItem(qint64 index) override;
    void cloudStoreUnloaded() override;
    void cloudStoreLoaded() override;

    // At the top of the navigation stack: with no detail form open, says the data changed
    // and returns to the root screen; with one, tells it the store has loaded.
    void poptoRootIfLast();
    // At the top of the navigation stack, a detail form shown apart from the stack (a
    // popover) that follows the store reloads its record.
    void fireDetailCloudChange();

    // The grid screen's further services; null without them.
    ScreenHost* screenHost() const;
    void showHud();
    void hideHud();
    void forceHideHud();
    void setScreenTitle(const QString& title);

protected:
    // Whether the grid screen is the top of its navigation stack.
    bool isTopOfStack() const;
    // The screen's options: a list of choices titled "Options", in a popup of the size on
    // a tablet, pushed on a phone. A choice calls `choose` with its index while this
    // controller lives; an exception there is shown.
    void presentOptions(const QStringList& rows, const QStringList& images,
        const QSizeF& tabletSize, std::function<void(qint64)> choose);
    // Closes the options after a choice: the popup on a tablet; on a phone the pushed
    // list only when `popOnPhone` (a choice that opens a screen leaves it below).
    void closeOptions(bool popOnPhone);

private:
    // The row an Add or Edit form was opened with, while the form is open or on its way;
    // none without such a form.
    QVariant rowOfOpenForm() const;
    // A reload never changes which row an open form saves into.
    void keepRowOfOpenForm(const QVariant& row, bool storeWent);

    qint64 m_prevSelectedRow = -1;
    QString m_checksum;
    // The store went since the last reload (cloudStoreUnloaded): its objects went with it.
    bool m_storeWent = false;
};
