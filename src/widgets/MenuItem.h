#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace platform::ui {
class View;
}

// One entry of an icon menu: its text, the name of its icon (none when empty), the
// handler a tap runs, optional child entries (which it owns) and the cell showing it.
class MenuItem : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(MenuItem* item)>;

    explicit MenuItem(QObject* parent = nullptr);
    explicit MenuItem(const QString& text, QObject* parent = nullptr);
    MenuItem(const QString& text, const QString& image, QObject* parent = nullptr);
    MenuItem(const QString& text, const QString& image, Handler menuItemHandler,
        QObject* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    QString image() const { return m_image; }
    void setImage(const QString& image) { m_image = image; }
    Handler menuItemHandler() const { return m_handler; }
    void setMenuItemHandler(Handler handler) { m_handler = std::move(handler); }
    QList<MenuItem*> childs() const { return m_childs; }
    // The cell that last showed the entry (not owned).
    platform::ui::View* view() const { return m_view; }
    void setView(platform::ui::View* view) { m_view = view; }

    void addChild(MenuItem* child);
    MenuItem* addchildWithText(const QString& text);
    MenuItem* addchildWithText(const QString& text, const QString& image);
    MenuItem* addchildWithText(const QString& text, const QString& image, Handler menuItemHandler);

private:
    QString m_text;
    QString m_image;
    Handler m_handler;
    QList<MenuItem*> m_childs;
    QPointer<platform::ui::View> m_view;
};
