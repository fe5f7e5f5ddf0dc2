#include "reports/mustache/MustacheValue.h"

#include "platform/NumberType.h"
#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "utilities/data/OrderedDictionary.h"

#include <QDateTime>
#include <QObject>
#include <QSequentialIterable>
#include <QStringList>
#include <QTimeZone>

namespace {

int typeOf(const QVariant& value)
{
    return value.metaType().id();
}

QString describe(const QVariant& value, int indent);

QString quotedIfNeeded(const QString& text)
{
    for (QChar c : text)
        if (!c.isLetterOrNumber() && c != u'_')
            return u'"' + QString(text).replace(u'"', QStringLiteral("\\\"")) + u'"';
    return text.isEmpty() ? QStringLiteral("\"\"") : text;
}

// Describing walks the whole value: each item or entry is a step of the rendering's
// budget and each level's text is written, so that a description asked for inside sections
// over long lists runs out of the budget instead of on for minutes. What the budget cannot
// pay for is left out: the rendering fails at its next step.
bool affords(qsizetype items)
{
    return MustacheRenderingBudget::spendSteps(items);
}

QString described(QString text)
{
    MustacheRenderingBudget::spendCharacters(text.size());
    return text;
}

QString describeList(const QVariant& list, int indent)
{
    if (!affords(MustacheValue::count(list)))
        return {};
    const QString pad(4 * indent, u' ');
    QString text = QStringLiteral("(\n");
    bool first = true;
    MustacheValue::forEachItem(list, [&](const QVariant& item) {
        if (!first)
            text += QStringLiteral(",\n");
        first = false;
        text += pad + QStringLiteral("    ") + describe(item, indent + 1);
        return true;
    });
    if (!first)
        text += u'\n';
    return described(text + pad + u')');
}

template<class Map> QString describeMap(const Map& map, int indent)
{
    if (!affords(map.size()))
        return {};
    const QString pad(4 * indent, u' ');
    QString text = QStringLiteral("{\n");
    for (auto it = map.begin(); it != map.end(); ++it)
        text += pad + QStringLiteral("    ") + quotedIfNeeded(it.key()) + QStringLiteral(" = ")
            + describe(it.value(), indent + 1) + QStringLiteral(";\n");
    return described(text + pad + u'}');
}

QString describe(const QVariant& value, int indent)
{
    // Data nested deeper than any template could show is cut short, not recursed into.
    if (indent > MustacheMaximumDepth)
        return QStringLiteral("...");
    switch (typeOf(value)) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Nullptr:
        return QStringLiteral("<null>");
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Float:
        return QString::number(value.toFloat(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return describeList(value, indent);
    case QMetaType::QVariantMap:
        return describeMap(*static_cast<const QVariantMap*>(value.constData()), indent);
    case QMetaType::QVariantHash:
        return describeMap(*static_cast<const QVariantHash*>(value.constData()), indent);
    case QMetaType::QDateTime:
        return value.toDateTime()
                   .toTimeZone(QTimeZone::utc())
                   .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            + QStringLiteral(" +0000");
    default:
        break;
    }
    if (MustacheValue::isNumber(value))
        return value.toString();
    if (value.metaType() == QMetaType::fromType<MustacheObjectPtr>()) {
        const MustacheObjectPtr object = value.value<MustacheObjectPtr>();
        return object ? object->description() : QString();
    }
    if (value.metaType() == QMetaType::fromType<OrderedDictionary>()) {
        const auto& dictionary = *static_cast<const OrderedDictionary*>(value.constData());
        if (!affords(dictionary.count()))
            return {};
        return described(dictionary.descriptionWithLocale(QLocale::c(), indent));
    }
    if (MustacheValue::isEnumerable(value))
        return describeList(value, indent);
    if (value.metaType().flags() & QMetaType::PointerToQObject) {
        const QObject* object = value.value<QObject*>();
        return object ? QStringLiteral("<%1: 0x%2>")
                            .arg(QString::fromLatin1(object->metaObject()->className()))
                            .arg(quintptr(object), 0, 16)
                      : QString();
    }
    return value.toString();
}

} // namespace

QVariant MustacheValue::null()
{
    return QVariant::fromValue(nullptr);
}

QVariant MustacheValue::fromObject(const MustacheObjectPtr& object)
{
    return object ? QVariant::fromValue(object) : QVariant();
}

bool MustacheValue::isNull(const QVariant& value)
{
    return typeOf(value) == QMetaType::Nullptr;
}

bool MustacheValue::isNumber(const QVariant& value)
{
    return platform::isNumber(value);
}

bool MustacheValue::isString(const QVariant& value)
{
    return typeOf(value) == QMetaType::QString;
}

bool MustacheValue::isDictionary(const QVariant& value)
{
    const int type = typeOf(value);
    return type == QMetaType::QVariantMap || type == QMetaType::QVariantHash
        || value.metaType() == QMetaType::fromType<OrderedDictionary>();
}

bool MustacheValue::isEnumerable(const QVariant& value)
{
    switch (typeOf(value)) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return true;
    case QMetaType::UnknownType:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return false;
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<MustacheObjectPtr>())
        return false;
    return QMetaType::canView(value.metaType(), QMetaType::fromType<QSequentialIterable>());
}

