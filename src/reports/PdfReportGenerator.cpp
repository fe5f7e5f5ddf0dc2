#include "reports/PdfReportGenerator.h"

#include "platform/Exception.h"
#include "reports/PdfReportDocument.h"
#include "reports/PdfReportFakeRenderer.h"
#include "reports/PdfReportGeneratorDelegate.h"
#include "reports/PdfReportPageRenderer.h"
#include "reports/PdfReportRenderHtmlOperation.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheIdentifierExpression.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheSectionTag.h"
#include "reports/mustache/MustacheTemplate.h"
#include "reports/mustache/MustacheValue.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <exception>
#include <mutex>

const QString PdfReportGenerator::RenderingQueueName = QStringLiteral("Rendering Queue");
const QString PdfReportGenerator::ErrorDomain = QStringLiteral("PdfReportGeneratorErrorDomain");

namespace {

const QString kDocumentHeader = QStringLiteral("documentHeader");
const QString kPageHeader = QStringLiteral("pageHeader");
const QString kPageContent = QStringLiteral("pageContent");
const QString kPageFooter = QStringLiteral("pageFooter");
const QString kPageNumber = QStringLiteral("pageNumber");

// Texts of the generator's own failures (looked up for translation).
const QString kBusy = QStringLiteral("A PDF report is being made; try again when it is done.");
const QString kMissingSection
    = QStringLiteral("The report template has no %@ section, so no report can be made.");
const QString kRenderingFailed = QStringLiteral("Page %@ of the report could not be made: %@");
const QString kNoRoomForRows
    = QStringLiteral("The report's page header and footer leave no room for its rows.");
const QString kInvalidSectionType = QStringLiteral("Invalid Section Type");
const QString kInvalidSectionTypeReason = QStringLiteral("Section Type: %1 is invalid");

// Content needs at least this much room between header and footer.
constexpr double kSmallestContentHeight = 20;
constexpr double kLargestWidth = 2000;
constexpr double kWideLimit = 1000;

platform::Error makeError(
    PdfReportGenerator::ErrorCode code, const QString& format, const QStringList& arguments = {})
{
    return platform::Error::withDescription(PdfReportGenerator::ErrorDomain, code,
        LocalizedStrings::getMessageWithFormat(format, arguments));
}

void collectSections(const MustacheComponents& components, QStringList& found)
{
    for (const auto& component : components) {
        const auto* section = dynamic_cast<const MustacheSectionTag*>(component.get());
        if (!section)
            continue;
        if (section->type() == MustacheTagType::Section) {
            if (const auto* identifier
                = dynamic_cast<const MustacheIdentifierExpression*>(section->expression().get()))
                found.append(identifier->identifier());
        }
        collectSections(section->components(), found);
    }
}

// The first of the four sections the template lacks, or an empty text.
QString missingSection(const MustacheTemplate& compiled)
{
    QStringList found;
    collectSections(compiled.components(), found);
    for (const QString& section : { kDocumentHeader, kPageHeader, kPageContent, kPageFooter }) {
        if (!found.contains(section))
            return section;
    }
    return QString();
}

QString withoutTexts(QString html, const QVariantMap& renderedTags, const QStringList& tags)
{
    for (const QString& tag : tags) {
        const QString text = renderedTags.value(tag).toString();
        if (!text.isEmpty())
            html.remove(text);
    }
    return html;
}

} // namespace

const QStringList& PdfReportGenerator::generatorKeys()
{
    static const QStringList keys { kDocumentHeader, kPageHeader, kPageContent, kPageFooter,
        kPageNumber };
    return keys;
}

std::shared_ptr<PdfReportGenerator> PdfReportGenerator::sharedGenerator()
{
    static std::once_flag once;
    static std::shared_ptr<PdfReportGenerator> shared;
    std::call_once(once, [] {
        generatorKeys();
        shared = std::shared_ptr<PdfReportGenerator>(new PdfReportGenerator());
    });
    return shared;
}

PdfReportGenerator::PdfReportGenerator()
    : renderingQueue(platform::dispatch::MainOperationQueue::create(RenderingQueueName))
{
}

