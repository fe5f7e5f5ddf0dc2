#pragma once

#include "platform/ui/View.h"

#include <QLineEdit>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace platform::ui {

class AlertView;
class Button;
class Label;

// What an alert tells its delegate; every method is optional. Button indexes are the
// platform's: the cancel button is 0 when there is one, the other buttons follow.
class AlertViewDelegate {
public:
    AlertViewDelegate() = default;
    // A copy is another delegate, with a lifetime of its own.
    AlertViewDelegate(const AlertViewDelegate&) { }
    AlertViewDelegate& operator=(const AlertViewDelegate&) { return *this; }
    virtual ~AlertViewDelegate();
    virtual void alertViewClickedButtonAtIndex(AlertView* alert, int buttonIndex);
    virtual void alertViewCancel(AlertView* alert);
    virtual void willPresentAlertView(AlertView* alert);
    virtual void didPresentAlertView(AlertView* alert);
    virtual void alertViewWillDismissWithButtonIndex(AlertView* alert, int buttonIndex);
    virtual void alertViewDidDismissWithButtonIndex(AlertView* alert, int buttonIndex);
    virtual bool alertViewShouldEnableFirstOtherButton(AlertView* alert);

    // Expires when the delegate is destroyed, so one holding it weakly can tell it is gone.
    std::weak_ptr<const void> lifetime() const { return m_lifetime; }

private:
    std::shared_ptr<const void> m_lifetime = std::make_shared<const char>(0);
};

// A modal alert inside the main window's overlay level: title, message, buttons, and
// optionally text fields. Showing it never blocks: the delegate (or the callback) hears
// of the choice later. Shown alerts stack; only the newest takes touches. The alert
// deletes itself after it has been dismissed.
class AlertView : public View {
    Q_OBJECT
public:
    enum class Style {
        Default = 0,
        SecureTextInput = 1,
        PlainTextInput = 2,
        LoginAndPasswordInput = 3
    };
    using Callback = std::function<void(AlertView* alert, int buttonIndex)>;

    AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate,
        const QString& cancelButtonTitle, const QStringList& otherButtonTitles = {});
    ~AlertView() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString message() const { return m_message; }
    void setMessage(const QString& message);
    AlertViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(AlertViewDelegate* delegate) { m_delegate = delegate; }
    // Called after the delegate's clicked call, with the same index.
    void setCallback(Callback callback) { m_callback = std::move(callback); }

    int addButtonWithTitle(const QString& title);
    QString buttonTitleAtIndex(int index) const;
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    int cancelButtonIndex() const { return m_cancelIndex; }
    int firstOtherButtonIndex() const;

    // A view carried on the alert's card (a spinner), centred across the card at that
    // height from its top; the alert owns it from now on.
    void setAccessoryView(View* view, double centerY);
    View* accessoryView() const { return m_accessory; }

    Style alertViewStyle() const { return m_style; }
    void setAlertViewStyle(Style style);
    QLineEdit* textFieldAtIndex(int index) const;

    // Shows the alert on the main thread (from any thread: it is handed to the main
    // queue). An alert shown twice stays shown once.
    void show();
    bool isVisible() const { return m_visible; }
    // Dismisses as if the button were chosen, without the clicked call.
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);
    // What a person does: chooses the button (clicked, will/did dismiss).
    void clickButtonAtIndex(int buttonIndex);
    // Return on a desktop: the first other button while it is enabled, else the cancel
    // button when there is no other.
    void clickDefaultButton();

    // Alerts on screen now, oldest first.
    static QList<AlertView*> visibleAlerts();
    // Tests: answers each alert as it is shown with the returned index (nothing: the
    // alert stays up). The answer comes on the main queue after the alert is shown.
    static void setAutoResponder(std::function<std::optional<int>(AlertView*)> responder);

    void layoutSubviews() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void present();
    // Its first text field, or the alert itself, gets the keyboard.
    void takeFocus();
    // The keys went to that widget: while alerts are up, the one on top takes them back,
    // and a widget outside the alerts gets them once the last alert has gone.
    static void keepKeys(QWidget* focused);
    void finish(int buttonIndex, bool clicked, bool animated);
    QRectF panelFrame() const;
    double panelHeight(double width) const;

    QString m_title;
    QString m_message;
    AlertViewDelegate* m_delegate = nullptr;
    Callback m_callback;
    QStringList m_buttonTitles;
    int m_cancelIndex = -1;
    Style m_style = Style::Default;
    bool m_visible = false;
    bool m_dismissing = false;
    View* m_panel = nullptr;
    Label* m_titleLabel = nullptr;
    Label* m_messageLabel = nullptr;
    QList<Button*> m_buttons;
    QList<QLineEdit*> m_fields;
    QPointer<View> m_accessory;
    double m_accessoryCenterY = 0;
};

} // namespace platform::ui
