#include "reports/ReportController.h"

#include "bridge/iCloud.h"
#include "grid/ExportMenuHost.h"
#include "grid/KivoPreviewController.h"
#include "platform/Dispatch.h"
#include "platform/Folders.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "reports/CSVWriter.h"
#include "reports/PdfReportGenerator.h"
#include "reports/ReportProtocol.h"
#include "reports/ReportRows.h"
#include "reports/StringEncoding.h"
#include "reports/XlsWorkBook.h"
#include "reports/mustache/Mustache.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/HudProtocol.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/TalloxException.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

const QString ReportController::CsvMimeType = QStringLiteral("text/csv");
const QString ReportController::XlsMimeType = QStringLiteral("application/vnd.ms-excel");
const QString ReportController::PdfMimeType = QStringLiteral("application/pdf");

namespace {

using platform::ui::AlertView;

const QString kCloudItemFormat = QStringLiteral("%@ [iCloud]");
const QString kCsvFileFormat = QStringLiteral("%1.csv");
const QString kPdfFileFormat = QStringLiteral("%1.pdf");
const QString kXlsFileFormat = QStringLiteral("%1.xls");
const QString kHeaderFont = QStringLiteral("Verdana");
constexpr int kBoldStyle = 0;
// Widest column a sheet takes: 255 characters, in 1/256 of a character.
constexpr double kWidestColumn = 255 * 256;

// Texts of this menu's own messages (looked up for translation).
const QString kRowUnreadable = QStringLiteral("Row %@ could not be read, so nothing was exported. "
                                              "A protected table is read with its password.");
const QString kTooManyColumns
    = QStringLiteral("A workbook sheet holds at most 256 columns; this table has %@.");
const QString kWorkbookFailed = QStringLiteral("The workbook could not be written: %@");
const QString kNoTemporaryFolder
    = QStringLiteral("No temporary folder could be made for the workbook.");
const QString kSaveFailed = QStringLiteral("The file could not be saved: %@");
const QString kBadColumnKey = QStringLiteral(
    "The column key \"%@\" cannot go into a PDF report: a key holds only letters, digits, "
    "\"-\" and \"_\".");
const QString kItemsTag = QStringLiteral("items");
const QString kHeaderMarker = QStringLiteral("{{{Header}}}");
const QString kContentMarker = QStringLiteral("{{{Content}}}");
const QString kHeaderCell = QStringLiteral("<th style=\"width:%1px;\">\r\n%2 \r\n</th>\r\n");
const QString kContentCell = QStringLiteral("<td style=\"width:%1px;\">\r\n{{%2}}\r\n</td>\r\n");
const QString kReportResource = QStringLiteral("report");
const QString kReportType = QStringLiteral("mustache");
// Below this luminance the table colour is dark: its header text is white.
constexpr double kDarkLuminance = 0.8;

QString message(const QString& format, const QStringList& arguments = {})
{
    return LocalizedStrings::getMessageWithFormat(format, arguments);
}

// Threads that decode the rows of one large export.
constexpr quint64 kMaximumExportThreads = 6;

[[noreturn]] void fail(const QString& format, const QStringList& arguments = {})
{
    throw TalloxException(message(format, arguments));
}

std::mutex& openerMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::function<void(const QString&)>& fileOpener()
{
    static std::function<void(const QString&)> opener;
    return opener;
}

} // namespace

std::shared_ptr<ReportController> ReportController::create(
    ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource)
{
    return std::shared_ptr<ReportController>(new ReportController(parent, std::move(datasource)));
}

ReportController::ReportController(
    ExportMenuHost* parent, std::shared_ptr<ReportProtocol> datasource)
    : m_reportDataSource(std::move(datasource))
    , m_host(parent)
    , m_hostScreen(parent ? parent->hostViewController() : nullptr)
{
}

ReportController::~ReportController() = default;

ExportMenuHost* ReportController::host() const
{
    return m_hostScreen ? m_host : nullptr;
}

ExportMenuHost* ReportController::mainGridViewController() const
{
    return host();
}

