#include "grid/BridgeScreenData.h"

#include "platform/Exception.h"

#include <QMetaMethod>
#include <QObject>

namespace {

// The method the hook names with the given parameter list, checked against the answer
// the caller expects; raises as the platform does for a selector the target lacks.
QMetaMethod hookMethod(
    QObject* target, const QByteArray& hook, const char* parameters, QMetaType answer)
{
    const QByteArray signature = QMetaObject::normalizedSignature(hook + parameters);
    const QMetaObject* meta = target->metaObject();
    const int index = meta->indexOfMethod(signature.constData());
    const QMetaMethod method = index >= 0 ? meta->method(index) : QMetaMethod();
    if (!method.isValid() || method.returnMetaType() != answer)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("-[%1 %2]: unrecognized selector sent to instance")
                .arg(QString::fromLatin1(meta->className()), QString::fromLatin1(signature)));
    return method;
}

bool invoked(bool called, QObject* target, const QByteArray& hook)
{
    if (!called)
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("-[%1 %2]: the hook could not be called")
                .arg(QString::fromLatin1(target->metaObject()->className()),
                    QString::fromLatin1(hook)));
    return true;
}

} // namespace

BridgeScreenData::BridgeScreenData() = default;
BridgeScreenData::~BridgeScreenData() = default;

bool BridgeScreenData::invoke(QObject* target, const QByteArray& hook)
{
    if (hook.isEmpty() || !target)
        return false;
    const QMetaMethod method = hookMethod(target, hook, "()", QMetaType::fromType<void>());
    return invoked(method.invoke(target, Qt::DirectConnection), target, hook);
}

bool BridgeScreenData::invoke(QObject* target, const QByteArray& hook, QObject* sender)
{
    if (hook.isEmpty() || !target)
        return false;
    const QMetaMethod method = hookMethod(target, hook, "(QObject*)", QMetaType::fromType<void>());
    return invoked(
        method.invoke(target, Qt::DirectConnection, Q_ARG(QObject*, sender)), target, hook);
}

std::optional<QString> BridgeScreenData::invokeForText(QObject* target, const QByteArray& hook)
{
    if (hook.isEmpty() || !target)
        return std::nullopt;
    const QMetaMethod method = hookMethod(target, hook, "()", QMetaType::fromType<QString>());
    QString answer;
    invoked(
        method.invoke(target, Qt::DirectConnection, Q_RETURN_ARG(QString, answer)), target, hook);
    return answer;
}

std::optional<QVariantList> BridgeScreenData::invokeForParameters(
    QObject* target, const QByteArray& hook)
{
    if (hook.isEmpty() || !target)
        return std::nullopt;
    const QMetaMethod method = hookMethod(target, hook, "()", QMetaType::fromType<QVariantList>());
    QVariantList answer;
    invoked(method.invoke(target, Qt::DirectConnection, Q_RETURN_ARG(QVariantList, answer)), target,
        hook);
    return answer;
}
