#include "forms/FormAppearance.h"
#include "forms/FormCountdownElement.h"
#include "forms/FormDateEntryTableViewCell.h"
#include "forms/FormFloatElement.h"
#include "forms/FormFloatTableViewCell.h"
#include "forms/FormImageElement.h"
#include "forms/FormImageTableViewCell.h"
#include "forms/FormProgressElement.h"
#include "forms/FormProgressTableViewCell.h"
#include "forms/FormTextElement.h"
#include "platform/Exception.h"
#include "platform/MutableDictionary.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Slider.h"
#include "widgets/PopoverController.h"

#include "forms/FormScreenFixture.h"

#include <QImageReader>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cmath>

using namespace platform::ui;
using formtest::FormScreen;
using formtest::LogCapture;

namespace {

// Every rarer row, as a description would bring it.
const char* const kRareRowsForm = R"({
    "title": "Rarer rows", "grouped": true, "sections": [
    {"title": "Photo", "elements": [
        {"type": "FormImageElement", "title": "Photo", "key": "photo", "imageMaxLength": 200,
         "source": "camera"}]},
    {"title": "Levels", "elements": [
        {"type": "FormFloatElement", "title": "Level", "key": "level", "floatValue": 0.25},
        {"type": "FormProgressElement", "key": "progress", "progress": 0.6}]},
    {"title": "Notes", "elements": [
        {"type": "FormTextElement", "title": "Notes", "key": "notes",
         "text": "A note long enough to wrap onto a second line on a phone and, with the rest of this sentence, on a tablet too."},
        {"type": "FormTextElement", "key": "untitled",
         "text": "A note long enough to wrap onto a second line on a phone and, with the rest of this sentence, on a tablet too."},
        {"type": "FormTextElement", "key": "empty"}]},
    {"title": "Timer", "elements": [
        {"type": "FormCountdownElement", "title": "Timer", "key": "timer", "ticksValue": 5400}]}
    ]})";

