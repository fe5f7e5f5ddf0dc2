#include "screens/LinkOpener.h"

#include "platform/ui/Application.h"

#include <QRegularExpression>

namespace {

// A scheme, then its colon; "host:8080" is a host with its port, not a scheme.
bool hasScheme(const QString& value)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:(?!\\d)"));
    return scheme.match(value).hasMatch();
}

} // namespace

QUrl LinkOpener::linkAddress(const QString& value)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return {};
    return QUrl(hasScheme(text) ? text : QStringLiteral("http://") + text);
}

bool LinkOpener::isOpenable(const QUrl& address)
{
    const QString scheme = address.scheme().toLower();
    return address.isValid() && !address.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool LinkOpener::openLink(const QString& value)
{
    const QUrl address = linkAddress(value);
    if (!isOpenable(address))
        return false;
    return platform::ui::Application::shared().openURL(address);
}
