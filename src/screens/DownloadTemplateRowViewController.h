#pragma once

#include "grid/GenericRowViewController.h"
#include "platform/ui/AlertView.h"

#include <QString>

class DownloadTemplateDataController;

// A catalogue entry as a tile: its image ("unknown" without one), name, description and
// a Download button. Download copies the entry, with its columns, into the store under
// the catalogue's ids; over a local definition of the same id it asks first. An entry is
// named by its id from the tile to the copy, so a search or a new catalogue in between
// cannot swap it for another. A copy is stored whole in one commit or not at all, and a
// refusal names the entry, the column and the reason.
class DownloadTemplateRowViewController : public GenericRowViewController,
                                          public platform::ui::AlertViewDelegate {
    Q_OBJECT
public:
    DownloadTemplateRowViewController();
    ~DownloadTemplateRowViewController() override;

    QSizeF getRowSize() override;
    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;

    // The Download button of the entry with that id.
    void buttonDownloadClicked(const QString& entryId);
    // Only OK (1) of the overwrite question copies.
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;
    // Copies the entry of that id into the store; true when it was stored.
    bool saveTemplate(const QString& entryId);

    static constexpr double RowHeight = 80.0;
    static constexpr int OverwriteTag = 600;
    static const QString UnknownImage; // "unknown"
    static const QString EntryGone; // the entry is no longer in the catalogue

private:
    DownloadTemplateDataController* catalogue() const;

    // The entry the overwrite question is about.
    QString m_confirmingId;
};