QImage filled(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

struct RareRows : FormScreen, ::testing::WithParamInterface<const char*> {
    QTemporaryDir pictures;
    std::shared_ptr<FormRootElement> root;

    void SetUp() override
    {
        FormScreen::SetUp();
        ASSERT_TRUE(pictures.isValid());
        ImagePickerController::setPicturesFolder(pictures.path());
    }
    void TearDown() override
    {
        ImagePickerController::setPicturesFolder({});
        ImagePickerController::setAutoResponder({});
        FormScreen::TearDown();
    }

    QString device() const { return QString::fromLatin1(GetParam()); }
    bool phone() const { return device() == "phone"; }

    void openForm()
    {
        root = FormRootElement::initWithJSON(
            QJsonDocument::fromJson(kRareRowsForm).toVariant(), QVariant());
        open(root, device());
    }
    template<class T> T* row(const char* key)
    {
        return qobject_cast<T*>(root->elementWithKey(QString::fromLatin1(key)));
    }
    QString picture(const QString& name) const { return pictures.filePath(name); }
    // The picker on screen: in its popover, or on the navigation stack.
    ImagePickerController* shownPicker(FormImageElement* photo)
    {
        if (PopoverController* popover = photo->popoverController())
            return qobject_cast<ImagePickerController*>(popover->contentViewController());
        return qobject_cast<ImagePickerController*>(navigation->topViewController());
    }
};

TEST_P(RareRows, AJsonFormLaysOutTextSliderProgressAndCountdownRows)
{
    openForm();
    // Text rows: a subtitle cell, the text in the value font and the row's colour.
    auto* notes = row<FormTextElement>("notes");
    auto* untitled = row<FormTextElement>("untitled");
    auto* empty = row<FormTextElement>("empty");
    ASSERT_TRUE(notes && untitled && empty);
    TableViewCell* notesCell = cellOf(notes);
    ASSERT_NE(notesCell, nullptr);
    EXPECT_EQ(notesCell->reuseIdentifier(), "QuickformText");
    EXPECT_EQ(notesCell->style(), TableViewCell::Style::Subtitle);
    EXPECT_EQ(notesCell->selectionStyle(), TableViewCell::SelectionStyle::None);
    EXPECT_EQ(notesCell->textLabel()->text(), "Notes");
    EXPECT_TRUE(notesCell->textLabel()->adjustsFontSizeToFitWidth());
    Label* text = notesCell->detailTextLabel();
    EXPECT_EQ(text->text(), notes->text());
    EXPECT_EQ(text->numberOfLines(), 0);
    EXPECT_EQ(text->font(), *notes->appearance()->valueFont);
    EXPECT_EQ(text->textColor(), QColor(Qt::black));
    // The text sits below its title, inside the row.
    EXPECT_GE(text->frame().top(), notesCell->textLabel()->frame().bottom());
    EXPECT_LE(text->frame().bottom(), notesCell->contentView()->bounds().bottom());

    // Heights: the wrapped text at the grouped table's width less 40, plus 40, plus 30
    // with a title; an empty text is a plain row.
    const double width = table()->bounds().width() - 40;
    const double textHeight
        = std::ceil(Font::measure(notes->text(), *notes->appearance()->valueFont, width).height());
    EXPECT_DOUBLE_EQ(untitled->getRowHeightForTableView(table()), textHeight + 40);
    EXPECT_DOUBLE_EQ(notes->getRowHeightForTableView(table()), textHeight + 70);
    EXPECT_DOUBLE_EQ(empty->getRowHeightForTableView(table()), 44);
    const std::optional<FormIndexPath> notesPath = notes->getIndexPath();
    ASSERT_TRUE(notesPath.has_value());
    EXPECT_DOUBLE_EQ(table()->rectForRowAtIndexPath(FormTableView::tablePath(*notesPath)).height(),
        textHeight + 70);
    // A set height wins when it is the larger.
    empty->setHeight(90);
    untitled->setHeight(10);
    EXPECT_DOUBLE_EQ(empty->getRowHeightForTableView(table()), 90);
    EXPECT_DOUBLE_EQ(untitled->getRowHeightForTableView(table()), textHeight + 40);

    // The slider row: the title as wide as its text, the slider in the rest, 10 in.
    auto* level = row<FormFloatElement>("level");
    auto* sliderCell = qobject_cast<FormFloatTableViewCell*>(cellOf(level));
    ASSERT_NE(sliderCell, nullptr);
    Label* title = sliderCell->textLabel();
    const double titleWidth = std::ceil(Font::measure("Level", title->font()).width());
    EXPECT_DOUBLE_EQ(title->frame().width(), titleWidth);
    const QRectF slider = sliderCell->slider()->frame();
    const QRectF content = sliderCell->contentView()->bounds();
    EXPECT_DOUBLE_EQ(slider.left(), title->frame().right() + 10);
    EXPECT_DOUBLE_EQ(slider.right(), content.width() - 10);
    EXPECT_FLOAT_EQ(sliderCell->slider()->value(), 0.25f);
    // Nothing is drawn over the slider.
    Label* detail = sliderCell->detailTextLabel();
    EXPECT_TRUE(detail->text().isEmpty() || !detail->frame().intersects(slider));

    // The progress row: the description's value, the bar centred and 60 narrower.
    auto* progress = row<FormProgressElement>("progress");
    auto* progressCell = qobject_cast<FormProgressTableViewCell*>(cellOf(progress));
    ASSERT_NE(progressCell, nullptr);
    EXPECT_FLOAT_EQ(progressCell->bar()->progress(), 0.6f);
    const QRectF bar = progressCell->bar()->frame();
    const QRectF barContent = progressCell->contentView()->bounds();
    EXPECT_DOUBLE_EQ(bar.width(), barContent.width() - 60);
    EXPECT_NEAR(bar.center().x(), barContent.center().x(), 0.5);
    EXPECT_NEAR(bar.center().y(), barContent.center().y(), 1);
    progress->setProgress(0.9f);
    EXPECT_FLOAT_EQ(progressCell->bar()->progress(), 0.9f);

    save(QStringLiteral("json-rarer-rows-%1.png").arg(device()));

    // The countdown row opens the picker as a timer at its ticks.
    auto* timer = row<FormCountdownElement>("timer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->mode(), FormDateTimeInlineElement::CountDownTimer);
    EXPECT_EQ(timer->displayText(), "1 hrs, 30 mins");
    tapRow(timer, 30);
    runSteps();
    auto* timerCell = qobject_cast<FormDateEntryTableViewCell*>(cellOf(timer));
    ASSERT_NE(timerCell, nullptr);
    ASSERT_NE(timerCell->pickerView(), nullptr);
    EXPECT_EQ(timerCell->pickerView()->datePickerMode(), DatePicker::Mode::CountDownTimer);
    EXPECT_DOUBLE_EQ(timerCell->pickerView()->countDownDuration(), 5400);
    save(QStringLiteral("json-countdown-%1.png").arg(device()));
}

TEST_P(RareRows, ThePhotoRowPicksFromThePicturesFolderAndKeepsItsImageOnABadFile)
{
    ASSERT_TRUE(filled(3000, 2000, Qt::red).save(picture("a-red.png")));
    ASSERT_TRUE(filled(40, 80, Qt::blue).save(picture("b-blue.jpg")));
    {
        QFile bad(picture("c-broken.png"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("\x89PNG\r\n\x1a\nnot really");
    }
    LogCapture log;
    openForm();
    auto* photo = row<FormImageElement>("photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->source(), ImagePickerController::Camera);
    int changes = 0;
    photo->onValueChanged = [&](FormRootElement*) { ++changes; };
    auto* cell = qobject_cast<FormImageTableViewCell*>(cellOf(photo));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "QuickformImageElement");
    // A square thumbnail 2 in from the right, as tall as the row allows.
    const QRectF content = cell->contentView()->bounds();
    const QRectF thumb = cell->imageViewButton()->frame();
    EXPECT_DOUBLE_EQ(thumb.height(), content.height() - 4);
    EXPECT_DOUBLE_EQ(thumb.width(), thumb.height());
    EXPECT_DOUBLE_EQ(thumb.right(), content.width() - 2);
    EXPECT_LE(cell->textLabel()->frame().right(), thumb.left());
    EXPECT_FALSE(cell->textField()->isVisible());

    // There is no camera: the library it is, with the log line.
    tapRow(photo, 30);
    EXPECT_TRUE(log.lines().contains("Source not available, using default Library type."));
    ImagePickerController* picker = shownPicker(photo);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->sourceType(), ImagePickerController::PhotoLibrary);
    EXPECT_EQ(phone(), photo->popoverController() == nullptr);
    ASSERT_EQ(picker->files().size(), 3);
    ASSERT_EQ(picker->thumbnailButtons().size(), 3);
    // The readable files show as thumbnails; the broken one as an empty square.
    auto thumbnail
        = [&](int index) { return picker->thumbnailButtons().at(index)->findChild<ImageView*>(); };
    ASSERT_NE(thumbnail(0), nullptr);
    EXPECT_FALSE(thumbnail(0)->image().isNull());
    EXPECT_TRUE(thumbnail(0)->isVisible());
    EXPECT_EQ(thumbnail(0)->frame(), QRectF(0, 0, 75, 75));
    EXPECT_EQ(thumbnail(0)->image().image().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_FALSE(thumbnail(1)->image().isNull());
    EXPECT_TRUE(thumbnail(2)->image().isNull());
    save(QStringLiteral("json-photo-picker-%1.png").arg(device()));

    testsupport::GestureSynthesizer::tap(picker->thumbnailButtons().at(0));
    settle();
    // Read reduced to the longest side of 200, the picker gone, the thumbnail showing it.
    EXPECT_EQ(photo->imageValue().image().size(), QSize(200, 133));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownPicker(photo) == nullptr; }, 2000));
    cell = qobject_cast<FormImageTableViewCell*>(cellOf(photo));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->thumbnailView()->image().image().size(), QSize(200, 133));
    save(QStringLiteral("json-photo-picked-%1.png").arg(device()));

    // A file that is not the image it claims: a message, the old image kept.
    tapRow(photo, 30);
    picker = shownPicker(photo);
    ASSERT_NE(picker, nullptr);
    testsupport::GestureSynthesizer::tap(picker->thumbnailButtons().at(2));
    settle();
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    EXPECT_TRUE(AlertView::visibleAlerts()[0]->message().contains("c-broken.png"));
    AlertView::visibleAlerts()[0]->clickButtonAtIndex(0);
    settle();
    EXPECT_EQ(photo->imageValue().image().size(), QSize(200, 133));
    EXPECT_EQ(changes, 1);

    // The auto-responder picks for the next picker; cancelling changes nothing.
    ImagePickerController::setAutoResponder([](const QStringList& files) { return files.at(1); });
    tapRow(photo, 30);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownPicker(photo) == nullptr; }, 2000));
    EXPECT_EQ(photo->imageValue().image().size(), QSize(40, 80));
    ImagePickerController::setAutoResponder([](const QStringList&) { return QString(); });
    tapRow(photo, 30);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownPicker(photo) == nullptr; }, 2000));
    EXPECT_EQ(photo->imageValue().image().size(), QSize(40, 80));
    EXPECT_EQ(changes, 2);

    // Saved with the form.
    platform::MutableDictionary values;
    root->fetchValueIntoObject(QVariant::fromValue(values));
    EXPECT_EQ(values.value("photo").value<Image>().image().size(), QSize(40, 80));
}

