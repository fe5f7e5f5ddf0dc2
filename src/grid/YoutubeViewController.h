#pragma once

#include "grid/OrietnationViewController.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <QSizeF>
#include <QString>

// The tutorial video at a fixed size. The text view that shows pages plays no video, so
// the screen shows a panel of the video's size with its title and a play button that
// opens the video's page on the desktop; the embedding page's HTML is kept as written.
class YoutubeViewController : public OrietnationViewController {
    Q_OBJECT
public:
    // initWithUrl:title:size:.
    YoutubeViewController(
        const QString& url, const QString& title, const QSizeF& size, QObject* parent = nullptr);
    ~YoutubeViewController() override;

    QString videoUrl() const { return m_videoUrl; }
    QSizeF videoSize() const { return m_videoSize; }
    // The panel of the video's size, at the top left of the screen's view.
    platform::ui::View* videoPanel() const;
    // The page that embeds the video at its size.
    QString html() const;

    // The screen's width less 60, and 9/16 of that: the size to pass.
    static QSizeF getHDSize();
    // What the play button does: the video's page on the desktop. False when it could
    // not be handed over.
    bool playVideo();

    void loadView() override;
    void setupWebview();

    static const QString PlayTitle; // "Play"

private:
    QString m_videoUrl;
    QSizeF m_videoSize;
    QPointer<platform::ui::View> m_panel;
};
