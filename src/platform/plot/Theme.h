#pragma once

#include "platform/plot/Fill.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform::plot {

class Graph;

// A graph's look by name: its background and the colours of its axes and texts.
class Theme {
public:
    static const QString PlainWhite; // "Plain White"
    static const QString DarkGradients; // "Dark Gradients"
    static const QString PlainBlack; // "Plain Black"
    static const QString Slate; // "Slate"
    static const QString Stocks; // "Stocks"
    // The five, in that order.
    static const QStringList& names();

    // The theme of that name; none for another name.
    static std::optional<Theme> themeNamed(const QString& name);

    QString name() const { return m_name; }
    // What fills the graph behind everything.
    Fill backgroundFill() const { return m_background; }
    // Lines and texts drawn on it.
    QColor foreground() const { return m_foreground; }

    void applyToGraph(Graph& graph) const;

private:
    Theme(QString name, Fill background, QColor foreground);

    QString m_name;
    Fill m_background;
    QColor m_foreground;
};

} // namespace platform::plot
