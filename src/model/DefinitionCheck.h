#pragma once

#include <QString>
#include <QVariantMap>

// Whether a table definition object (the bundled ones, or one downloaded from the web
// service) may be stored: every member of a kind and in the range the columns and grids
// can use, plain image names, column ids that no other definition uses, and the system
// flag only from the bundle. A definition that joins the store joins every new database,
// so one that fails is refused whole.
class DefinitionCheck {
public:
    DefinitionCheck() = delete;

    enum class Source { Bundle, Download };

    // Empty when the object may be stored; else why not, as a sentence for the user.
    static QString problemOf(const QVariantMap& definition, Source source);

    // The ranges of the numbers a definition carries.
    static constexpr qint64 MaximumLength = 1000000; // characters of a text column
    static constexpr qint64 MinimumTilesColumns = 1;
    static constexpr qint64 MaximumTilesColumns = 4;
    static constexpr qsizetype MaximumImageNameLength = 255;

    // Texts of the refusals (looked up for translation).
    static const QString Refused; // "The table definition “%1” was not stored: %2"
    static const QString NoId;
    static const QString NotAnObject;
    static const QString SystemFromOutside;
    static const QString ReplacesSystemDefinition;
    static const QString NotText;
    static const QString NotWholeNumber;
    static const QString NotNumber;
    static const QString NotFlag;
    static const QString NotPlainImageName;
    static const QString ColumnsNotList;
    static const QString ColumnNotObject;
    static const QString ColumnNoId;
    static const QString ColumnTwice;
    static const QString ColumnOfAnotherDefinition;
    static const QString UnknownType;
    static const QString InColumn;
};
