#include "reports/GenericTemplateReportController.h"

#include "grid/ExportMenuHost.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/Dispatch.h"
#include "platform/StringFormat.h"
#include "reports/CSVAdditions.h"
#include "reports/CSVErrors.h"
#include "reports/CSVParser.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/ReportProtocol.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/TalloxException.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

const QString GenericTemplateReportController::ColumnNotFound
    = QStringLiteral("Column %@ not found.\r\n");
const QString GenericTemplateReportController::RowInvalid
    = QStringLiteral("Error in row %d. %@ invalid.\r\n.");
const QString GenericTemplateReportController::RowShort
    = QStringLiteral("Row %d has fewer fields than the header.\r\n");
const QString GenericTemplateReportController::RowLong
    = QStringLiteral("Row %d has more fields than the header; the extra ones were ignored.\r\n");
const QString GenericTemplateReportController::ValueUnread
    = QStringLiteral("Error in row %d. \"%@\" is not a valid %@ value for column %@.\r\n");
const QString GenericTemplateReportController::ImportingRow
    = QStringLiteral("Importing row %d.\r\n");
const QString GenericTemplateReportController::ImportSucceeded
    = QStringLiteral("Successfully imported %d rows.\r\n");
const QString GenericTemplateReportController::UpdateFailed
    = QStringLiteral("Updating the database failed.\r\n");
const QString GenericTemplateReportController::LogNameFormat = QStringLiteral("Import_%@");
const QString GenericTemplateReportController::SuccessQuestion
    = QStringLiteral("Import completed successfully.\r\nWould you like to view the log?");
const QString GenericTemplateReportController::FailureQuestion
    = QStringLiteral("Import failed.\r\nWould you like to view the log?");