PdfReportGenerator::~PdfReportGenerator() = default;

QRectF PdfReportGenerator::pageBounds(quint64 pageOrientation, double width)
{
    if (width > kWideLimit)
        return { 0, 0, std::min(width, kLargestWidth), kWideLimit };
    return pageOrientation == 0 ? QRectF(0, 0, 800, 1000) : QRectF(0, 0, 1000, 800);
}

void PdfReportGenerator::createReportWithName1(const QString& name, const QString& templateString,
    quint64 itemsPerPage, quint64 totalItems, quint64 pageOrientation,
    std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
    std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error, double width)
{
    if (m_busy) {
        *error = makeError(Busy, kBusy);
        return;
    }
    *error = platform::Error();
    auto compiled = MustacheTemplate::templateFromString(templateString, error);
    if (!compiled || *error)
        return;
    beginReport(name, std::move(compiled), itemsPerPage, totalItems,
        pageBounds(pageOrientation, width), std::move(dataSource), std::move(delegate), error);
}

void PdfReportGenerator::createReportWithName(const QString& name, const QString& templateURLString,
    quint64 itemsPerPage, quint64 totalItems, quint64 pageOrientation,
    std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
    std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error)
{
    if (m_busy) {
        *error = makeError(Busy, kBusy);
        return;
    }
    *error = platform::Error();
    auto compiled = MustacheTemplate::templateFromContentsOfFile(templateURLString, error);
    if (!compiled || *error)
        return;
    beginReport(name, std::move(compiled), itemsPerPage, totalItems, pageBounds(pageOrientation, 0),
        std::move(dataSource), std::move(delegate), error);
}

bool PdfReportGenerator::beginReport(const QString& name,
    std::shared_ptr<MustacheTemplate> compiled, quint64 itemsPerPage, quint64 totalItems,
    const QRectF& bounds, std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
    std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error)
{
    const QString missing = missingSection(*compiled);
    if (!missing.isEmpty()) {
        *error = makeError(MissingSection, kMissingSection, { missing });
        return false;
    }
    m_busy = true;
    currentReportName = name;
    this->dataSource = std::move(dataSource);
    this->delegate = std::move(delegate);
    m_template = std::move(compiled);
    m_bounds = bounds;

    currentReportData = std::make_shared<QByteArray>();
    m_buffer = std::make_unique<QBuffer>(currentReportData.get());
    m_buffer->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_buffer.get());
    m_writer->setResolution(72);
    m_writer->setPageSize(
        QPageSize(bounds.size(), QPageSize::Point, QString(), QPageSize::ExactMatch));
    m_writer->setPageOrientation(QPageLayout::Portrait);
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    m_firstPage = true;
    m_pagesWritten = 0;
    m_heights.clear();
    m_headerHtml.clear();
    m_footerHtml.clear();

    currentReportItemsPerPage = itemsPerPage;
    currentReportTotalItems = totalItems;
    remainingItems = 0;
    m_trials = 0;
    m_search = std::make_unique<PdfReportPageSearch>(m_searchMode, itemsPerPage);
    m_readRows = m_searchMode == PdfReportPageSearch::Mode::Quick;
    startPageSearch(totalItems);
    queueStep([this] { createPage(0); });
    return true;
}

void PdfReportGenerator::queueStep(std::function<void()> step)
{
    std::weak_ptr<MustacheObject> weak = weak_from_this();
    renderingQueue->addBlock([this, weak, step = std::move(step)] {
        auto alive = weak.lock();
        if (!alive || !m_busy)
            return;
        try {
            step();
        } catch (const platform::Exception& exception) {
            fail(makeError(RenderingFailed, kRenderingFailed,
                { QString::number(currentReportPage), exception.reason() }));
        } catch (const std::exception& exception) {
            fail(makeError(RenderingFailed, kRenderingFailed,
                { QString::number(currentReportPage), QString::fromUtf8(exception.what()) }));
        }
    });
}

