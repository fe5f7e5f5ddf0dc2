#pragma once

#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"

// Templates are resources of a bundle (a resources folder); partials are looked up flat,
// whatever template includes them.
class MustacheTemplateRepositoryBundle : public MustacheTemplateRepository,
                                         public MustacheTemplateRepositoryDataSource {
public:
    // An empty bundle is the application's resources folder.
    MustacheTemplateRepositoryBundle(const QString& bundle, const QString& templateExtension,
        QStringConverter::Encoding encoding);

    const QString& bundle() const { return m_bundle; }
    std::optional<QString> templateIDForName(MustacheTemplateRepository& repository,
        const QString& name, const QString& baseTemplateID) override;
    std::optional<QString> templateStringForTemplateID(MustacheTemplateRepository& repository,
        const QString& templateID, platform::Error* error) override;

private:
    QString m_bundle;
    QString m_templateExtension;
    QStringConverter::Encoding m_encoding;
};
