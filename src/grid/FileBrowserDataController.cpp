#include "grid/FileBrowserDataController.h"

#include "grid/KivoPreviewController.h"

#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/ContainsPredicate.h"
#include "grid/FileBrowserScreenProtocol.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/ViewController.h"
#include "utilities/shell/FileBrowserProtocol.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/FileManager.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

const QString FileBrowserDataController::FolderImage = QStringLiteral("adbuiltin");
const QString FileBrowserDataController::FileImage = QStringLiteral("workitems");

namespace {

using platform::ui::ViewController;

// One name inside its folder: no separator, not "." or "..".
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QVariantList rowsOf(const QList<std::shared_ptr<FileInfo>>& entries)
{
    QVariantList rows;
    rows.reserve(entries.size());
    for (const auto& entry : entries)
        rows.append(RowObject::fromRecord(entry));
    return rows;
}

// Calls the object's dismissPopup, when it has one (a slot or an invokable method).
bool dismissPopupOf(QObject* object)
{
    if (!object || object->metaObject()->indexOfMethod("dismissPopup()") < 0)
        return false;
    return QMetaObject::invokeMethod(object, "dismissPopup", Qt::DirectConnection);
}

// Pops the browser's stack back to the screen when the screen is on it; otherwise closes
// the popup the screen shows the browser in.
void closeBack(ViewController* browser, ViewController* screen)
{
    platform::ui::NavigationController* navigation
        = browser ? browser->navigationController() : nullptr;
    if (navigation && screen && navigation->viewControllers().contains(screen))
        navigation->popToViewController(screen, true);
    else
        dismissPopupOf(screen);
}

} // namespace

std::shared_ptr<FileInfo> FileBrowserDataController::entryAt(qint64 index) const
{
    return RowObject::record<FileInfo>(getRowData(index));
}

std::shared_ptr<FileInfo> FileBrowserDataController::shownFolder() const
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto link = grid ? grid->parentLink() : nullptr;
    if (auto folder = link ? RowObject::record<FileInfo>(link->data) : nullptr)
        return folder;
    return startFolder();
}

std::shared_ptr<FileInfo> FileBrowserDataController::rootFolder() const
{
    return FileManager::getHomeDirectory();
}

QList<std::shared_ptr<FileInfo>> FileBrowserDataController::entriesOf(
    const std::shared_ptr<FileInfo>& folder) const
{
    return FileManager::getChilds(folder);
}

std::shared_ptr<FileInfo> FileBrowserDataController::startFolder() const
{
    auto folder = rootFolder();
    if (!folder)
        return nullptr;
    FileBrowserScreenProtocol* here = browser();
    const QString wanted = here ? here->startupDir() : QString();
    if (wanted.isEmpty())
        return folder;
    const QString documents = QFileInfo(folder->fullName).canonicalFilePath();
    const auto inside = [&documents](const QString& path) {
        const QString resolved = QFileInfo(path).canonicalFilePath();
        return !documents.isEmpty() && !resolved.isEmpty()
            && (resolved == documents || resolved.startsWith(documents + QLatin1Char('/')));
    };
    // A full path inside Documents, or else a path taken from Documents.
    QString relative = wanted;
    if (QDir::isAbsolutePath(wanted) && inside(wanted))
        relative = QDir(documents).relativeFilePath(QFileInfo(wanted).canonicalFilePath());
    auto start = folder;
    for (const QString& name : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (name == QLatin1String("."))
            continue;
        if (!isPlainName(name))
            return folder;
        auto child = std::make_shared<FileInfo>();
        child->name = name;
        child->isDir = true;
        child->parent = start;
        child->fullName = QDir(start->fullName).filePath(name);
        start = child;
    }
    // Missing, not a folder, or through a link out of Documents: Documents itself.
    if (!QFileInfo(start->fullName).isDir() || !inside(start->fullName))
        return folder;
    return start;
}

FileBrowserScreenProtocol* FileBrowserDataController::browser() const
{
    return dynamic_cast<FileBrowserScreenProtocol*>(viewController());
}

void FileBrowserDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    auto folder = parent ? RowObject::record<FileInfo>(parent->data) : nullptr;
    if (!folder)
        folder = startFolder();
    setRows(folder ? rowsOf(entriesOf(folder)) : QVariantList());
}

std::shared_ptr<GridData> FileBrowserDataController::getGridData(qint64 index)
{
    const auto entry = entryAt(index);
    if (!entry)
        return nullptr;
    auto item = std::make_shared<GridData>(getRowData(index));
    item->Menu = entry->name;
    item->Image = getDynamicImage(index);
    return item;
}

QString FileBrowserDataController::getDynamicImage(qint64 index)
{
    const auto entry = entryAt(index);
    return entry && entry->isDir ? FolderImage : FileImage;
}

QList<double> FileBrowserDataController::columnWidths() const
{
    return { NameColumnWidth };
}

QStringList FileBrowserDataController::columnHeaders() const
{
    return { LocalizedStrings::Name() };
}

QStringList FileBrowserDataController::columnValues(qint64 index)
{
    const auto entry = entryAt(index);
    return { entry ? entry->name : QString() };
}

