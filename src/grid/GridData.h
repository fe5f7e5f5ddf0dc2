#pragma once

#include <QString>
#include <QVariant>

// What one grid item shows: its text, its image name and the row object behind it (for
// a menu item, the record of the screen it opens).
class GridData {
public:
    GridData();
    // initWithMenu:image: (the data stays invalid).
    GridData(QString menu, QString image);
    // initWithData: (text and image stay null).
    explicit GridData(QVariant data);

    QString Menu;
    QString Image;
    QVariant Data;
};