qsizetype MustacheValue::count(const QVariant& value)
{
    switch (typeOf(value)) {
    case QMetaType::QVariantList:
        return static_cast<const QVariantList*>(value.constData())->size();
    case QMetaType::QStringList:
        return static_cast<const QStringList*>(value.constData())->size();
    default:
        break;
    }
    return isEnumerable(value) ? value.value<QSequentialIterable>().size() : 0;
}

bool MustacheValue::isEmptyList(const QVariant& value)
{
    switch (typeOf(value)) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return count(value) == 0;
    default:
        break;
    }
    if (!isEnumerable(value))
        return true;
    const QSequentialIterable iterable = value.value<QSequentialIterable>();
    return iterable.constBegin() == iterable.constEnd();
}

QVariant MustacheValue::itemAt(const QVariant& value, qsizetype index)
{
    if (index < 0)
        return {};
    switch (typeOf(value)) {
    case QMetaType::QVariantList:
        return static_cast<const QVariantList*>(value.constData())->value(index);
    case QMetaType::QStringList: {
        const QStringList& texts = *static_cast<const QStringList*>(value.constData());
        return index < texts.size() ? QVariant(texts.at(index)) : QVariant();
    }
    default:
        break;
    }
    if (!isEnumerable(value))
        return {};
    const QSequentialIterable iterable = value.value<QSequentialIterable>();
    return index < iterable.size() ? iterable.at(index) : QVariant();
}

bool MustacheValue::forEachItem(
    const QVariant& value, const std::function<bool(const QVariant&)>& visit)
{
    switch (typeOf(value)) {
    case QMetaType::QVariantList:
        for (const QVariant& item : *static_cast<const QVariantList*>(value.constData()))
            if (!visit(item))
                return false;
        return true;
    case QMetaType::QStringList:
        for (const QString& text : *static_cast<const QStringList*>(value.constData()))
            if (!visit(text))
                return false;
        return true;
    default:
        break;
    }
    if (!isEnumerable(value))
        return true;
    for (const QVariant& item : value.value<QSequentialIterable>())
        if (!visit(item))
            return false;
    return true;
}

MustacheObjectPtr MustacheValue::object(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<MustacheObjectPtr>())
        return nullptr;
    return *static_cast<const MustacheObjectPtr*>(value.constData());
}

bool MustacheValue::boolValue(const QVariant& number)
{
    if (typeOf(number) == QMetaType::Double || typeOf(number) == QMetaType::Float)
        return number.toDouble() != 0.0;
    return number.toLongLong() != 0 || number.toULongLong() != 0;
}

QString MustacheValue::description(const QVariant& value)
{
    if (typeOf(value) == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    return describe(value, 0);
}

bool MustacheValue::isIdentical(const QVariant& a, const QVariant& b)
{
    if (a.metaType() != b.metaType())
        return false;
    switch (typeOf(a)) {
    case QMetaType::QString:
        return a.toString().isSharedWith(b.toString());
    case QMetaType::QVariantList:
        return a.toList().isSharedWith(b.toList());
    case QMetaType::QVariantMap:
        return a.toMap().isSharedWith(b.toMap());
    default:
        break;
    }
    if (a.metaType() == QMetaType::fromType<MustacheObjectPtr>())
        return object(a) == object(b);
    return a == b;
}
