#include "reports/mustache/MustacheTag.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheIdentifierExpression.h"
#include "reports/mustache/MustacheRenderingRegistry.h"
#include "reports/mustache/MustacheTagDelegate.h"

MustacheTag::MustacheTag(MustacheTagType type, MustacheTemplateRepository* templateRepository,
    MustacheExpressionPtr expression, MustacheContentType contentType)
    : m_type(type)
    , m_templateRepository(templateRepository)
    , m_expression(std::move(expression))
    , m_identifier(dynamic_cast<const MustacheIdentifierExpression*>(m_expression.get()))
    , m_contentType(contentType)
{
}

std::optional<QString> MustacheTag::renderContentWithContext(
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error*) const
{
    if (!context)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid context:nil"));
    if (HTMLSafe)
        *HTMLSafe = m_contentType == MustacheContentType::HTML;
    return QStringLiteral("");
}

bool MustacheTag::appendContentWithContext(
    const MustacheContextPtr& context, QString& buffer, platform::Error* error) const
{
    std::optional<QString> rendering = renderContentWithContext(context, nullptr, error);
    if (!rendering)
        return false;
    buffer += *rendering;
    return true;
}

std::shared_ptr<MustacheTag> MustacheTag::tagWithOverridingTag(
    const std::shared_ptr<MustacheTag>&) const
{
    return nullptr;
}

QString MustacheTag::className() const
{
    return QStringLiteral("MustacheTag");
}

QString MustacheTag::description() const
{
    const auto& token = m_expression ? m_expression->token() : nullptr;
    if (!token)
        return QStringLiteral("<%1>").arg(className());
    if (token->templateID().isEmpty())
        return QStringLiteral("<%1 `%2` at line %3>")
            .arg(className(), token->templateSubstring())
            .arg(token->line());
    return QStringLiteral("<%1 `%2` at line %3 of template %4>")
        .arg(className(), token->templateSubstring())
        .arg(token->line())
        .arg(token->templateID());
}

bool MustacheTag::renderContentType(MustacheContentType contentType, QString& buffer,
    const MustacheContextPtr& givenContext, platform::Error* error) const
{
    // The common case of a report cell: a string read from a row, nobody to tell.
    if (m_identifier && m_type == MustacheTagType::Variable) {
        const QVariant* found = givenContext->peekDictionaryValueForKey(m_identifier->identifier());
        if (found && found->metaType().id() == QMetaType::QString
            && !givenContext->hasTagDelegates()) {
            const QString& text = *static_cast<const QString*>(found->constData());
            if (contentType == MustacheContentType::HTML && escapesHTML())
                Mustache::appendEscapedHTML(buffer, text);
            else
                buffer += text;
            return true;
        }
    }

    QVariant value;
    bool isProtected = false;
    platform::Error evaluationError;
    if (!m_expression->hasValue(&value, givenContext, &isProtected, &evaluationError)) {
        MustacheError::report(evaluationError, error);
        return false;
    }
    // A protected value is hidden from the lookups of its own rendering. The shared pointer
    // is only copied then: this runs for every tag.
    const MustacheContextPtr hiding
        = isProtected ? givenContext->contextByAddingHiddenObject(value) : nullptr;
    const MustacheContextPtr& context = hiding ? hiding : givenContext;

    // Without delegates to tell, the values the engine renders itself go straight into the
    // buffer: strings escaped on the way, sections without a string of their own.
    if (!context->hasTagDelegates()) {
        if (m_type == MustacheTagType::Variable && value.metaType().id() == QMetaType::QString) {
            const QString& text = *static_cast<const QString*>(value.constData());
            if (contentType == MustacheContentType::HTML && escapesHTML())
                Mustache::appendEscapedHTML(buffer, text);
            else
                buffer += text;
            return true;
        }
        if (m_type != MustacheTagType::Variable && contentType == m_contentType
            && MustacheRenderingRegistry::rendersItself(value)) {
            platform::Error renderingError;
            if (MustacheRenderingRegistry::renderSection(
                    value, *this, context, buffer, &renderingError))
                return true;
            MustacheError::report(renderingError, error);
            return false;
        }
    }

    std::vector<std::shared_ptr<MustacheTagDelegate>> delegates;
    if (context->hasTagDelegates()) {
        delegates = context->tagDelegateStack();
        for (auto it = delegates.rbegin(); it != delegates.rend(); ++it)
            value = (*it)->mustacheTagWillRenderObject(*this, value);
    }

    bool HTMLSafe = false;
    platform::Error renderingError;
    std::optional<QString> rendering
        = MustacheRenderingRegistry::render(value, *this, context, &HTMLSafe, &renderingError);
    if (!rendering && !renderingError.isNull()) {
        MustacheError::report(renderingError, error);
        for (const auto& delegate : delegates)
            delegate->mustacheTagDidFailRenderingObject(*this, value, renderingError);
        return false;
    }
    QString text = rendering ? *rendering : QString();
    if (!text.isEmpty()) {
        if (contentType == MustacheContentType::HTML && !HTMLSafe && escapesHTML())
            text = Mustache::escapeHTML(text);
        buffer += text;
    }
    for (const auto& delegate : delegates)
        delegate->mustacheTagDidRenderObject(*this, value, text);
    return true;
}

MustacheComponentPtr MustacheTag::resolveTemplateComponent(
    const MustacheComponentPtr& component) const
{
    if (m_type != MustacheTagType::OverridableSection)
        return component;
    auto offered = std::dynamic_pointer_cast<MustacheTag>(component);
    if (!offered || offered->type() != MustacheTagType::OverridableSection
        || !offered->expression()->isEqual(*m_expression))
        return component;
    auto self = std::const_pointer_cast<MustacheTag>(shared_from_this());
    return offered->tagWithOverridingTag(self);
}
