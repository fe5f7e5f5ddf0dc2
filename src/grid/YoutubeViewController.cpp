#include "grid/YoutubeViewController.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"
#include "utilities/shell/DeviceHelper.h"

const QString YoutubeViewController::PlayTitle = QStringLiteral("▶  Play");

namespace {

const QString kPageFormat = QStringLiteral(
    "    <html><head>    <style type=\"text/css\">    body {    background-color: transparent;    "
    "color: white;    }    </style>    </head><body style=\"margin:0\">    <iframe "
    "width=\"%1\" height=\"%2\" src=\"%3\" frameborder='0' allowfullscreen></iframe>    "
    "</body></html>");

} // namespace

YoutubeViewController::YoutubeViewController(
    const QString& url, const QString& title, const QSizeF& size, QObject* parent)
    : OrietnationViewController(parent)
    , m_videoUrl(url)
    , m_videoSize(size)
{
    setTitle(title);
}

YoutubeViewController::~YoutubeViewController() = default;

QSizeF YoutubeViewController::getHDSize()
{
    const double width = DeviceHelper::getScreenSize().width() - 60;
    // A 16:9 frame, the product taken in single precision.
    const float height = float(width) * 0.0625f * 9.0f;
    return QSizeF(width, double(height));
}

QString YoutubeViewController::html() const
{
    return kPageFormat.arg(QString::number(m_videoSize.width(), 'f', 0),
        QString::number(m_videoSize.height(), 'f', 0), m_videoUrl);
}

platform::ui::View* YoutubeViewController::videoPanel() const
{
    return m_panel;
}

bool YoutubeViewController::playVideo()
{
    return platform::ui::Application::shared().openURL(QUrl(m_videoUrl));
}

void YoutubeViewController::loadView()
{
    OrietnationViewController::loadView();
    setupWebview();
}

void YoutubeViewController::setupWebview()
{
    // The popup may give the screen a little more room than the video; the panel keeps
    // the video's own size.
    auto* screen = new platform::ui::View(QRectF(QPointF(), m_videoSize));
    auto* panel = new platform::ui::View(QRectF(QPointF(), m_videoSize), screen);
    panel->setBackgroundColor(QColor(20, 20, 20));
    m_panel = panel;
    const double w = m_videoSize.width();
    const double h = m_videoSize.height();
    auto* caption = new platform::ui::Label(QRectF(10, h / 2 - 50, w - 20, 30), panel);
    caption->setText(title());
    caption->setTextAlignment(Qt::AlignCenter);
    caption->setTextColor(Qt::white);
    auto* play = new platform::ui::Button(QRectF(w / 2 - 60, h / 2 - 10, 120, 40), panel);
    play->setTitle(PlayTitle);
    play->setTitleColor(Qt::white);
    play->setBackgroundColor(QColor(200, 30, 30));
    play->layer()->setCornerRadius(8);
    play->addTarget(
        [this](platform::ui::Control*) { playVideo(); }, platform::ui::ControlEventTouchUpInside);
    setView(screen);
}