INSTANTIATE_TEST_SUITE_P(Devices, RareRows, ::testing::Values("tablet", "phone"));

using RareRowValues = formtest::FormTest;
using RareRowScreen = FormScreen;

TEST_F(RareRowValues, ImagesAreReducedToTheirLongestSideOnlyWhenLonger)
{
    auto photo = FormImageElement::initWithTitle("Photo", Image(filled(3000, 2000, Qt::green)));
    EXPECT_EQ(photo->imageValue().image().size(), QSize(3000, 2000)) << "no limit by default";
    photo->reducedImageIfNeeded();
    EXPECT_EQ(photo->imageValue().image().size(), QSize(3000, 2000));
    photo->setImageMaxLength(1000);
    photo->reducedImageIfNeeded();
    EXPECT_EQ(photo->imageValue().image().size(), QSize(1000, 667));
    photo->setImageMaxLength(20);
    // A bundle image, measured in points.
    photo->setImageValueNamed("databaset");
    const QSizeF named = Image::named("databaset").size();
    ASSERT_GT(std::max(named.width(), named.height()), 20);
    const QSize reduced = photo->imageValue().image().size();
    EXPECT_EQ(std::max(reduced.width(), reduced.height()), 20);
    EXPECT_EQ(photo->imageValue().scale(), 1.0);
}

