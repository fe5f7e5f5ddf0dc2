#pragma once

#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"

// Templates are files of a folder; partial names are relative to the including file,
// or to the folder when they begin with "/".
class MustacheTemplateRepositoryDirectory : public MustacheTemplateRepository,
                                            public MustacheTemplateRepositoryDataSource {
public:
    MustacheTemplateRepositoryDirectory(const QString& directoryPath,
        const QString& templateExtension, QStringConverter::Encoding encoding);

    const QString& directoryPath() const { return m_directoryPath; }
    std::optional<QString> templateIDForName(MustacheTemplateRepository& repository,
        const QString& name, const QString& baseTemplateID) override;
    std::optional<QString> templateStringForTemplateID(MustacheTemplateRepository& repository,
        const QString& templateID, platform::Error* error) override;

private:
    QString m_directoryPath;
    QString m_templateExtension;
    QStringConverter::Encoding m_encoding;
};
