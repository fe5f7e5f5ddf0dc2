#pragma once

#include "forms/QuickDetailViewController.h"

#include <optional>

// The base of the forms whose record lives in the store: it remembers the record's
// modification time when it loads it, and when the cloud store is reloaded under an open
// edit form it keeps what was typed while the record is unchanged, reloads it when it
// changed elsewhere, and closes the form when the record is gone. An add form is left
// alone: its record is not in the store yet.
class CloudDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CloudDetailViewController(QObject* parent = nullptr);
    ~CloudDetailViewController() override;

    // The record's mtimestamp (Unix seconds) when the form loaded it.
    double timestamp() const { return m_timestamp; }
    void setTimestamp(double timestamp) { m_timestamp = timestamp; }

    void loadData(const QVariant& record) override;
    void cloudStoreUnloaded() override;
    void cloudStoreLoaded() override;

    // A record's mtimestamp, when it has one.
    static std::optional<double> modificationTime(const QVariant& record);

protected:
    // The record is gone: says so, closes the form and returns to the root screen.
    void closeForVanishedRecord();

private:
    double m_timestamp = 0;
};
