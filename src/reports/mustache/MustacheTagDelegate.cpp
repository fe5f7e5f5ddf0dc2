#include "reports/mustache/MustacheTagDelegate.h"

QVariant MustacheTagDelegate::mustacheTagWillRenderObject(
    const MustacheTag&, const QVariant& object)
{
    return object;
}

void MustacheTagDelegate::mustacheTagDidRenderObject(
    const MustacheTag&, const QVariant&, const QString&)
{
}

void MustacheTagDelegate::mustacheTagDidFailRenderingObject(
    const MustacheTag&, const QVariant&, const platform::Error&)
{
}
