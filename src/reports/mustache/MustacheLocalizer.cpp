#include "reports/mustache/MustacheLocalizer.h"

#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/StringFormat.h"
#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheValue.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMutex>

#include <unordered_map>

const QString MustacheLocalizer::Placeholder = QStringLiteral("MustacheLocalizerValuePlaceholder");

namespace {

// Per thread: the arguments of the localized section this thread is rendering, by localizer.
std::unordered_map<const MustacheLocalizer*, std::optional<QStringList>>& threadArguments()
{
    thread_local std::unordered_map<const MustacheLocalizer*, std::optional<QStringList>> arguments;
    return arguments;
}

// A strings table of another bundle or table: "<bundle>/strings/<table>.<language>.json"
// (the table part left out for the default table), read once.
QString lookUp(const QString& bundle, const QString& tableName, const QString& key)
{
    static QMutex mutex;
    static QHash<QString, QHash<QString, QString>> tables;
    const QString language = QLocale().name().section(u'_', 0, 0);
    const QString file = bundle + QStringLiteral("/strings/")
        + (tableName.isEmpty() ? language : tableName + u'.' + language) + QStringLiteral(".json");
    QMutexLocker lock(&mutex);
    auto it = tables.find(file);
    if (it == tables.end()) {
        QHash<QString, QString> table;
        QFile json(file);
        if (json.open(QIODevice::ReadOnly)) {
            const QJsonObject object = QJsonDocument::fromJson(json.readAll()).object();
            for (auto entry = object.begin(); entry != object.end(); ++entry)
                if (entry.value().isString())
                    table.insert(entry.key(), entry.value().toString());
        }
        it = tables.insert(file, table);
    }
    return it.value().value(key, key);
}

} // namespace

MustacheLocalizer::MustacheLocalizer(QString bundle, QString tableName)
    : m_bundle(std::move(bundle))
    , m_tableName(std::move(tableName))
{
}

QString MustacheLocalizer::localizedStringForKey(const QString& key) const
{
    if (m_bundle.isEmpty() && m_tableName.isEmpty())
        return LocalizedStrings::getLocalizedString(key);
    return lookUp(m_bundle.isEmpty() ? platform::Folders::resources() : m_bundle, m_tableName, key);
}

QString MustacheLocalizer::stringWithFormat(const QString& format, const QStringList& arguments)
{
    if (arguments.size() > 10)
        throw platform::Exception(platform::Exception::Generic,
            QStringLiteral("Not implemented: format with %1 parameters").arg(arguments.size()));
    return platform::formatObjects(format, arguments);
}

std::optional<QStringList> MustacheLocalizer::formatArguments() const
{
    const auto& arguments = threadArguments();
    const auto it = arguments.find(this);
    return it == arguments.end() ? std::nullopt : it->second;
}

void MustacheLocalizer::setFormatArguments(const std::optional<QStringList>& arguments)
{
    if (arguments)
        threadArguments()[this] = arguments;
    else
        threadArguments().erase(this);
}

QVariant MustacheLocalizer::transformedValue(const QVariant& object) const
{
    if (MustacheValue::isNull(object))
        return QStringLiteral("");
    if (!object.isValid())
        return {};
    return localizedStringForKey(MustacheValue::description(object));
}

std::optional<QString> MustacheLocalizer::renderForMustacheTag(const MustacheTag& tag,
    const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
{
    // Whatever happens, this thread leaves no arguments behind.
    struct Reset {
        MustacheLocalizer* localizer;
        ~Reset() { localizer->setFormatArguments(std::nullopt); }
    } reset { this };

    const MustacheContextPtr localizing = context->contextByAddingTagDelegate(
        std::dynamic_pointer_cast<MustacheTagDelegate>(shared_from_this()));
    setFormatArguments(std::nullopt);
    const std::optional<QString> format = tag.renderContentWithContext(localizing, HTMLSafe, error);
    if (!format)
        return std::nullopt;
    setFormatArguments(QStringList());
    if (!tag.renderContentWithContext(localizing, HTMLSafe, error))
        return std::nullopt;
    const QStringList arguments = formatArguments().value_or(QStringList());
    if (arguments.isEmpty())
        return localizedStringForKey(*format);
    QString key = *format;
    key.replace(u'%', QStringLiteral("%%"));
    key.replace(Placeholder, QStringLiteral("%@"));
    return stringWithFormat(localizedStringForKey(key), arguments);
}

QVariant MustacheLocalizer::mustacheTagWillRenderObject(
    const MustacheTag& tag, const QVariant& object)
{
    if (tag.type() != MustacheTagType::Variable)
        return object;
    return formatArguments() ? object : QVariant(Placeholder);
}

void MustacheLocalizer::mustacheTagDidRenderObject(
    const MustacheTag& tag, const QVariant&, const QString& rendering)
{
    if (tag.type() != MustacheTagType::Variable)
        return;
    auto& arguments = threadArguments();
    const auto it = arguments.find(this);
    if (it != arguments.end() && it->second)
        it->second->append(rendering);
}
