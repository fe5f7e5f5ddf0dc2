#include "model/TemplateColumn.h"

#include "model/ColumnDisplay.h"
#include "model/RowValueCompare.h"
#include "model/TypeConstants.h"
#include "style/Theme.h"
#include "style/ThemedImages.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <cctype>
#include <charconv>

const QString TemplateColumn::KeyFormat = QStringLiteral("%K ");
const QString TemplateColumn::NotContainsFormat = QStringLiteral("NOT (%K CONTAINS %@)");
const QString TemplateColumn::EqualFormat = QStringLiteral("== %@");
const QString TemplateColumn::NotEqualFormat = QStringLiteral("!= %@");
const QString TemplateColumn::GreaterFormat = QStringLiteral("> %@");
const QString TemplateColumn::GreaterEqualFormat = QStringLiteral(">= %@");
const QString TemplateColumn::LessFormat = QStringLiteral("< %@");
const QString TemplateColumn::LessEqualFormat = QStringLiteral("<= %@");
const QString TemplateColumn::ContainsFormat = QStringLiteral("CONTAINS[cd] %@");

namespace {

const QString kFetchColumns = QStringLiteral("FetchRequest_Columns");
const QString kFetchColumnsAll = QStringLiteral("FetchRequest_TemplateColumn_All");
const QString kColumnsTemplateIdVariable = QStringLiteral("TEMPLATE_ID");
const QString kColumnOrder = QStringLiteral("order");

// Grid widths in characters of the types that do not follow a length.
constexpr int kNumberWidth = 15;
constexpr int kBooleanWidth = 10;
constexpr int kDateTimeWidth = 15;
constexpr int kDateWidth = 10;
constexpr int kTimeWidth = 8;
// Up to this many characters the sample is all "M"; beyond, the mixed pattern.
constexpr unsigned kPlainSampleLimit = 20;
const QString kWideCharacter = QStringLiteral("M");
const QString kMixedSample = QStringLiteral("MaWq");

bool isSet(const QVariant& value)
{
    return value.isValid() && !value.isNull();
}

bool flagIsOn(const QVariant& value)
{
    return isSet(value) && value.toBool();
}

unsigned decimalsOf(const QVariant& precision)
{
    const qlonglong decimals = isSet(precision) ? precision.toLongLong() : 0;
    return unsigned(std::clamp<qlonglong>(decimals, 0, KivoNumber::MaximumDecimals));
}

// The number at the start of the text, as a C float reading takes it: leading blanks,
// a sign, digits with one decimal point and an exponent; 0 when there is none.
double leadingNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    const char* p = begin;
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    const char* digits = p;
    while (p != end && std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    if (p != end && *p == '.') {
        ++p;
        while (p != end && std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
    }
    if (p == digits || (p == digits + 1 && *digits == '.'))
        return 0;
    const char* mantissaEnd = p;
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != end && (*q == '+' || *q == '-'))
            ++q;
        if (q != end && std::isdigit(static_cast<unsigned char>(*q))) {
            while (q != end && std::isdigit(static_cast<unsigned char>(*q)))
                ++q;
            mantissaEnd = q;
        }
    }
    // from_chars takes no leading "+".
    const char* start = *begin == '+' ? begin + 1 : begin;
    double value = 0;
    const auto result = std::from_chars(start, mantissaEnd, value);
    return result.ec == std::errc() ? double(float(value)) : 0;
}

const QFont& rowLabelFont()
{
    if (const Theme* style = Theme::current())
        return style->RowLabelFont();
    // Before the application has its style, measure with the style's defaults.
    static const std::shared_ptr<Theme> fallback = Theme::getDefaultTheme();
    return fallback->RowLabelFont();
}

} // namespace

QString TemplateColumn::entityName()
{
    return QStringLiteral("TemplateColumn");
}

QList<TemplateColumn*> TemplateColumn::getColumnsAll()
{
    return ModelRegistry::fetch<TemplateColumn>(kFetchColumnsAll);
}

QList<TemplateColumn*> TemplateColumn::getColumns(const QString& templateId)
{
    return ModelRegistry::fetch<TemplateColumn>(kFetchColumns,
        QVariantMap { { kColumnsTemplateIdVariable, templateId } },
        QList<platform::coredata::SortDescriptor> { { kColumnOrder, true } }, 0);
}

quint64 TemplateColumn::getColumnsCount(const QString& templateId)
{
    return KivoLib::countFetchRequest(
        kFetchColumns, { { kColumnsTemplateIdVariable, templateId } });
}

