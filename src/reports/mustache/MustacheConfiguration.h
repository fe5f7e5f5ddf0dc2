#pragma once

#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheEnums.h"

#include <QString>

// How a repository compiles: content type, tag delimiters and the base context every
// template renders on. Locked once the repository compiles its first template.
class MustacheConfiguration {
public:
    MustacheConfiguration();
    // A copy is unlocked.
    MustacheConfiguration(const MustacheConfiguration& other);
    MustacheConfiguration& operator=(const MustacheConfiguration& other);

    // The process-wide configuration new repositories copy; made once on first use.
    static MustacheConfiguration& defaultConfiguration();
    static MustacheConfiguration configuration();

    MustacheContentType contentType() const { return m_contentType; }
    void setContentType(MustacheContentType contentType);
    const QString& tagStartDelimiter() const { return m_tagStartDelimiter; }
    void setTagStartDelimiter(const QString& delimiter);
    const QString& tagEndDelimiter() const { return m_tagEndDelimiter; }
    void setTagEndDelimiter(const QString& delimiter);
    const MustacheContextPtr& baseContext() const { return m_baseContext; }
    void setBaseContext(const MustacheContextPtr& baseContext);
    void extendBaseContextWithObject(const QVariant& object);
    void extendBaseContextWithProtectedObject(const QVariant& object);
    void extendBaseContextWithTagDelegate(const std::shared_ptr<MustacheTagDelegate>& delegate);

    void lock() { m_locked = true; }
    bool isLocked() const { return m_locked; }
    void assertNotLocked() const;
    QString description() const;

private:
    MustacheContentType m_contentType = MustacheContentType::HTML;
    QString m_tagStartDelimiter;
    QString m_tagEndDelimiter;
    MustacheContextPtr m_baseContext;
    bool m_locked = false;
};
