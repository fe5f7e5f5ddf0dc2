#pragma once

#include "screens/GenericTemplateDataController.h"

#include "platform/ui/Image.h"

#include <QPointer>
#include <QString>
#include <QVariantMap>

class Database;
class Rows;
class Template;
class UserTemplate;

// The colours of a database and the built-in named-colour dictionaries, on one screen.
// The source shown is `colorDictionary`: the database's own colour list (its user table
// made from the colour definition, edited like any table's rows) while it equals
// `databaseName`, else the dictionary of that name, which is only read. A colour applied
// becomes the image and bar theme. The colour list of a protected table is neither read
// nor written.
class ColorDataController : public GenericTemplateDataController {
    Q_OBJECT
public:
    ColorDataController();
    ~ColorDataController() override;

    // The source shown; the colour list first.
    QString colorDictionary() const { return m_colorDictionary; }
    void setColorDictionary(const QString& name) { m_colorDictionary = name; }
    // "#" and the name of the database whose colours are shown.
    QString databaseName() const;
    bool isColorList() const;
    // The database whose colours are shown (null before the first load, or when gone).
    Database* database() const;

    // The colour table of the database: the user table made from the colour definition.
    // Null without a database or before its first colour is saved: looking stores nothing.
    UserTemplate* userTemplate() const override;
    // The colour definition, looked up by its id.
    static Template* colorTemplate();
    // The colour definition, whether or not the database has its table yet: it lays out
    // the list from the first look.
    Template* getTemplate() const override { return colorTemplate(); }

    void loadData(const std::shared_ptr<Parent>& parent) override;
    void loadColorDictionaries();
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    platform::ui::Image getDynamicUIImage(qint64 index) override;
    bool respondsToGetDynamicUIImage() const override { return true; }
    QString getImage() override;
    QString getTitle() override;
    QStringList columnValues(qint64 index) override;
    void searchData(const QString& text) override;
    QString dataChecksum(const QVariant& row) const override;
    qint8 tilesButtons() override;

    // A dictionary is only read: these do nothing while one is shown.
    void addTouched(platform::ui::Control* sender) override;
    void editTouched(platform::ui::Control* sender) override;
    void removeTouched(platform::ui::Control* sender) override;
    void shareTouched(platform::ui::Control* sender) override;
    void addRow() override;
    void tapOnDisclosure(qint64 index) override;
    // The source menu: the colour list, then every dictionary but "Base".
    void databaseTouched(platform::ui::Control* sender) override;
    void changeDictionary(const QString& name);
    // The source menu's entries, in order.
    QStringList sourceNames() const;
    // The selected colour becomes the image and bar theme.
    void applyTouched(platform::ui::Control* sender) override;
    // A colour whose name is already in the list is refused unless it is the very row
    // being edited; a save made from a dictionary switches to the list. The first colour
    // saved makes the database's colour table (with the default tables when it has no
    // table at all).
    bool saveRow(const QVariant& values) override;

    // The values of the colour at the index (active rows), keyed by column id.
    QVariantMap colorValues(qint64 index);
    // A dictionary colour's values: its name, colour text and hex text.
    QVariantMap getDictionaryForColor(const QString& name) const;
    // The row of that exact name in the colour list, or null.
    Rows* getColorForName(const QString& name) const;

    static const QString ColorImage; // "color"
    static const QString SourceImage; // "databaset"
    // Said when the colour table is protected.
    static const QString ProtectedList;

protected:
    // The Color Selector shows the system database's colours without opening it.
    virtual bool isSelector() const;

private:
    UserTemplate* findColorTable() const;
    // The colour table, made when the database has none; null when it cannot be.
    UserTemplate* makeColorTable();
    // Opens the form for a colour of a list that has no table yet.
    void addToNewTable(const QVariantMap& values);
    // Says so when the colour table is protected.
    bool refuseProtected() const;
    bool colorTableProtected() const;
    void endSearch();

    QString m_colorDictionary;
    QString m_databaseId;
    mutable QPointer<UserTemplate> m_uTemplate;
    // The form open adds a colour whose row, and table, its save is to make.
    bool m_addToNewTable = false;
};
