#include "screens/DownloadTemplateRowViewController.h"

#include "grid/BaseDataController.h"
#include "grid/CollectionViewController.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "model/DefaultContent.h"
#include "model/DefinitionCheck.h"
#include "model/Template.h"
#include "platform/ui/View.h"
#include "screens/DownloadTemplateDataController.h"
#include "style/Theme.h"
#include "style/ThemeButton.h"
#include "utilities/shell/AlertViewHelper.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MetroImageView.h"
#include "widgets/MetroLabel.h"
#include "widgets/MetroSubLabel.h"
#include "widgets/UIImage_Theme.h"

const QString DownloadTemplateRowViewController::UnknownImage = QStringLiteral("unknown");
const QString DownloadTemplateRowViewController::EntryGone
    = QStringLiteral("The table definition is no longer in the catalogue.");

namespace {

const QString kId = QStringLiteral("id");
const QString kName = QStringLiteral("name");
const QString kDescr = QStringLiteral("descr");
const QString kImage = QStringLiteral("image");
// The property of a Download button that names its entry.
const char* const kEntryId = "entryId";

} // namespace

DownloadTemplateRowViewController::DownloadTemplateRowViewController() = default;

DownloadTemplateRowViewController::~DownloadTemplateRowViewController() = default;

DownloadTemplateDataController* DownloadTemplateRowViewController::catalogue() const
{
    CollectionViewController* grid = gridViewController();
    return grid ? dynamic_cast<DownloadTemplateDataController*>(grid->dataController().get())
                : nullptr;
}

QSizeF DownloadTemplateRowViewController::getRowSize()
{
    const double width = contentWidth();
    if (DeviceHelper::isIPHONE())
        return QSizeF(width - 20, RowHeight);
    return QSizeF((width - 45) / 2, RowHeight);
}

void DownloadTemplateRowViewController::createRow(
    platform::ui::View* contentView, qint64 index, const QSizeF& cellSize)
{
    if (!contentView)
        return;
    for (platform::ui::View* view : contentView->subviews()) {
        view->removeFromSuperview();
        view->deleteLater();
    }
    const QVariantMap entry = gridDataAt(index).Data.toMap();
    const double width = getRowSize().width();

    // The catalogue is not ours: a name that would reach outside the bundled images, as a
    // path does, shows as none, as it would be refused on download.
    const QString imageName = entry.value(kImage).toString();
    const bool plain = !imageName.isEmpty() && DefinitionCheck::isPlainImageName(imageName);
    auto* image = new MetroImageView(QRectF(0, 0, IconSize, IconSize));
    setThemedIcon(image, UIImage_Theme::themedimageNamed(plain ? imageName : UnknownImage));
    contentView->addSubview(image);

    auto* name = new MetroLabel(QRectF(50, 0, width - 50, 25));
    name->setText(entry.value(kName).toString());
    contentView->addSubview(name);
    auto* descr = new MetroSubLabel(QRectF(50, 25, width - 50, 25));
    descr->setText(entry.value(kDescr).toString());
    contentView->addSubview(descr);

    auto* download = new ThemeButton(QRectF(cellSize.width() - 100, 50, 100, 30));
    download->setTag(int(index));
    download->setProperty(kEntryId, entry.value(kId).toString());
    download->setTitle(LocalizedStrings::Download());
    download->addTarget(
        [this](platform::ui::Control* sender) {
            buttonDownloadClicked(sender->property(kEntryId).toString());
        },
        platform::ui::ControlEventTouchUpInside);
    contentView->addSubview(download);

    if (Theme* style = Theme::current()) {
        const QColor back = style->MetroRowBackColor().toQColor();
        if (contentView->backgroundColor() != back)
            contentView->setBackgroundColor(back);
    }
}

void DownloadTemplateRowViewController::buttonDownloadClicked(const QString& entryId)
{
    try {
        DownloadTemplateDataController* controller = catalogue();
        if (!controller || controller->entryWithId(entryId).isEmpty())
            return;
        if (Template::getTemplate(entryId)) {
            m_confirmingId = entryId;
            AlertViewHelper::showAlertWithTitle(LocalizedStrings::Confirmation(),
                LocalizedStrings::TemplateAlreadyExistsOverwrite(), this, OverwriteTag);
            return;
        }
        saveTemplate(entryId);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void DownloadTemplateRowViewController::alertViewDidDismissWithButtonIndex(
    platform::ui::AlertView* alert, int buttonIndex)
{
    if (!alert || alert->tag() != OverwriteTag)
        return;
    const QString entryId = std::exchange(m_confirmingId, QString());
    if (buttonIndex == 1)
        saveTemplate(entryId);
}

bool DownloadTemplateRowViewController::saveTemplate(const QString& entryId)
{
    try {
        DownloadTemplateDataController* controller = catalogue();
        const QVariantMap entry = controller ? controller->entryWithId(entryId) : QVariantMap();
        if (entry.isEmpty()) {
            MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(EntryGone), true);
            return false;
        }
        const QVariantMap definition = DefinitionCheck::downloadable(entry);
        QString reason = DefinitionCheck::downloadProblemOf(definition);
        if (!reason.isEmpty()
            || !DefaultContent::storeTemplate(
                definition, DefinitionCheck::Source::Download, &reason)) {
            MessageHelper::ShowMessage(reason, true);
            return false;
        }
        MessageHelper::ShowMessage(LocalizedStrings::DownloadCompleted(), false);
        CollectionViewController* grid = gridViewController();
        const auto link = grid ? grid->parentLink() : nullptr;
        if (const auto definitions = link ? link->dataController.lock() : nullptr) {
            if (auto* table = dynamic_cast<TableDataController*>(definitions.get()))
                table->refreshView();
        }
        return true;
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        return false;
    }
}
