#pragma once

#include "platform/ui/ViewController.h"

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace platform::ui {

class BarButtonItem;
class PdfPagesView;

// A file's preview, by its content: a PDF's pages (Poppler) at the view's width; an image
// (QImageReader, within its allocation limit); text as UTF-8 (a byte-order mark honoured)
// or else Latin-1, at most 4 MB with a note when cut; anything else its name, kind and
// size. Every kind has "Open with…", which hands the file to the desktop's own program,
// but only a regular document file inside the folders given for it. Links in the file
// open only when they are web or mail addresses.
class PreviewController : public ViewController {
    Q_OBJECT
public:
    enum class Kind { None, Pdf, Image, Text, Other };

    explicit PreviewController(QObject* parent = nullptr);
    ~PreviewController() override;

    QUrl url() const { return m_url; }
    // Takes effect when the view loads, or at once when it has.
    void setUrl(const QUrl& url);

    Kind kind() const { return m_kind; }
    // The line that names the file's kind ("PDF document", "CSV document", ...).
    QString kindDescription() const { return m_kindDescription; }
    // What is shown instead of the content when it cannot be shown; empty otherwise.
    QString problem() const { return m_problem; }
    // The text shown for a text file, and whether it was cut.
    QString shownText() const { return m_text; }
    bool textWasCut() const { return m_cut; }
    PdfPagesView* pdfView() const;
    BarButtonItem* openWithItem() const;

    // The folders whose files may go to the desktop (Documents and the bundle at first).
    QStringList handOverFolders() const { return m_handOverFolders; }
    void setHandOverFolders(const QStringList& folders) { m_handOverFolders = folders; }
    // Whether "Open with…" may hand this file over: a regular file (a link must stay
    // inside the folders) of a document type (PDF, CSV, XLS, text, image, ZIP), not
    // executable.
    bool mayHandOver(const QString& path) const;
    // "Open with…": hands the file over, or says why not. True when handed over.
    bool openWith();
    // Whether a link inside the file may open: http, https and mailto only.
    virtual bool shouldOpenURL(const QUrl& link) const;
    // A link in the file was chosen.
    void openLink(const QUrl& link);

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

    static constexpr qint64 MaximumTextBytes = 4 * 1024 * 1024;
    static const QString OpenWithTitle; // "Open with…"

private:
    void showContent();
    // Lines wrap at the width of the screen, so a log or a note reads on a phone without
    // scrolling sideways; a table's rows (CSV, TSV) stay whole lines.
    void showText(const QString& path, bool tabular);
    void showImage(const QString& path);
    void showPdf(const QString& path);
    void showDetails(const QString& path, const QString& problem);
    void setContent(QWidget* content);
    QRect contentRect();

    QUrl m_url;
    Kind m_kind = Kind::None;
    QString m_kindDescription;
    QString m_problem;
    QString m_text;
    bool m_cut = false;
    QStringList m_handOverFolders;
    QPointer<QWidget> m_content;
    QPointer<PdfPagesView> m_pdf;
    QPointer<BarButtonItem> m_openWith;
};

} // namespace platform::ui
