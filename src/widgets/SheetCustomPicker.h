#pragma once

#include "widgets/AbstractSheetPicker.h"

#include <QList>
#include <memory>

class SheetCustomPickerDelegate;

// Hands the whole picker view to a delegate: its components, rows and titles, and the
// outcome. The picker shares in owning its delegate.
class SheetCustomPicker : public AbstractSheetPicker {
    Q_OBJECT
public:
    SheetCustomPicker(const QString& title, std::shared_ptr<SheetCustomPickerDelegate> delegate,
        bool showCancelButton, QObject* origin, const QList<int>& initialSelections = {},
        QObject* parent = nullptr);

    static SheetCustomPicker* showPickerWithTitle(const QString& title,
        std::shared_ptr<SheetCustomPickerDelegate> delegate, bool showCancelButton, QObject* origin,
        const QList<int>& initialSelections = {});

    SheetCustomPickerDelegate* delegate() const { return m_delegate.get(); }
    QList<int> initialSelections() const { return m_initialSelections; }

    platform::ui::View* configuredPickerView() override;
    void notifyTargetDidSucceed(
        QObject* target, const QByteArray& action, QObject* origin) override;
    void notifyTargetDidCancel(QObject* target, const QByteArray& action, QObject* origin) override;

private:
    std::shared_ptr<SheetCustomPickerDelegate> m_delegate;
    QList<int> m_initialSelections;
};