// --- The menu

bool ReportController::cloudItemsShown()
{
    const KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    return delegate->cloudAvailable() && delegate->cloudEnabled();
}

QStringList ReportController::baseMenuTexts() const
{
    return { LocalizedStrings::SaveCSV(), LocalizedStrings::SavePDF(), LocalizedStrings::SaveXLS(),
        LocalizedStrings::MailCSV(), LocalizedStrings::MailPDF(), LocalizedStrings::MailXLS() };
}

QStringList ReportController::baseMenuImages() const
{
    return { QStringLiteral("savecsv"), QStringLiteral("savepdf"), QStringLiteral("savexls"),
        QStringLiteral("mailcsv"), QStringLiteral("mailpdf"), QStringLiteral("mailxls") };
}

QStringList ReportController::menuTexts() const
{
    QStringList texts = baseMenuTexts();
    if (cloudItemsShown()) {
        for (const QString& save : { LocalizedStrings::SaveCSV(), LocalizedStrings::SavePDF(),
                 LocalizedStrings::SaveXLS() })
            texts.append(message(kCloudItemFormat, { save }));
    }
    return texts;
}

QStringList ReportController::menuImages() const
{
    QStringList images = baseMenuImages();
    if (cloudItemsShown()) {
        images << QStringLiteral("icloudcsv") << QStringLiteral("icloudpdf")
               << QStringLiteral("icloudxls");
    }
    return images;
}

// Two items to a row of the popup: (n + 1) × 50 + (n + 2) × 15 points high for n rows.
QSizeF ReportController::menuPopupSize() const
{
    const auto items = menuTexts().size();
    const auto rows = (items + 1) / 2;
    return { MenuPopupWidth, double((rows + 1) * 50 + (rows + 2) * 15) };
}

void ReportController::showMenu()
{
    ExportMenuHost* grid = host();
    if (!grid)
        return;
    std::weak_ptr<ReportController> weak = weak_from_this();
    grid->showListMenu(LocalizedStrings::Options(), menuTexts(), menuImages(), menuPopupSize(),
        [weak](qint64 position) {
            auto self = weak.lock();
            if (!self || position < 0)
                return;
            try {
                if (DeviceHelper::isIPAD()) {
                    if (ExportMenuHost* grid = self->host())
                        grid->dismissListMenu();
                }
                self->setLastClickedButton(unsigned(position) + self->firstCode());
                self->shareHandler(quint64(position));
            } catch (const std::exception& exception) {
                MessageHelper::ShowException(exception);
            }
        });
}

void ReportController::dismissPopup(platform::ui::ViewController*)
{
    if (ExportMenuHost* grid = host())
        grid->dismissListMenu();
}

void ReportController::shareHandler(quint64)
{
    ExportMenuHost* grid = host();
    if (!grid)
        return;
    const QString title = m_reportDataSource ? m_reportDataSource->reportTitle() : QString();
    switch (m_lastClickedButton) {
    case SaveCSV:
        grid->showLocalFileBrowser(true, kCsvFileFormat.arg(title), QStringLiteral("csv"),
            QString(), LocalizedStrings::SaveCSV(), this);
        break;
    case SaveXLS:
        grid->showLocalFileBrowser(true, kXlsFileFormat.arg(title), QStringLiteral("xls"),
            QString(), LocalizedStrings::SaveXLS(), this);
        break;
    case SaveCSVToCloud:
        grid->showCloudFileBrowser(true, kCsvFileFormat.arg(title), QStringLiteral("csv"),
            QString(), LocalizedStrings::SaveCSV(), this);
        break;
    case SaveXLSToCloud:
        grid->showCloudFileBrowser(true, kXlsFileFormat.arg(title), QStringLiteral("xls"),
            QString(), LocalizedStrings::SaveXLS(), this);
        break;
    case SavePDF:
        grid->showLocalFileBrowser(true, kPdfFileFormat.arg(title), QStringLiteral("pdf"),
            QString(), LocalizedStrings::SavePDF(), this);
        break;
    case SavePDFToCloud:
        grid->showCloudFileBrowser(true, kPdfFileFormat.arg(title), QStringLiteral("pdf"),
            QString(), LocalizedStrings::SavePDF(), this);
        break;
    case MailCSV:
    case MailPDF:
    case MailXLS:
        shareButtonHandler(nullptr);
        break;
    default:
        break;
    }
}

