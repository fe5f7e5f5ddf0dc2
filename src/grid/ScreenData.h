#pragma once

#include "utilities/shell/ScreenRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class BitManager;
class Parent;

// The declarative record of one screen: which data controller supplies the rows, which
// row views draw them, which detail form edits a row, which child screen a row opens,
// which toolbar buttons show and which segue leads on. Records are always made as
// BridgeScreenData, built afresh at every opening and held by std::shared_ptr.
//
// Class fields hold class names, resolved through the ClassRegistry when the screen is
// made, so a record may name a class that a later layer registers. Hook fields hold the
// name of a Q_INVOKABLE method of the screen's data controller; empty is no hook.
class ScreenData : public ScreenRecord {
public:
    ScreenData();
    ~ScreenData() override;

    // Handed from the parent screen's record to the child's; the factory never sets it.
    QString application;
    // Spare.
    QString screen;
    // Navigation title, already localized.
    QString title;
    // Screen id a row's disclosure opens; a data controller may replace it per row.
    QString childscreen;
    // Segue from this screen to its child: "Menu" or "Menus1".
    QString toSegue;
    // Class names.
    QString dataController;
    QString rowView;
    QString alternateRowView;
    // The rows are menu entries: a tapped row's own record id is the child screen id.
    bool contentismenu = false;
    // Spare hook.
    QByteArray dataBuilder;
    // Rows show a disclosure that opens the child screen.
    bool disclosure = false;
    // The screen id the record was built for.
    QString id;
    // Image name of the screen's rows or menu items.
    QString image;
    // Ids of child screens to list as the screen's rows.
    QStringList childScreens;
    // Class name of the detail form.
    QString detailViewController;
    // Spare.
    QString currentSegue;
    // Bottom and top toolbar button numbers; a null top set means no top bar.
    std::shared_ptr<BitManager> buttonBits;
    bool searchbarBookmark = false;
    std::shared_ptr<BitManager> topButtonBits;

    // The segue a child opened from a screen below this one uses: the same identifier.
    static QString nextSegueFrom(const QString& segue);

    // The record the application's delegate (its screen factory) builds for the id and
    // the link of the asking screen; null while no factory is installed.
    static std::shared_ptr<ScreenData> GetScreen(
        const QString& screenId, const std::shared_ptr<Parent>& parent);
};