QVariant PdfReportGenerator::valueForKey(const QString& key)
{
    PdfReportGeneratorDataSource* asked = generatorKeys().contains(key) ? this : dataSource.get();
    if (!asked)
        return {};
    const QVariant value = asked->reportsGenerator(
        this, currentReportName, key, currentReportPage, remainingItems, currentNumberOfItems);
    // The page's rows are made afresh at every lookup: a section that asks for them inside
    // sections over them pays for every row made, even where it shows none.
    MustacheRenderingBudget::spendSteps(MustacheValue::count(value));
    return value;
}

QVariant PdfReportGenerator::objectForKeyedSubscript(const QString& key) const
{
    return const_cast<PdfReportGenerator*>(this)->valueForKey(key);
}

QVariant PdfReportGenerator::reportsGenerator(
    PdfReportGenerator*, const QString&, const QString& tag, quint64 page, quint64, quint64)
{
    std::weak_ptr<MustacheObject> weak = weak_from_this();
    auto renderer = Mustache::renderingObjectWithBlock(
        [weak, tag, page](const MustacheTag& mustacheTag, const MustacheContextPtr& context,
            bool* HTMLSafe, platform::Error* error) -> std::optional<QString> {
            auto alive = std::dynamic_pointer_cast<PdfReportGenerator>(weak.lock());
            QString text;
            if (tag == kDocumentHeader && page >= 2) {
                text = QString();
            } else if (tag == kPageNumber) {
                text = QString::number(page);
            } else {
                auto content = mustacheTag.renderContentWithContext(context, HTMLSafe, error);
                if (!content)
                    return std::nullopt;
                text = *content;
            }
            if (alive)
                alive->renderedTags.insert(tag, text);
            return text;
        });
    return QVariant::fromValue(MustacheObjectPtr(renderer));
}

void PdfReportGenerator::didFinishLoadingSection(
    qint64 sectionType, const std::shared_ptr<PdfReportDocument>& printFormatter)
{
    switch (sectionType) {
    case PdfReportRenderHtmlOperation::Header:
        headerFormatter = printFormatter;
        break;
    case PdfReportRenderHtmlOperation::Content:
        contentFormatter = printFormatter;
        break;
    case PdfReportRenderHtmlOperation::Footer:
        footerFormatter = printFormatter;
        break;
    default:
        throw platform::Exception(kInvalidSectionType, kInvalidSectionTypeReason.arg(sectionType));
    }
}

void PdfReportGenerator::createPage(quint64 pageIndex)
{
    // A report always has a page, even without items.
    if (remainingItems >= currentReportTotalItems && m_pagesWritten > 0) {
        queueStep([this] { closePdfContext(); });
        return;
    }
    ++m_trials;
    renderedTags.clear();
    currentReportPage = pageIndex + 1;
    platform::Error error;
    const auto rendered = m_template->renderObject(
        QVariant::fromValue(MustacheObjectPtr(shared_from_this())), &error);
    if (!rendered || error) {
        fail(makeError(RenderingFailed, kRenderingFailed,
            { QString::number(currentReportPage), error.localizedDescription() }));
        return;
    }
    const QString header = withoutTexts(*rendered, renderedTags, { kPageContent, kPageFooter });
    const QString content
        = withoutTexts(*rendered, renderedTags, { kDocumentHeader, kPageHeader, kPageFooter });
    const QString footer
        = withoutTexts(*rendered, renderedTags, { kDocumentHeader, kPageHeader, kPageContent });

    // The header and footer stay the same over the trials of a page: laid out once.
    const double width = m_bounds.width() - 2 * PdfReportPageRenderer::Inset;
    QPaintDevice* device = m_writer.get();
    if (!headerFormatter || header != m_headerHtml) {
        m_headerHtml = header;
        renderingQueue->addOperation(
            PdfReportRenderHtmlOperation::queued(std::make_shared<PdfReportRenderHtmlOperation>(
                header, PdfReportRenderHtmlOperation::Header, device, width, this)));
    }
    renderingQueue->addOperation(
        PdfReportRenderHtmlOperation::queued(std::make_shared<PdfReportRenderHtmlOperation>(
            content, PdfReportRenderHtmlOperation::Content, device, width, this)));
    if (!footerFormatter || footer != m_footerHtml) {
        m_footerHtml = footer;
        renderingQueue->addOperation(
            PdfReportRenderHtmlOperation::queued(std::make_shared<PdfReportRenderHtmlOperation>(
                footer, PdfReportRenderHtmlOperation::Footer, device, width, this)));
    }
    queueStep([this] { renderPage(); });
}

