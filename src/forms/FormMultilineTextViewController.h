#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/KeyboardObserver.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"

#include <QPointer>
#include <QSizeF>

#include <functional>
#include <memory>

class FormEntryTableViewCell;
class FormMultilineElement;

// The screen on which a multi-line row's text is edited: one text view filling it, which
// takes the keys when the screen appears. Every change reaches the element at once; on a
// phone the text view makes room for the keyboard.
class FormMultilineTextViewController : public platform::ui::ViewController,
                                        public platform::ui::TextViewDelegate {
    Q_OBJECT

public:
    // Titled "Note" without a title.
    explicit FormMultilineTextViewController(const QString& title = {}, QObject* parent = nullptr);
    ~FormMultilineTextViewController() override;

    platform::ui::TextView* textView();
    // Room between the text and the view's edges.
    static constexpr double TextPadding = 10;
    FormMultilineElement* entryElement() const { return m_entryElement.get(); }
    void setEntryElement(std::shared_ptr<FormMultilineElement> element);
    FormEntryTableViewCell* entryCell() const;
    void setEntryCell(FormEntryTableViewCell* cell);
    bool viewOnScreen() const { return m_viewOnScreen; }
    bool keyboardVisible() const { return m_keyboardVisible; }
    bool resizeWhenKeyboardPresented() const { return m_keyboardObserver.isActive(); }
    // Watches the keyboard (true) or stops (false).
    void setResizeWhenKeyboardPresented(bool resize);
    void resizeForKeyboard(const platform::Notification& notification);
    // Run each time the screen is about to go.
    void setWillDisappearCallback(std::function<void()> callback)
    {
        m_willDisappearCallback = std::move(callback);
    }

    // The size of the popover the screen opens in: the element's.
    Q_INVOKABLE QSizeF getPopupSize() const;

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void textViewDidBeginEditing(platform::ui::TextView* view) override;
    void textViewDidChange(platform::ui::TextView* view) override;
    bool textViewShouldChangeTextInRange(platform::ui::TextView* view,
        const platform::ui::TextRange& range, const QString& replacement) override;
    void textViewDidEndEditing(platform::ui::TextView* view) override;

private:
    bool m_viewOnScreen = false;
    bool m_keyboardVisible = false;
    QPointer<platform::ui::TextView> m_textView;
    std::function<void()> m_willDisappearCallback;
    std::shared_ptr<FormMultilineElement> m_entryElement;
    struct Cell;
    std::unique_ptr<Cell> m_entryCell;
    platform::ui::KeyboardObserver m_keyboardObserver { this,
        [this](const platform::Notification& note) { resizeForKeyboard(note); } };
};
