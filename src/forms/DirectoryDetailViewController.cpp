#include "forms/DirectoryDetailViewController.h"

#include "forms/FormEntryElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "grid/FileBrowserDataController.h"
#include "grid/RowObject.h"
#include "platform/MutableDictionary.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/text/LocalizedStrings.h"

DirectoryDetailViewController::DirectoryDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

DirectoryDetailViewController::~DirectoryDetailViewController() = default;

std::shared_ptr<FormRootElement> DirectoryDetailViewController::createForm()
{
    return createFormWithTitle(LocalizedStrings::CreateFolder());
}

std::shared_ptr<FormRootElement> DirectoryDetailViewController::createFormWithTitle(
    const QString& title)
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("DirectoryDetailViewController"));
    form->setGrouped(true);
    form->setTitle(title);
    // The name is all there is to type: it takes the keys as the form shows.
    form->setShowKeyboardOnAppear(true);
    auto fields = std::make_shared<FormSection>();
    auto name = FormEntryElement::initWithTitle(LocalizedStrings::Name(), QString(), QString());
    name->setBind(QStringLiteral("textValue:name"));
    fields->addElement(name);
    form->addSection(fields);
    addSaveSection(*form);
    return form;
}

void DirectoryDetailViewController::loadData(const QVariant& record)
{
    m_entry = record;
    const auto entry = RowObject::record<FileInfo>(record);
    // A file entry has no named values of its own for the entry element to bind to.
    platform::MutableDictionary editable;
    editable.setValue(QStringLiteral("name"), entry ? entry->name : QString());
    QuickDetailViewController::loadData(QVariant::fromValue(editable));
}

void DirectoryDetailViewController::Save(const QVariantMap& values, QObject* sender)
{
    const auto entry = RowObject::record<FileInfo>(m_entry);
    auto* browser = qobject_cast<FileBrowserDataController*>(callingDataController());
    if (!entry || !browser)
        return;
    entry->name = values.value(QStringLiteral("name")).toString();
    browser->saveRow(m_entry, sender);
}
