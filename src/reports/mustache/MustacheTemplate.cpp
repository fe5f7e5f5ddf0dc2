#include "reports/mustache/MustacheTemplate.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheRenderingDepth.h"
#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheTemplateRepository.h"

#include <QFileInfo>

#include <algorithm>

MustacheTemplate::MustacheTemplate() = default;
MustacheTemplate::~MustacheTemplate() = default;

MustacheTemplatePtr MustacheTemplate::templateFromString(
    const QString& templateString, platform::Error* error)
{
    return MustacheTemplateRepository::templateRepositoryWithBundle(QString())->templateFromString(
        templateString, error);
}

MustacheTemplatePtr MustacheTemplate::templateFromResource(
    const QString& name, const QString& bundle, platform::Error* error)
{
    return MustacheTemplateRepository::templateRepositoryWithBundle(bundle)->templateNamed(
        name, error);
}

MustacheTemplatePtr MustacheTemplate::templateFromContentsOfFile(
    const QString& path, platform::Error* error)
{
    const QFileInfo info(path);
    return MustacheTemplateRepository::templateRepositoryWithDirectory(
        info.path(), info.suffix(), QStringConverter::Utf8)
        ->templateNamed(info.completeBaseName(), error);
}

MustacheTemplatePtr MustacheTemplate::templateFromContentsOfURL(
    const QUrl& url, platform::Error* error)
{
    const QString fileName = url.fileName();
    const QString extension = QFileInfo(fileName).suffix();
    const QString name = QFileInfo(fileName).completeBaseName();
    return MustacheTemplateRepository::templateRepositoryWithBaseURL(
        url.adjusted(QUrl::RemoveFilename), extension, QStringConverter::Utf8)
        ->templateNamed(name, error);
}

std::optional<QString> MustacheTemplate::renderObjectFromString(
    const QVariant& object, const QString& templateString, platform::Error* error)
{
    MustacheTemplatePtr compiled = templateFromString(templateString, error);
    return compiled ? compiled->renderObject(object, error) : std::nullopt;
}

std::optional<QString> MustacheTemplate::renderObjectFromResource(
    const QVariant& object, const QString& name, const QString& bundle, platform::Error* error)
{
    MustacheTemplatePtr compiled = templateFromResource(name, bundle, error);
    return compiled ? compiled->renderObject(object, error) : std::nullopt;
}

void MustacheTemplate::setBaseContext(const MustacheContextPtr& baseContext)
{
    if (!baseContext)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid baseContext:nil"));
    m_baseContext = baseContext;
}

void MustacheTemplate::extendBaseContextWithObject(const QVariant& object)
{
    setBaseContext(m_baseContext->contextByAddingObject(object));
}

void MustacheTemplate::extendBaseContextWithProtectedObject(const QVariant& object)
{
    setBaseContext(m_baseContext->contextByAddingProtectedObject(object));
}

void MustacheTemplate::extendBaseContextWithTagDelegate(
    const std::shared_ptr<MustacheTagDelegate>& delegate)
{
    setBaseContext(m_baseContext->contextByAddingTagDelegate(delegate));
}

std::optional<QString> MustacheTemplate::renderObject(
    const QVariant& object, platform::Error* error) const
{
    return renderContentWithContext(m_baseContext->contextByAddingObject(object), nullptr, error);
}

std::optional<QString> MustacheTemplate::renderObjectsFromArray(
    const QVariantList& objects, platform::Error* error) const
{
    MustacheContextPtr context = m_baseContext;
    for (const QVariant& object : objects)
        context = context->contextByAddingObject(object);
    return renderContentWithContext(context, nullptr, error);
}

bool MustacheTemplate::renderComponents(
    QString& buffer, const MustacheContextPtr& context, platform::Error* error) const
{
    const MustacheRenderingBudget budget;
    const bool overridden = context->hasTemplateOverrides();
    for (const MustacheComponentPtr& component : m_components) {
        if (!MustacheRenderingBudget::spendSteps())
            return MustacheRenderingBudget::fail(error);
        const MustacheComponentPtr resolved
            = overridden ? context->resolveTemplateComponent(component) : nullptr;
        const MustacheTemplateComponent& rendered = resolved ? *resolved : *component;
        const qsizetype before = buffer.size();
        if (!rendered.renderContentType(m_contentType, buffer, context, error))
            return false;
        if (!MustacheRenderingBudget::spendCharacters(buffer.size() - before))
            return MustacheRenderingBudget::fail(error);
    }
    return true;
}

std::optional<QString> MustacheTemplate::renderContentWithContext(
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const
{
    if (!context)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid context:nil"));
    QString buffer;
    buffer.reserve(m_renderingLengthHint.load(std::memory_order_relaxed));
    platform::Error renderingError;
    if (!renderComponents(buffer, context, &renderingError)) {
        MustacheError::report(renderingError, error);
        return std::nullopt;
    }
    m_renderingLengthHint.store(buffer.size(), std::memory_order_relaxed);
    if (HTMLSafe)
        *HTMLSafe = m_contentType == MustacheContentType::HTML;
    return buffer;
}

bool MustacheTemplate::renderContentType(MustacheContentType contentType, QString& buffer,
    const MustacheContextPtr& context, platform::Error* error) const
{
    if (!context)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid context:nil"));
    if (contentType == MustacheContentType::HTML && m_contentType == MustacheContentType::Text) {
        // A text template inside an HTML one is escaped as a whole.
        QString text;
        if (!renderComponents(text, context, error))
            return false;
        buffer += Mustache::escapeHTML(text);
        return true;
    }
    return renderComponents(buffer, context, error);
}

MustacheComponentPtr MustacheTemplate::resolveTemplateComponent(
    const MustacheComponentPtr& component) const
{
    // A partial that includes itself would offer the component to itself forever: a
    // template already passing it on lets it through unchanged.
    thread_local std::vector<const MustacheTemplate*> resolving;
    if (std::find(resolving.begin(), resolving.end(), this) != resolving.end())
        return component;
    resolving.push_back(this);
    struct Pop {
        ~Pop() { resolving.pop_back(); }
    } pop;
    // A partial included twice is passed through twice, its partials four times, and so
    // on: the passes count as work. Once the budget is spent the component goes on as it
    // is; the rendering stops at its next step.
    const MustacheRenderingBudget budget;
    MustacheComponentPtr resolved = component;
    for (const MustacheComponentPtr& own : m_components) {
        if (!MustacheRenderingBudget::spendSteps())
            break;
        resolved = own->resolveTemplateComponent(resolved);
    }
    return resolved;
}

std::optional<QString> MustacheTemplate::renderForMustacheTag(const MustacheTag& tag,
    const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
{
    // A template found in the data may be found again inside itself, like a partial.
    MustacheRenderingDepth depth;
    if (depth.exceeded()) {
        MustacheError::report(
            MustacheRenderingDepth::error(tag.expression()->token().get()), error);
        return std::nullopt;
    }
    return renderContentWithContext(context, HTMLSafe, error);
}
