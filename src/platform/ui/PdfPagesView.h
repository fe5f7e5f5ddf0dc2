#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSet>
#include <QSizeF>
#include <QUrl>

#include <memory>

namespace Poppler {
class Document;
}

namespace platform::ui {

// The pages of a PDF one under the other at the view's width, drawn by Poppler. Only the
// pages in sight and the one after are rendered; pages further away are let go, so the
// cost follows the screen, not the document. A click on a link reports its address, or
// for a link within the document scrolls to its page.
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
    // The page's rectangle in the scrolled content.
    QRect pageRect(int index) const { return m_pageRects.value(index); }
    // The link address at a point of the viewport, when there is one.
    QUrl linkAt(const QPoint& viewportPoint) const;

    static constexpr int Spacing = 8;

signals:
    void linkActivated(const QUrl& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void relayout();
    QImage pageImage(int index);
    // The page and the link under a viewport point, or (-1, {}).
    std::pair<int, QUrl> hit(const QPoint& viewportPoint, int* gotoPage) const;

    std::unique_ptr<Poppler::Document> m_document;
    QList<QSizeF> m_pageSizes;
    QList<QRect> m_pageRects;
    int m_contentHeight = 0;
    int m_layoutWidth = -1;
    QHash<int, QImage> m_cache;
    QSet<int> m_rendered;
    int m_renderCount = 0;
};

} // namespace platform::ui
