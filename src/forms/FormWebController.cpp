#include "forms/FormWebController.h"

#include "forms/FormBindingSnapshot.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormRootElement.h"
#include "forms/FormTableView.h"
#include "platform/Exception.h"
#include "platform/ui/AlertView.h"
#include "utilities/text/LocalizedStrings.h"

#include <QJsonDocument>
#include <QJsonParseError>

using platform::net::HttpClient;
using platform::net::HttpResponse;

FormWebController::FormWebController(QObject* parent)
    : FormController(parent)
{
}

FormWebController::FormWebController(std::shared_ptr<FormRootElement> root, QObject* parent)
    : FormController(std::move(root), parent)
{
}

FormWebController::~FormWebController()
{
    if (m_request)
        HttpClient::shared().cancel(m_request);
}

void FormWebController::viewDidLoad()
{
    FormController::viewDidLoad();
    if (m_url.isEmpty() && root() && root()->object().metaType().id() == QMetaType::QString)
        m_url = root()->object().toString();
    if (m_url.isEmpty())
        return;
    loading(true);
    reload();
}

QUrl FormWebController::createRequestForUrl() const
{
    return QUrl(m_url);
}

void FormWebController::reload()
{
    if (m_request) {
        HttpClient::shared().cancel(m_request);
        m_request = 0;
    }
    const QUrl address = createRequestForUrl();
    // Only the web's own schemes: a file or other address is never read for a form.
    const QString refusal = HttpClient::refusalForUrl(address);
    if (!refusal.isEmpty()) {
        presentFailure(refusal);
        return;
    }
    QPointer<FormWebController> self(this);
    m_request = HttpClient::shared().get(
        address,
        [self](const HttpResponse& response) {
            if (self)
                self->finished(response);
        },
        requestOptions);
}

void FormWebController::finished(const HttpResponse& response)
{
    m_request = 0;
    if (response.ok)
        presentResult(response.body);
    else if (response.status == 0)
        presentError(response.error);
    else
        presentFailure(response.error);
}

void FormWebController::presentResult(const QByteArray& data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        presentFailure(LocalizedStrings::getMessageWithFormat(
            QStringLiteral("The answer is not JSON: %@"), { error.errorString() }));
        return;
    }
    const QString refusal = bindReply(root(), document.toVariant());
    if (FormTableView* table = formTableView())
        table->reloadData();
    if (!refusal.isEmpty()) {
        presentFailure(refusal);
        return;
    }
    loading(false);
}

QString FormWebController::bindReply(FormRootElement* root, const QVariant& reply)
{
    if (!root)
        return {};
    FormBindingSnapshot snapshot(root);
    try {
        FormRootBuilder::BuildLimit limit(MaximumReplyElements);
        root->bindToObject(reply);
        return {};
    } catch (const platform::Exception& exception) {
        snapshot.restore();
        if (exception.name() == FormRootBuilder::TooManyElementsException)
            return LocalizedStrings::getMessageWithFormat(
                QStringLiteral("The answer would make more than %@ rows."),
                { QString::number(MaximumReplyElements) });
        return LocalizedStrings::getMessageWithFormat(
            QStringLiteral("The answer does not fit the form: %@"), { exception.reason() });
    } catch (const std::exception& exception) {
        snapshot.restore();
        return LocalizedStrings::getMessageWithFormat(
            QStringLiteral("The answer does not fit the form: %@"),
            { QString::fromLocal8Bit(exception.what()) });
    }
}

void FormWebController::presentError(const QString& description)
{
    // Binding nothing clears the values; a form whose bindings cannot take even that
    // keeps them.
    bindReply(root(), QVariantMap());
    if (FormTableView* table = formTableView())
        table->reloadData();
    showErrorAlert(description);
    loading(false);
}

void FormWebController::presentFailure(const QString& description)
{
    showErrorAlert(description);
    loading(false);
}

void FormWebController::showErrorAlert(const QString& description)
{
    auto* alert
        = new platform::ui::AlertView(LocalizedStrings::getLocalizedString(QStringLiteral("Error")),
            description, nullptr, LocalizedStrings::getLocalizedString(QStringLiteral("OK")));
    alert->show();
}
