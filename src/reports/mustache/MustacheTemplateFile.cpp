#include "reports/mustache/MustacheTemplateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

std::optional<QString> MustacheTemplateFile::read(
    const QString& path, QStringConverter::Encoding encoding, platform::Error* error)
{
    QFile file(path);
    const QString fileName = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = platform::Error(QStringLiteral("NSCocoaErrorDomain"), 260,
                { { platform::Error::LocalizedDescriptionKey,
                      QStringLiteral("The file \u201c%1\u201d couldn\u2019t be opened because "
                                     "there is no such file.")
                          .arg(fileName) },
                    { platform::Error::FilePathKey, path } });
        return std::nullopt;
    }
    QStringDecoder decoder(encoding);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        if (error)
            *error = platform::Error(QStringLiteral("NSCocoaErrorDomain"), 261,
                { { platform::Error::LocalizedDescriptionKey,
                      QStringLiteral(
                          "The file \u201c%1\u201d couldn\u2019t be opened using text encoding %2.")
                          .arg(fileName,
                              QString::fromLatin1(QStringConverter::nameForEncoding(encoding))) },
                    { platform::Error::FilePathKey, path } });
        return std::nullopt;
    }
    return text.isNull() ? QStringLiteral("") : text;
}

std::optional<QString> MustacheTemplateFile::inside(const QString& folder, const QString& path)
{
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    const QString cleaned = QDir::cleanPath(QDir(folder).absoluteFilePath(path));
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    if (!cleaned.startsWith(prefix))
        return std::nullopt;
    return cleaned;
}

QString MustacheTemplateFile::withExtension(const QString& name, const QString& extension)
{
    return extension.isEmpty() ? name : name + u'.' + extension;
}
