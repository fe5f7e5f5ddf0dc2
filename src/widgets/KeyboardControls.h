#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/DelegatePointer.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"
#include "style/ThemeSegmentedButton.h"
#include "widgets/KeyboardControlsDelegate.h"
#include "widgets/SqlKeyboardProtocol.h"
#include "widgets/SqlKeyboardView.h"

#include <QColor>
#include <QList>
#include <QPointer>

// The bar over the keyboard of a screen's text inputs: Previous/Next walks an ordered
// list of inputs (text fields and text views) and Done ends editing. The SQL layout adds
// "SQL", which swaps the focused input's keyboard for the keyword keyboard and back; a
// tapped keyword goes into the focused input. The bar is each input's accessory view.
class KeyboardControls : public platform::ui::View, public SqlKeyboardProtocol {
    Q_OBJECT
public:
    explicit KeyboardControls(QWidget* parent = nullptr);
    ~KeyboardControls() override;

    static const QString TableName; // "KeyboardControls"
    static constexpr int DefaultLayoutTag = 100;
    static constexpr int QueryLayoutTag = 200;

    KeyboardControlsDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(KeyboardControlsDelegate* delegate) { m_delegate = delegate; }

    // Inputs that have gone are left out.
    QList<platform::ui::View*> textFields() const;
    void setTextFields(const QList<platform::ui::View*>& fields);
    void reloadTextFields();
    void clearTextFields();
    // The focused input; null once it has gone.
    platform::ui::View* activeTextField() const { return m_activeTextField; }
    void setActiveTextField(platform::ui::View* field);

    platform::ui::Toolbar* toolbar() const { return m_toolbar; }
    ThemeSegmentedButton* segmentedPreviousNext() const { return m_segmentedPreviousNext; }
    platform::ui::BarButtonItem* buttonDone() const { return m_buttonDone; }
    platform::ui::BarButtonItem* buttonSQL() const { return m_buttonSQL; }
    SqlKeyboardView* sqlKeyboardView() const { return m_sqlKeyboardView; }

    int barStyle() const { return m_barStyle; }
    void setBarStyle(int style);
    QColor previousNextTintColor() const { return m_previousNextTintColor; }
    void setPreviousNextTintColor(const QColor& color);
    QString previousTitle() const { return m_previousTitle; }
    void setPreviousTitle(const QString& title);
    QString nextTitle() const { return m_nextTitle; }
    void setNextTitle(const QString& title);
    QString doneTitle() const { return m_doneTitle; }
    void setDoneTitle(const QString& title);
    QColor doneTintColor() const { return m_doneTintColor; }
    void setDoneTintColor(const QColor& color);

    void addDefault();
    void addQuery();
    void hidePrevNextButtons(bool hide);

    void previous();
    void next();
    void done();

    void segmentedControlPreviousNextChangedValue(int selectedSegment);
    void buttonDonePressed();
    void buttonSQLPressed();
    void clickedSql(const QString& keyword) override;

private:
    void setupToolbar(bool withSql, int tag);
    void updateSegments();
    int indexOfActive() const;
    void move(int direction);

    platform::ui::DelegatePointer<KeyboardControlsDelegate> m_delegate;
    QList<QPointer<platform::ui::View>> m_textFields;
    QPointer<platform::ui::View> m_activeTextField;
    QPointer<platform::ui::Toolbar> m_toolbar;
    QPointer<ThemeSegmentedButton> m_segmentedPreviousNext;
    QPointer<platform::ui::BarButtonItem> m_buttonDone;
    int m_barStyle = 2;
    QColor m_previousNextTintColor = Qt::black;
    QString m_previousTitle;
    QString m_nextTitle;
    QString m_doneTitle;
    QColor m_doneTintColor;
    QPointer<platform::ui::BarButtonItem> m_buttonSQL;
    QPointer<SqlKeyboardView> m_sqlKeyboardView;
    QMetaObject::Connection m_activeWatch;
};