TEST_F(RareRowScreen, ReadingAPhotoReducesItWhileReadAndRefusesWhatTheReaderCannotHold)
{
    QTemporaryDir folder;
    const QString big = folder.filePath("big.jpg");
    ASSERT_TRUE(filled(2400, 1600, Qt::darkCyan).save(big, "JPEG"));
    const QString garbage = folder.filePath("garbage.jpg");
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xff\xd8\xff not a jpeg at all");
    }
    open(std::make_shared<FormRootElement>());
    const int limit = QImageReader::allocationLimit();
    // 4 MB: the whole photo (15 MB decoded) is past it, a reduced one is not.
    QImageReader::setAllocationLimit(4);

    auto photo = FormImageElement::initWithTitle("Photo", Image(filled(10, 10, Qt::red)));
    photo->setImageMaxLength(600);
    EXPECT_TRUE(photo->takeImageFromFile(big));
    EXPECT_EQ(photo->imageValue().image().size(), QSize(600, 400));

    // Without a limit of its own the photo is read whole, which the reader refuses.
    auto whole = FormImageElement::initWithTitle("Photo", Image(filled(10, 10, Qt::red)));
    EXPECT_FALSE(whole->takeImageFromFile(big));
    EXPECT_EQ(whole->imageValue().image().size(), QSize(10, 10));
    EXPECT_FALSE(whole->takeImageFromFile(garbage));
    EXPECT_FALSE(whole->takeImageFromFile(folder.filePath("absent.png")));
    EXPECT_EQ(whole->imageValue().image().size(), QSize(10, 10));
    QImageReader::setAllocationLimit(limit);
    settle();
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 3);
    EXPECT_EQ(alerts[0]->title(), "Error");
    EXPECT_TRUE(alerts[0]->message().contains("big.jpg"));
    EXPECT_TRUE(alerts[1]->message().contains("garbage.jpg"));
    EXPECT_TRUE(alerts[2]->message().contains("absent.png"));
}

TEST_F(RareRowValues, ACountdownIsItsTicksFromNowAndIgnoresDates)
{
    auto timer = std::make_shared<FormCountdownElement>();
    EXPECT_EQ(timer->ticksValue().toDouble(), 0.0);
    timer->setTicksValue(90);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QDateTime date = timer->dateValue();
    const QDateTime after = QDateTime::currentDateTimeUtc();
    EXPECT_GE(date, before.addSecs(90));
    EXPECT_LE(date, after.addSecs(90));
    LogCapture log;
    timer->setDateValue(QDateTime::currentDateTimeUtc().addDays(3));
    timer->setTicksValue(QVariant());
    EXPECT_EQ(timer->ticksValue().toDouble(), 90.0);
    EXPECT_EQ(log.lines(), QStringList { "Don't set the date on the FormCountdownElement" });
    EXPECT_LE(timer->dateValue(), QDateTime::currentDateTimeUtc().addSecs(91));
}

