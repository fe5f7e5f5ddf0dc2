#pragma once

#include "forms/FormController.h"
#include "platform/net/HttpClient.h"

#include <QUrl>

// A form whose values come from a JSON document on the web: on load it fetches the
// document at `url` (or at the root's object, when that is an address) under the
// loading overlay and binds the root to it. Only http and https addresses are fetched.
// A failure is shown in an "Error" alert: when no answer came, the form's values are
// cleared; an error status, an answer that is not JSON or one that does not fit the form's
// bindings leaves them as they were.
class FormWebController : public FormController {
    Q_OBJECT
    Q_PROPERTY(QString url READ url WRITE setUrl)

public:
    Q_INVOKABLE explicit FormWebController(QObject* parent = nullptr);
    FormWebController(std::shared_ptr<FormRootElement> root, QObject* parent = nullptr);
    ~FormWebController() override;

    QString url() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }
    // The limits of the fetch (time, size).
    platform::net::HttpRequestOptions requestOptions;

    // Takes the address from the root's object when none is set, and fetches it.
    void viewDidLoad() override;
    // Fetches the document again (a fetch under way is dropped).
    void reload();
    QUrl createRequestForUrl() const;
    // The answer as JSON, bound into the root; an answer that is not JSON, or that
    // bindReply refuses, is shown and changes nothing.
    void presentResult(const QByteArray& data);
    // No answer: the values are cleared and the reason shown.
    void presentError(const QString& description);
    // A refused address or an error status: the reason is shown, the values stay.
    void presentFailure(const QString& description);
    bool isFetching() const { return m_request != 0; }

    // The most elements and sections that binding one answer may make. A form from the web
    // shows a record or a list of some hundred rows; an answer that would make more is
    // refused before its rows are made.
    static constexpr qsizetype MaximumReplyElements = 20000;
    // Binds an answer into the root as a load does, all or nothing: an answer whose shape
    // the bind strings do not fit (a list where they read keys, a dictionary where they set
    // a text) or that would make more than MaximumReplyElements rows leaves the root's
    // sections, rows and bound values as they were. Empty, or why the answer was refused.
    static QString bindReply(FormRootElement* root, const QVariant& reply);

private:
    void finished(const platform::net::HttpResponse& response);
    void showErrorAlert(const QString& description);

    QString m_url;
    quint64 m_request = 0;
};
