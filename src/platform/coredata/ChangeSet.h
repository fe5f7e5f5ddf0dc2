#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace platform::coredata {

// What one save of one peer changed, as it travels through the cloud: one file per save
// in the peer's folder of the store's content, named by its sequence number, which counts
// the peer's saves from 1 without a gap.
//
// File format (UTF-8 JSON):
//   { "format": 1, "peer": "<peer id>", "sequence": 7, "time": 1700000000.25,
//     "changes": [ { "kind": "insert" | "update" | "delete", "entity": "Rows",
//                    "object": "<object id>", "version": 1700000000.2,
//                    "values": { "<attribute>": <value>, ... } }, ... ] }
// "object" names the object alike in every replica. "version" is the time the object was
// last changed (its mtimestamp where it has one), or for a deletion the time of the
// deletion; the later version wins when two peers change one object. Deletions carry no
// values; inserts and updates carry every attribute.
struct ChangeSet {
    struct Change {
        enum class Kind { Insert, Update, Delete };
        Kind kind = Kind::Insert;
        QString entity;
        QString object;
        double version = 0;
        QJsonObject values;
    };

    static constexpr int Format = 1;

    QString peer;
    qint64 sequence = 0;
    double time = 0;
    QList<Change> changes;

    QByteArray toJson() const;
    // nullopt, with the reason, for text that is not a change set of this format.
    static std::optional<ChangeSet> fromJson(const QByteArray& json, QString* problem = nullptr);

    // "000000000007.json" for 7; other names (temporary files among them) are no change sets.
    static QString fileName(qint64 sequence);
    static std::optional<qint64> sequenceOfFileName(const QString& name);
};

} // namespace platform::coredata