TEST_F(RareRowScreen, AProgressSetBeforeItsRowIsShownIsWhatTheBarShows)
{
    auto progress = std::make_shared<FormProgressElement>();
    progress->setProgress(0.4f);
    auto root = std::make_shared<FormRootElement>();
    auto section = std::make_shared<FormSection>();
    section->addElement(progress);
    root->addSection(section);
    open(root, "phone");
    auto* cell = qobject_cast<FormProgressTableViewCell*>(cellOf(progress.get()));
    ASSERT_NE(cell, nullptr);
    EXPECT_FLOAT_EQ(cell->bar()->progress(), 0.4f);
    EXPECT_EQ(progress->bar(), cell->bar());
}

TEST_F(RareRowScreen, ATextRowsColourComesFromItsDescriptionOrABindingAndColoursItsText)
{
    const char* const form = R"({"sections": [{"elements": [
        {"type": "FormTextElement", "key": "hex", "text": "Red words here", "color": "#FF0000"},
        {"type": "FormTextElement", "key": "braces", "text": "Blue words", "color": "{0, 0, 1, 1}"},
        {"type": "FormTextElement", "key": "grey", "text": "Grey words", "color": "{0.5, 1}"},
        {"type": "FormTextElement", "key": "bound", "text": "Green words", "bind": "color:tint"},
        {"type": "FormTextElement", "key": "plain", "text": "Black words"}]}]})";
    auto root = FormRootElement::initWithJSON(
        QJsonDocument::fromJson(form).toVariant(), QVariantMap { { "tint", "00ff00" } });
    auto colour = [&](const char* key) {
        return qobject_cast<FormTextElement*>(root->elementWithKey(QString::fromLatin1(key)))
            ->color();
    };
    EXPECT_EQ(colour("hex"), Color::colorWithRed(1, 0, 0));
    EXPECT_EQ(colour("braces"), Color::colorWithRed(0, 0, 1));
    EXPECT_EQ(colour("grey"), Color::colorWithWhite(0.5));
    EXPECT_EQ(colour("bound"), Color::colorWithRed(0, 1, 0));
    EXPECT_EQ(colour("plain"), Color::blackColor());
    // Read back as a property, it is the colour itself.
    auto* bound = qobject_cast<FormTextElement*>(root->elementWithKey("bound"));
    EXPECT_EQ(platform::KeyValueCoding::valueForKey(bound, "color").value<Color>(),
        Color::colorWithRed(0, 1, 0));

    // The cells draw their text in it.
    open(root, "phone");
    for (const char* key : { "hex", "bound" }) {
        SCOPED_TRACE(key);
        TableViewCell* cell = cellOf(root->elementWithKey(QString::fromLatin1(key)));
        ASSERT_NE(cell, nullptr);
        Label* text = cell->detailTextLabel();
        EXPECT_EQ(text->textColor(), colour(key).toQColor());
        const QImage shot = text->snapshot();
        int inked = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor pixel = shot.pixelColor(x, y);
                const int own = key[0] == 'h' ? pixel.red() : pixel.green();
                const int other = key[0] == 'h' ? pixel.green() : pixel.red();
                inked += own > 180 && other < 90 && pixel.blue() < 90;
            }
        EXPECT_GT(inked, 10) << "text pixels in the colour";
    }

    // A null sets black again; a text that is no colour raises and changes nothing.
    bound->bindToObject(QVariantMap { { "tint", platform::KeyValueCoding::nullObject() } });
    EXPECT_EQ(bound->color(), Color::blackColor());
    bound->bindToObject(QVariantMap { { "tint", "{0, 1, 0, 1}" } });
    for (const QVariant& bad : { QVariant("green"), QVariant("#12345"), QVariant("{1, 2, 3}"),
             QVariant(42), QVariant(QVariantMap { { "red", 1 } }) }) {
        SCOPED_TRACE(bad.toString().toStdString());
        EXPECT_THROW(bound->bindToObject(QVariantMap { { "tint", bad } }), platform::Exception);
        EXPECT_EQ(bound->color(), Color::colorWithRed(0, 1, 0));
    }
}

} // namespace
