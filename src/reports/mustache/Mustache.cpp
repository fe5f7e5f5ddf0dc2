#include "reports/mustache/Mustache.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheBlankFilter.h"
#include "reports/mustache/MustacheCapitalizedFilter.h"
#include "reports/mustache/MustacheEmptyFilter.h"
#include "reports/mustache/MustacheHTMLEscapeFilter.h"
#include "reports/mustache/MustacheJavascriptEscaper.h"
#include "reports/mustache/MustacheKeyAccess.h"
#include "reports/mustache/MustacheLocalizer.h"
#include "reports/mustache/MustacheLowercaseFilter.h"
#include "reports/mustache/MustacheNilRenderer.h"
#include "reports/mustache/MustacheURLEscapeFilter.h"
#include "reports/mustache/MustacheUppercaseFilter.h"
#include "reports/mustache/MustacheValue.h"

Mustache::Version Mustache::version()
{
    return { 6, 9, 0 };
}

const QVariantMap& Mustache::standardLibrary()
{
    static const QVariantMap library = [] {
        QVariantMap map;
        map.insert(QStringLiteral("capitalized"),
            MustacheValue::fromObject(std::make_shared<MustacheCapitalizedFilter>()));
        map.insert(QStringLiteral("lowercase"),
            MustacheValue::fromObject(std::make_shared<MustacheLowercaseFilter>()));
        map.insert(QStringLiteral("uppercase"),
            MustacheValue::fromObject(std::make_shared<MustacheUppercaseFilter>()));
        map.insert(QStringLiteral("isBlank"),
            MustacheValue::fromObject(std::make_shared<MustacheBlankFilter>()));
        map.insert(QStringLiteral("isEmpty"),
            MustacheValue::fromObject(std::make_shared<MustacheEmptyFilter>()));
        map.insert(QStringLiteral("localize"),
            MustacheValue::fromObject(std::make_shared<MustacheLocalizer>(QString(), QString())));
        map.insert(QStringLiteral("HTML"),
            QVariantMap { { QStringLiteral("escape"),
                MustacheValue::fromObject(std::make_shared<MustacheHTMLEscapeFilter>()) } });
        map.insert(QStringLiteral("javascript"),
            QVariantMap { { QStringLiteral("escape"),
                MustacheValue::fromObject(std::make_shared<MustacheJavascriptEscaper>()) } });
        map.insert(QStringLiteral("URL"),
            QVariantMap { { QStringLiteral("escape"),
                MustacheValue::fromObject(std::make_shared<MustacheURLEscapeFilter>()) } });
        return map;
    }();
    return library;
}

namespace {

// The first character that needs an entity, or the length when there is none.
qsizetype firstToEscape(const QChar* begin, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = begin[i].unicode();
        if (c == u'"' || c == u'&' || c == u'\'' || c == u'<' || c == u'>')
            return i;
    }
    return length;
}

void appendEscaped(QString& buffer, const QChar* begin, qsizetype length, qsizetype first)
{
    qsizetype runStart = 0;
    for (qsizetype i = first; i < length; ++i) {
        QLatin1String entity;
        switch (begin[i].unicode()) {
        case u'"':
            entity = QLatin1String("&quot;");
            break;
        case u'&':
            entity = QLatin1String("&amp;");
            break;
        case u'\'':
            entity = QLatin1String("&apos;");
            break;
        case u'<':
            entity = QLatin1String("&lt;");
            break;
        case u'>':
            entity = QLatin1String("&gt;");
            break;
        default:
            continue;
        }
        buffer.append(QStringView(begin + runStart, i - runStart));
        buffer.append(entity);
        runStart = i + 1;
    }
    buffer.append(QStringView(begin + runStart, length - runStart));
}

} // namespace

QString Mustache::escapeHTML(const QString& string)
{
    const qsizetype first = firstToEscape(string.constData(), string.size());
    if (first == string.size())
        return string;
    QString result;
    result.reserve(string.size() + string.size() / 4 + 8);
    appendEscaped(result, string.constData(), string.size(), first);
    return result;
}

void Mustache::appendEscapedHTML(QString& buffer, QStringView string)
{
    const qsizetype first = firstToEscape(string.data(), string.size());
    if (first == string.size())
        buffer.append(string);
    else
        appendEscaped(buffer, string.data(), string.size(), first);
}

std::shared_ptr<MustacheRendering> Mustache::renderingObjectForObject(const QVariant& object)
{
    if (!object.isValid())
        return MustacheNilRenderer::sharedInstance();
    return MustacheValue::objectAs<MustacheRendering>(object);
}

std::shared_ptr<MustacheRendering> Mustache::renderingObjectWithBlock(
    MustacheBlockRenderer::Block block)
{
    if (!block)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("Can't build a rendering object with a nil block."));
    return std::make_shared<MustacheBlockRenderer>(std::move(block));
}

bool Mustache::registerRenderingImplementation(
    QMetaType type, MustacheRenderingRegistry::Implementation implementation)
{
    return MustacheRenderingRegistry::registerRenderingImplementation(
        type, std::move(implementation));
}

void Mustache::preventNSUndefinedKeyExceptionAttack()
{
    MustacheKeyAccess::preventNSUndefinedKeyExceptionAttack();
}
