#pragma once

#include <QByteArray>
#include <QString>

// Answers the two image URL schemes of report pages: "bundleimage://name.ext" reads an
// image of the application's resources, "documentsimage://name.ext" (a relative path may
// hold folders) one of the Documents folder. Percent escapes stay as written, and only the
// lower-case scheme is taken off the name, so "BundleImage://x.png" finds nothing. A file
// that is missing, unreadable or outside its folder (through "..", an absolute name or a
// link) loads nothing; the load still completes.
class NSURLWebViewProtocol {
public:
    explicit NSURLWebViewProtocol(QString request);

    // The request's scheme is one of the two, in any case.
    static bool canInitWithRequest(const QString& request);
    static QString canonicalRequestForRequest(const QString& request) { return request; }

    // The file's bytes; empty when there is nothing to load.
    QByteArray startLoading() const;
    void stopLoading() const { }
    // The URL split into its prefix (the scheme), file name and extension; the prefix
    // stays as the caller set it when the URL has neither scheme.
    void extractFileName(QString* fileName, QString* fileExtension, QString* urlPrefix) const;
    // The file the request names; empty when it names none inside its folder.
    QString filePath() const;

    // A report page's image: the bytes of the URL, empty when it has nothing.
    static QByteArray loadRequest(const QString& request);

    static const QString BundleImageScheme; // "bundleimage"
    static const QString DocumentsImageScheme; // "documentsimage"

private:
    QString m_request;
};
