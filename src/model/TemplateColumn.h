#pragma once

#include "model/ModelRegistry.h"
#include "platform/ui/Image.h"

#include <QByteArray>
#include <QStringList>

// A typed column of a table definition. Row values are keyed by its id; everything that
// differs by type (a new row's value, display text, grid width, filter conditions and
// their queries, ordering, conversion of typed text, the type's icon) is decided here.
class TemplateColumn : public platform::coredata::ManagedObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber",
        "autocomplete,ctimestamp,currentmaxlength,intable,intiles,length,mandatory,mtimestamp,"
        "order,precision,sortascending,sortfield,reminder")
    Q_PROPERTY(QVariant autocomplete READ autocomplete WRITE setAutocomplete)
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant currentmaxlength READ currentmaxlength WRITE setCurrentmaxlength)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant intable READ intable WRITE setIntable)
    Q_PROPERTY(QVariant intiles READ intiles WRITE setIntiles)
    Q_PROPERTY(QVariant length READ length WRITE setLength)
    Q_PROPERTY(QVariant listvalues READ listvalues WRITE setListvalues)
    Q_PROPERTY(QVariant mandatory READ mandatory WRITE setMandatory)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant name READ name WRITE setName)
    Q_PROPERTY(QVariant order READ order WRITE setOrder)
    Q_PROPERTY(QVariant precision READ precision WRITE setPrecision)
    Q_PROPERTY(QVariant sortascending READ sortascending WRITE setSortascending)
    Q_PROPERTY(QVariant sortfield READ sortfield WRITE setSortfield)
    Q_PROPERTY(QVariant template_id READ template_id WRITE setTemplate_id)
    Q_PROPERTY(QVariant type READ type WRITE setType)
    Q_PROPERTY(QVariant reminder READ reminder WRITE setReminder)

public:
    using ManagedObject::ManagedObject;

    KIVO_ATTRIBUTE(autocomplete, setAutocomplete)
    KIVO_ATTRIBUTE(ctimestamp, setCtimestamp)
    KIVO_ATTRIBUTE(currentmaxlength, setCurrentmaxlength)
    KIVO_ATTRIBUTE(id, setId)
    KIVO_ATTRIBUTE(intable, setIntable)
    KIVO_ATTRIBUTE(intiles, setIntiles)
    KIVO_ATTRIBUTE(length, setLength)
    KIVO_ATTRIBUTE(listvalues, setListvalues)
    KIVO_ATTRIBUTE(mandatory, setMandatory)
    KIVO_ATTRIBUTE(mtimestamp, setMtimestamp)
    KIVO_ATTRIBUTE(name, setName)
    KIVO_ATTRIBUTE(order, setOrder)
    KIVO_ATTRIBUTE(precision, setPrecision)
    KIVO_ATTRIBUTE(sortascending, setSortascending)
    KIVO_ATTRIBUTE(sortfield, setSortfield)
    KIVO_ATTRIBUTE(template_id, setTemplate_id)
    KIVO_ATTRIBUTE(type, setType)
    KIVO_ATTRIBUTE(reminder, setReminder)

    // The widest a column grows, in characters.
    static constexpr int MaximumWidthCharacters = 50;

    // Fetching and storing.
    static QList<TemplateColumn*> getColumnsAll();
    // The definition's columns by ascending order; empty when none.
    static QList<TemplateColumn*> getColumns(const QString& templateId);
    static quint64 getColumnsCount(const QString& templateId);
    // A new "Text" column of the definition, after its last one; not yet saved.
    [[nodiscard]] static TemplateColumn* add(const QString& templateId);
    // False, changing nothing, when synchronisation changed or deleted the column.
    [[nodiscard]] bool saveTemplateColumn();
    [[nodiscard]] static bool deleteTemplateColumn(TemplateColumn* column);
    [[nodiscard]] static bool deleteTemplateColumns(const QList<TemplateColumn*>& columns);
    static QByteArray toJSON();
    static QString entityName();

    // Behaviour by type.
    QString typeName() const { return type().toString(); }
    // The value a new row starts with; invalid for an unknown type.
    QVariant defaultValue() const;
    // The grid column's width in points, from the longest text written so far (or the
    // type), never narrower than the name.
    double getColumnWidth() const;
    // The localized filter condition labels the type offers; empty for an unknown type.
    QStringList availableConditions() const;
    // The value's display text.
    QString getStringValue(const QVariant& value) const;
    // The query format of a condition label: "%K " followed by the condition, or
    // "NOT (%K CONTAINS %@)".
    QString getPredicateString(const QString& condition) const;
    // -1, 0 or 1: how the first value orders against the second in the direction.
    int Compare(const QVariant& first, const QVariant& second, bool ascending) const;
    // The stored value for typed or imported text; invalid when there is none.
    [[nodiscard]] QVariant getColumnValue(const QString& text) const;
    QString typeImageName() const;
    platform::ui::Image typeImage() const;

    // Selecting columns (the list keeps its order).
    static QList<TemplateColumn*> getTilesColumns(const QList<TemplateColumn*>& columns);
    static TemplateColumn* getTilesBooleanColumn(const QList<TemplateColumn*>& columns);
    static QList<TemplateColumn*> getTableColumns(const QList<TemplateColumn*>& columns);
    static TemplateColumn* getColumnForName(
        const QString& name, const QList<TemplateColumn*>& columns);
    static TemplateColumn* getColumnForId(const QString& id, const QList<TemplateColumn*>& columns);

    // Type icons: the icon name of a type (empty for an unknown type) and its image in
    // the current image theme.
    static QString imageNameForType(const QString& type);
    static platform::ui::Image imageForType(const QString& type);

    // The width in points of n characters of wide sample text in the rows' label font.
    static double widthForLenght(unsigned n);

    // Query formats, written once.
    static const QString KeyFormat; // "%K "
    static const QString NotContainsFormat; // "NOT (%K CONTAINS %@)"
    static const QString EqualFormat; // "== %@"
    static const QString NotEqualFormat; // "!= %@"
    static const QString GreaterFormat; // "> %@"
    static const QString GreaterEqualFormat; // ">= %@"
    static const QString LessFormat; // "< %@"
    static const QString LessEqualFormat; // "<= %@"
    static const QString ContainsFormat; // "CONTAINS[cd] %@"
};
