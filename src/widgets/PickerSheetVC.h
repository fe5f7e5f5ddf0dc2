#pragma once

#include "platform/ui/ViewController.h"
#include "widgets/PickerSheet.h"

#include <QPointer>

// The root controller of a picker sheet's host: it shows the sheet it is given.
class PickerSheetVC : public platform::ui::ViewController {
    Q_OBJECT
public:
    explicit PickerSheetVC(QObject* parent = nullptr);

    PickerSheet* actionSheet() const { return m_actionSheet; }
    // A different sheet replaces the current one (dismissing it when presented) and is
    // presented.
    void setActionSheet(PickerSheet* sheet);
    void presentActionSheetAnimated(bool animated);

    void viewWillAppear(bool animated) override;
    bool prefersStatusBarHidden() const override;

private:
    QPointer<PickerSheet> m_actionSheet;
};
