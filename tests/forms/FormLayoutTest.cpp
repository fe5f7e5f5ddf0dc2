#include "forms/FormAppearance.h"
#include "forms/FormClassicAppearance.h"
#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormEmptyListElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "style/ThemedImages.h"

#include "forms/FormScreenFixture.h"

#include <QJsonDocument>

using namespace platform::ui;
using formtest::FormScreen;

namespace {

using FormLayout = FormScreen;

FormTableViewCell* formCell(FormScreen& screen, FormElement* element)
{
    return qobject_cast<FormTableViewCell*>(screen.cellOf(element));
}

} // namespace

TEST_F(FormLayout, TrimValueTitlesOfASectionTakeTheWidestTitle)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Contact");
    auto name = FormLabelElement::initWithTitle("Name", "Ada Lovelace");
    auto phone = FormLabelElement::initWithTitle("Telephone", "+44 113 496 0000");
    auto note = FormLabelElement::initWithTitle("Note", QVariant());
    for (const auto& element : { name, phone, note })
        section->addElement(element);
    auto other = FormSection::initWithTitle("Other");
    auto alone = FormLabelElement::initWithTitle("Id", "7");
    other->addElement(alone);
    root->addSection(section);
    root->addSection(other);
    open(root);

    FormTableViewCell* nameCell = formCell(*this, name.get());
    FormTableViewCell* phoneCell = formCell(*this, phone.get());
    ASSERT_TRUE(nameCell && phoneCell);
    const double telephone
        = std::ceil(Font::measure("Telephone", phoneCell->textLabel()->font()).width());
    EXPECT_EQ(nameCell->getMaxValueSize().width(), telephone);
    EXPECT_EQ(nameCell->textLabel()->frame().width(), telephone);
    EXPECT_EQ(phoneCell->textLabel()->frame().width(), telephone);
    // So the values start at one column, and end 8 points from the content's edge.
    const double W = nameCell->contentView()->bounds().width();
    for (FormTableViewCell* cell : { nameCell, phoneCell }) {
        const QRectF value = cell->detailTextLabel()->frame();
        EXPECT_EQ(value.width(), W - 16 - telephone - 16);
        EXPECT_EQ(value.right(), W - 8);
        EXPECT_EQ(value.top(), 8);
    }
    EXPECT_EQ(
        nameCell->detailTextLabel()->frame().left(), phoneCell->detailTextLabel()->frame().left());
    // A row without a value gives its title the whole width less 24.
    FormTableViewCell* noteCell = formCell(*this, note.get());
    EXPECT_EQ(noteCell->textLabel()->frame().width(), W - 24);
    // Another section measures its own titles.
    EXPECT_LT(formCell(*this, alone.get())->textLabel()->frame().width(), telephone);
}

TEST_F(FormLayout, TrimTitleGivesTheValueItsNaturalWidth)
{
    auto root = std::make_shared<FormRootElement>();
    auto section = FormSection::initWithTitle("Contact");
    auto phone = FormLabelElement::initWithTitle("Telephone", "113");
    phone->setLabelingPolicy(FormTableViewCell::TrimTitle);
    section->addElement(phone);
    root->addSection(section);
    open(root);
    FormTableViewCell* cell = formCell(*this, phone.get());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->labelingPolicy(), FormTableViewCell::TrimTitle);
    const double W = cell->contentView()->bounds().width();
    const double value = std::ceil(Font::measure("113", cell->detailTextLabel()->font()).width());
    EXPECT_EQ(cell->detailTextLabel()->frame(),
        QRectF(W - value - 8, 8, value, cell->contentView()->bounds().height() - 16));
    EXPECT_EQ(cell->textLabel()->frame().width(), W - value - 32);
}

