#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSet>
#include <QSize>
#include <QSizeF>
#include <QUrl>

#include <memory>
#include <optional>

class QTimer;
class QTouchEvent;

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
//
// It opens with the pages fitted to its width and zooms as a phone's viewer does: two
// fingers pinching on a touch screen or a touchpad, Ctrl with the wheel, Ctrl with plus or
// minus (Ctrl+0 fits again), and a double tap, which fits the width when zoomed and zooms
// in where it falls when fitted. The wheel and the keys keep a page's left edge, where its
// lines begin, where it is while it is in sight. One finger pans. While a zoom goes on the
// pages drawn are shown scaled; they are rendered sharp once it pauses, and a page grown
// past WholePagePixels is rendered only around what is in sight.
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
    QSize renderedSize(int index) const { return m_cache.value(index).image.size(); }
    // The link address at a point of the viewport, when there is one.
    QUrl linkAt(const QPoint& viewportPoint) const;
    // How far the content is scrolled: its point at the viewport's top left corner.
    QPoint scrollOffset() const;

    // The zoom over the pages fitted to the width: 1 fits them, as the file opens.
    double zoom() const { return m_zoom; }
    // Zooms, keeping the content under the viewport point where it is.
    void setZoom(double zoom, const QPointF& anchor);
    // Around the viewport's centre.
    void setZoom(double zoom);
    // What a double tap does at the point: fits the width, or zooms in when it fits.
    void toggleZoom(const QPointF& anchor);

    static constexpr int Spacing = 8;
    // The most device pixels one page is rendered with: an A4 or Legal page at 4096 pixels
    // wide still fits, a page eight times as tall as wide at that width does not.
    static constexpr double MaximumPagePixels = 32.0 * 1024 * 1024;
    // The tallest a page is laid out, in points of the view.
    static constexpr int MaximumPageHeight = 32768;
    static constexpr double MaximumZoom = 5.0;
    // A double tap on the fitted pages zooms to this.
    static constexpr double DoubleTapZoom = 2.0;
    // One wheel notch or key press.
    static constexpr double ZoomStep = 1.25;
    // A page zoomed past this many device pixels is rendered only around what is in sight.
    static constexpr double WholePagePixels = 8.0 * 1024 * 1024;
    // How long a zoom must pause before the pages are rendered sharp at it.
    static constexpr int SharpenDelay = 150;

signals:
    void linkActivated(const QUrl& url);

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Where a page sits in the content, and its points-to-view scale.
    struct PageBox {
        qint64 top = 0;
        int left = 0;
        int width = 0;
        int height = 0;
        double scale = 1;
    };

    // A page's render: the part of the page it shows (in view points at its scale).
    struct Render {
        QImage image;
        QRect region;
        double scale = 0;
    };
    // A point of a page (a share of its height) and how far below the view's top it shows.
    struct Place {
        int page = -1;
        double down = 0;
        double below = 0;
    };
    // One touch sequence on the viewport.
    struct Touch {
        QPointF start;
        QPointF last;
        QPointF centre;
        double startDistance = 0;
        double startZoom = 1;
        bool panned = false;
        bool pinched = false;
    };

    void relayout();
    void updateScrollRange();
    // Where the reader is, in a view of that height: the first line drawn on the page that
    // fills most of it. Kept when the width changes, as a turned phone changes it.
    Place readingPlace(int height) const;
    // The first row drawn on the page between two heights of it (in view points), as its
    // render held now shows it; none when nothing is drawn there or no render is held.
    std::optional<double> firstInk(int index, double from, double to) const;
    // The page whose box holds the content height, or the next one below it.
    int pageIndexAt(double y) const;
    // A wheel notch or a key press: zooms at the anchor, except that the page there keeps
    // its left edge where it is while that edge is in sight.
    void stepZoom(double zoom, const QPointF& anchor);
    qint64 scrollTop() const;
    void setScrollTop(qint64 top);
    int scrollLeft() const;
    // The render of a page showing at least the part given (in view points of the page).
    Render render(int index, const QRect& needed);
    void activateAt(const QPoint& viewportPoint);
    void touched(QTouchEvent* event);
    void tapped(const QPointF& viewportPoint);
    // Scaled drawing while a zoom goes on; sharp renders once it pauses.
    void zoomMoved();
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
    // The viewport's height the scroll range was last set for: the height the reader saw.
    int m_shownHeight = 0;
    int m_contentWidth = 0;
    double m_zoom = 1;
    // Pages drawn scaled stand in for sharp renders while this is on.
    bool m_zooming = false;
    bool m_pinching = false;
    QTimer* m_sharpen = nullptr;
    Touch m_touch;
    qint64 m_lastTapTime = -1;
    QPointF m_lastTapAt;
    bool m_swallowRelease = false;
    QHash<int, Render> m_cache;
    QSet<int> m_rendered;
    int m_renderCount = 0;
};

} // namespace platform::ui
