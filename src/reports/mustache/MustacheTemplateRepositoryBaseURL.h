#pragma once

#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"

#include <QUrl>

// Templates at URLs below a base URL; only file: URLs are read.
class MustacheTemplateRepositoryBaseURL : public MustacheTemplateRepository,
                                          public MustacheTemplateRepositoryDataSource {
public:
    MustacheTemplateRepositoryBaseURL(
        const QUrl& baseURL, const QString& templateExtension, QStringConverter::Encoding encoding);

    const QUrl& baseURL() const { return m_baseURL; }
    std::optional<QString> templateIDForName(MustacheTemplateRepository& repository,
        const QString& name, const QString& baseTemplateID) override;
    std::optional<QString> templateStringForTemplateID(MustacheTemplateRepository& repository,
        const QString& templateID, platform::Error* error) override;

private:
    QUrl m_baseURL;
    QString m_templateExtension;
    QStringConverter::Encoding m_encoding;
};