TemplateColumn* TemplateColumn::add(const QString& templateId)
{
    ModelRegistry::registerClasses();
    const auto last = KivoLib::executchFetchRequest(kFetchColumns,
        QVariantMap { { kColumnsTemplateIdVariable, templateId } },
        QList<platform::coredata::SortDescriptor> { { kColumnOrder, false } }, 1);
    const int order
        = last.size() == 1 ? ModelRegistry::intValue(last.first()->value(kColumnOrder)) + 1 : 0;
    auto* column = qobject_cast<TemplateColumn*>(KivoLib::addEntity(entityName()));
    if (!column)
        return nullptr;
    column->setId(ModelRegistry::newId());
    column->setTemplate_id(templateId);
    column->setCtimestamp(ModelRegistry::now());
    column->setListvalues(QString(QLatin1String("")));
    column->setType(TypeConstants::Text);
    column->setOrder(order);
    column->setIntable(true);
    // Only the first column of a definition shows on the tiles.
    if (order == 0)
        column->setIntiles(true);
    return column;
}

bool TemplateColumn::saveTemplateColumn()
{
    return ModelRegistry::saveStamped(this);
}

bool TemplateColumn::deleteTemplateColumn(TemplateColumn* column)
{
    if (!column)
        return false;
    return KivoLib::Delete(column);
}

bool TemplateColumn::deleteTemplateColumns(const QList<TemplateColumn*>& columns)
{
    return KivoLib::DeleteObjects({ columns.cbegin(), columns.cend() });
}

QByteArray TemplateColumn::toJSON()
{
    const auto columns = getColumnsAll();
    return KivoLib::toJSON({ columns.cbegin(), columns.cend() });
}

QVariant TemplateColumn::defaultValue() const
{
    const QString kind = typeName();
    if (TypeConstants::isText(kind))
        return QString(QLatin1String(""));
    if (TypeConstants::isNumber(kind) || TypeConstants::isBoolean(kind))
        return 0;
    // Dates as the rows hold them once read back.
    const platform::Date now = platform::Date::now();
    if (kind == TypeConstants::Date)
        return QVariant::fromValue(platform::Date(KivoDateUtils::getOnlyDate(now.toDateTime())));
    if (kind == TypeConstants::Time)
        return QVariant::fromValue(platform::Date(KivoDateUtils::getOnlyTime(now.toDateTime())));
    if (kind == TypeConstants::DateTime)
        return QVariant::fromValue(now);
    return QVariant();
}

double TemplateColumn::getColumnWidth() const
{
    const QString kind = typeName();
    qlonglong n = 0;
    const QVariant longest = currentmaxlength();
    if (isSet(longest) && longest.toLongLong() >= 1) {
        n = std::min<qlonglong>(longest.toLongLong(), MaximumWidthCharacters);
    } else if (TypeConstants::isText(kind)) {
        const QVariant limit = length();
        // A negative length is treated as none at all.
        n = isSet(limit) ? std::clamp<qlonglong>(limit.toLongLong(), 0, MaximumWidthCharacters)
                         : MaximumWidthCharacters;
    } else if (TypeConstants::isNumber(kind)) {
        n = kNumberWidth;
    } else if (TypeConstants::isBoolean(kind)) {
        n = kBooleanWidth;
    } else if (kind == TypeConstants::DateTime) {
        n = kDateTimeWidth;
    } else if (kind == TypeConstants::Date) {
        n = kDateWidth;
    } else if (kind == TypeConstants::Time) {
        n = kTimeWidth;
    } else {
        n = MaximumWidthCharacters;
    }
    // The header is never cut.
    const qlonglong nameLength = name().toString().size();
    if (nameLength > n)
        n = nameLength;
    return widthForLenght(unsigned(n));
}

double TemplateColumn::widthForLenght(unsigned n)
{
    QString sample;
    if (n <= kPlainSampleLimit) {
        sample = kWideCharacter.repeated(int(n));
    } else {
        sample = kMixedSample.repeated(int(n / unsigned(kMixedSample.size()) + 1));
        sample.truncate(qsizetype(n));
    }
    return double(float(QFontMetricsF(rowLabelFont()).horizontalAdvance(sample)));
}

QStringList TemplateColumn::availableConditions() const
{
    const QString kind = typeName();
    if (TypeConstants::isText(kind))
        return { LocalizedStrings::None(), LocalizedStrings::EqualTo(),
            LocalizedStrings::NotEqualTo(), LocalizedStrings::Contains(),
            LocalizedStrings::NotContains(), LocalizedStrings::GreaterThan(),
            LocalizedStrings::GreaterThanOrEqualTo(), LocalizedStrings::LessThan(),
            LocalizedStrings::LessThanOrEqualTo() };
    if (TypeConstants::isNumber(kind) || TypeConstants::isDate(kind))
        return { LocalizedStrings::None(), LocalizedStrings::EqualTo(),
            LocalizedStrings::NotEqualTo(), LocalizedStrings::GreaterThan(),
            LocalizedStrings::GreaterThanOrEqualTo(), LocalizedStrings::LessThan(),
            LocalizedStrings::LessThanOrEqualTo() };
    if (TypeConstants::isBoolean(kind))
        return { LocalizedStrings::None(), LocalizedStrings::EqualTo(),
            LocalizedStrings::NotEqualTo() };
    return {};
}