TEST_F(FormLayout, EntryFieldsOfASectionStartAtOneX)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Address");
    auto zip = FormEntryElement::initWithTitle("Zip", "LS1");
    auto street = FormEntryElement::initWithTitle("Street address", "1 Park Row");
    auto label = FormLabelElement::initWithTitle("Country", "UK");
    for (const std::shared_ptr<FormElement>& element :
        std::initializer_list<std::shared_ptr<FormElement>> { zip, street, label })
        section->addElement(element);
    auto other = FormSection::initWithTitle("Other");
    auto code = FormEntryElement::initWithTitle("Code", "7");
    auto untitled = FormEntryElement::initWithTitle("", "free text");
    other->addElement(code);
    other->addElement(untitled);
    root->addSection(section);
    root->addSection(other);
    open(root);

    FormEntryTableViewCell* zipCell = entryCellOf(zip.get());
    FormEntryTableViewCell* streetCell = entryCellOf(street.get());
    ASSERT_TRUE(zipCell && streetCell);
    const double longest
        = std::ceil(Font::measure("Street address", zipCell->textLabel()->font()).width());
    // Past the longest title, 10 more and a gap of 20.
    EXPECT_EQ(zipCell->textField()->frame().left(), longest + 10 + 20);
    EXPECT_EQ(streetCell->textField()->frame().left(), zipCell->textField()->frame().left());
    EXPECT_EQ(section->entryPosition.left(), zipCell->textField()->frame().left());
    // The titles end at the column less the cell border; the fields reach the border
    // less the clear button's room.
    const double border = zip->appearance()->cellBorderWidth;
    EXPECT_EQ(zipCell->textLabel()->frame().width(), zipCell->textField()->frame().left() - border);
    const double W = zipCell->contentView()->bounds().width();
    EXPECT_EQ(zipCell->textField()->frame().width(), W - (longest + 10) - border - 10);
    EXPECT_EQ(zipCell->textField()->frame().top(), 10);
    // Another section has its own column; a row without title fills the row.
    FormEntryTableViewCell* codeCell = entryCellOf(code.get());
    EXPECT_LT(codeCell->textField()->frame().left(), zipCell->textField()->frame().left());
    EXPECT_EQ(entryCellOf(untitled.get())->textField()->frame().left(), 10);
}

TEST_F(FormLayout, CellsTakeTheAppearanceAndShowWhatATapDoes)
{
    auto root = std::make_shared<FormRootElement>();
    auto section = FormSection::initWithTitle("Rows");
    auto plain = FormLabelElement::initWithTitle("Plain", "1");
    auto acting = FormLabelElement::initWithTitle("Acting", "2");
    acting->setControllerAction("refresh");
    auto detail = FormLabelElement::initWithTitle("Detail", "3");
    detail->setControllerAccessoryAction("refresh");
    auto disabled = FormLabelElement::initWithTitle("Disabled", "4");
    disabled->setEnabled(false);
    auto image = std::make_shared<FormLabelElement>();
    image->setImageNamed("database");
    for (const auto& element : { plain, acting, detail, disabled, image })
        section->addElement(element);
    root->addSection(section);
    open(root);
    using Style = TableViewCell::SelectionStyle;
    using Accessory = TableViewCell::AccessoryType;
    EXPECT_EQ(cellOf(plain.get())->selectionStyle(), Style::None);
    EXPECT_EQ(cellOf(plain.get())->accessoryType(), Accessory::None);
    EXPECT_EQ(cellOf(acting.get())->selectionStyle(), Style::Blue);
    EXPECT_EQ(cellOf(acting.get())->accessoryType(), Accessory::DisclosureIndicator);
    EXPECT_EQ(cellOf(detail.get())->accessoryType(), Accessory::DetailDisclosureButton);
    // A disabled row shows the disabled colours and takes no touches.
    const std::shared_ptr<FormAppearance> look = plain->appearance();
    TableViewCell* off = cellOf(disabled.get());
    EXPECT_EQ(off->textLabel()->textColor(), look->labelColorDisabled->toQColor());
    EXPECT_EQ(off->detailTextLabel()->textColor(), look->valueColorDisabled->toQColor());
    EXPECT_EQ(cellOf(plain.get())->textLabel()->textColor(), look->labelColorEnabled->toQColor());
    EXPECT_FALSE(off->isUserInteractionEnabled());
    // A cell with an image and no title measures the image.
    auto* imageCell = formCell(*this, image.get());
    EXPECT_EQ(imageCell->getMaxValueSize().width(), imageCell->imageView()->image().size().width());
    EXPECT_GT(imageCell->getMaxValueSize().width(), 0);
    // Reuse identifiers: key and class.
    plain->setKey("a");
    EXPECT_EQ(plain->cellReuseIdentifier(), "QuickformElementCellaFormLabelElement");
}

