#pragma once

#include "../grid/FakeGridScreen.h"
#include "screens/ScreenHost.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace screenstest {

// An application grid screen as its data controller sees it: the grid screen fake that
// also hosts screens, popups and the busy indicator, and writes down what it was asked
// to show. Its button counts as one in the top bar; it has no row view.
class FakeAppScreen : public gridtest::FakeGridScreen, public ScreenHost {
    Q_OBJECT
public:
    struct Opened {
        QString screenId;
        QString segue;
        QVariant data;
    };
    struct Browser {
        bool save = false;
        QString defaultFileName;
        QString type;
        QString title;
        FileBrowserProtocol* delegate = nullptr;
    };

    FakeAppScreen(std::shared_ptr<ScreenData> record,
        std::shared_ptr<BaseDataController> controller, std::shared_ptr<Parent> link = nullptr)
        : FakeGridScreen(std::move(record), std::move(controller), std::move(link), false)
    {
        topBarButton = true;
    }

    // GridScreenProtocol: a row's detail counts with the shown rows.
    void ShowRowDetail(const QVariant& row) override { shownRows.append(row); }
    QObject* rowViewContoller() const override { return nullptr; }
    void changeRowViewController(const QString& rowViewClass) override
    {
        calls << "changeRowViewController:" + rowViewClass;
    }

    // ScreenHost.
    void showHud() override
    {
        ++hudCount;
        ++hudShows;
    }
    void hideHud() override { hudCount = qMax(0, hudCount - 1); }
    void forceHideHud() override { hudCount = 0; }
    void showScreen(const QString& screenId, const QString& segue, const QVariant& data) override
    {
        opened.append({ screenId, segue, data });
    }
    void showOptionsList(const OptionsList& list) override { optionLists.append(list); }
    void dismissPopup() override { ++popupDismissals; }
    void showPopup(const QString& popup, const QString& segue) override
    {
        calls << "showPopup:" + popup + ":" + segue;
    }
    void showScreenInPopup(const QString& screenId, const QSizeF& size) override
    {
        calls << QStringLiteral("showScreenInPopup:%1:%2x%3")
                     .arg(screenId)
                     .arg(size.width())
                     .arg(size.height());
    }
    void showLocalFileBrowser(bool save, const QString& defaultFileName, const QString& type,
        const QString&, const QString& title, FileBrowserProtocol* delegate) override
    {
        browsers.append({ save, defaultFileName, type, title, delegate });
    }
    void showRowDetail(const QVariantMap& values) override { rowDetails.append(values); }
    void setParentLink(std::shared_ptr<Parent> newLink) override { link = std::move(newLink); }

    int hudCount = 0;
    int hudShows = 0;
    int popupDismissals = 0;
    QList<Opened> opened;
    QList<OptionsList> optionLists;
    QList<Browser> browsers;
    QList<QVariantMap> rowDetails;
};

} // namespace screenstest
