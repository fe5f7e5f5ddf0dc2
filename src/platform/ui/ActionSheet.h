#pragma once

#include "platform/ui/View.h"

#include <QStringList>

#include <functional>

namespace platform::ui {

class ActionSheet;
class Button;
class Label;

// What an action sheet tells its delegate; every method is optional.
class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate();
    virtual void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int buttonIndex);
    virtual void actionSheetCancel(ActionSheet* sheet);
    virtual void actionSheetWillDismissWithButtonIndex(ActionSheet* sheet, int buttonIndex);
    virtual void actionSheetDidDismissWithButtonIndex(ActionSheet* sheet, int buttonIndex);
};

// A choice of actions in the window's overlay level. Button indexes are the platform's:
// the destructive button first, then the others, the cancel button last. On a phone the
// sheet rises from the bottom with the cancel button apart; on a tablet it opens as a
// panel beside the rectangle it was shown from, and a touch outside it cancels. The sheet
// deletes itself after it has been dismissed.
class ActionSheet : public View {
    Q_OBJECT
public:
    using Callback = std::function<void(ActionSheet* sheet, int buttonIndex)>;

    ActionSheet(const QString& title, ActionSheetDelegate* delegate,
        const QString& cancelButtonTitle, const QString& destructiveButtonTitle,
        const QStringList& otherButtonTitles = {});
    ~ActionSheet() override;

    QString title() const { return m_title; }
    void setCallback(Callback callback) { m_callback = std::move(callback); }
    int addButtonWithTitle(const QString& title);
    QString buttonTitleAtIndex(int index) const { return m_titles.value(index); }
    int numberOfButtons() const { return int(m_titles.size()); }
    int cancelButtonIndex() const { return m_cancelIndex; }
    int destructiveButtonIndex() const { return m_destructiveIndex; }
    int firstOtherButtonIndex() const;

    void showInView(View* view);
    // The rectangle is in the view's coordinates.
    void showFromRect(const QRectF& rect, View* view);
    bool isVisible() const { return m_visible; }
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);
    void clickButtonAtIndex(int buttonIndex);

    void layoutSubviews() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void present(const QRectF& anchor);
    void tappedOutside();
    void finish(int buttonIndex, bool animated);

    QString m_title;
    ActionSheetDelegate* m_delegate = nullptr;
    Callback m_callback;
    QStringList m_titles;
    int m_cancelIndex = -1;
    int m_destructiveIndex = -1;
    bool m_visible = false;
    bool m_dismissing = false;
    QRectF m_anchor;
    View* m_panel = nullptr;
    View* m_cancelPanel = nullptr;
    Label* m_titleLabel = nullptr;
    QList<Button*> m_buttons;
};

} // namespace platform::ui
