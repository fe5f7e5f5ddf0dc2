#pragma once

#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheRendering.h"
#include "reports/mustache/MustacheTemplateComponent.h"

#include <QUrl>

#include <atomic>

class MustacheTemplateRepository;

// A compiled template. Templates loaded by name belong to their repository's cache and
// are handed out as pointers that keep the repository alive; a template compiled from a
// string holds its repository itself.
class MustacheTemplate : public MustacheRendering, public MustacheTemplateComponent {
public:
    MustacheTemplate();
    ~MustacheTemplate() override;

    static std::shared_ptr<MustacheTemplate> templateFromString(
        const QString& templateString, platform::Error* error);
    // The bundle is a resources folder; empty for the application's own.
    static std::shared_ptr<MustacheTemplate> templateFromResource(
        const QString& name, const QString& bundle, platform::Error* error);
    static std::shared_ptr<MustacheTemplate> templateFromContentsOfFile(
        const QString& path, platform::Error* error);
    static std::shared_ptr<MustacheTemplate> templateFromContentsOfURL(
        const QUrl& url, platform::Error* error);
    static std::optional<QString> renderObjectFromString(
        const QVariant& object, const QString& templateString, platform::Error* error);
    static std::optional<QString> renderObjectFromResource(
        const QVariant& object, const QString& name, const QString& bundle, platform::Error* error);

    const MustacheComponents& components() const { return m_components; }
    // False while the template is being compiled (a partial that includes itself sees it so).
    bool isCompiled() const { return m_compiled; }
    MustacheContentType contentType() const { return m_contentType; }
    const MustacheContextPtr& baseContext() const { return m_baseContext; }
    void setBaseContext(const MustacheContextPtr& baseContext);
    void extendBaseContextWithObject(const QVariant& object);
    void extendBaseContextWithProtectedObject(const QVariant& object);
    void extendBaseContextWithTagDelegate(const std::shared_ptr<MustacheTagDelegate>& delegate);

    std::optional<QString> renderObject(const QVariant& object, platform::Error* error) const;
    std::optional<QString> renderObjectsFromArray(
        const QVariantList& objects, platform::Error* error) const;
    std::optional<QString> renderContentWithContext(
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const;

    bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const override;
    MustacheComponentPtr resolveTemplateComponent(
        const MustacheComponentPtr& component) const override;
    std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe,
        platform::Error* error) override;

private:
    friend class MustacheTemplateRepository;
    bool renderComponents(
        QString& buffer, const MustacheContextPtr& context, platform::Error* error) const;

    MustacheComponents m_components;
    MustacheContentType m_contentType = MustacheContentType::HTML;
    bool m_compiled = false;
    MustacheContextPtr m_baseContext;
    // The length of the last rendering, reserved for the next: reports render the same
    // template over and over, and a long output would otherwise grow by copying.
    mutable std::atomic<qsizetype> m_renderingLengthHint { 0 };
    // Set for templates outside the cache, whose partials the cache owns.
    std::shared_ptr<MustacheTemplateRepository> m_repository;
};

using MustacheTemplatePtr = std::shared_ptr<MustacheTemplate>;
