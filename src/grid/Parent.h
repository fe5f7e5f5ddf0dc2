#pragma once

#include "utilities/shell/ScreenRecord.h"

#include <QString>
#include <QVariant>

#include <memory>

class BaseDataController;
class ScreenData;

// One link of the breadcrumb of screens, made when a screen opens its child: the record
// of the screen that opened it, the row selected there, that screen's data controller
// and the link of the screen above. The screen, the link above and the data controller
// are held weakly, so a link tells of them only while their screens are on the
// navigation stack; the child screen holds its own link strongly.
class Parent : public ScreenLink {
public:
    Parent();
    ~Parent() override;

    std::weak_ptr<ScreenData> screen;
    // The row selected in that screen (a row object: see RowObject); invalid for none.
    QVariant data;
    std::weak_ptr<Parent> parent;
    std::weak_ptr<BaseDataController> dataController;

    // Whether this link's screen, or the screen of a link above it, has the id. A null
    // link answers false.
    bool isParentScreen(const QString& screenId) const;
    static bool isParentScreen(const Parent* link, const QString& screenId);
    // The segue that opens a child from this link: the parent link's screen's toSegue
    // when it has one, else this link's own screen's.
    QString nextSegue() const;
};