void ReportController::fileBrowseCompleted(
    const std::shared_ptr<FileInfo>& file, platform::ui::ViewController*)
{
    shareButtonHandler(file);
}

void ReportController::takeSnapshot()
{
    Snapshot taken;
    if (m_reportDataSource) {
        taken.rowCount = m_reportDataSource->reportRowsCount();
        taken.rows = m_reportDataSource->reportRowsSnapshot();
        taken.columns = m_reportDataSource->reportColumns();
        taken.columnWidths = m_reportDataSource->reportColumnWidths();
        taken.title = m_reportDataSource->reportTitle();
    }
    if (!taken.rows)
        taken.rows = std::make_shared<const ReportRows>(0, nullptr);
    taken.rowCount = std::min(taken.rowCount, taken.rows->count());
    m_snapshot = std::move(taken);
}

void ReportController::shareButtonHandler(const std::shared_ptr<FileInfo>& file)
{
    const QString fullName = file ? file->fullName : QString();
    const QString name = file ? file->name : QString();
    switch (m_lastClickedButton) {
    case SavePDF:
    case SavePDFToCloud:
        m_lastSelectedFileName = m_lastClickedButton == SavePDF ? fullName : name;
        break;
    case SaveCSV:
    case SaveXLS:
    case SaveCSVToCloud:
    case SaveXLSToCloud:
    case MailCSV:
    case MailXLS:
    case MailPDF:
        break;
    default:
        return;
    }
    // Each action reads its own copy of the snapshot: the next action may take another.
    try {
        takeSnapshot();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        return;
    }
    const Snapshot taken = m_snapshot;
    std::function<void(const Busy&)> action;
    switch (m_lastClickedButton) {
    case SaveCSV:
        action = [this, taken, fullName](
                     const Busy& busy) { saveFile(fullName, toCSV(taken), false, busy); };
        break;
    case SaveXLS:
        action = [this, taken, fullName](
                     const Busy& busy) { saveFile(fullName, toExcelData(taken), false, busy); };
        break;
    case SaveCSVToCloud:
        action
            = [this, taken, name](const Busy& busy) { saveFile(name, toCSV(taken), true, busy); };
        break;
    case SaveXLSToCloud:
        action = [this, taken, name](
                     const Busy& busy) { saveFile(name, toExcelData(taken), true, busy); };
        break;
    case MailCSV:
        action = [this, taken](const Busy& busy) {
            mail(toCSV(taken), CsvMimeType, kCsvFileFormat.arg(taken.title), taken.title, busy);
        };
        break;
    case MailXLS:
        action = [this, taken](const Busy& busy) {
            mail(toExcelData(taken), XlsMimeType, kXlsFileFormat.arg(taken.title), taken.title,
                busy);
        };
        break;
    case SavePDF:
    case MailPDF:
    case SavePDFToCloud: {
        // The style, the code and the file are read here, on the main thread, like the
        // snapshot.
        PdfAction pdf;
        pdf.code = m_lastClickedButton;
        pdf.fileName = m_lastSelectedFileName;
        pdf.snapshot = taken;
        const ReportStyle style = currentReportStyle();
        const bool allowed = !m_reportDataSource || m_reportDataSource->reportAllowsPDF();
        action = [this, style, allowed, pdf](const Busy& busy) {
            if (allowed)
                generatePDF(busy, style, pdf);
        };
        break;
    }
    default:
        return;
    }
    executeBlock(action);
}

// --- Running an action

