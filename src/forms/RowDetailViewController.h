#pragma once

#include "forms/QuickDetailViewController.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class DetailExportMenu;
class FormElement;
class ToolBar;
class ToolBarAction;

// The read-only display of one row of a user table: each column's caption and value, on
// one line when they fit and as a caption row over a wrapping text row when they do not.
// Protected values show as a one-line mask, however long they are, that one tap on the
// lock reveals (laid out as any other value) and a second hides again. The toolbar has Home and
// Share (the row's export menu).
class RowDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit RowDetailViewController(QObject* parent = nullptr);
    ~RowDetailViewController() override;

    // What a protected value shows while hidden: nine black circles.
    static const QString Mask;
    // The room for caption and value on a tablet.
    static constexpr double TabletLineRoom = 660;
    // What a phone's line leaves of the screen's width.
    static constexpr double PhoneLineMargin = 40;
    static constexpr int HomeButton = 12;
    static constexpr int ShareButton = 40;

    static std::shared_ptr<FormRootElement> createForm();

    void initProperties() override;
    void customViewWillAppear() override;
    void createFields() override;
    QSizeF popupContentSize() const override;

    void home();
    void share();
    // Made on the first Share, kept for the life of the form.
    DetailExportMenu* exportDetailDataController() const { return m_export.get(); }
    ToolBar* rowToolBar() const { return m_rowToolBar.get(); }

    void lockUnlock(FormElement* element);
    void setLockUnlockImage(FormElement* element);

private:
    QVariant valueForKey(const QString& key) const;

    // The rows of a long protected value: masked on one line, or in clear on a caption and
    // a wrapping text row; one group shows at a time.
    struct Wrapped {
        QList<FormElement*> masked;
        QList<FormElement*> clear;
    };
    // By the element whose lock switches the groups.
    QHash<const FormElement*, Wrapped> m_wrapped;

    std::shared_ptr<ToolBarAction> m_actions;
    std::unique_ptr<ToolBar> m_rowToolBar;
    std::unique_ptr<DetailExportMenu> m_export;
};
