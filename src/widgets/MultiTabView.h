#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewDelegateFlowLayout.h"
#include "platform/ui/ViewController.h"
#include "widgets/TabPage.h"

#include <QList>
#include <QPointF>
#include <QPointer>

class MultiTabProtocol;

namespace platform::ui {
class Button;
class ViewController;
} // namespace platform::ui

// A tab strip, 30 high, under the top of a screen: it holds pages (view controllers) and
// shows one at a time below itself, with an optional add button at its right end and a
// close button on each tab. The host (which may answer MultiTabProtocol) is told of
// selections, closings and requests for a new tab. A sticky strip keeps its first tab.
class MultiTabView : public platform::ui::CollectionView,
                     public platform::ui::CollectionViewDataSource,
                     public platform::ui::CollectionViewDelegateFlowLayout {
    Q_OBJECT
public:
    // The strip (and the add button) join the host's view.
    MultiTabView(platform::ui::ViewController* parentController, const QPointF& position,
        bool displayAddButton, bool stickyFirstTab);
    // At (0, 0), with the add button, sticky.
    explicit MultiTabView(platform::ui::ViewController* parentController);
    ~MultiTabView() override;

    static const QString CellIdentifier; // "cvCell"
    static constexpr double Height = 30.0;
    static constexpr double MinimumTabWidth = 100.0;
    static constexpr int LabelTag = 100;
    static constexpr int CloseButtonTag = 200;
    static constexpr int AddButtonTag = 1;
    static constexpr int AddDelayMs = 20;
    static constexpr int DeleteDelayMs = 10;

    QList<TabPage*> tabPages() const;
    platform::ui::ViewController* currentPage() const { return m_currentPage; }
    int currentIndex() const { return m_currentIndex; }
    TabPage* tabPage() const { return m_tabPage; }
    bool addButton() const { return m_addButton; }
    bool sticky1Tab() const { return m_sticky1Tab; }
    platform::ui::Button* addImageButton() const { return m_addImageButton; }
    QPointF originalPosition() const { return m_originalPosition; }
    // Where pages show.
    QRectF contentFrame() const;
    QSizeF tabSize() const;

    void addPage(platform::ui::ViewController* controller, const QString& title = {});
    void loadPage(int index);
    void deletePage(int index);
    void selectTab(const platform::ui::IndexPath& indexPath);
    void selectLastTab();
    void removeCurrentPage();
    void resetTabs();
    void refreshTitle();
    void resetContentFrame();
    void showHideMe();
    void newTab();
    // The close button of the tab.
    void deleteTab(TabPage* tab);

    int collectionViewNumberOfItemsInSection(
        platform::ui::CollectionView* view, int section) override;
    platform::ui::CollectionViewCell* collectionViewCellForItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    QSizeF collectionViewSizeForItemAtIndexPath(platform::ui::CollectionView* view,
        platform::ui::CollectionViewLayout* layout,
        const platform::ui::IndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;
    void collectionViewDidDeselectItemAtIndexPath(
        platform::ui::CollectionView* view, const platform::ui::IndexPath& indexPath) override;

private:
    MultiTabProtocol* host() const;
    platform::ui::View* hostView() const;
    QRectF stripFrame() const;
    void renumber();
    void applyColors(int index, bool shown);
    // Selects the tab later, unless the strip or the tab has gone by then.
    void selectLater(TabPage* tab, int milliseconds);

    QPointer<platform::ui::ViewController> m_parentController;
    QList<QPointer<TabPage>> m_tabPages;
    QPointer<platform::ui::ViewController> m_currentPage;
    int m_currentIndex = 0;
    QPointer<TabPage> m_tabPage;
    bool m_addButton = true;
    bool m_sticky1Tab = true;
    QPointer<platform::ui::Button> m_addImageButton;
    QPointF m_originalPosition;
};