void PdfReportGenerator::renderPage()
{
    internalRenderPage();
}

double PdfReportGenerator::measuredHeight(
    const std::shared_ptr<PdfReportDocument>& formatter, const QString& html)
{
    auto known = m_heights.constFind(html);
    if (known != m_heights.constEnd())
        return *known;
    PdfReportFakeRenderer renderer(m_bounds);
    renderer.addPrintFormatter(formatter);
    const double height = double(renderer.contentHeight());
    m_heights.insert(html, height);
    return height;
}

void PdfReportGenerator::startPageSearch(quint64 itemsLeft)
{
    m_search->beginPage(itemsLeft);
    m_overfull = m_readRows;
    currentNumberOfItems = m_overfull ? m_search->overfullCount() : m_search->count();
}

void PdfReportGenerator::internalRenderPage()
{
    const double headerHeight = measuredHeight(headerFormatter, m_headerHtml);
    const double footerHeight = measuredHeight(footerFormatter, m_footerHtml);
    PdfReportPageRenderer renderer(
        headerFormatter, headerHeight, contentFormatter, footerFormatter, footerHeight, m_bounds);
    const double room = renderer.contentRect().height();
    if (room < kSmallestContentHeight) {
        fail(makeError(NoRoomForRows, kNoRoomForRows));
        return;
    }
    const quint64 pageIndex = currentReportPage - 1;
    const quint64 left
        = currentReportTotalItems - std::min(remainingItems, currentReportTotalItems);
    const quint64 laidOut = std::min(currentNumberOfItems, left);
    // Rows the layout shows: which of them end on the page is read from one layout.
    bool split = false;
    double used = 0;
    const int rows = contentFormatter
        ? contentFormatter->rowsOnFirstPage(room, int(laidOut), &split, &used)
        : -1;
    if (m_overfull) {
        m_overfull = false;
        if (rows < 0) {
            // Not rows, or rows whose layout depends on the rows below: counts are tried.
            m_readRows = false;
            currentNumberOfItems = m_search->count();
            queueStep([this, pageIndex] { createPage(pageIndex); });
            return;
        }
        if (quint64(rows) == laidOut && laidOut < m_search->cap()) {
            // All fitted: as many more as the room left seems to take, and a few.
            m_overfull = true;
            const double perRow = used / double(laidOut);
            const double more = perRow > 0 ? (room - used) / perRow * 1.25 : double(laidOut);
            currentNumberOfItems
                = std::min<quint64>(m_search->cap(), laidOut + 2 + quint64(std::max(0.0, more)));
            queueStep([this, pageIndex] { createPage(pageIndex); });
            return;
        }
        // When not even the first item fits, it goes alone over as many pages as it needs,
        // and the next page starts from the count before it.
        const quint64 count = std::max(1, rows);
        m_search->settle(count, rows > 0);
        if (count != laidOut && (rows == 0 || split)) {
            // Part of a later row would be drawn on the page: its rows are laid out alone.
            currentNumberOfItems = count;
            m_writeNextTrial = true;
            queueStep([this, pageIndex] { createPage(pageIndex); });
            return;
        }
        currentNumberOfItems = count;
        // The rows past the page are on the next ones, not drawn.
        if (rows > 0)
            renderer.setPageLimit(1);
        writePage(renderer, pageIndex);
        return;
    }
    // Rows that all end on the page fit, whatever empty lines the table leaves after it.
    const bool fits = rows >= 0 ? quint64(rows) == laidOut : renderer.numberOfPages() <= 1;
    if (m_writeNextTrial) {
        m_writeNextTrial = false;
    } else {
        if (fits) {
            m_lastFitCount = currentNumberOfItems;
            m_lastFitContent = contentFormatter;
        }
        if (!m_search->tried(fits)) {
            currentNumberOfItems = m_search->count();
            queueStep([this, pageIndex] { createPage(pageIndex); });
            return;
        }
        // The search may decide on a count tried before the last trial: its layout is kept
        // when it fitted, else it is laid out once more.
        const quint64 accepted = m_search->accepted();
        if (accepted != currentNumberOfItems) {
            currentNumberOfItems = accepted;
            if (m_lastFitContent && m_lastFitCount == accepted) {
                renderer = PdfReportPageRenderer(headerFormatter, headerHeight, m_lastFitContent,
                    footerFormatter, footerHeight, m_bounds);
                renderer.setPageLimit(1);
            } else {
                m_writeNextTrial = true;
                queueStep([this, pageIndex] { createPage(pageIndex); });
                return;
            }
        }
    }
    if (fits)
        renderer.setPageLimit(1);
    writePage(renderer, pageIndex);
}

