#pragma once

#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "reports/PdfReportGeneratorDataSource.h"
#include "reports/PdfReportPageRenderer.h"
#include "reports/PdfReportPageSearch.h"
#include "reports/PdfReportRenderHtmlOperationDelegate.h"
#include "reports/mustache/MustacheKeyedSubscript.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class MustacheTemplate;
class PdfReportDocument;
class PdfReportGeneratorDelegate;
class PdfReportRenderHtmlOperation;
class QPainter;
class QPdfWriter;

// Turns a report template and a data source into a paginated PDF held in memory, one
// report at a time. For each page it renders the template with itself as the object, cuts
// the HTML into header, content and footer, lays each out and looks for the largest count
// of items (up to the items per page) whose page does not overflow; then it writes that
// page and goes on with the next items until all are placed. When the items are the rows
// of a table, one layout of a few more rows than may fit tells the count, and its first
// page is written; otherwise counts are tried, one layout each. Every step is an operation
// of the main-thread "Rendering Queue"; the delegate hears the PDF, or the failure, once.
//
// The template holds four sections, documentHeader (on the first page only), pageHeader,
// pageContent and pageFooter, and may show pageNumber; what stands outside the sections
// (head, style sheet) goes into all three parts. Every other key goes to the data source.
class PdfReportGenerator : public MustacheKeyedSubscript,
                           public PdfReportGeneratorDataSource,
                           public PdfReportRenderHtmlOperationDelegate {
public:
    static std::shared_ptr<PdfReportGenerator> sharedGenerator();
    ~PdfReportGenerator() override;

    // Starts a report from template text. The page is 800 x 1000 points in portrait
    // (orientation 0) and 1000 x 800 otherwise; a width above 1000 makes it that width (at
    // most 2000) by 1000 in either orientation. Nothing starts, and the error says why, when
    // a report is being made, the template does not compile or lacks one of its sections.
    void createReportWithName1(const QString& name, const QString& templateString,
        quint64 itemsPerPage, quint64 totalItems, quint64 pageOrientation,
        std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
        std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error, double width);
    // The same with the template read from a file, and the page size of the orientation.
    void createReportWithName(const QString& name, const QString& templateURLString,
        quint64 itemsPerPage, quint64 totalItems, quint64 pageOrientation,
        std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
        std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error);

    // True from a start until the delegate has heard how the report ended.
    bool isBusy() const { return m_busy; }
    // The page bounds a report of that orientation and width gets.
    static QRectF pageBounds(quint64 pageOrientation, double width);

    // Every key the template asks of the generator: its own five from itself, the others
    // from the data source, for the page being tried.
    QVariant valueForKey(const QString& key);
    QVariant objectForKeyedSubscript(const QString& key) const override;
    // The generator's own keys: a rendering object for the page.
    QVariant reportsGenerator(PdfReportGenerator* generator, const QString& report,
        const QString& tag, quint64 page, quint64 offset, quint64 itemsCount) override;
    void didFinishLoadingSection(
        qint64 sectionType, const std::shared_ptr<PdfReportDocument>& printFormatter) override;

    // How pages are searched (tests compare the two).
    void setSearchMode(PdfReportPageSearch::Mode mode) { m_searchMode = mode; }
    // Trials made by the last report.
    quint64 trialCount() const { return m_trials; }

    static const QStringList& generatorKeys();
    static const QString RenderingQueueName; // "Rendering Queue"
    static const QString ErrorDomain;
    enum ErrorCode { Busy = 1, MissingSection = 2, RenderingFailed = 3, NoRoomForRows = 4 };

private:
    PdfReportGenerator();
    bool beginReport(const QString& name, std::shared_ptr<MustacheTemplate> compiled,
        quint64 itemsPerPage, quint64 totalItems, const QRectF& bounds,
        std::shared_ptr<PdfReportGeneratorDataSource> dataSource,
        std::shared_ptr<PdfReportGeneratorDelegate> delegate, platform::Error* error);
    // Runs a step of the report as a queue operation; a failure ends the report.
    void queueStep(std::function<void()> step);
    void createPage(quint64 pageIndex);
    void renderPage();
    void internalRenderPage();
    void startPageSearch(quint64 itemsLeft);
    void writePage(PdfReportPageRenderer& renderer, quint64 pageIndex);
    void closePdfContext();
    PdfReportPageRenderer::RunOnParts runOnParts(quint64 pageNumber);
    void fail(const platform::Error& error);
    void reset();
    double measuredHeight(const std::shared_ptr<PdfReportDocument>& formatter, const QString& html);

    QString currentReportName;
    quint64 currentReportPage = 0;
    quint64 currentReportItemsPerPage = 0;
    quint64 currentReportTotalItems = 0;
    quint64 currentNumberOfItems = 0;
    quint64 remainingItems = 0;
    std::unique_ptr<PdfReportPageSearch> m_search;
    std::shared_ptr<QByteArray> currentReportData;
    std::shared_ptr<MustacheTemplate> m_template;
    QVariantMap renderedTags;
    std::shared_ptr<PdfReportDocument> headerFormatter;
    std::shared_ptr<PdfReportDocument> contentFormatter;
    std::shared_ptr<PdfReportDocument> footerFormatter;
    QString m_headerHtml;
    QString m_footerHtml;
    QHash<QString, double> m_heights;
    std::shared_ptr<PdfReportGeneratorDataSource> dataSource;
    std::shared_ptr<PdfReportGeneratorDelegate> delegate;
    std::shared_ptr<platform::dispatch::MainOperationQueue> renderingQueue;

    QRectF m_bounds;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_firstPage = true;
    quint64 m_pagesWritten = 0;
    bool m_busy = false;
    // The last count of the page that fitted, with its layout.
    quint64 m_lastFitCount = 0;
    std::shared_ptr<PdfReportDocument> m_lastFitContent;
    // The next trial is the decided count laid out again: it is written.
    bool m_writeNextTrial = false;
    // Whether pages are counted from the rows of one layout (quick search), and whether the
    // trial being laid out holds more items than may fit, to read how many do.
    bool m_readRows = false;
    bool m_overfull = false;
    PdfReportPageSearch::Mode m_searchMode = PdfReportPageSearch::Mode::Quick;
    quint64 m_trials = 0;
};
