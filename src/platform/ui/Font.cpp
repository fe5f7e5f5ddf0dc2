#include "platform/ui/Font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QStringList>

#include <cmath>

namespace platform::ui::Font {

namespace {

QString availableFamily(const QString& wanted)
{
    static QHash<QString, QString> resolved;
    auto it = resolved.constFind(wanted);
    if (it != resolved.constEnd())
        return *it;
    const QStringList families = QFontDatabase::families();
    QStringList candidates = { wanted };
    // "HelveticaNeue" is written without the space in font names.
    QString spaced = wanted;
    for (int i = 1; i < spaced.size(); ++i)
        if (spaced[i].isUpper() && spaced[i - 1].isLower())
            spaced.insert(i++, ' ');
    candidates << spaced << "Helvetica Neue"
               << "Helvetica"
               << "Nimbus Sans"
               << "Liberation Sans"
               << "Arimo"
               << "DejaVu Sans"
               << "Noto Sans";
    QString found;
    for (const QString& candidate : candidates) {
        for (const QString& family : families) {
            if (family.compare(candidate, Qt::CaseInsensitive) == 0) {
                found = family;
                break;
            }
        }
        if (!found.isEmpty())
            break;
    }
    if (found.isEmpty())
        found = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    resolved.insert(wanted, found);
    return found;
}

// The colour emoji font when the machine has one: texts fall back to it for the emoji
// their own family lacks (a database named with 🎉).
QString emojiFamily()
{
    static const QString found = [] {
        for (const QString& family : QFontDatabase::families())
            if (family.compare(QLatin1String("Noto Color Emoji"), Qt::CaseInsensitive) == 0)
                return family;
        return QString();
    }();
    return found;
}

} // namespace

QFont named(const QString& name, double pointSize)
{
    const QString family = name.section('-', 0, 0);
    const QString variant = name.section('-', 1).toLower();
    QFont font(availableFamily(family.isEmpty() ? QStringLiteral("Helvetica") : family));
    if (const QString emoji = emojiFamily(); !emoji.isEmpty())
        font.setFamilies({ font.family(), emoji });
    // Points of the platform are device-independent pixels here.
    font.setPixelSize(std::max(1, int(std::lround(pointSize))));
    if (variant.contains("ultralight") || variant.contains("thin"))
        font.setWeight(QFont::ExtraLight);
    else if (variant.contains("light"))
        font.setWeight(QFont::Light);
    else if (variant.contains("medium"))
        font.setWeight(QFont::Medium);
    else if (variant.contains("condensedblack") || variant.contains("heavy"))
        font.setWeight(QFont::Black);
    else if (variant.contains("bold"))
        font.setWeight(QFont::Bold);
    if (variant.contains("italic") || variant.contains("oblique"))
        font.setItalic(true);
    return font;
}

QFont system(double pointSize)
{
    return named(QStringLiteral("HelveticaNeue"), pointSize);
}

QFont boldSystem(double pointSize)
{
    return named(QStringLiteral("HelveticaNeue-Bold"), pointSize);
}

QSizeF measure(const QString& text, const QFont& font, double width)
{
    QFontMetricsF metrics(font);
    if (width <= 0) {
        QSizeF size(0, 0);
        const QStringList lines = text.split('\n');
        for (const QString& line : lines)
            size.setWidth(std::max(size.width(), metrics.horizontalAdvance(line)));
        size.setHeight(metrics.lineSpacing() * std::max<qsizetype>(1, lines.size()));
        return QSizeF(std::ceil(size.width()), std::ceil(size.height()));
    }
    const QRectF box = metrics.boundingRect(QRectF(0, 0, width, 1e6),
        wrapFlag(text, metrics, width) | Qt::AlignLeft | Qt::AlignTop, text);
    return QSizeF(std::ceil(std::min(width, box.width())), std::ceil(box.height()));
}

int wrapFlag(const QString& text, const QFontMetricsF& metrics, double width)
{
    if (metrics.horizontalAdvance(text) <= width + 0.5)
        return Qt::TextWordWrap;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        if (i > start && metrics.horizontalAdvance(text.mid(start, i - start)) > width + 0.5)
            return Qt::TextWrapAnywhere;
        start = i + 1;
    }
    return Qt::TextWordWrap;
}

} // namespace platform::ui::Font