ReportController::Busy ReportController::showHud()
{
    ExportMenuHost* grid = host();
    if (!grid)
        return nullptr;
    // The overlay belongs on the screen on top of the grid's stack (on a phone, the file
    // browser still pushed over it) when that screen has one; else on the grid.
    platform::ui::ViewController* top = nullptr;
    if (platform::ui::NavigationController* navigation
        = m_hostScreen ? m_hostScreen->navigationController() : nullptr)
        top = navigation->topViewController();
    HudProtocol* covering = top && top != m_hostScreen ? dynamic_cast<HudProtocol*>(top) : nullptr;
    QPointer<platform::ui::ViewController> owner = covering ? top : m_hostScreen.data();
    if (covering)
        covering->showHud();
    else
        grid->showHud();
    return Busy(nullptr, [grid, covering, owner](void*) {
        auto end = [grid, covering, owner] {
            if (!owner)
                return;
            if (covering)
                covering->hideHud();
            else
                grid->hideHud();
        };
        if (platform::dispatch::isMainThread())
            end();
        else
            platform::dispatch::asyncMain(end);
    });
}

void ReportController::executeBlock(std::function<void(const Busy& busy)> action)
{
    Busy busy = showHud();
    auto self = shared_from_this();
    platform::dispatch::asyncGlobal(
        [self, action = std::move(action), busy]() mutable {
            try {
                action(busy);
            } catch (const std::exception& exception) {
                MessageHelper::ShowException(exception);
            } catch (...) {
                MessageHelper::ShowException(TalloxException(QStringLiteral("Unknown exception")));
            }
            // The controller and the busy period end on the main thread, after whatever
            // the action handed to it.
            platform::dispatch::asyncMain(
                [self = std::move(self), busy = std::move(busy)]() mutable {
                    busy.reset();
                    self.reset();
                });
        },
        platform::dispatch::Priority::High);
}

// --- CSV and XLS

