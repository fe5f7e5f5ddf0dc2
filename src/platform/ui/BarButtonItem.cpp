#include "platform/ui/BarButtonItem.h"

#include "platform/ui/Guard.h"
#include "platform/ui/View.h"

namespace platform::ui {

BarButtonItem::BarButtonItem(const QString& title, Style style, Action action, QObject* parent)
    : QObject(parent)
    , m_title(title)
    , m_style(style)
    , m_action(std::move(action))
{
}

BarButtonItem::BarButtonItem(const Image& image, Style style, Action action, QObject* parent)
    : QObject(parent)
    , m_image(image)
    , m_style(style)
    , m_action(std::move(action))
{
}

BarButtonItem::BarButtonItem(SystemItem item, Action action, QObject* parent)
    : QObject(parent)
    , m_title(systemTitle(item))
    , m_systemItem(item)
    , m_style(item == SystemItem::Done ? Style::Done : Style::Plain)
    , m_action(std::move(action))
{
}

BarButtonItem::BarButtonItem(View* customView, QObject* parent)
    : QObject(parent)
    , m_customView(customView)
    , m_view(customView)
{
}

BarButtonItem::~BarButtonItem()
{
    // A custom view never shown in a bar has no Qt parent; the item owns it then.
    if (m_customView && !m_customView->parentWidget())
        delete m_customView.data();
}

void BarButtonItem::setTitle(const QString& title)
{
    m_title = title;
    emit changed();
}

void BarButtonItem::setImage(const Image& image)
{
    m_image = image;
    emit changed();
}

void BarButtonItem::setTag(int tag)
{
    m_tag = tag;
    if (m_view && m_view != m_customView)
        m_view->setTag(tag);
}

void BarButtonItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_view)
        m_view->setEnabled(enabled);
    emit changed();
}

View* BarButtonItem::view() const
{
    return m_view;
}

void BarButtonItem::setView(View* view)
{
    m_view = view;
}

void BarButtonItem::trigger()
{
    if (!m_enabled || !m_action)
        return;
    auto action = m_action;
    guarded([&] { action(this); });
}

QString BarButtonItem::systemTitle(SystemItem item)
{
    switch (item) {
    case SystemItem::Done:
        return QStringLiteral("Done");
    case SystemItem::Cancel:
        return QStringLiteral("Cancel");
    case SystemItem::Edit:
        return QStringLiteral("Edit");
    case SystemItem::Save:
        return QStringLiteral("Save");
    case SystemItem::Add:
        return QStringLiteral("+");
    case SystemItem::Compose:
        return QStringLiteral("\u270E");
    case SystemItem::Reply:
        return QStringLiteral("\u21A9");
    case SystemItem::Action:
        return QStringLiteral("\u2191");
    case SystemItem::Organize:
        return QStringLiteral("\u25A4");
    case SystemItem::Bookmarks:
        return QStringLiteral("\u2605");
    case SystemItem::Search:
        return QStringLiteral("\u2315");
    case SystemItem::Refresh:
        return QStringLiteral("\u21BB");
    case SystemItem::Stop:
        return QStringLiteral("\u2715");
    case SystemItem::Camera:
        return QStringLiteral("\u25C9");
    case SystemItem::Trash:
        return QStringLiteral("\u2716");
    default:
        return {};
    }
}

} // namespace platform::ui
