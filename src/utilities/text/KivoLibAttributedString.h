#pragma once

#include <QString>

#include <memory>

class QTextDocument;

// Additions to rich text (the attributed-string part of the KivoLib category).
namespace KivoLib {

// A copy of the document whose first occurrence of `text` is replaced by `linkText`
// linking to `url` (percent-escaped as UTF-8). Without an occurrence, an unchanged copy.
std::unique_ptr<QTextDocument> replaceText(const QTextDocument& document, const QString& text,
    const QString& linkText, const QString& url);

} // namespace KivoLib
