#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheAST.h"
#include "reports/mustache/MustacheConfiguration.h"
#include "reports/mustache/MustacheTemplate.h"

#include <QHash>
#include <QRecursiveMutex>
#include <QStringConverter>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

class MustacheTemplateRepositoryDataSource;

// Loads templates by name, compiles each once and keeps it: its cache owns the templates,
// which it hands out as pointers that keep the repository alive. Always held by a shared
// pointer (make one with the factories below).
class MustacheTemplateRepository : public std::enable_shared_from_this<MustacheTemplateRepository> {
public:
    MustacheTemplateRepository();
    virtual ~MustacheTemplateRepository();

    // No data source: every name is "No such template".
    static std::shared_ptr<MustacheTemplateRepository> templateRepository();
    static std::shared_ptr<MustacheTemplateRepository> templateRepositoryWithBaseURL(
        const QUrl& baseURL, const QString& templateExtension = QStringLiteral("mustache"),
        QStringConverter::Encoding encoding = QStringConverter::Utf8);
    static std::shared_ptr<MustacheTemplateRepository> templateRepositoryWithDirectory(
        const QString& directoryPath, const QString& templateExtension = QStringLiteral("mustache"),
        QStringConverter::Encoding encoding = QStringConverter::Utf8);
    // The bundle is a resources folder; empty for the application's own.
    static std::shared_ptr<MustacheTemplateRepository> templateRepositoryWithBundle(
        const QString& bundle, const QString& templateExtension = QStringLiteral("mustache"),
        QStringConverter::Encoding encoding = QStringConverter::Utf8);
    // Name to template text; every value must be a string.
    static std::shared_ptr<MustacheTemplateRepository> templateRepositoryWithDictionary(
        const QVariantMap& partialsDictionary);

    MustacheTemplateRepositoryDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(MustacheTemplateRepositoryDataSource* dataSource)
    {
        m_dataSource = dataSource;
    }
    MustacheConfiguration& configuration() { return m_configuration; }
    void setConfiguration(const MustacheConfiguration& configuration);

    MustacheTemplatePtr templateNamed(const QString& name, platform::Error* error);
    MustacheTemplatePtr templateNamed(
        const QString& name, const QString& baseTemplateID, platform::Error* error);
    // Compiled with no template ID and never cached.
    MustacheTemplatePtr templateFromString(const QString& templateString, platform::Error* error);
    std::optional<MustacheAST> ASTFromString(const std::optional<QString>& templateString,
        const QString& templateID, platform::Error* error);

    // For the compiler: the cached template, possibly still being compiled.
    MustacheTemplate* templateForCompiler(
        const QString& name, const QString& baseTemplateID, platform::Error* error);
    QString description() const;
    // How many templates the compiling thread is compiling inside each other.
    int loadDepth() const { return m_loadDepth; }

private:
    MustacheTemplate* loadTemplate(
        const QString& name, const QString& baseTemplateID, platform::Error* error);
    // Gives a template the parsed tree's components and content type.
    void fillCompiled(MustacheTemplate& compiled, const MustacheAST& ast) const;

    MustacheTemplateRepositoryDataSource* m_dataSource = nullptr;
    QHash<QString, std::shared_ptr<MustacheTemplate>> m_templateForTemplateID;
    MustacheConfiguration m_configuration;
    QRecursiveMutex m_lock;
    // Templates cached by the outermost load in progress, removed together if it fails.
    int m_loadDepth = 0;
    std::vector<QString> m_addedDuringLoad;
};

using MustacheTemplateRepositoryPtr = std::shared_ptr<MustacheTemplateRepository>;
