#include "grid/FileBrowserViewController.h"

#include "grid/BaseDataController.h"
#include "grid/FileBrowserDataController.h"
#include "grid/ScreenData.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/FileBrowserProtocol.h"

#include <algorithm>
#include <cmath>

namespace {

// The folder's name in small type over the file-name field, both centred in the room the
// navigation bar gives.
class FolderTitleView : public platform::ui::View {
public:
    FolderTitleView(platform::ui::TextField* field, QWidget* parent)
        : View(QRectF(), parent)
        , m_field(field)
    {
        m_name = new platform::ui::Label(this);
        m_name->setFont(platform::ui::Font::system(11));
        m_name->setTextAlignment(Qt::AlignCenter);
        addSubview(field);
    }

    platform::ui::Label* name() const { return m_name; }
    void setFieldWidth(double width) { m_fieldWidth = width; }

    // The whole height of the bar: the name clear of a popup's border along the top, the
    // field below it down to the bar's edge.
    void layoutSubviews() override
    {
        const QRectF b = bounds();
        const double top = FileBrowserViewController::FolderNameTop;
        const double caption = FileBrowserViewController::FolderNameHeight;
        m_name->setFrame(QRectF(0, top, b.width(), caption));
        if (m_field) {
            const double width = std::min(b.width(), m_fieldWidth);
            const double y = top + caption;
            m_field->setFrame(QRectF((b.width() - width) / 2, y, width,
                std::clamp(b.height() - y - 1, 0.0, FileBrowserViewController::FileNameHeight)));
        }
    }

private:
    platform::ui::Label* m_name = nullptr;
    QPointer<platform::ui::TextField> m_field;
    double m_fieldWidth = FileBrowserViewController::FileNameWidth;
};

} // namespace

FileBrowserViewController::FileBrowserViewController(QObject* parent)
    : MainCollectionViewController(parent)
{
}

FileBrowserViewController::~FileBrowserViewController()
{
    if (m_fileName)
        m_fileName->setDelegate(nullptr);
}

void FileBrowserViewController::registerStoryboard(platform::ui::Storyboard& storyboard)
{
    storyboard.registerController(FileBrowserScreenProtocol::StoryboardIdentifier,
        [] { return new FileBrowserViewController(); });
}

void FileBrowserViewController::setSaveDialog(bool save)
{
    m_saveDialog = save;
    showFileNameField();
}

void FileBrowserViewController::setDefaultFileName(const QString& name)
{
    m_defaultFileName = name;
    // A browser shown again must not offer the name typed for the previous save, which
    // could overwrite that file.
    if (m_fileName) {
        m_fileName->setText(name);
        showFileNameField();
    }
}

QString FileBrowserViewController::fileName() const
{
    return m_fileName ? m_fileName->text() : m_defaultFileName;
}

FileBrowserProtocol* FileBrowserViewController::fileBrowserDelegate() const
{
    if (m_delegateIsObject && !m_delegateObject)
        return nullptr;
    return m_delegate;
}

void FileBrowserViewController::setFileBrowserDelegate(FileBrowserProtocol* delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject*>(delegate);
    m_delegateIsObject = m_delegateObject != nullptr;
}

void FileBrowserViewController::setParentLink(std::shared_ptr<Parent> link)
{
    BaseViewController::setParentLink(std::move(link));
}

void FileBrowserViewController::setScreen(std::shared_ptr<ScreenData> record)
{
    BaseViewController::setScreen(std::move(record));
}

void FileBrowserViewController::initProperties()
{
    const auto record = screen();
    if (m_saveDialog && record && !record->topButtonBits)
        record->topButtonBits
            = std::make_shared<BitManager>(BitManager::createButtonVector({ SaveButton }));
    MainCollectionViewController::initProperties();
}

void FileBrowserViewController::viewDidLoad()
{
    MainCollectionViewController::viewDidLoad();
    showFileNameField();
}

void FileBrowserViewController::customViewWillAppear()
{
    MainCollectionViewController::customViewWillAppear();
    showCancelItem();
    // Only now is it known whether this level is a folder inside the dialog.
    showFileNameField();
}

bool FileBrowserViewController::isFolderLevel()
{
    // Pushed over another level of the browser (on a phone the first level is pushed too,
    // over the screen that opened it).
    platform::ui::NavigationController* navigation = navigationController();
    const QList<platform::ui::ViewController*> stack
        = navigation ? navigation->viewControllers() : QList<platform::ui::ViewController*>();
    const qsizetype at = stack.indexOf(this);
    return at > 0 && qobject_cast<FileBrowserViewController*>(stack.at(at - 1));
}