namespace {

const QString kProtectedRefused = QStringLiteral(
    "This table is protected: open it with its password before importing rows into it.");
const QString kReadFailedLine = QStringLiteral("%1\r\n");

QString filled(QString format, const QString& text)
{
    return format.replace(QLatin1String("%@"), text);
}

QString filled(QString format, qint64 number)
{
    return format.replace(QLatin1String("%d"), QString::number(number));
}

// A number written the way the export writes it: C-locale digits, a point, an exponent.
bool isPlainNumber(const QString& text)
{
    static const QRegularExpression plain(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return plain.match(text).hasMatch();
}

// A number field's text as a number, or nullopt when it reads as none.
std::optional<double> numberValue(const TemplateColumn& column, const QString& text)
{
    bool ok = false;
    const double plain = isPlainNumber(text) ? QLocale::c().toDouble(text, &ok) : 0;
    if (ok)
        return plain;
    // As the column's own reading takes it, without falling back on a leading number.
    const auto decimals = unsigned(
        std::clamp<qlonglong>(column.precision().toLongLong(), 0, KivoNumber::MaximumDecimals));
    return KivoNumber::getNumberFormatterWithDecimal(decimals).numberFromString(text);
}

// A field's value for the column: none (an invalid value) for an empty field, nullopt for
// text that is no value of the column's type, which is never stored as some value. Numbers
// in the plain form read the same in every locale (in German "1.234" is not 1234), others
// the locale's way; dates in the form the export writes. A Yes/No field reads yes/no,
// true/false, 1/0 and the localized Yes and No in any case, an empty one as No, as ever.
std::optional<QVariant> columnValue(const TemplateColumn& column, const QString& field)
{
    const QString kind = column.typeName();
    if (TypeConstants::isText(kind))
        return column.getColumnValue(field);
    const QString text = field.trimmed();
    if (TypeConstants::isBoolean(kind)) {
        if (text.isEmpty())
            return column.getColumnValue(text);
        for (const QString& yes : { QStringLiteral("yes"), QStringLiteral("true"),
                 QStringLiteral("1"), LocalizedStrings::Yes() }) {
            if (text.compare(yes, Qt::CaseInsensitive) == 0)
                return QVariant(true);
        }
        for (const QString& no : { QStringLiteral("no"), QStringLiteral("false"),
                 QStringLiteral("0"), LocalizedStrings::No() }) {
            if (text.compare(no, Qt::CaseInsensitive) == 0)
                return QVariant(false);
        }
        return std::nullopt;
    }
    if (TypeConstants::isNumber(kind)) {
        if (text.isEmpty())
            return QVariant();
        // Not-a-number, infinity and numbers past a double's range are no value a row holds.
        const auto number = numberValue(column, text);
        return number && std::isfinite(*number) ? std::optional<QVariant>(*number) : std::nullopt;
    }
    if (TypeConstants::isDate(kind)) {
        if (text.isEmpty())
            return QVariant();
        const QVariant date = column.getColumnValue(text);
        return date.isValid() ? std::optional<QVariant>(date) : std::nullopt;
    }
    return column.getColumnValue(field);
}

} // namespace

std::shared_ptr<GenericTemplateReportController> GenericTemplateReportController::create(
    ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource)
{
    return std::shared_ptr<GenericTemplateReportController>(
        new GenericTemplateReportController(parent, std::move(datasource)));
}

GenericTemplateReportController::GenericTemplateReportController(
    ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource)
    : ReportController(parent, std::move(datasource))
{
}

GenericTemplateDataControllerProtocol* GenericTemplateReportController::dataController() const
{
    ExportMenuHost* grid = host();
    return grid ? dynamic_cast<GenericTemplateDataControllerProtocol*>(grid->hostDataController())
                : nullptr;
}

QStringList GenericTemplateReportController::baseMenuTexts() const
{
    return QStringList { LocalizedStrings::ImportCSV() } + ReportController::baseMenuTexts();
}

QStringList GenericTemplateReportController::baseMenuImages() const
{
    return QStringList { QStringLiteral("import") } + ReportController::baseMenuImages();
}

void GenericTemplateReportController::shareHandler(quint64 position)
{
    if (lastClickedButton() != ImportCSV) {
        ReportController::shareHandler(position);
        return;
    }
    ExportMenuHost* grid = host();
    if (!grid)
        return;
    const QString title = reportDataSource() ? reportDataSource()->reportTitle() : QString();
    grid->showLocalFileBrowser(false, QStringLiteral("%1.csv").arg(title), QStringLiteral("csv"),
        QString(), LocalizedStrings::ImportCSV(), this);
}

void GenericTemplateReportController::shareButtonHandler(const std::shared_ptr<FileInfo>& file)
{
    if (lastClickedButton() != ImportCSV) {
        ReportController::shareButtonHandler(file);
        return;
    }
    if (file)
        import(file->fullName);
}

bool GenericTemplateReportController::passwordMissing() const
{
    GenericTemplateDataControllerProtocol* table = dataController();
    UserTemplate* userTemplate = table ? table->userTemplate() : nullptr;
    if (!userTemplate || !userTemplate->isprotected().toBool())
        return false;
    const Rows::Password password = table->secret();
    return !password || !userTemplate->isPasswordValid(*password);
}

void GenericTemplateReportController::import(const QString& path)
{
    if (passwordMissing()) {
        MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(kProtectedRefused), true);
        return;
    }
    auto self = std::static_pointer_cast<GenericTemplateReportController>(shared_from_this());
    executeBlock([self, path](const Busy& busy) {
        platform::Error error;
        QList<quint64> textLines;
        const auto lines = CSVAdditions::arrayWithContentsOfCSVFile(
            path, CSVParserOptionsSanitizesFields, &error, &textLines);
        platform::dispatch::asyncMain([self, path, lines, textLines, error, busy] {
            try {
                if (!lines) {
                    // Nothing is stored; the log says why and in which line.
                    self->writeLog(
                        kReadFailedLine.arg(CSVErrors::describedWithLine(error)), path, false);
                } else if (!lines->isEmpty()) {
                    self->storeLines(*lines, textLines, path);
                }
            } catch (const std::exception& exception) {
                MessageHelper::ShowException(exception);
            }
        });
    });
}

