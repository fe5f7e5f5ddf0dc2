#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"

MustacheTemplateRepositoryDataSource::~MustacheTemplateRepositoryDataSource() = default;