TEST_F(FormLayout, SectionsShowTheirOwnHeadersOrTheClassicDrawnOnes)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto pictured = FormSection::initWithTitle("Pictured");
    pictured->setHeaderImage("tick");
    pictured->addElement(FormLabelElement::initWithTitle("One", QVariant()));
    auto titled = FormSection::initWithTitle("Shipping address");
    titled->setFooter("Parcels go out on weekdays.");
    titled->addElement(FormLabelElement::initWithTitle("Two", QVariant()));
    root->addSection(pictured);
    root->addSection(titled);
    auto classic = std::make_shared<FormClassicAppearance>();
    root->setAppearance(classic);
    open(root);
    // The header image's view, as high as the image.
    View* image = table()->headerViewForSection(0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image, pictured->headerView());
    EXPECT_EQ(table()->rectForHeaderInSection(0).height(), Image::named("tick").size().height());
    // The classic record draws the title in its font and keeps the footer it drew.
    View* header = table()->headerViewForSection(1);
    ASSERT_NE(header, nullptr);
    auto* label = header->findChild<Label*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Shipping address");
    EXPECT_EQ(label->font(), *classic->sectionTitleFont);
    EXPECT_EQ(label->textColor(), classic->sectionTitleColor->toQColor());
    ASSERT_NE(titled->footerView(), nullptr);
    EXPECT_EQ(table()->footerViewForSection(1), titled->footerView());
    EXPECT_EQ(titled->footerView()->findChild<Label*>()->text(), "Parcels go out on weekdays.");
    const double width = table()->frame().width();
    EXPECT_EQ(classic->heightForHeaderInSection(titled.get(), table(), 1),
        std::ceil(
            Font::measure("Shipping address", *classic->sectionTitleFont, width - 20).height())
            + 24);
}

// An empty list's row: its own reusable cell, the message centred in light grey in the
// appearance's label font, not highlighted when touched.
TEST_F(FormLayout, AnEmptyListShowsItsMessageCentredInItsOwnCell)
{
    auto root = std::make_shared<FormRootElement>();
    auto section = std::make_shared<FormSection>();
    auto empty = FormEmptyListElement::initWithTitle("No rows");
    section->addElement(empty);
    root->addSection(section);
    auto look = std::make_shared<FormAppearance>();
    look->labelFont = Font::boldSystem(21);
    root->setAppearance(look);
    open(root);
    TableViewCell* cell = cellOf(empty.get());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "FormEmptyListElement");
    EXPECT_EQ(cell->textLabel()->text(), "No rows");
    EXPECT_EQ(cell->textLabel()->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(cell->textLabel()->textColor(), QColor::fromRgbF(0.7f, 0.7f, 0.7f, 1.0f));
    EXPECT_EQ(cell->textLabel()->font(), *look->labelFont);
    EXPECT_EQ(cell->selectionStyle(), TableViewCell::SelectionStyle::None);
}

TEST_F(FormLayout, HeightsFromADescriptionOrItsDataAreCutToWhatAScreenShows)
{
    const char* const form = R"({"title": "Heights", "sections": [{"elements": [
        {"type": "FormLabelElement", "key": "described", "title": "Described", "height": 1e300},
        {"type": "FormLabelElement", "key": "bound", "title": "Bound", "bind": "height:height"},
        {"type": "FormDateTimeInlineElement", "key": "date", "title": "Date", "height": 1.8e6},
        {"type": "FormLabelElement", "key": "after", "title": "After"}]}]})";
    auto root = FormRootElement::initWithJSON(
        QJsonDocument::fromJson(form).toVariant(), QVariantMap { { "height", 1e300 } });
    open(root, "phone");
    const double tallest = TableView::MaximumRowHeight;
    auto rowRect = [&](const char* key) {
        const std::optional<FormIndexPath> path
            = root->elementWithKey(QString::fromLatin1(key))->getIndexPath();
        return path ? table()->rectForRowAtIndexPath(FormTableView::tablePath(*path)) : QRectF();
    };
    const QRectF described = rowRect("described");
    EXPECT_EQ(described.height(), tallest);
    EXPECT_EQ(rowRect("bound").height(), tallest);
    EXPECT_EQ(rowRect("bound").top(), described.bottom());
    EXPECT_EQ(rowRect("date").height(), tallest);
    EXPECT_EQ(rowRect("after"),
        QRectF(described.left(), described.top() + 3 * tallest, described.width(), 44));
    // The cell on screen is as tall as its row, in whole pixels.
    TableViewCell* cell = cellOf(root->elementWithKey("described"));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->frame().height(), tallest);
    EXPECT_EQ(cell->geometry().height(), int(tallest));

    // The date row, tapped where it shows, opens its picker; the last row is reached.
    table()->setContentOffset(QPointF(0, rowRect("date").top()));
    settle();
    testsupport::GestureSynthesizer::tap(table(), QPointF(30, 100));
    settle();
    runSteps();
    auto* date = qobject_cast<FormDateEntryTableViewCell*>(cellOf(root->elementWithKey("date")));
    ASSERT_NE(date, nullptr);
    EXPECT_NE(date->pickerView(), nullptr);
    save("form-tallest-rows.png");
    table()->scrollToRowAtIndexPath(
        FormTableView::tablePath(*root->elementWithKey("after")->getIndexPath()),
        TableView::ScrollPosition::Bottom, false);
    settle();
    TableViewCell* after = cellOf(root->elementWithKey("after"));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->frame(), rowRect("after"));
}

