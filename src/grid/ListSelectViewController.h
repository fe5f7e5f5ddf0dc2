#pragma once

#include "grid/ListSelectScreen.h"
#include "grid/MainCollectionViewController.h"

#include <QStringList>
#include <QVariantList>

// A grid screen used as a picking list: its caller gives it the texts (with one image for
// all or one per text) and a handler, sets the list's screen record and shows it; the
// record's list data controller turns the texts into items and hands the chosen one to
// the handler.
class ListSelectViewController : public MainCollectionViewController, public ListSelectScreen {
    Q_OBJECT
public:
    explicit ListSelectViewController(QObject* parent = nullptr);
    // Without rows (nullopt) the list loads nothing; an empty list shows an empty grid.
    ListSelectViewController(
        std::optional<QStringList> rows, Handler listSelectHandler, QObject* parent = nullptr);
    ~ListSelectViewController() override;

    std::optional<QStringList> rows() const override { return m_rows; }
    void setRows(std::optional<QStringList> rows) { m_rows = std::move(rows); }
    QString image() const override { return m_image; }
    void setImage(const QString& image) { m_image = image; }
    QStringList images() const override { return m_images; }
    void setImages(const QStringList& images) { m_images = images; }
    Handler listSelectHandler() const override { return m_handler; }
    void setListSelectHandler(Handler handler) { m_handler = std::move(handler); }
    // Spare: nothing sets or reads it.
    QVariantList bridgeParameters;

private:
    std::optional<QStringList> m_rows;
    Handler m_handler;
    QString m_image;
    QStringList m_images;
};
