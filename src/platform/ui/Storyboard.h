#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QObject;

namespace platform::ui {

class ViewController;

// One run of a named segue: source, destination and the name.
class StoryboardSegue {
public:
    StoryboardSegue(QString identifier, ViewController* source, ViewController* destination)
        : m_identifier(std::move(identifier))
        , m_source(source)
        , m_destination(destination)
    {
    }
    const QString& identifier() const { return m_identifier; }
    ViewController* sourceViewController() const { return m_source; }
    ViewController* destinationViewController() const { return m_destination; }

private:
    QString m_identifier;
    ViewController* m_source;
    ViewController* m_destination;
};

// The storyboard stand-in: a registry in code. Controllers are made by identifier; a
// named segue makes its destination, calls the source's prepareForSegue synchronously,
// then pushes the destination on the source's navigation controller (or presents it).
class Storyboard {
public:
    enum class SegueKind { Push, Modal };
    using Factory = std::function<ViewController*()>;

    static Storyboard& main();

    void registerController(const QString& identifier, Factory factory);
    bool hasController(const QString& identifier) const;
    // A new controller; raises NSInvalidArgumentException for an unknown identifier.
    ViewController* instantiateViewControllerWithIdentifier(const QString& identifier) const;
    // The first controller of the storyboard, when one is registered as initial.
    void setInitialIdentifier(const QString& identifier) { m_initial = identifier; }
    ViewController* instantiateInitialViewController() const;

    void registerSegue(const QString& identifier, const QString& destinationIdentifier,
        SegueKind kind = SegueKind::Push);
    // Raises NSInvalidArgumentException for an unknown segue.
    void performSegue(ViewController* source, const QString& identifier, QObject* sender);

    void clear();

private:
    struct Segue {
        QString destination;
        SegueKind kind;
    };
    QHash<QString, Factory> m_factories;
    QHash<QString, Segue> m_segues;
    QString m_initial;
};

} // namespace platform::ui