void FileBrowserDataController::searchData(const QString& text)
{
    filterRows(text, [predicate = ContainsPredicate(text)](const QVariant& row) {
        const auto entry = RowObject::record<FileInfo>(row);
        return entry && predicate.evaluate(entry->name);
    });
}

void FileBrowserDataController::addRow()
{
    auto entry = std::make_shared<FileInfo>();
    entry->name = QString(QLatin1String(""));
    entry->parent = shownFolder();
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromRecord(entry));
}

bool FileBrowserDataController::saveRow(const QVariant& row)
{
    return saveRow(row, nullptr);
}

bool FileBrowserDataController::saveRow(const QVariant& row, QObject* form)
{
    const auto entry = RowObject::record<FileInfo>(row);
    if (!entry)
        return false;
    if (entry->name.isEmpty() || !isPlainName(entry->name)) {
        MessageHelper::ShowMessage(LocalizedStrings::InvalidDirectory(), platform::Error());
        return false;
    }
    if (!entry->parent)
        entry->parent = shownFolder();
    if (!entry->parent || !FileManager::createDirectory(*entry))
        return false;
    MessageHelper::ShowMessage(LocalizedStrings::FolderCreated(), platform::Error());
    if (form && form->metaObject()->indexOfMethod("afterSave()") >= 0)
        QMetaObject::invokeMethod(form, "afterSave", Qt::DirectConnection);
    return true;
}

bool FileBrowserDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto entry = grid ? entryAt(grid->selectedRow()) : nullptr;
    if (!entry)
        return false;
    FileManager::removeFileInfo(*entry);
    return true;
}

void FileBrowserDataController::tapOnDisclosure(qint64)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto entry = grid ? entryAt(grid->selectedRow()) : nullptr;
    if (!entry)
        return;
    if (!entry->isDir) {
        // A browser opened to choose a file ends with it; one opened to look shows it.
        FileBrowserScreenProtocol* here = browser();
        if (here && here->fileBrowserDelegate())
            closeFileBrowse(entry);
        else
            KivoPreviewController::createPreviewController(
                QUrl::fromLocalFile(entry->fullName), grid->gridViewController());
        return;
    }
    ViewController* screen = grid->gridViewController();
    FileBrowserScreenProtocol* here = browser();
    platform::ui::NavigationController* navigation
        = screen ? screen->navigationController() : nullptr;
    if (!navigation)
        return;
    ViewController* next = platform::ui::Storyboard::main().instantiateViewControllerWithIdentifier(
        FileBrowserScreenProtocol::StoryboardIdentifier);
    auto* level = dynamic_cast<FileBrowserScreenProtocol*>(next);
    if (!level) {
        delete next;
        return;
    }
    next->setTitle(entry->name);
    const auto link = grid->createParent();
    link->data = RowObject::fromRecord(entry);
    level->setParentLink(link);
    // The level is titled after its folder, not after the browser's record.
    auto record = BridgeScreenFactory::GetScreen(BridgeScreenFactory::FileBrowser, link);
    record->title = entry->name;
    level->setScreen(record);
    if (here) {
        level->setSaveDialog(here->saveDialog());
        level->setFileBrowserDelegate(here->fileBrowserDelegate());
        level->setDefaultFileName(here->fileName());
    }
    navigation->pushViewController(next, true);
}

void FileBrowserDataController::saveTouched(platform::ui::Control*)
{
    FileBrowserScreenProtocol* here = browser();
    const QString name = here ? here->fileName() : QString();
    if (!isPlainName(name)) {
        MessageHelper::ShowMessage(LocalizedStrings::InvalidFileName(), platform::Error());
        return;
    }
    auto entry = std::make_shared<FileInfo>();
    entry->name = name;
    entry->parent = shownFolder();
    // Without a folder (the cloud's could not be made) the name alone goes to the delegate,
    // whose save then says why it failed.
    entry->fullName = entry->parent ? QDir(entry->parent->fullName).filePath(name) : name;
    closeFileBrowse(entry);
}

FileBrowserProtocol* FileBrowserDataController::closeBrowser()
{
    FileBrowserScreenProtocol* here = browser();
    ViewController* screen = viewController();
    FileBrowserProtocol* delegate = here ? here->fileBrowserDelegate() : nullptr;
    if (!delegate)
        return nullptr;
    if (auto* opener = dynamic_cast<ViewController*>(delegate)) {
        closeBack(screen, opener);
    } else if (auto* controller = dynamic_cast<BaseDataController*>(delegate)) {
        closeBack(screen, controller->viewController());
    } else if (delegate->respondsToDismissPopupSender()) {
        delegate->dismissPopup(screen);
    } else if (delegate->respondsToDismissPopup()) {
        delegate->dismissPopup();
    }
    return delegate;
}

void FileBrowserDataController::closeFileBrowse(const std::shared_ptr<FileInfo>& entry)
{
    ViewController* screen = viewController();
    if (FileBrowserProtocol* delegate = closeBrowser())
        delegate->fileBrowseCompleted(entry, screen);
}

void FileBrowserDataController::cancelFileBrowse()
{
    closeBrowser();
}
