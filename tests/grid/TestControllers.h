#pragma once

#include "grid/GridScreenProtocol.h"
#include "grid/TableDataController.h"
#include "platform/Exception.h"
#include "platform/ui/Control.h"
#include "utilities/data/OrderedDictionary.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace gridtest {

// A table data controller that writes down the hooks it is given and what the grid
// screen or the screen record asks of it.
class RecordingController : public TableDataController {
    Q_OBJECT
public:
    Q_INVOKABLE QString childForRow()
    {
        calls << "childForRow";
        return nextChild;
    }
    Q_INVOKABLE void chooseRow() { calls << "chooseRow"; }
    Q_INVOKABLE void toolbarHandler(QObject* sender)
    {
        calls << "toolbarHandler";
        senders << sender;
    }
    Q_INVOKABLE QVariantList parametersForRow() { return { QStringLiteral("/home") }; }
    Q_INVOKABLE int wrongAnswer() { return 1; }
    Q_INVOKABLE void failingHook()
    {
        throw platform::Exception(QStringLiteral("TestException"), QStringLiteral("Hook failed."));
    }

    void addTouched(platform::ui::Control* sender) override
    {
        calls << "addTouched";
        senders << sender;
        if (failing)
            throw platform::Exception(
                QStringLiteral("TestException"), QStringLiteral("Add failed."));
    }
    void addRow() override { calls << "addRow"; }
    void beforeEdit(const QVariant&) override { calls << "beforeEdit"; }
    bool canDelete() override { return deletable; }
    QString deleteMessage() override
    {
        return customDeleteMessage.isEmpty() ? TableDataController::deleteMessage()
                                             : customDeleteMessage;
    }
    bool deleteRow() override
    {
        calls << "deleteRow";
        if (deleteSucceeds) {
            QVariantList remaining = rows();
            remaining.removeAt(mainGridViewController()->selectedRow());
            setRows(remaining);
        }
        return deleteSucceeds;
    }
    void loadData(const std::shared_ptr<Parent>&) override
    {
        calls << "loadData";
        if (loader)
            loader(*this);
    }

    // The grid's tile row views are told apart by class; here the test says.
    bool tiles = false;

    QStringList calls;
    QList<QObject*> senders;
    QString nextChild;
    bool failing = false;
    bool deletable = true;
    bool deleteSucceeds = true;
    QString customDeleteMessage;
    std::function<void(RecordingController&)> loader;

protected:
    bool isTileRowView(const QObject* rowView) const override
    {
        return tiles || TableDataController::isTileRowView(rowView);
    }
};

// Row views of the two kinds a record names, for switching between them.
class TilesTestRowView : public QObject {
    Q_OBJECT
};
class DerivedTilesTestRowView : public TilesTestRowView {
    Q_OBJECT
};
class ColumnsTestRowView : public QObject {
    Q_OBJECT
};

} // namespace gridtest
