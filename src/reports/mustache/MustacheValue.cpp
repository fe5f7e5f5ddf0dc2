#include "reports/mustache/MustacheValue.h"

#include "platform/NumberType.h"
#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "utilities/data/DescriptionBudget.h"
#include "utilities/data/OrderedDictionary.h"

#include <QDateTime>
#include <QObject>
#include <QSequentialIterable>
#include <QStringList>
#include <QTimeZone>

#include <optional>

namespace {

int typeOf(const QVariant& value)
{
    return value.metaType().id();
}

std::optional<QString> describe(const QVariant& value, int indent, DescriptionBudget& budget);

QString quotedIfNeeded(const QString& text)
{
    for (QChar c : text)
        if (!c.isLetterOrNumber() && c != u'_')
            return u'"' + QString(text).replace(u'"', QStringLiteral("\\\"")) + u'"';
    return text.isEmpty() ? QStringLiteral("\"\"") : text;
}

// Describing walks the whole value: each item or entry is a step of the rendering's budget
// and each level's text is written, so that a description asked for inside sections over
// long lists runs out of the budget instead of on for minutes. Once the budget is spent
// the description stops where it is and nothing more is joined on the way back up: the
// rendering fails at its next step.
class RenderingDescriptionBudget final : public DescriptionBudget {
public:
    int maximumDepth() const override { return MustacheMaximumDepth; }
    bool spendItems(qsizetype count) override { return MustacheRenderingBudget::spendSteps(count); }
    bool spendCharacters(qsizetype count) override
    {
        return MustacheRenderingBudget::spendCharacters(count);
    }
};

std::optional<QString> describeList(const QVariant& list, int indent, DescriptionBudget& budget)
{
    const QString pad(4 * indent, u' ');
    const QString lead = pad + QStringLiteral("    ");
    if (!budget.spendLines(MustacheValue::count(list), lead))
        return std::nullopt;
    QString text;
    if (!budget.write(text, QStringLiteral("(\n")))
        return std::nullopt;
    const QString separator = QStringLiteral(",\n");
    bool first = true;
    const bool whole = MustacheValue::forEachItem(list, [&](const QVariant& item) {
        const std::optional<QString> itemText = describe(item, indent + 1, budget);
        if (!itemText || !budget.spendCharacters((first ? 0 : separator.size()) + itemText->size()))
            return false;
        if (!first)
            text += separator;
        first = false;
        text += lead;
        text += *itemText;
        return true;
    });
    if (!whole || !budget.write(text, (first ? QString() : QStringLiteral("\n")) + pad + u')'))
        return std::nullopt;
    return text;
}

template<class Map>
std::optional<QString> describeMap(const Map& map, int indent, DescriptionBudget& budget)
{
    const QString pad(4 * indent, u' ');
    const QString lead = pad + QStringLiteral("    ");
    if (!budget.spendLines(map.size(), lead))
        return std::nullopt;
    QString text;
    if (!budget.write(text, QStringLiteral("{\n")))
        return std::nullopt;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const std::optional<QString> valueText = describe(it.value(), indent + 1, budget);
        if (!valueText)
            return std::nullopt;
        text += lead;
        if (!budget.write(text,
                quotedIfNeeded(it.key()) + QStringLiteral(" = ") + *valueText
                    + QStringLiteral(";\n")))
            return std::nullopt;
    }
    if (!budget.write(text, pad + u'}'))
        return std::nullopt;
    return text;
}

std::optional<QString> describe(const QVariant& value, int indent, DescriptionBudget& budget)
{
    // Data nested deeper than any template could show is cut short, not recursed into.
    if (indent > budget.maximumDepth())
        return DescriptionBudget::cutShort();
    switch (typeOf(value)) {
    case QMetaType::UnknownType:
        return QString();
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
        return describeList(value, indent, budget);
    case QMetaType::QVariantMap:
        return describeMap(*static_cast<const QVariantMap*>(value.constData()), indent, budget);
    case QMetaType::QVariantHash:
        return describeMap(*static_cast<const QVariantHash*>(value.constData()), indent, budget);
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
        // It writes itself in its own form, held to the same depth and budget.
        return static_cast<const OrderedDictionary*>(value.constData())
            ->descriptionWithLocale(QLocale::c(), indent, budget, indent);
    }
    if (MustacheValue::isEnumerable(value))
        return describeList(value, indent, budget);
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
    RenderingDescriptionBudget budget;
    return describe(value, 0, budget).value_or(QString());
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