platform::ui::Label* FileBrowserViewController::folderNameLabel()
{
    auto* shown = dynamic_cast<FolderTitleView*>(m_folderTitle.data());
    return shown && navigationItem()->titleView() == shown ? shown->name() : nullptr;
}

platform::ui::BarButtonItem* FileBrowserViewController::cancelItem()
{
    return m_cancel && navigationItem()->leftBarButtonItem() == m_cancel ? m_cancel.data()
                                                                         : nullptr;
}

void FileBrowserViewController::showCancelItem()
{
    // Deeper levels and a browser pushed over its opener go back with the back button.
    platform::ui::NavigationController* navigation = navigationController();
    const bool first = navigation && navigation->viewControllers().value(0) == this;
    if (!m_saveDialog || !first) {
        if (cancelItem())
            navigationItem()->setLeftBarButtonItem(nullptr);
        return;
    }
    if (!m_cancel) {
        QPointer<FileBrowserViewController> self(this);
        m_cancel = new platform::ui::BarButtonItem(
            platform::ui::BarButtonItem::SystemItem::Cancel, [self](platform::ui::BarButtonItem*) {
                auto* browser = self
                    ? qobject_cast<FileBrowserDataController*>(self->dataController().get())
                    : nullptr;
                if (browser)
                    browser->cancelFileBrowse();
            });
    }
    if (navigationItem()->leftBarButtonItem() != m_cancel)
        navigationItem()->setLeftBarButtonItem(m_cancel);
}

void FileBrowserViewController::showFileNameField()
{
    if (!isViewLoaded())
        return;
    if (!m_saveDialog) {
        if (m_fileName
            && (navigationItem()->titleView() == m_fileName
                || (m_folderTitle && navigationItem()->titleView() == m_folderTitle)))
            navigationItem()->setTitleView(nullptr);
        return;
    }
    if (!m_fileName) {
        // Kept by the view until the navigation bar takes it.
        m_fileName
            = new platform::ui::TextField(QRectF(0, 0, FileNameWidth, FileNameHeight), view());
        m_fileName->setHidden(true);
        m_fileName->setBorderStyle(platform::ui::TextField::BorderStyle::RoundedRect);
        m_fileName->setBackgroundColor(Qt::white);
        m_fileName->setAdjustsFontSizeToFitWidth(true);
        m_fileName->setMinimumFontSize(FileNameMinimumFontSize);
        m_fileName->setText(m_defaultFileName);
        m_fileName->setDelegate(this);
    }
    // Wide enough for the whole default name (and the cursor after it), where there is room.
    const QRectF probe(0, 0, FileNameWidth, FileNameHeight);
    const double insets = FileNameWidth - m_fileName->textRectForBounds(probe).width();
    const double named = std::ceil(
        platform::ui::Font::measure(m_defaultFileName, m_fileName->font()).width() + insets + 2);
    const double width = std::max(FileNameWidth, named);
    if (!isFolderLevel()) {
        m_fileName->setFrame(QRectF(0, 0, width, FileNameHeight));
        navigationItem()->setTitleView(m_fileName);
        return;
    }
    auto* folder = dynamic_cast<FolderTitleView*>(m_folderTitle.data());
    if (!folder) {
        folder = new FolderTitleView(m_fileName, view());
        folder->setHidden(true);
        m_folderTitle = folder;
    }
    folder->setFieldWidth(width);
    platform::ui::Label* name = folder->name();
    name->setText(title());
    const platform::ui::NavigationBar* bar
        = navigationController() ? navigationController()->navigationBar() : nullptr;
    const QColor colour = bar ? bar->titleTextAttributes().foregroundColor : QColor();
    name->setTextColor(colour.isValid() ? colour : bar ? bar->tintColor() : QColor(Qt::white));
    const double captionWidth
        = std::ceil(platform::ui::Font::measure(title(), name->font()).width());
    folder->setFrame(QRectF(0, 0, std::max(width, captionWidth), FolderTitleHeight));
    if (m_fileName->superview() != folder)
        folder->addSubview(m_fileName);
    folder->layoutIfNeeded();
    navigationItem()->setTitleView(folder);
    // The bar hid the field when it stopped being its title view by itself.
    m_fileName->setHidden(false);
}

bool FileBrowserViewController::textFieldShouldReturn(platform::ui::TextField*)
{
    if (const auto controller = dataController())
        controller->save(nullptr);
    return false;
}
