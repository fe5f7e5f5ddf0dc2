#include "platform/coredata/ChangeSet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace platform::coredata {

namespace {

const QString FormatKey = QStringLiteral("format");
const QString PeerKey = QStringLiteral("peer");
const QString SequenceKey = QStringLiteral("sequence");
const QString TimeKey = QStringLiteral("time");
const QString ChangesKey = QStringLiteral("changes");
const QString KindKey = QStringLiteral("kind");
const QString EntityKey = QStringLiteral("entity");
const QString ObjectKey = QStringLiteral("object");
const QString VersionKey = QStringLiteral("version");
const QString ValuesKey = QStringLiteral("values");

QString kindName(ChangeSet::Change::Kind kind)
{
    switch (kind) {
    case ChangeSet::Change::Kind::Insert:
        return QStringLiteral("insert");
    case ChangeSet::Change::Kind::Update:
        return QStringLiteral("update");
    case ChangeSet::Change::Kind::Delete:
        return QStringLiteral("delete");
    }
    return {};
}

std::optional<ChangeSet::Change::Kind> kindOfName(const QString& name)
{
    for (auto kind : { ChangeSet::Change::Kind::Insert, ChangeSet::Change::Kind::Update,
             ChangeSet::Change::Kind::Delete }) {
        if (kindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

} // namespace

QByteArray ChangeSet::toJson() const
{
    QJsonArray list;
    for (const Change& change : changes) {
        QJsonObject item { { KindKey, kindName(change.kind) }, { EntityKey, change.entity },
            { ObjectKey, change.object }, { VersionKey, change.version } };
        if (change.kind != Change::Kind::Delete)
            item.insert(ValuesKey, change.values);
        list.append(item);
    }
    const QJsonObject root { { FormatKey, Format }, { PeerKey, peer }, { SequenceKey, sequence },
        { TimeKey, time }, { ChangesKey, list } };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<ChangeSet> ChangeSet::fromJson(const QByteArray& json, QString* problem)
{
    auto fail = [problem](const QString& why) -> std::optional<ChangeSet> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(parseError.errorString());
    const QJsonObject root = document.object();
    if (root.value(FormatKey).toInt() != Format)
        return fail(QStringLiteral("unknown format"));
    ChangeSet set;
    set.peer = root.value(PeerKey).toString();
    set.sequence = root.value(SequenceKey).toInteger();
    set.time = root.value(TimeKey).toDouble();
    if (set.peer.isEmpty() || set.sequence <= 0 || !root.value(ChangesKey).isArray())
        return fail(QStringLiteral("no peer, sequence or changes"));
    for (const QJsonValue& value : root.value(ChangesKey).toArray()) {
        const QJsonObject item = value.toObject();
        const auto kind = kindOfName(item.value(KindKey).toString());
        Change change;
        change.entity = item.value(EntityKey).toString();
        change.object = item.value(ObjectKey).toString();
        change.version = item.value(VersionKey).toDouble();
        change.values = item.value(ValuesKey).toObject();
        if (!kind || change.entity.isEmpty() || change.object.isEmpty())
            return fail(QStringLiteral("a change without kind, entity or object"));
        change.kind = *kind;
        set.changes.append(change);
    }
    return set;
}

QString ChangeSet::fileName(qint64 sequence)
{
    return QStringLiteral("%1.json").arg(sequence, 12, 10, QLatin1Char('0'));
}

std::optional<qint64> ChangeSet::sequenceOfFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{12})\\.json$"));
    const auto match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 sequence = match.captured(1).toLongLong();
    return sequence > 0 ? std::optional<qint64>(sequence) : std::nullopt;
}

} // namespace platform::coredata
