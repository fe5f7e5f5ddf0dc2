#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Template;
class TemplateColumn;

// What a table definition and its columns must hold before they are stored, whoever
// stores them (the definition screens and their forms, the template download): every
// refusal as the message the user sees, gathered in the order shown, and the type's
// normalisations applied to the column on the way.
class DefinitionRules {
public:
    DefinitionRules() = delete;

    // The definition's problems: its name (empty, or taken by another of `definitions`,
    // where the definition itself, when listed, counts as no other), its description
    // and its tiles per row. An empty image becomes "template".
    static QStringList templateProblems(
        Template* definition, const QList<Template*>& definitions, bool editing);

    // The column's problems: its name among the columns of its definition (as above),
    // its type, and the length, precision and list values the type needs. The type's
    // normalisations change the column even when it is refused.
    static QStringList columnProblems(
        TemplateColumn* column, const QList<TemplateColumn*>& columns, bool editing);

    // Why a stored column may not become the new type and length, or empty when it may.
    // Rows of a table made from the definition (`inUse`) keep their values only within
    // one family of types; a text column never gets shorter.
    static QString changeProblem(const QString& storedType, const QVariant& storedLength,
        const QString& newType, const QVariant& newLength, bool inUse);

    // The image a definition without one shows.
    static const QString DefaultImage; // "template"
    // The length a link column always has.
    static constexpr qint64 LinkLength = 2000;
};