namespace {

// The CSV lines of rows [first, end) of the snapshot, in order.
QByteArray csvLines(const ReportController::Snapshot& snapshot, const QStringList& keys,
    quint64 first, quint64 end, const QVariantList* header)
{
    QByteArray bytes;
    auto buffer = std::make_unique<QBuffer>(&bytes);
    buffer->open(QIODevice::WriteOnly);
    auto writer = CSVWriter::initWithOutputStream(std::move(buffer), StringEncoding::UTF8, u',');
    if (header)
        writer->writeLineOfFields(*header);
    QVariantList line;
    line.reserve(keys.size());
    const QVariant empty = QString(QLatin1String(""));
    for (quint64 r = first; r < end; ++r) {
        const auto row = snapshot.rows->row(r);
        if (!row)
            fail(kRowUnreadable, { QString::number(r + 1) });
        line.clear();
        for (const QString& key : keys)
            line.append(row->value(key, empty));
        writer->writeLineOfFields(line);
    }
    platform::Error error;
    if (!writer->closeStream(&error))
        MessageHelper::throwIfError(error);
    return bytes;
}

// Runs `part` over [0, count) split into contiguous parts, taken in turn by several
// threads, and hands each part's result to `join` on this thread in order, as soon as it
// and those before it are made; this thread makes parts too while the next one to join
// is not ready. A failure of a part (the earliest first) or of `join` is raised once the
// other threads have stopped.
template<typename Result>
void inParts(quint64 count, const std::function<Result(quint64 first, quint64 end)>& part,
    const std::function<void(Result&&)>& join)
{
    // Small enough that joining keeps pace with making, large enough to cost little.
    constexpr quint64 kRowsPerPart = 4096;
    const quint64 parts = std::max<quint64>(1, (count + kRowsPerPart - 1) / kRowsPerPart);
    const quint64 threads = std::min(
        parts, std::clamp<quint64>(std::thread::hardware_concurrency(), 1, kMaximumExportThreads));
    struct Made {
        std::optional<Result> result;
        std::exception_ptr failure;
        bool done = false;
    };
    std::vector<Made> made(parts);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<quint64> next { 0 };
    std::atomic<bool> stop { false };
    // Makes the next part not yet taken; false when there is none left.
    const auto makeOne = [&] {
        const quint64 index = next.fetch_add(1);
        if (index >= parts || stop.load())
            return false;
        Made one;
        try {
            one.result.emplace(
                part(index * kRowsPerPart, std::min(count, (index + 1) * kRowsPerPart)));
        } catch (...) {
            one.failure = std::current_exception();
        }
        one.done = true;
        {
            std::lock_guard lock(mutex);
            made[size_t(index)] = std::move(one);
        }
        ready.notify_all();
        return true;
    };
    std::vector<std::future<void>> helpers;
    for (quint64 t = 1; t < threads; ++t) {
        helpers.push_back(std::async(std::launch::async, [&makeOne] {
            while (makeOne()) { }
        }));
    }
    std::exception_ptr failure;
    try {
        for (quint64 index = 0; index < parts; ++index) {
            std::unique_lock lock(mutex);
            while (!made[size_t(index)].done) {
                if (next.load() < parts) {
                    lock.unlock();
                    makeOne();
                    lock.lock();
                } else {
                    ready.wait(lock);
                }
            }
            Made one = std::move(made[size_t(index)]);
            lock.unlock();
            if (one.failure)
                std::rethrow_exception(one.failure);
            join(std::move(*one.result));
        }
    } catch (...) {
        failure = std::current_exception();
        stop.store(true);
    }
    for (auto& helper : helpers)
        helper.wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

QByteArray ReportController::toCSV(const Snapshot& snapshot)
{
    const QStringList keys = snapshot.columns.keyEnumerator();
    QVariantList header;
    header.reserve(keys.size());
    for (const QString& key : keys)
        header.append(snapshot.columns.objectForKey(key).toString());
    const quint64 count = snapshot.rows ? snapshot.rowCount : 0;
    // Decoding the rows is the cost: large tables are written in parts on several threads
    // and joined in row order.
    QByteArray bytes;
    inParts<QByteArray>(
        count,
        [&](quint64 first, quint64 end) {
            return csvLines(snapshot, keys, first, end, first == 0 ? &header : nullptr);
        },
        [&bytes](QByteArray&& lines) { bytes += lines; });
    return bytes;
}

QString ReportController::temporaryFileName(const QString& title)
{
    QString name = title;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    // Never ".", ".." or a hidden name, and short enough for any file system.
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    name = name.left(100);
    if (name.isEmpty())
        name = QStringLiteral("Export");
    return kXlsFileFormat.arg(name);
}

QByteArray ReportController::toExcelData(const Snapshot& snapshot)
{
    const QStringList keys = snapshot.columns.keyEnumerator();
    if (keys.size() > MaximumColumns)
        fail(kTooManyColumns, { QString::number(keys.size()) });

    XlsWorkBook book;
    XlsFont font = book.font(kHeaderFont);
    font.setBoldStyle(kBoldStyle);
    const XlsExtendedFormat header = book.extendedFormat(&font);
    // A sheet holds 65,536 rows: the header and 65,535 of the table's.
    const quint64 sheetCount
        = std::max<quint64>(1, (snapshot.rowCount + RowsPerSheet - 1) / RowsPerSheet);
    std::vector<std::shared_ptr<XlsWorkSheet>> sheets;
    for (quint64 s = 0; s < sheetCount; ++s) {
        // Later sheets of the same title are named "Title (2)", "Title (3)", ...
        auto sheet = book.workSheetWithName(snapshot.title);
        for (qsizetype c = 0; c < keys.size(); ++c) {
            const double width = c < snapshot.columnWidths.size()
                ? std::clamp(std::trunc(snapshot.columnWidths.at(c) * 256 / 10), 0.0, kWidestColumn)
                : 0;
            if (width > 0)
                sheet->width(quint16(width), int(c), nullptr);
            sheet->label(snapshot.columns.objectForKey(keys.at(c)).toString(), 0, int(c), &header);
        }
        sheets.push_back(std::move(sheet));
    }
    // The display texts are made in parts on several threads, across the sheets; the
    // sheets are filled here in row order while later parts are still being made.
    quint64 filled = 0;
    // A part's texts row after row, one list for the part.
    const qsizetype width = keys.size();
    inParts<QList<QString>>(
        snapshot.rowCount,
        [&](quint64 from, quint64 to) {
            QList<QString> texts;
            texts.reserve(qsizetype(to - from) * width);
            for (quint64 r = from; r < to; ++r) {
                const auto row = snapshot.rows->rowTexts(r, keys);
                if (!row)
                    fail(kRowUnreadable, { QString::number(r + 1) });
                texts.append(*row);
            }
            return texts;
        },
        [&](QList<QString>&& texts) {
            for (qsizetype at = 0; at < texts.size(); at += width) {
                XlsWorkSheet& sheet = *sheets[size_t(filled / RowsPerSheet)];
                const int sheetRow = int(filled % RowsPerSheet) + 1;
                for (qsizetype c = 0; c < width; ++c) {
                    const QString& text = texts.at(at + c);
                    if (!text.isEmpty())
                        sheet.label(text, sheetRow, int(c));
                }
                ++filled;
            }
        });

    const QUrl folderUrl = KivoAppDelegate::URLForTemporaryFolder();
    if (folderUrl.isEmpty())
        fail(kNoTemporaryFolder);
    QDir folder(folderUrl.toLocalFile());
    const QString path = folder.filePath(temporaryFileName(snapshot.title));
    platform::Error error;
    QByteArray data;
    // Read back and removed at once: nothing waits for the disk.
    bool written = book.writeTemporaryFile(path, &error) == 0;
    if (written) {
        QFile file(path);
        written = file.open(QIODevice::ReadOnly);
        if (written)
            data = file.readAll();
        else
            error
                = platform::Error::withDescription(XlsWorkBook::ErrorDomain, 1, file.errorString());
    }
    folder.removeRecursively();
    if (!written)
        fail(kWorkbookFailed, { error.localizedDescription() });
    return data;
}

// Back on the main thread, only when there is something to send.
void ReportController::mail(const QByteArray& data, const QString& mime, const QString& fileName,
    const QString& subject, const Busy& busy)
{
    if (data.isEmpty())
        return;
    auto self = shared_from_this();
    platform::dispatch::asyncMain([self, data, mime, fileName, subject, busy] {
        // No recipient: the person fills it in.
        ExportMenuHost* grid = self->host();
        MailHelper::sendEmailToWithFile(
            QString(), subject, data, mime, fileName, grid ? grid->hostViewController() : nullptr);
    });
}

ReportController::ReportStyle ReportController::currentReportStyle()
{
    ReportStyle style;
    Theme* theme = Theme::current();
    const Color image = theme ? theme->imageColor() : Color::blackColor();
    const Color toolbar = theme ? theme->toolbarColor() : Color::blackColor();
    // The darker of the two colours.
    const Color table = UIColor_Expanded::luminance(image) < UIColor_Expanded::luminance(toolbar)
        ? image
        : toolbar;
    const Color header = UIColor_Expanded::luminance(table) < kDarkLuminance ? Color::whiteColor()
                                                                             : Color::blackColor();
    style.htmlColorHex = UIColor_Expanded::hexStringValue(table);
    style.headerColorHex = UIColor_Expanded::hexStringValue(header);
    style.rowalternateColorHex
        = UIColor_Expanded::hexStringValue(theme ? theme->RowBackColor() : Color::whiteColor());
    return style;
}

QString ReportController::templateText(const QString& text)
{
    QString escaped = Mustache::escapeHTML(text);
    escaped.replace(QLatin1Char('{'), QStringLiteral("&#123;"));
    escaped.replace(QLatin1Char('}'), QStringLiteral("&#125;"));
    return escaped;
}

std::optional<QString> ReportController::htmlTemplate(
    const OrderedDictionary& columns, const QList<double>& columnWidths)
{
    static const QRegularExpression plainKey(QStringLiteral("^[A-Za-z0-9_-]+$"));
    const QStringList keys = columns.keyEnumerator();
    for (const QString& key : keys) {
        if (!plainKey.match(key).hasMatch())
            fail(kBadColumnKey, { key });
    }
    const QString path = platform::Folders::resourcePath(kReportResource, kReportType);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        MessageHelper::ShowError(
            platform::Error::withDescription(QStringLiteral("NSCocoaErrorDomain"), 260,
                path.isEmpty() ? QStringLiteral("The report template is missing.")
                               : file.errorString()));
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.readAll());
    QString header;
    QString content;
    for (qsizetype c = 0; c < keys.size(); ++c) {
        const QString width
            = QString::asprintf("%f", c < columnWidths.size() ? columnWidths.at(c) : 0.0);
        header += kHeaderCell.arg(width, templateText(columns.objectForKey(keys.at(c)).toString()));
        content += kContentCell.arg(width, keys.at(c));
    }
    text.replace(kHeaderMarker, header);
    text.replace(kContentMarker, content);
    return text;
}

QVariantMap ReportController::reportParameters(const Snapshot& snapshot, const ReportStyle& style)
{
    double tableWidth = 0;
    for (double width : snapshot.columnWidths)
        tableWidth += width;
    return {
        { QStringLiteral("htmlColorHex"), style.htmlColorHex },
        { QStringLiteral("headerColorHex"), style.headerColorHex },
        { QStringLiteral("rowalternateColorHex"), style.rowalternateColorHex },
        { QStringLiteral("tableWidth"), QString::asprintf("%f", tableWidth) },
        { QStringLiteral("title"), snapshot.title },
        { QStringLiteral("currentDate"),
            KivoDateUtils::getDateTimeString(QDateTime::currentDateTime()) },
    };
}

void ReportController::generatePDF(const Busy& busy, const ReportStyle& style, PdfAction action)
{
    const Snapshot& snapshot = action.snapshot;
    const auto filled = htmlTemplate(snapshot.columns, snapshot.columnWidths);
    if (!filled)
        return;
    action.busy = busy;
    action.parameters = reportParameters(snapshot, style);
    action.rows.resize(size_t(snapshot.rowCount));
    auto self = shared_from_this();
    platform::dispatch::asyncMain([self, filled = *filled, action = std::move(action)]() mutable {
        self->startReport(filled, std::move(action));
    });
}

void ReportController::startReport(const QString& filledTemplate, PdfAction action)
{
    auto generator = PdfReportGenerator::sharedGenerator();
    platform::Error error;
    auto self = shared_from_this();
    const Snapshot& snapshot = action.snapshot;
    const double tableWidth = action.parameters.value(QStringLiteral("tableWidth")).toDouble();
    // Nothing is asked of the menu before the start returns: the action is kept after it,
    // and only when this report is the one that started.
    generator->createReportWithName1(snapshot.title, filledTemplate, ReportItemsPerPage,
        snapshot.rowCount, ReportOrientation, self, self, &error, tableWidth);
    if (error) {
        MessageHelper::ShowError(error);
        return;
    }
    m_reportParameters = action.parameters;
    m_pdfAction = std::move(action);
}

QVariant ReportController::reportsGenerator(PdfReportGenerator*, const QString&, const QString& tag,
    quint64, quint64 offset, quint64 itemsCount)
{
    if (tag != kItemsTag)
        return m_reportParameters.value(tag);
    QVariantList items;
    if (!m_pdfAction)
        return items;
    const Snapshot& snapshot = m_pdfAction->snapshot;
    const quint64 end
        = std::min(snapshot.rowCount, offset + std::min(itemsCount, snapshot.rowCount));
    for (quint64 r = offset; r < end; ++r) {
        // Trials of a page ask for the same rows again: each is read once.
        std::optional<QVariantMap>& kept = m_pdfAction->rows[size_t(r)];
        if (!kept) {
            kept = snapshot.rows->rowFormatted(r);
            if (!kept)
                fail(kRowUnreadable, { QString::number(r + 1) });
        }
        items.append(*kept);
    }
    return items;
}

void ReportController::reportsGenerator(PdfReportGenerator*, const QByteArray& data)
{
    if (!m_pdfAction)
        return;
    PdfAction action = std::move(*m_pdfAction);
    m_pdfAction.reset();
    const QString title = action.snapshot.title;
    switch (action.code) {
    case MailPDF:
        mail(data, PdfMimeType, kPdfFileFormat.arg(title), title, action.busy);
        break;
    case SavePDF:
        saveFile(action.fileName, data, false, action.busy);
        break;
    case SavePDFToCloud:
        saveFile(action.fileName, data, true, action.busy);
        break;
    default:
        break;
    }
}

void ReportController::reportsGeneratorDidFailWithError(
    PdfReportGenerator*, const platform::Error& error)
{
    m_pdfAction.reset();
    MessageHelper::ShowError(error);
}

// --- Saving and opening

void ReportController::saveFile(
    const QString& name, const QByteArray& data, bool iCloud, const Busy& busy)
{
    if (!platform::dispatch::isMainThread()) {
        auto self = shared_from_this();
        platform::dispatch::asyncMain(
            [self, name, data, iCloud, busy] { self->saveFile(name, data, iCloud, busy); });
        return;
    }
    m_lastSelectedFileName = name;
    if (iCloud) {
        std::weak_ptr<ReportController> weak = weak_from_this();
        iCloud::sharedCloud().saveAndCloseDocumentWithName(
            name, data, [weak, busy](const QUrl&, const QByteArray&, const platform::Error& error) {
                auto self = weak.lock();
                if (error) {
                    MessageHelper::ShowError(error);
                    return;
                }
                if (self) {
                    self->askToOpen(LocalizedStrings::Information(),
                        LocalizedStrings::SaveSuccess(), LocalizedStrings::Close(),
                        LocalizedStrings::Open(), CloudSavedAlertTag);
                }
            });
        return;
    }
    // Written to a temporary name beside the file and renamed into place: a failed
    // save leaves no file, and an earlier one whole.
    QSaveFile file(name);
    const bool saved
        = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!saved) {
        const QString reason = file.errorString();
        file.cancelWriting();
        MessageHelper::ShowMessage(message(kSaveFailed, { reason }), true);
        return;
    }
    askToOpen(LocalizedStrings::Information(), LocalizedStrings::SaveSuccess(),
        LocalizedStrings::Close(), LocalizedStrings::Open(), LocalSavedAlertTag);
}

