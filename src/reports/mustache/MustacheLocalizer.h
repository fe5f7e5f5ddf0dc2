#pragma once

#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheRendering.h"
#include "reports/mustache/MustacheTagDelegate.h"

#include <QStringList>

#include <optional>

// "localize": as a filter, the translation of a value; as a section, the translation of
// its text with the variable tags inside as the format's arguments. The arguments gathered
// during a rendering belong to the rendering thread, so one shared localizer serves
// templates rendering on several threads at once.
class MustacheLocalizer : public MustacheFilter,
                          public MustacheRendering,
                          public MustacheTagDelegate {
public:
    // The bundle is a resources folder (empty for the application's own) and the table
    // name a strings table in it (empty for the default one).
    MustacheLocalizer(QString bundle, QString tableName);

    static const QString Placeholder; // "MustacheLocalizerValuePlaceholder"

    const QString& bundle() const { return m_bundle; }
    const QString& tableName() const { return m_tableName; }
    QString localizedStringForKey(const QString& key) const;
    // Fills the "%@" placeholders with up to 10 arguments; placeholders past the arguments
    // stay empty. More than 10 raise.
    static QString stringWithFormat(const QString& format, const QStringList& arguments);
    // nullopt outside a rendering (on this thread).
    std::optional<QStringList> formatArguments() const;
    void setFormatArguments(const std::optional<QStringList>& arguments);

    QVariant transformedValue(const QVariant& object) const override;
    std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe,
        platform::Error* error) override;
    QVariant mustacheTagWillRenderObject(const MustacheTag& tag, const QVariant& object) override;
    void mustacheTagDidRenderObject(
        const MustacheTag& tag, const QVariant& object, const QString& rendering) override;

private:
    QString m_bundle;
    QString m_tableName;
};
