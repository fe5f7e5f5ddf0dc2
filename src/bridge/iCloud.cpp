#include "bridge/iCloud.h"

#include "platform/Dispatch.h"
#include "platform/Folders.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

const QString iCloud::DocumentsFolder = QStringLiteral("Documents");
const QString iCloud::CloudFolderVariable = QStringLiteral("KIVOTAB_CLOUD");
const QString iCloud::DefaultCloudFolder = QStringLiteral("cloud");
const QString iCloud::ErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {

QString documentsPath()
{
    QString container = qEnvironmentVariable(iCloud::CloudFolderVariable.toUtf8().constData());
    if (container.isEmpty())
        container = platform::Folders::home() + "/" + iCloud::DefaultCloudFolder;
    return QDir::cleanPath(container + "/" + iCloud::DocumentsFolder);
}

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

platform::Error saveError(qint64 code, const QString& description, const QString& path = {})
{
    QVariantMap info { { platform::Error::LocalizedDescriptionKey, description } };
    if (!path.isEmpty())
        info.insert(platform::Error::FilePathKey, path);
    return platform::Error(iCloud::ErrorDomain, code, info);
}

} // namespace

iCloud& iCloud::sharedCloud()
{
    static iCloud cloud;
    return cloud;
}

QUrl iCloud::ubiquitousDocumentsDirectoryURL()
{
    const QString path = documentsPath();
    if (!QDir().mkpath(path))
        return {};
    return QUrl::fromLocalFile(path);
}

void iCloud::saveAndCloseDocumentWithName(
    const QString& name, const QByteArray& content, SaveCompletion completion)
{
    const QString folder = documentsPath();
    platform::dispatch::asyncGlobal([name, content, folder, completion = std::move(completion)] {
        QUrl document;
        platform::Error error;
        if (!isPlainFileName(name)) {
            error = saveError(InvalidFileNameError, LocalizedStrings::InvalidFileName());
        } else if (!QDir().mkpath(folder)) {
            error = saveError(WriteUnknownError,
                QStringLiteral("The folder \"%1\" could not be made.").arg(folder), folder);
        } else {
            const QString path = folder + "/" + name;
            QSaveFile file(path);
            const bool written = file.open(QIODevice::WriteOnly)
                && file.write(content) == content.size() && file.commit();
            if (written)
                document = QUrl::fromLocalFile(path);
            else
                error = saveError(WriteUnknownError,
                    QStringLiteral("The document \"%1\" could not be saved: %2")
                        .arg(name, file.errorString()),
                    path);
        }
        platform::dispatch::asyncMain([completion, document, content, error] {
            if (completion)
                completion(document, content, error);
        });
    });
}

void iCloud::retrieveDocuemnt(const QString& name, RetrieveHandler handler)
{
    const QString folder = documentsPath();
    platform::dispatch::asyncGlobal([name, folder, handler = std::move(handler)] {
        QUrl document;
        platform::Error error;
        const QFileInfo file(folder + "/" + name);
        if (!isPlainFileName(name)) {
            error = saveError(InvalidFileNameError, LocalizedStrings::InvalidFileName());
        } else if (!file.isFile() || !file.isReadable()) {
            error = saveError(ReadNoSuchFileError,
                QStringLiteral("The document \"%1\" could not be found.").arg(name),
                file.filePath());
        } else {
            document = QUrl::fromLocalFile(file.filePath());
        }
        platform::dispatch::asyncMain([handler, document, error] {
            if (error)
                MessageHelper::ShowError(error);
            if (handler)
                handler(document);
        });
    });
}
