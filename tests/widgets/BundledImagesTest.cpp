#include "common/TestSupport.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Folders.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "widgets/UIImage_Theme.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using platform::ui::Image;

namespace {

// Names written a line at a time, separated by spaces.
QStringList names(const QStringList& lines)
{
    QStringList all;
    for (const QString& line : lines)
        all += line.split(' ', Qt::SkipEmptyParts);
    return all;
}

// Images used as they are or tinted through their transparency: they must exist under
// exactly these names.
const QStringList kPlainImages = names({
    // Toolbar buttons, by button number 1 to 44.
    "add edit delete refresh query next search script mail dependency reference",
    "home size start stop note history unlock undo checkin checkout pause restart",
    "suspend help calendar detail settings addeditdelete save open video quickstart",
    "expandcollapse sort columnselect order chart share filter tick sendicloud",
    "databaset",
    // Icon menus, tab strip and search bar.
    "first prev last addtab closetab searchcolumnselect",
    // Horizontal picker layers.
    "wheelBackground stretchableGlass shadowOverlay",
    // Bars, and the background patterns the settings offer.
    "bg_navbar bg_navbar_button TinyGrid WhiteCarbonFiber DiamondUpholstery",
    "FabricPlaid Noisy SubtleStripes TexturedPaper WhiteBrickWall BlackBelt",
    "GreyWashWall",
    // Colour picker, by file name.
    "HorizontalSelector.png CrosshairSelector.png HueSaturationGradient.png",
    // Web browser.
    "BrowserViewController.bundle/iPhone/back",
    "BrowserViewController.bundle/iPhone/forward",
    // The transparent spacer of form rows.
    "empty",
});

// Icons found through the themed lookup: each must come from a master of its own, not
// from the fallback.
const QStringList kThemedIcons = names({
    // Tiles and table rows.
    "metrodisclosure metrodisclosuresmall editm deletem",
    // Screens, option lists and export menus.
    "template columns filtermetro sortmetro database databases reminder",
    "settingsmetro filebrowser adbuiltin workitems backup restore enableicloud",
    "disableicloud rebuildicloud clearicloud definetemplate defaulttemplate import",
    "restartp savecsv savepdf savexls mailcsv mailpdf mailxls icloudcsv icloudpdf",
    "icloudxls",
    // Table definitions.
    "todo tasks finance health stock password notes birthday appointment site",
    "colors contacts inventory expenses books accounts",
    // Column types ("site" above stands for links; "link" ships as well).
    "text bigtext list date datetime time yesno currency number link passwordlock",
    // Form rows.
    "reminderd reminderonced reminderdailyd reminderweeklyd remindermonthlyd",
    "reminderyearlyd passwordunlock templatenamed templatedescriptiond",
    "templatecategoryd templatetilescolumnsd listnamed listdescriptiond",
    "columnmandatoryd columnlengthd columnprecisiond columnshowtilesd",
    "columnshowtabled columnsortcolumnd ascendingd columnautocompleted unknownd",
    "filterandd filterord filterequald filternotequald filtergreaterd",
    "filtergreaterequald filterlessd filterlessequald filtercontainsd",
    "filternotcontainsd background ios7style autofit language statusbar debug",
    // Chart form.
    "charttype chartstyle chartxaxis chartyaxis chartgrouping chartcalculate",
    "linechartd barchartd piechartd groupdailyd groupmonthlyd groupyearlyd calcsumd",
    "calcminimumd calcmaximumd calcaveraged calccountd",
});

struct BundledImages : ::testing::Test {
    KivoAppDelegate delegate;
    void SetUp() override
    {
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        Image::clearCache();
    }
    static Image fallback() { return UIImage_Theme::themedimageNamed("no such icon"); }
};

} // namespace

TEST_F(BundledImages, EveryPlainImageShips)
{
    for (const QString& name : kPlainImages)
        EXPECT_FALSE(Image::named(name).isNull()) << name.toStdString();
    // Masked toolbar icons keep their shape: some pixels clear, some not.
    const QImage add = UIImage_Theme::maskImage("add", Color::whiteColor()).image();
    EXPECT_EQ(add.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(add.pixelColor(add.width() / 2, add.height() / 2), QColor(Qt::white));
}

TEST_F(BundledImages, EveryThemedIconComesFromItsOwnMaster)
{
    const Image unknown = fallback();
    ASSERT_FALSE(unknown.isNull());
    for (const QString& name : kThemedIcons) {
        const Image icon = UIImage_Theme::themedimageNamed(name);
        EXPECT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_NE(icon, unknown) << name.toStdString();
    }
    for (const QString& type : TypeConstants::allTypes()) {
        const Image icon = TemplateColumn::imageForType(type);
        EXPECT_FALSE(icon.isNull()) << type.toStdString();
        EXPECT_NE(icon, unknown) << type.toStdString();
    }
}

TEST_F(BundledImages, TheDefaultDefinitionsImagesShip)
{
    QFile file(platform::Folders::resources() + "/templates.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray definitions = QJsonDocument::fromJson(file.readAll()).array();
    ASSERT_FALSE(definitions.isEmpty());
    for (const QJsonValue& definition : definitions) {
        const QString name = definition.toObject().value("image").toString();
        EXPECT_TRUE(kThemedIcons.contains(name)) << name.toStdString();
    }
}

TEST_F(BundledImages, TheColourSwatchIsAMasterOnlySoEachRowTintsItsOwn)
{
    EXPECT_TRUE(Image::named("color").isNull());
    EXPECT_TRUE(Image::named("colorBlue").isNull());
    const Image swatch = UIImage_Theme::themedimageNamed1("color", Color::colorWithRed(1, 0, 0));
    ASSERT_FALSE(swatch.isNull());
    const QImage pixels = swatch.image();
    EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2), QColor(255, 0, 0));
}
