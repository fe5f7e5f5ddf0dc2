#include "utilities/text/KivoLibAttributedString.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace KivoLib {

std::unique_ptr<QTextDocument> replaceText(
    const QTextDocument& document, const QString& text, const QString& linkText, const QString& url)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    if (text.isEmpty())
        return copy;
    QTextCursor found = copy->find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return copy;
    QTextCharFormat link = found.charFormat();
    link.setAnchor(true);
    link.setAnchorHref(QString::fromLatin1(QUrl::toPercentEncoding(url, "!#$&'()*+,/:;=?@[]~")));
    found.insertText(linkText, link);
    return copy;
}

} // namespace KivoLib