void GenericTemplateReportController::storeLines(
    const QList<QStringList>& lines, const QList<quint64>& textLines, const QString& path)
{
    GenericTemplateDataControllerProtocol* table = dataController();
    UserTemplate* userTemplate = table ? table->userTemplate() : nullptr;
    if (!userTemplate)
        return;
    if (passwordMissing()) {
        MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(kProtectedRefused), true);
        return;
    }
    QList<TemplateColumn*> columns;
    for (TemplateColumn* column : table->Columns()) {
        if (column)
            columns.append(column);
    }
    // The rows go in the form the table has now: its protection may have changed on
    // another machine since the screen opened with the password.
    const Rows::Password password
        = userTemplate->isprotected().toBool() ? table->secret() : std::nullopt;

    // The header: each column at the first field of its name.
    QString log;
    bool failed = false;
    const QStringList& header = lines.first();
    QList<qsizetype> positions;
    for (const TemplateColumn* column : columns) {
        const QString name = column->name().toString();
        positions.append(header.indexOf(name));
        if (positions.last() < 0) {
            log += filled(ColumnNotFound, name);
            failed = true;
        }
    }
    if (failed) {
        writeLog(log, path, false);
        return;
    }

    // Every line converted and checked before anything is made.
    QList<QVariantMap> kept;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const QStringList& line = lines.at(index);
        if (line.size() == 1 && line.first().isEmpty())
            continue;
        // Named by the line of the file the record begins on, as the reader's errors are,
        // so a message leads to that line.
        const qint64 number
            = index < textLines.size() ? qint64(textLines.at(index)) : qint64(index + 1);
        // A line that lost fields cannot say which of its values belong where.
        if (line.size() < header.size()) {
            log += filled(RowShort, number);
            failed = true;
            continue;
        }
        // Fields past the header belong to no column: left out, and the log says so.
        if (line.size() > header.size())
            log += filled(RowLong, number);
        QVariantMap values;
        QStringList unread;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const TemplateColumn& column = *columns.at(c);
            const QString text = line.at(positions.at(c));
            const auto value = columnValue(column, text);
            if (!value) {
                unread << column.name().toString();
                log += platform::formatObjects(
                    filled(ValueUnread, number), { text, column.typeName(), unread.last() });
            } else if (value->isValid()) {
                values.insert(column.id().toString(), *value);
            }
        }
        if (values.isEmpty() && unread.isEmpty())
            continue;
        QStringList invalid = table->validateRow(values);
        // A column whose value was not read is named once, above.
        for (const QString& name : unread)
            invalid.removeAll(name);
        if (!invalid.isEmpty())
            log += filled(filled(RowInvalid, number), invalid.join(QLatin1Char(',')));
        if (!invalid.isEmpty() || !unread.isEmpty()) {
            failed = true;
            continue;
        }
        kept.append(values);
    }
    if (failed) {
        writeLog(log, path, false);
        return;
    }

    // One commit for all rows; anything that goes wrong before it takes them all back.
    const QString tableId = userTemplate->id().toString();
    try {
        for (qsizetype n = 0; n < kept.size(); ++n) {
            Rows* row = Rows::add(tableId);
            if (!row)
                throw TalloxException(UpdateFailed.trimmed());
            row->updateData(kept.at(n), columns, password);
            KivoLib::insertEntity(row);
            log += filled(ImportingRow, n + 1);
        }
    } catch (...) {
        KivoLib::rollback();
        throw;
    }
    if (!KivoLib::commit()) {
        log += UpdateFailed;
        KivoLib::rollback();
        writeLog(log, path, false);
        return;
    }
    log += filled(ImportSucceeded, kept.size());
    writeLog(log, path, true);
    if (ExportMenuHost* grid = host())
        grid->refreshView();
}

void GenericTemplateReportController::writeLog(
    const QString& log, const QString& importFile, bool success)
{
    const QString name = filled(LogNameFormat, QFileInfo(importFile).fileName());
    const QString logPath = FileManager::writeLogFile(name, log);
    setLastSelectedFileName(logPath);
    const QString question
        = LocalizedStrings::getLocalizedString(success ? SuccessQuestion : FailureQuestion);
    auto self = std::static_pointer_cast<GenericTemplateReportController>(shared_from_this());
    platform::dispatch::asyncMain([self, question] {
        self->askToOpen(LocalizedStrings::Information(), question, LocalizedStrings::Cancel(),
            LocalizedStrings::OK(), LocalSavedAlertTag);
    });
}

void GenericTemplateReportController::resetReminder()
{
    std::weak_ptr<ReportController> weak = weak_from_this();
    platform::dispatch::asyncMain([weak, busy = showHud()]() mutable {
        auto self = std::static_pointer_cast<GenericTemplateReportController>(weak.lock());
        if (!self)
            return;
        try {
            if (GenericTemplateDataControllerProtocol* table = self->dataController())
                table->rebuildAllNotifications();
            busy.reset();
            MessageHelper::ShowMessage(LocalizedStrings::OperationSuccessful(), platform::Error());
        } catch (const std::exception& exception) {
            busy.reset();
            DebugHelper::singleton().logException(exception, false);
        }
    });
}
