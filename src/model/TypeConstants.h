#pragma once

#include <QString>
#include <QStringList>

// The eleven column type names and the groups they fall into. Every part that treats a
// value by its column's type asks here, by exact comparison of the names.
class TypeConstants {
public:
    TypeConstants() = delete;

    static const QString Text; // "Text"
    static const QString BigText; // "BigText"
    static const QString Date; // "Date"
    static const QString Numeric; // "Numeric"
    static const QString YesNo; // "Yes/No"
    static const QString List; // "List"
    static const QString Link; // "Link"
    static const QString Time; // "Time"
    static const QString DateTime; // "DateTime"
    static const QString Currency; // "Currency"
    static const QString Protected; // "Protected"

    // Every type name, in the order above.
    static const QStringList& allTypes();

    static bool isText(const QString& type);
    static bool isDate(const QString& type);
    static bool isBoolean(const QString& type);
    static bool isNumeric(const QString& type);
    static bool isList(const QString& type);
    static bool isLink(const QString& type);
    static bool isCurrency(const QString& type);
    static bool isNumber(const QString& type);
    static bool isProtected(const QString& type);
};
