#pragma once

#include <QString>

// One column of a desktop-server table.
class ResponseColumn {
public:
    // A name beginning with ImageColumnPrefix marks a column of image names.
    QString Name;
    QString Header;
    // Characters of the widest value.
    unsigned Length = 0;
    // Position; also the cell tag offset.
    unsigned Order = 0;
    // "N" when the column shows.
    QString Hide;

    bool isImageColumn() const { return Name.startsWith(ImageColumnPrefix); }

    static const QString ImageColumnPrefix; // "QDGUDP"
};
