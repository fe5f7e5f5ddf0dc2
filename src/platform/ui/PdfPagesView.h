#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSet>
#include <QSize>
#include <QSizeF>
#include <QUrl>

#include <memory>

namespace Poppler {
class Document;
}

namespace platform::ui {

// The pages of a PDF one under the other at the view's width, drawn by Poppler. Only the
// pages in sight and the one after are rendered; pages further away are let go, so the
// cost follows the screen, not the document. A page whose render at that width would pass
// the pixel budget, or the page height, is shown smaller and centred: a page may be any
// size the file says (a sliver a thousandth of a point wide and a few metres long), and
// must neither take gigabytes to draw nor overflow the layout. A click on a link reports
// its address, or for a link within the document scrolls to its page.
class PdfPagesView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PdfPagesView(QWidget* parent = nullptr);
    ~PdfPagesView() override;

    // False when the file is not a PDF Poppler can read, or is locked with a password.
    bool load(const QString& path);
    int pageCount() const { return int(m_pageSizes.size()); }

    // The pages rendered since loading (each counted once), and all renders done.
    QSet<int> renderedPages() const { return m_rendered; }
    int renderCount() const { return m_renderCount; }
    // The pages in sight now.
    QList<int> visiblePages() const;
    void scrollToPage(int index);
    // The page's rectangle in the scrolled content (which may be taller than an int).
    QRectF pageRect(int index) const;
    // The pixel size of the page's render held now; empty when none is held.
    QSize renderedSize(int index) const { return m_cache.value(index).size(); }
    // The link address at a point of the viewport, when there is one.
    QUrl linkAt(const QPoint& viewportPoint) const;

    static constexpr int Spacing = 8;
    // The most device pixels one page is rendered with: an A4 or Legal page at 4096 pixels
    // wide still fits, a page eight times as tall as wide at that width does not.
    static constexpr double MaximumPagePixels = 32.0 * 1024 * 1024;
    // The tallest a page is laid out, in points of the view.
    static constexpr int MaximumPageHeight = 32768;

signals:
    void linkActivated(const QUrl& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Where a page sits in the content, and its points-to-view scale.
    struct PageBox {
        qint64 top = 0;
        int left = 0;
        int width = 0;
        int height = 0;
        double scale = 1;
    };

    void relayout();
    void updateScrollRange();
    qint64 scrollTop() const;
    void setScrollTop(qint64 top);
    QImage pageImage(int index);
    // The page and the link under a viewport point, or (-1, {}).
    std::pair<int, QUrl> hit(const QPoint& viewportPoint, int* gotoPage) const;

    std::unique_ptr<Poppler::Document> m_document;
    QList<QSizeF> m_pageSizes;
    QList<PageBox> m_pages;
    qint64 m_contentHeight = 0;
    // Content pixels per scroll bar step: more than one only when the content is taller
    // than the scroll bar's int can count.
    qint64 m_scrollUnit = 1;
    int m_layoutWidth = -1;
    QHash<int, QImage> m_cache;
    QSet<int> m_rendered;
    int m_renderCount = 0;
};

} // namespace platform::ui
