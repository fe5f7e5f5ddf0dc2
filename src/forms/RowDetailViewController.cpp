#include "forms/RowDetailViewController.h"

#include "forms/DetailExportMenu.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTextElement.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ToolBar.h"
#include "grid/ToolBarAction.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/MutableDictionary.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/DeviceHelper.h"
#include "widgets/UIImage_Theme.h"

#include <QFontMetricsF>
#include <QPointer>

const QString RowDetailViewController::Mask = QString(9, QChar(0x25CF));

namespace {

const QString kRowEmptyImage = QStringLiteral("empty");
const QString kRowLockImage = QStringLiteral("passwordlock");
const QString kRowUnlockImage = QStringLiteral("passwordunlock");

// The toolbar's taps, passed to the form while it lives.
class RowDetailActions : public ToolBarAction {
public:
    explicit RowDetailActions(RowDetailViewController* form)
        : m_form(form)
    {
    }
    void home(platform::ui::Control*) override
    {
        if (m_form)
            m_form->home();
    }
    void share(platform::ui::Control*) override
    {
        if (m_form)
            m_form->share();
    }

private:
    QPointer<RowDetailViewController> m_form;
};

} // namespace

RowDetailViewController::RowDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

RowDetailViewController::~RowDetailViewController() = default;

std::shared_ptr<FormRootElement> RowDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("RowDetailViewController"));
    return form;
}

void RowDetailViewController::initProperties()
{
    m_actions = std::make_shared<RowDetailActions>(this);
    m_rowToolBar = std::make_unique<ToolBar>(m_actions);
    m_rowToolBar->setButtonBits(std::make_shared<BitManager>(
        BitManager::createButtonVector({ quint32(HomeButton), quint32(ShareButton) })));
}

void RowDetailViewController::customViewWillAppear()
{
    QuickDetailViewController::customViewWillAppear();
    if (m_rowToolBar)
        m_rowToolBar->ShowToolBar(this);
}

QSizeF RowDetailViewController::popupContentSize() const
{
    return QSizeF(700, 700);
}

void RowDetailViewController::home()
{
    if (platform::ui::NavigationController* navigation = navigationController())
        navigation->popViewController(true);
}

void RowDetailViewController::share()
{
    if (!m_export)
        m_export = DetailExportMenu::make(this);
    if (m_export)
        m_export->showMenu();
}

QVariant RowDetailViewController::valueForKey(const QString& key) const
{
    const QVariant row = currentRow();
    if (row.canConvert<platform::MutableDictionary>())
        return row.value<platform::MutableDictionary>().value(key);
    return row.toMap().value(key);
}

void RowDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    BaseViewController* screen = callingScreen();
    QString tableName;
    if (screen)
        if (const std::shared_ptr<Parent> link = screen->parentLink())
            if (QObject* table = RowObject::object(link->data))
                tableName = table->property("name").toString();
    form->setGrouped(true);
    form->setTitle(tableName);
    setTitle(tableName);

    auto section = std::make_shared<FormSection>();
    form->addSection(section);
    auto* source = dynamic_cast<RowFormDataController*>(callingDataController());
    if (!source)
        return;
    Theme* style = screen ? screen->currentStyle() : currentStyle();
    const QFontMetricsF metrics(style ? style->DetailRowLabelFont() : QFont());
    const bool phone = DeviceHelper::isIPHONE();
    double room = TabletLineRoom;
    if (phone)
        room = (screen && screen->isViewLoaded() ? screen->view()->bounds().width() : 0)
            - PhoneLineMargin;
    QPointer<RowDetailViewController> self(this);
    auto toggle = [self](FormElement* element) {
        if (self)
            self->lockUnlock(element);
    };
    m_wrapped.clear();
    for (TemplateColumn* column : source->Columns()) {
        if (!column)
            continue;
        const QString key = column->id().toString();
        const QString name = column->name().toString();
        const QString text = column->getStringValue(valueForKey(key));
        const double needed
            = metrics.horizontalAdvance(text) + (phone ? 0 : metrics.horizontalAdvance(name));
        const bool isProtected = TypeConstants::isProtected(column->typeName());
        const bool fits = needed <= room;
        // A protected value stays masked however long it is.
        if (!fits && !isProtected) {
            auto caption = FormLabelElement::initWithTitle(name, QVariant());
            caption->setImage(column->typeImage());
            section->addElement(caption);
            section->addElement(FormTextElement::initWithText(text));
            continue;
        }
        const QString shown = isProtected ? Mask : text;
        std::shared_ptr<FormLabelElement> caption;
        std::shared_ptr<FormLabelElement> line;
        if (phone) {
            caption = FormLabelElement::initWithTitle(name, QVariant());
            caption->setImage(column->typeImage());
            section->addElement(caption);
            line = FormLabelElement::initWithTitle(shown, QVariant());
        } else {
            line = FormLabelElement::initWithTitle(name, shown);
        }
        if (isProtected) {
            line->setKey(key);
            setLockUnlockImage(line.get());
            line->onImageSelected = toggle;
        } else {
            line->setImage(
                phone ? UIImage_Theme::themedimageNamed(kRowEmptyImage) : column->typeImage());
        }
        section->addElement(line);
        if (!isProtected || fits)
            continue;
        // Unlocked, a value too long for one line wraps under its caption as any other
        // does; that caption's lock masks it again.
        auto clearCaption = FormLabelElement::initWithTitle(name, QVariant());
        clearCaption->setImage(UIImage_Theme::themedimageNamed(kRowUnlockImage));
        clearCaption->onImageSelected = toggle;
        clearCaption->setHidden(true);
        auto clearText = FormTextElement::initWithText(text);
        clearText->setHidden(true);
        section->addElement(clearCaption);
        section->addElement(clearText);
        Wrapped wrapped;
        if (caption)
            wrapped.masked << caption.get();
        wrapped.masked << line.get();
        wrapped.clear << clearCaption.get() << clearText.get();
        m_wrapped.insert(line.get(), wrapped);
        m_wrapped.insert(clearCaption.get(), wrapped);
    }
}

void RowDetailViewController::lockUnlock(FormElement* element)
{
    const auto wrapped = m_wrapped.constFind(element);
    if (wrapped != m_wrapped.constEnd()) {
        switchElementsWithAnimation(RowAnimation::None, wrapped->masked + wrapped->clear);
        return;
    }
    auto* line = qobject_cast<FormLabelElement*>(element);
    if (!line)
        return;
    const QString value = valueForKey(line->key()).toString();
    if (DeviceHelper::isIPHONE())
        line->setTitle(line->title() == Mask ? value : Mask);
    else
        line->setValue(line->value().toString() == Mask ? value : Mask);
    setLockUnlockImage(line);
    if (FormTableView* table = formTableView())
        table->reloadCellForElements({ line });
}

void RowDetailViewController::setLockUnlockImage(FormElement* element)
{
    auto* line = qobject_cast<FormLabelElement*>(element);
    if (!line)
        return;
    const QString shown = DeviceHelper::isIPHONE() ? line->title() : line->value().toString();
    line->setImage(
        UIImage_Theme::themedimageNamed(shown == Mask ? kRowLockImage : kRowUnlockImage));
}