QString TemplateColumn::getStringValue(const QVariant& value) const
{
    return ColumnDisplay(*this).text(value);
}

QString TemplateColumn::getPredicateString(const QString& condition) const
{
    QString format = condition == LocalizedStrings::NotContains() ? NotContainsFormat : KeyFormat;
    if (condition == LocalizedStrings::EqualTo())
        format += EqualFormat;
    else if (condition == LocalizedStrings::NotEqualTo())
        format += NotEqualFormat;
    else if (condition == LocalizedStrings::GreaterThan())
        format += GreaterFormat;
    else if (condition == LocalizedStrings::GreaterThanOrEqualTo())
        format += GreaterEqualFormat;
    else if (condition == LocalizedStrings::LessThan())
        format += LessFormat;
    else if (condition == LocalizedStrings::LessThanOrEqualTo())
        format += LessEqualFormat;
    else if (condition == LocalizedStrings::Contains())
        format += ContainsFormat;
    return format;
}

int TemplateColumn::Compare(const QVariant& first, const QVariant& second, bool ascending) const
{
    const int order = RowValueCompare::compare(first, second);
    if (order == 0)
        return 0;
    return ascending ? order : -order;
}

QVariant TemplateColumn::getColumnValue(const QString& text) const
{
    const QString kind = typeName();
    QVariant result;
    if (TypeConstants::isText(kind))
        result = text;
    if (TypeConstants::isNumber(kind)) {
        const auto parsed = KivoNumber::getNumberFormatterWithDecimal(decimalsOf(precision()))
                                .numberFromString(text);
        if (parsed)
            result = *parsed;
        else
            result = text.isEmpty() ? 0.0 : leadingNumber(text);
    }
    if (TypeConstants::isBoolean(kind))
        result = text == QLatin1String("1") || text == LocalizedStrings::Yes();
    if (TypeConstants::isDate(kind)) {
        const auto date = KivoDateUtils::convertFromString(text);
        result = date ? QVariant(*date) : QVariant();
    }
    return result;
}

QString TemplateColumn::typeImageName() const
{
    return imageNameForType(typeName());
}

platform::ui::Image TemplateColumn::typeImage() const
{
    return imageForType(typeName());
}

QList<TemplateColumn*> TemplateColumn::getTilesColumns(const QList<TemplateColumn*>& columns)
{
    QList<TemplateColumn*> result;
    for (TemplateColumn* column : columns) {
        if (column && flagIsOn(column->intiles()) && column->typeName() != TypeConstants::YesNo)
            result.append(column);
    }
    return result;
}

TemplateColumn* TemplateColumn::getTilesBooleanColumn(const QList<TemplateColumn*>& columns)
{
    for (TemplateColumn* column : columns) {
        if (column && flagIsOn(column->intiles()) && column->typeName() == TypeConstants::YesNo)
            return column;
    }
    return nullptr;
}

QList<TemplateColumn*> TemplateColumn::getTableColumns(const QList<TemplateColumn*>& columns)
{
    QList<TemplateColumn*> result;
    for (TemplateColumn* column : columns) {
        if (column && flagIsOn(column->intable()))
            result.append(column);
    }
    return result;
}

TemplateColumn* TemplateColumn::getColumnForName(
    const QString& name, const QList<TemplateColumn*>& columns)
{
    for (TemplateColumn* column : columns) {
        if (column && isSet(column->name()) && column->name().toString() == name)
            return column;
    }
    return nullptr;
}

TemplateColumn* TemplateColumn::getColumnForId(
    const QString& id, const QList<TemplateColumn*>& columns)
{
    for (TemplateColumn* column : columns) {
        if (column && isSet(column->id()) && column->id().toString() == id)
            return column;
    }
    return nullptr;
}

QString TemplateColumn::imageNameForType(const QString& type)
{
    static const QHash<QString, QString> names {
        { TypeConstants::Text, QStringLiteral("text") },
        { TypeConstants::BigText, QStringLiteral("bigtext") },
        { TypeConstants::List, QStringLiteral("list") },
        { TypeConstants::Date, QStringLiteral("date") },
        { TypeConstants::DateTime, QStringLiteral("datetime") },
        { TypeConstants::Time, QStringLiteral("time") },
        { TypeConstants::YesNo, QStringLiteral("yesno") },
        { TypeConstants::Currency, QStringLiteral("currency") },
        { TypeConstants::Numeric, QStringLiteral("number") },
        { TypeConstants::Link, QStringLiteral("site") },
        { TypeConstants::Protected, QStringLiteral("passwordlock") },
    };
    return names.value(type);
}

platform::ui::Image TemplateColumn::imageForType(const QString& type)
{
    const QString name = imageNameForType(type);
    if (name.isEmpty())
        return {};
    return ThemedImages::themedimageNamed(name);
}
