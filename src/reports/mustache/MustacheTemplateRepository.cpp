#include "reports/mustache/MustacheTemplateRepository.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheCompiler.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheParser.h"
#include "reports/mustache/MustacheTemplateRepositoryBaseURL.h"
#include "reports/mustache/MustacheTemplateRepositoryBundle.h"
#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"
#include "reports/mustache/MustacheTemplateRepositoryDirectory.h"
#include "reports/mustache/MustacheTemplateRepositoryPartialsDictionary.h"

MustacheTemplateRepository::MustacheTemplateRepository()
    : m_configuration(MustacheConfiguration::defaultConfiguration())
{
}

MustacheTemplateRepository::~MustacheTemplateRepository() = default;

MustacheTemplateRepositoryPtr MustacheTemplateRepository::templateRepository()
{
    return std::make_shared<MustacheTemplateRepository>();
}

MustacheTemplateRepositoryPtr MustacheTemplateRepository::templateRepositoryWithBaseURL(
    const QUrl& baseURL, const QString& templateExtension, QStringConverter::Encoding encoding)
{
    return std::make_shared<MustacheTemplateRepositoryBaseURL>(
        baseURL, templateExtension, encoding);
}

MustacheTemplateRepositoryPtr MustacheTemplateRepository::templateRepositoryWithDirectory(
    const QString& directoryPath, const QString& templateExtension,
    QStringConverter::Encoding encoding)
{
    return std::make_shared<MustacheTemplateRepositoryDirectory>(
        directoryPath, templateExtension, encoding);
}

MustacheTemplateRepositoryPtr MustacheTemplateRepository::templateRepositoryWithBundle(
    const QString& bundle, const QString& templateExtension, QStringConverter::Encoding encoding)
{
    return std::make_shared<MustacheTemplateRepositoryBundle>(bundle, templateExtension, encoding);
}

MustacheTemplateRepositoryPtr MustacheTemplateRepository::templateRepositoryWithDictionary(
    const QVariantMap& partialsDictionary)
{
    return std::make_shared<MustacheTemplateRepositoryPartialsDictionary>(partialsDictionary);
}

void MustacheTemplateRepository::setConfiguration(const MustacheConfiguration& configuration)
{
    if (m_configuration.isLocked())
        throw platform::Exception(platform::Exception::Generic,
            QStringLiteral("%1 was mutated after template compilation").arg(description()));
    m_configuration = configuration;
}

QString MustacheTemplateRepository::description() const
{
    return QStringLiteral("<MustacheTemplateRepository: 0x%1>").arg(quintptr(this), 0, 16);
}

MustacheTemplatePtr MustacheTemplateRepository::templateNamed(
    const QString& name, platform::Error* error)
{
    return templateNamed(name, QString(), error);
}

MustacheTemplatePtr MustacheTemplateRepository::templateNamed(
    const QString& name, const QString& baseTemplateID, platform::Error* error)
{
    platform::Error loadError;
    MustacheTemplate* loaded = templateForCompiler(name, baseTemplateID, &loadError);
    if (!loaded) {
        MustacheError::report(loadError, error);
        return nullptr;
    }
    // Shares ownership with the repository, whose cache owns the template.
    return MustacheTemplatePtr(shared_from_this(), loaded);
}

MustacheTemplate* MustacheTemplateRepository::templateForCompiler(
    const QString& name, const QString& baseTemplateID, platform::Error* error)
{
    QMutexLocker lock(&m_lock);
    return loadTemplate(name, baseTemplateID, error);
}

MustacheTemplate* MustacheTemplateRepository::loadTemplate(
    const QString& name, const QString& baseTemplateID, platform::Error* error)
{
    const auto notFound = [&] {
        MustacheError::report(MustacheError::make(MustacheError::TemplateNotFound,
                                  QStringLiteral("No such template: `%1`").arg(name)),
            error);
        return nullptr;
    };
    if (name.isNull() || !m_dataSource)
        return notFound();
    const std::optional<QString> templateID
        = m_dataSource->templateIDForName(*this, name, baseTemplateID);
    if (!templateID)
        return notFound();
    if (const auto cached = m_templateForTemplateID.constFind(*templateID);
        cached != m_templateForTemplateID.constEnd())
        return cached.value().get();

    platform::Error sourceError;
    const std::optional<QString> templateString
        = m_dataSource->templateStringForTemplateID(*this, *templateID, &sourceError);
    if (!templateString) {
        if (sourceError.isNull())
            return notFound();
        MustacheError::report(sourceError, error);
        return nullptr;
    }

    // Cached before compiling, so a template that includes itself finds itself.
    auto compiled = std::make_shared<MustacheTemplate>();
    m_templateForTemplateID.insert(*templateID, compiled);
    if (m_loadDepth == 0)
        m_addedDuringLoad.clear();
    m_addedDuringLoad.push_back(*templateID);
    ++m_loadDepth;
    // Templates cached during a load that fails may point at the failed one: the outermost
    // load removes them all, so no cached template is left referring to a removed one.
    const auto forgetFailedLoad = [this, &templateID] {
        --m_loadDepth;
        m_templateForTemplateID.remove(*templateID);
        if (m_loadDepth == 0) {
            for (const QString& added : m_addedDuringLoad)
                m_templateForTemplateID.remove(added);
            m_addedDuringLoad.clear();
        }
    };
    std::optional<MustacheAST> ast;
    platform::Error compileError;
    try {
        ast = ASTFromString(templateString, *templateID, &compileError);
    } catch (...) {
        forgetFailedLoad();
        throw;
    }
    if (!ast) {
        forgetFailedLoad();
        MustacheError::report(compileError, error);
        return nullptr;
    }
    --m_loadDepth;
    fillCompiled(*compiled, *ast);
    return compiled.get();
}

void MustacheTemplateRepository::fillCompiled(
    MustacheTemplate& compiled, const MustacheAST& ast) const
{
    compiled.m_components = ast.templateComponents();
    compiled.m_contentType = ast.contentType();
    compiled.m_baseContext = m_configuration.baseContext();
    compiled.m_compiled = true;
}

std::optional<MustacheAST> MustacheTemplateRepository::ASTFromString(
    const std::optional<QString>& templateString, const QString& templateID, platform::Error* error)
{
    QMutexLocker lock(&m_lock);
    m_configuration.lock();
    MustacheCompiler compiler(m_configuration);
    compiler.setTemplateRepository(this);
    compiler.setBaseTemplateID(templateID);
    MustacheParser parser(m_configuration);
    parser.setDelegate(&compiler);
    parser.parseTemplateString(templateString, templateID);
    return compiler.ASTReturningError(error);
}

MustacheTemplatePtr MustacheTemplateRepository::templateFromString(
    const QString& templateString, platform::Error* error)
{
    std::optional<MustacheAST> ast = ASTFromString(templateString, QString(), error);
    if (!ast)
        return nullptr;
    auto compiled = std::make_shared<MustacheTemplate>();
    fillCompiled(*compiled, *ast);
    compiled->m_repository = shared_from_this();
    return compiled;
}