void PdfReportGenerator::writePage(PdfReportPageRenderer& renderer, quint64 pageIndex)
{
    m_lastFitContent.reset();
    m_lastFitCount = 0;
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(m_writer.get())) {
            fail(makeError(RenderingFailed, kRenderingFailed,
                { QString::number(currentReportPage), QStringLiteral("PDF") }));
            return;
        }
    }
    renderer.addPagesToPdfContext(*m_painter, *m_writer, m_firstPage,
        [this](int index) { return runOnParts(currentReportPage + quint64(index)); });
    m_pagesWritten += quint64(renderer.numberOfPages());
    remainingItems += currentNumberOfItems;
    const quint64 left
        = remainingItems >= currentReportTotalItems ? 0 : currentReportTotalItems - remainingItems;
    startPageSearch(left);
    // An item that ran on over further pages: the next page is numbered after them.
    const quint64 nextIndex = std::max<quint64>(pageIndex + 1, m_pagesWritten);
    queueStep([this, nextIndex] { createPage(nextIndex); });
}

PdfReportPageRenderer::RunOnParts PdfReportGenerator::runOnParts(quint64 pageNumber)
{
    // The same items, numbered as that page: its own page number, no document header.
    const quint64 page = currentReportPage;
    const QVariantMap tags = renderedTags;
    currentReportPage = pageNumber;
    renderedTags.clear();
    platform::Error error;
    const auto rendered = m_template->renderObject(
        QVariant::fromValue(MustacheObjectPtr(shared_from_this())), &error);
    const QVariantMap partTags = renderedTags;
    currentReportPage = page;
    renderedTags = tags;
    if (!rendered || error)
        throw platform::Exception(QStringLiteral("Report Rendering"), error.localizedDescription());
    const double width = m_bounds.width() - 2 * PdfReportPageRenderer::Inset;
    PdfReportPageRenderer::RunOnParts parts {
        std::make_shared<PdfReportDocument>(m_writer.get(), width),
        std::make_shared<PdfReportDocument>(m_writer.get(), width),
    };
    parts.header->loadHtml(withoutTexts(*rendered, partTags, { kPageContent, kPageFooter }));
    parts.footer->loadHtml(
        withoutTexts(*rendered, partTags, { kDocumentHeader, kPageHeader, kPageContent }));
    return parts;
}

void PdfReportGenerator::closePdfContext()
{
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    m_writer.reset();
    m_buffer.reset();
    const QByteArray data = currentReportData ? *currentReportData : QByteArray();
    auto heard = delegate;
    reset();
    if (heard)
        heard->reportsGenerator(this, data);
}

void PdfReportGenerator::fail(const platform::Error& error)
{
    renderingQueue->cancelAllOperations();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    auto heard = delegate;
    reset();
    if (heard)
        heard->reportsGeneratorDidFailWithError(this, error);
}

void PdfReportGenerator::reset()
{
    m_painter.reset();
    m_writer.reset();
    m_buffer.reset();
    currentReportData.reset();
    m_template.reset();
    renderedTags.clear();
    headerFormatter.reset();
    contentFormatter.reset();
    footerFormatter.reset();
    m_heights.clear();
    dataSource.reset();
    delegate.reset();
    m_search.reset();
    m_lastFitContent.reset();
    m_lastFitCount = 0;
    m_writeNextTrial = false;
    m_overfull = false;
    m_busy = false;
}
