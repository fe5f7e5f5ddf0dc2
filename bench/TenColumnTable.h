#pragma once

#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"

#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimeZone>
#include <QVariantMap>

#include <utility>

// The table most benchmarks measure: ten columns of the kinds tables hold, and rows of
// random but repeatable values for them.

// Adds and saves the ten columns to the definition; without them a run would measure
// nothing, so a failed save stops it.
inline void addTenColumns(
    const QString& definition, QList<TemplateColumn*>& columns, QStringList& ids)
{
    const QList<std::pair<QString, QString>> shape { { "Name", TypeConstants::Text },
        { "Notes", TypeConstants::BigText }, { "Category", TypeConstants::List },
        { "Site", TypeConstants::Link }, { "Amount", TypeConstants::Currency },
        { "Count", TypeConstants::Numeric }, { "Day", TypeConstants::Date },
        { "At", TypeConstants::DateTime }, { "Time", TypeConstants::Time },
        { "Done", TypeConstants::YesNo } };
    for (const auto& [name, type] : shape) {
        TemplateColumn* column = TemplateColumn::add(definition);
        column->setName(name);
        column->setType(type);
        column->setPrecision(2);
        if (!column->saveTemplateColumn())
            qFatal("A column of the benchmark's table could not be saved");
        columns << column;
        ids << column->id().toString();
    }
}

// The values of row i, keyed by the column ids addTenColumns gave.
inline QVariantMap tenColumnRow(const QStringList& id, int i, QRandomGenerator& random)
{
    static const QStringList words { "amber", "birch", "cedar", "december", "ember", "fjord",
        "granite", "harbour", "indigo", "juniper", "kelp", "lumber", "meadow", "nectar" };
    const auto word = [&] { return words[int(random.bounded(quint32(words.size())))]; };
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(
        1600000000 + qint64(random.bounded(200000000u)), QTimeZone::utc());
    return { { id[0], QStringLiteral("%1 %2 %3").arg(word(), word()).arg(i) },
        { id[1], QStringLiteral("%1 %2 %3 %4 %5").arg(word(), word(), word(), word(), word()) },
        { id[2], word() }, { id[3], QStringLiteral("https://example.org/%1").arg(i) },
        { id[4], double(random.bounded(1000000u)) / 100 }, { id[5], int(random.bounded(500u)) },
        { id[6], moment }, { id[7], moment }, { id[8], moment },
        { id[9], random.bounded(2u) == 1 } };
}
