#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheObject.h"

class MustacheTag;

// Told around the rendering of every tag inside the context it was added to. The
// defaults do what an object that does not implement a call does: nothing.
class MustacheTagDelegate : public virtual MustacheObject {
public:
    virtual QVariant mustacheTagWillRenderObject(const MustacheTag& tag, const QVariant& object);
    virtual void mustacheTagDidRenderObject(
        const MustacheTag& tag, const QVariant& object, const QString& rendering);
    virtual void mustacheTagDidFailRenderingObject(
        const MustacheTag& tag, const QVariant& object, const platform::Error& error);
};