TEST_F(FormLayout, RowsWithATileSizedIconLineUpWithTheOthers)
{
    // Row icons are 30 points; a table's picture and the Link type's globe are tile icons
    // of 50, and a swatch may come larger still.
    const Image row = Image::withColor(Qt::black, QSizeF(30, 30));
    const Image tile = ThemedImages::themedimageNamed("site");
    ASSERT_EQ(tile.size(), QSizeF(50, 50));
    const Image swatch = Image::withColor(Qt::red, QSizeF(80, 60));
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Definition");
    auto name = FormEntryElement::initWithTitle("Name", "Books");
    name->setImage(row);
    auto site = FormEntryElement::initWithTitle("Website", "https://example.org");
    site->setImage(tile);
    auto picture = FormLabelElement::initWithTitle("Image", "books");
    picture->setImage(tile);
    auto colour = FormLabelElement::initWithTitle("Colour", "Red");
    colour->setImage(swatch);
    auto plain = FormLabelElement::initWithTitle("Category", "Personal");
    plain->setImage(row);
    const QList<std::shared_ptr<FormElement>> rows { name, site, picture, colour, plain };
    for (const auto& element : rows)
        section->addElement(element);
    root->addSection(section);
    open(root);

    FormTableViewCell* first = formCell(*this, name.get());
    ASSERT_NE(first, nullptr);
    for (const auto& element : rows) {
        FormTableViewCell* cell = formCell(*this, element.get());
        ASSERT_NE(cell, nullptr);
        SCOPED_TRACE(cell->textLabel()->text().toStdString());
        EXPECT_EQ(cell->imageView()->frame(), first->imageView()->frame());
        EXPECT_EQ(cell->textLabel()->frame().left(), first->textLabel()->frame().left());
    }
    EXPECT_EQ(entryCellOf(site.get())->textField()->frame().left(),
        entryCellOf(name.get())->textField()->frame().left());
    EXPECT_EQ(formCell(*this, picture.get())->detailTextLabel()->frame().left(),
        formCell(*this, plain.get())->detailTextLabel()->frame().left());

    // The globe keeps its drawing whole and about a row icon's size: only its wider margin
    // goes.
    const QImage shown = formCell(*this, site.get())->imageView()->image().image();
    const double scale = formCell(*this, site.get())->imageView()->image().scale();
    QRect ink;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qAlpha(shown.pixel(x, y)) > 0)
                ink |= QRect(x, y, 1, 1);
    EXPECT_GT(ink.left(), 0);
    EXPECT_GT(ink.top(), 0);
    EXPECT_LT(ink.right(), shown.width() - 1);
    EXPECT_LT(ink.bottom(), shown.height() - 1);
    EXPECT_NEAR(ink.width() / scale, 21, 3);
}

TEST_F(FormLayout, UntitledRowsWithATileSizedIconStartTheirValueWhereTheOthersDo)
{
    // On a phone a choice's value has a row of its own, without a title: a column type with
    // its row icon, a table definition with its picture, which is a tile icon of 50.
    const Image row = Image::withColor(Qt::black, QSizeF(30, 30));
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Definition");
    auto type = FormRadioElement::initWithItems({ "Text", "List" }, 0, QString());
    type->setImage(row);
    auto definition = FormRadioElement::initWithItems({ "Gear" }, 0, QString(), { "site" });
    ASSERT_EQ(definition->image().size(), QSizeF(50, 50));
    auto name = FormEntryElement::initWithTitle(QString(), "Kit");
    for (const std::shared_ptr<FormElement>& element :
        std::initializer_list<std::shared_ptr<FormElement>> { type, definition, name })
        section->addElement(element);
    root->addSection(section);
    open(root);

    FormEntryTableViewCell* typeCell = entryCellOf(type.get());
    FormEntryTableViewCell* definitionCell = entryCellOf(definition.get());
    ASSERT_TRUE(typeCell && definitionCell);
    EXPECT_EQ(definitionCell->imageView()->frame(), typeCell->imageView()->frame());
    EXPECT_EQ(definitionCell->textField()->frame().left(), typeCell->textField()->frame().left());
    EXPECT_EQ(definitionCell->textField()->frame().right(), typeCell->textField()->frame().right());
    // A row without an icon keeps the whole width.
    EXPECT_LT(entryCellOf(name.get())->textField()->frame().left(),
        typeCell->textField()->frame().left());
}
