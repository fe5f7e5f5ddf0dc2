#pragma once

#include "platform/ui/ViewController.h"
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

namespace platform::ui {
class ViewController;
}

// One tab of a tab strip: its title, its place in the strip, the page it shows (which
// it owns when the page has no parent of its own) and whatever the host attaches.
class TabPage : public QObject {
    Q_OBJECT
public:
    TabPage(platform::ui::ViewController* controller, const QString& title, int index,
        QObject* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    platform::ui::ViewController* tabpageController() const { return m_tabpageController; }
    QVariant tabData() const { return m_tabData; }
    void setTabData(const QVariant& data) { m_tabData = data; }

private:
    QString m_title;
    int m_index = 0;
    QPointer<platform::ui::ViewController> m_tabpageController;
    QVariant m_tabData;
};
