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
    // The same for a catalogue entry the user downloads, which must also have ids in GUID
    // form, a name of its own among the stored definitions and columns that the columns
    // screen would save, and may not take the colour definition's id; over a definition
    // that tables are made from, a column keeps its type family and no text column
    // becomes shorter. The sentence names the definition and the column.
    static QString downloadProblemOf(const QVariantMap& definition);

    // What a download stores of a catalogue entry: only the members a person can edit in
    // the definition and column forms, with the columns screen's normalisations (a link
    // 2000 long, no precision on texts, no length on dates, lists and flags) and the
    // "template" image for none.
    static QVariantMap downloadable(const QVariantMap& entry);
    // Whether the text is a name the themed images are looked up by (or empty): nothing
    // that names a folder, a resource or a path.
    static bool isPlainImageName(const QString& name);
    // Whether the text is a GUID in its 8-4-4-4-12 hexadecimal form.
    static bool isGuidText(const QString& text);
    // Whether the two types are of one family (texts, dates, numbers, flags), within which
    // a column of a definition in use may change its type.
    static bool sameTypeFamily(const QString& a, const QString& b);

    // The ranges of the numbers a definition carries.
    static constexpr qint64 MaximumLength = 1000000; // characters of a text column
    static constexpr qint64 MinimumTilesColumns = 1;
    static constexpr qint64 MaximumTilesColumns = 4;
    static constexpr qsizetype MaximumImageNameLength = 255;
    static constexpr qsizetype MaximumNameLength = 255;
    // The length a link column is given.
    static constexpr qint64 LinkLength = 2000;
    static const QString DefaultImage; // "template"

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
    static const QString IdNotGuid;
    static const QString NameMissing;
    static const QString NameTooLong;
    static const QString NameTaken;
    static const QString ReplacesColorDefinition;
    static const QString TypeFamilyChanged;
    static const QString TextShortened;

private:
    // The problem as the sentence that names the definition; empty for none.
    static QString refusal(const QVariantMap& definition, const QString& problem);
};
