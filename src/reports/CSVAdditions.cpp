#include "reports/CSVAdditions.h"

#include "platform/Exception.h"
#include "reports/CSVAggregator.h"
#include "reports/CSVParser.h"
#include "reports/CSVWriter.h"

#include <QBuffer>
#include <QSequentialIterable>

namespace CSVAdditions {

namespace {

std::optional<QList<QStringList>> aggregate(
    CSVParser& parser, quint32 options, platform::Error* error, QList<quint64>* textLines = nullptr)
{
    CSVAggregator aggregator;
    parser.setOptions(options);
    parser.setDelegate(&aggregator);
    parser.parse();
    if (error)
        *error = aggregator.error();
    if (textLines)
        *textLines = aggregator.takeTextLines();
    return aggregator.takeLines();
}

bool isCollection(const QVariant& element)
{
    const int type = element.typeId();
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return false;
    return element.canView<QSequentialIterable>();
}

} // namespace

std::optional<QList<QStringList>> arrayWithContentsOfCSVFile(
    const QString& path, quint32 options, platform::Error* error, QList<quint64>* textLines)
{
    if (path.isNull()) {
        throw platform::Exception(platform::Exception::InternalInconsistency,
            QStringLiteral("Invalid parameter not satisfying: path"));
    }
    return aggregate(*CSVParser::initWithContentsOfCSVFile(path), options, error, textLines);
}

std::optional<QList<QStringList>> CSVComponents(const QString& string, platform::Error* error)
{
    return CSVComponentsWithOptions(string, 0, error);
}

std::optional<QList<QStringList>> CSVComponentsWithOptions(
    const QString& string, quint32 options, platform::Error* error)
{
    return aggregate(*CSVParser::initWithCSVString(string), options, error);
}

QString CSVString(const QVariantList& array)
{
    QByteArray bytes;
    {
        auto buffer = std::make_unique<QBuffer>(&bytes);
        buffer->open(QIODevice::WriteOnly);
        auto writer
            = CSVWriter::initWithOutputStream(std::move(buffer), StringEncoding::UTF8, u',');
        for (const QVariant& element : array) {
            switch (element.typeId()) {
            case QMetaType::QVariantList:
                writer->writeLineOfFields(element.toList());
                break;
            case QMetaType::QStringList:
                writer->writeLineOfFields(element.toStringList());
                break;
            default:
                if (isCollection(element)) {
                    QVariantList fields;
                    for (const QVariant& field : element.value<QSequentialIterable>())
                        fields.append(field);
                    writer->writeLineOfFields(fields);
                }
                break;
            }
        }
        writer->closeStream();
    }
    return QString::fromUtf8(bytes);
}

} // namespace CSVAdditions
