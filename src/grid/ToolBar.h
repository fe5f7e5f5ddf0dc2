#pragma once

#include "grid/ToolBarAction.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class BitManager;
class ImageButton;

namespace platform::ui {
class BarButtonItem;
class ViewController;
} // namespace platform::ui

// A screen's toolbar buttons from a set of button numbers: each number that is set gives
// one image button, in the bar's fixed order whatever the order of the numbers, whose
// tap goes to the delegate (the screen's data controller). The number is also the
// button's tag, except that mail carries share's tag. The bar shows the buttons at the
// bottom of the screen or on the right of its navigation bar.
class ToolBar {
public:
    // The delegate is held weakly: once it is gone, a tap does nothing.
    explicit ToolBar(std::weak_ptr<ToolBarAction> delegate);
    ~ToolBar();
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;

    unsigned Buttons() const { return m_buttons; }
    void setButtons(unsigned buttons) { m_buttons = buttons; }
    std::weak_ptr<ToolBarAction> delegate() const { return m_delegate; }
    void setDelegate(std::weak_ptr<ToolBarAction> delegate) { m_delegate = std::move(delegate); }
    // The screen record's set, shared, not copied.
    std::shared_ptr<BitManager> buttonBits() const { return m_buttonBits; }
    void setButtonBits(std::shared_ptr<BitManager> bits) { m_buttonBits = std::move(bits); }

    // New buttons, owned by the caller until a bar takes them.
    ImageButton* getAddButton() const;
    ImageButton* getEditButton() const;
    ImageButton* getDeleteButton() const;
    ImageButton* getRefreshButton() const;
    ImageButton* getQueryButton() const;
    ImageButton* getNextButton() const;
    ImageButton* getSearchButton() const;
    ImageButton* getScriptButton() const;
    ImageButton* getMailButton() const;
    ImageButton* getDependencyButton() const;
    ImageButton* getReferenceButton() const;
    ImageButton* getHomeButton() const;
    ImageButton* getSizeButton() const;
    ImageButton* getStartButton() const;
    ImageButton* getStopButton() const;
    ImageButton* getNoteButton() const;
    ImageButton* getHistoryButton() const;
    ImageButton* getUnlockButton() const;
    ImageButton* getUndoButton() const;
    ImageButton* getCheckinButton() const;
    ImageButton* getCheckoutButton() const;
    ImageButton* getPauseButton() const;
    ImageButton* getRestartButton() const;
    ImageButton* getSuspendButton() const;
    ImageButton* getHelpButton() const;
    ImageButton* getCalendarButton() const;
    ImageButton* getDetailButton() const;
    ImageButton* getSettingsButton() const;
    ImageButton* getAddEditDeleteButton() const;
    ImageButton* getSaveButton() const;
    ImageButton* getOpenButton() const;
    ImageButton* getVideoButton() const;
    ImageButton* getQuickStartButton() const;
    ImageButton* getExpandCollapseButton() const;
    ImageButton* getSortButton() const;
    ImageButton* getColumnsButton() const;
    ImageButton* getOrderButton() const;
    ImageButton* getChartButton() const;
    ImageButton* getShareButton() const;
    ImageButton* getFilterButton() const;
    ImageButton* getApplyButton() const;
    ImageButton* getSendiCloudButton() const;
    ImageButton* getDatabaseButton() const;

    // The buttons whose numbers are set, in bar order, with a 10-point fixed space between
    // every two of them on systems that space bar items (11 and later). New items, owned
    // by the caller until a bar takes them.
    QList<platform::ui::BarButtonItem*> createButtons() const;
    // Installs the buttons, with a flexible space after them, as the controller's toolbar
    // items and shows its navigation controller's toolbar; with no buttons, hides it.
    void ShowToolBar(platform::ui::ViewController* controller);
    // Installs the buttons, marked as top-bar buttons, and a flexible space as the
    // controller's right navigation items, the first one rightmost.
    void showTopBar(platform::ui::ViewController* controller);

    // Width of the fixed space between two buttons.
    static constexpr double ButtonSpacing = 10.0;
    // Button numbers in the order the bar shows them.
    static const QList<int>& barOrder();
    // The image name of a button number, empty for a number that is no button.
    static QString imageName(int number);

private:
    ImageButton* makeButton(int number) const;
    // The items installed last time make way for the new ones.
    void retire(const QList<platform::ui::BarButtonItem*>& installed);

    unsigned m_buttons = 0;
    std::weak_ptr<ToolBarAction> m_delegate;
    std::shared_ptr<BitManager> m_buttonBits;
    QList<QPointer<platform::ui::BarButtonItem>> m_installed;
};
