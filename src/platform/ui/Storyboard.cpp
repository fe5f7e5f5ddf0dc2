#include "platform/ui/Storyboard.h"

#include "platform/Exception.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

#include <QPointer>

namespace platform::ui {

Storyboard& Storyboard::main()
{
    static Storyboard storyboard;
    return storyboard;
}

void Storyboard::registerController(const QString& identifier, Factory factory)
{
    m_factories.insert(identifier, std::move(factory));
}

bool Storyboard::hasController(const QString& identifier) const
{
    return m_factories.contains(identifier);
}

ViewController* Storyboard::instantiateViewControllerWithIdentifier(const QString& identifier) const
{
    auto it = m_factories.constFind(identifier);
    if (it == m_factories.constEnd() || !*it)
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("Storyboard doesn't contain a view controller with "
                           "identifier '%1'")
                .arg(identifier));
    ViewController* controller = (*it)();
    if (controller)
        controller->setStoryboardIdentifier(identifier);
    return controller;
}

ViewController* Storyboard::instantiateInitialViewController() const
{
    if (m_initial.isEmpty())
        return nullptr;
    return instantiateViewControllerWithIdentifier(m_initial);
}

void Storyboard::registerSegue(
    const QString& identifier, const QString& destinationIdentifier, SegueKind kind)
{
    m_segues.insert(identifier, Segue { destinationIdentifier, kind });
}

void Storyboard::performSegue(ViewController* source, const QString& identifier, QObject* sender)
{
    if (!source)
        return;
    auto it = m_segues.constFind(identifier);
    if (it == m_segues.constEnd())
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("Receiver has no segue with identifier '%1'").arg(identifier));
    const Segue segue = *it;
    ViewController* destination = instantiateViewControllerWithIdentifier(segue.destination);
    if (!destination)
        return;
    QPointer<ViewController> guard(destination);
    StoryboardSegue run(identifier, source, destination);
    try {
        source->prepareForSegue(run, sender);
    } catch (...) {
        // The destination was never shown; nobody else holds it.
        if (guard && !guard->parent())
            delete guard.data();
        throw;
    }
    if (!guard)
        return;
    NavigationController* navigation = source->navigationController();
    if (auto* self = qobject_cast<NavigationController*>(source))
        navigation = self;
    if (segue.kind == SegueKind::Push && navigation)
        navigation->pushViewController(destination, true);
    else
        source->presentViewController(destination, true);
}

void Storyboard::clear()
{
    m_factories.clear();
    m_segues.clear();
    m_initial.clear();
}

} // namespace platform::ui
