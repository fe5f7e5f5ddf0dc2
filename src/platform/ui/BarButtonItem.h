#pragma once

#include "platform/ui/Image.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace platform::ui {

class View;

// An item of a navigation bar or toolbar: a title, an image, a custom view or a system
// item (flexible and fixed space among them), with a target-action. The bar that shows
// the item makes its view; view() answers it once shown (the custom view at once).
class BarButtonItem : public QObject {
    Q_OBJECT
public:
    enum class SystemItem {
        None = -1,
        Done = 0,
        Cancel = 1,
        Edit = 2,
        Save = 3,
        Add = 4,
        FlexibleSpace = 5,
        FixedSpace = 6,
        Compose = 7,
        Reply = 8,
        Action = 9,
        Organize = 10,
        Bookmarks = 11,
        Search = 12,
        Refresh = 13,
        Stop = 14,
        Camera = 15,
        Trash = 16
    };
    enum class Style { Plain = 0, Bordered = 1, Done = 2 };
    using Action = std::function<void(BarButtonItem* sender)>;

    explicit BarButtonItem(const QString& title, Style style = Style::Plain, Action action = {},
        QObject* parent = nullptr);
    explicit BarButtonItem(const Image& image, Style style = Style::Plain, Action action = {},
        QObject* parent = nullptr);
    explicit BarButtonItem(SystemItem item, Action action = {}, QObject* parent = nullptr);
    // The item takes the view; the bar shows it as it is.
    explicit BarButtonItem(View* customView, QObject* parent = nullptr);
    ~BarButtonItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    Image image() const { return m_image; }
    void setImage(const Image& image);
    SystemItem systemItem() const { return m_systemItem; }
    Style style() const { return m_style; }
    int tag() const { return m_tag; }
    // The view the bar made for the item carries the tag as well.
    void setTag(int tag);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // For a fixed space: its width in points.
    double width() const { return m_width; }
    void setWidth(double width) { m_width = width; }
    bool isSpace() const
    {
        return m_systemItem == SystemItem::FlexibleSpace || m_systemItem == SystemItem::FixedSpace;
    }

    View* customView() const { return m_customView; }
    // The view that shows this item (the custom view, or the button the bar made).
    View* view() const;
    void setView(View* view);

    void setAction(Action action) { m_action = std::move(action); }
    // Runs the action (guarded against exceptions).
    void trigger();

    // The text a system item shows.
    static QString systemTitle(SystemItem item);

signals:
    void changed();

private:
    QString m_title;
    Image m_image;
    SystemItem m_systemItem = SystemItem::None;
    Style m_style = Style::Plain;
    int m_tag = 0;
    bool m_enabled = true;
    double m_width = 0;
    QPointer<View> m_customView;
    QPointer<View> m_view;
    Action m_action;
};

} // namespace platform::ui