void ReportController::askToOpen(const QString& title, const QString& message,
    const QString& cancel, const QString& open, int tag)
{
    // The alert may outlive the menu: it calls back only while the menu is there.
    auto* alert = new AlertView(title, message, nullptr, cancel, { open });
    alert->setTag(tag);
    std::weak_ptr<ReportController> weak = weak_from_this();
    alert->setCallback([weak](AlertView* shown, int index) {
        if (auto self = weak.lock())
            self->alertViewDidDismissWithButtonIndex(shown, index);
    });
    alert->show();
}

void ReportController::alertViewDidDismissWithButtonIndex(AlertView* alert, int buttonIndex)
{
    if (buttonIndex != 1 || m_lastSelectedFileName.isEmpty())
        return;
    try {
        openFile(m_lastSelectedFileName, alert && alert->tag() == CloudSavedAlertTag,
            host() ? host()->hostViewController() : nullptr);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void ReportController::setFileOpener(std::function<void(const QString& path)> opener)
{
    std::lock_guard lock(openerMutex());
    fileOpener() = std::move(opener);
}

void ReportController::openFile(
    const QString& nameOrPath, bool cloud, platform::ui::ViewController* over)
{
    std::function<void(const QString&)> opener;
    {
        std::lock_guard lock(openerMutex());
        opener = fileOpener();
    }
    if (!opener) {
        KivoPreviewController::createPreviewController(nameOrPath, cloud, over);
        return;
    }
    QString path = nameOrPath;
    if (cloud) {
        const QUrl folder = iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL();
        path = QDir(folder.toLocalFile()).filePath(nameOrPath);
    }
    opener(path);
}
