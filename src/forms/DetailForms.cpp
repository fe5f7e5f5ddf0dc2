#include "forms/DetailForms.h"

#include "forms/ColorDetailViewController.h"
#include "forms/DatabaseDetailViewController.h"
#include "forms/DirectoryDetailViewController.h"
#include "forms/FilterDetailViewController.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormRootElement.h"
#include "forms/GenericFilterDetailViewController.h"
#include "forms/GenericSortDetailViewController.h"
#include "forms/GenericTemplateDetailViewController.h"
#include "forms/OrderingDetailViewController.h"
#include "forms/ResponseRowDetailViewController.h"
#include "forms/RowDetailViewController.h"
#include "forms/SearchColumnSelectorDetailViewController.h"
#include "forms/SortDetailViewController.h"
#include "forms/TemplateColumnDetailViewController.h"
#include "forms/TemplateDetailViewController.h"
#include "grid/DetailFormRegistry.h"

namespace {

// The form's root may be built on any thread; its screen only on the main thread.
using RootMaker = std::shared_ptr<FormRootElement> (*)(const QString& title);

template<class Form> std::shared_ptr<FormRootElement> plainRoot(const QString&)
{
    return Form::createForm();
}

template<class Form> void registerForm(RootMaker rootFor = &plainRoot<Form>)
{
    FormClassRegistry::registerClass<Form>();
    DetailFormRegistry::FormClass entry;
    entry.createForm
        = [rootFor](const QString& title) -> std::shared_ptr<QObject> { return rootFor(title); };
    entry.controllerForRoot = [](const std::shared_ptr<QObject>& root) -> BaseViewController* {
        auto form = std::dynamic_pointer_cast<FormRootElement>(root);
        return form ? FormController::controllerForRoot(form) : nullptr;
    };
    DetailFormRegistry::registerForm(
        QString::fromLatin1(Form::staticMetaObject.className()), std::move(entry));
}

} // namespace

void DetailForms::registerAll()
{
    registerForm<GenericTemplateDetailViewController>();
    registerForm<DatabaseDetailViewController>();
    registerForm<RowDetailViewController>();
    registerForm<ResponseRowDetailViewController>(
        &ResponseRowDetailViewController::createFormWithTitle);
    registerForm<DirectoryDetailViewController>();
    registerForm<TemplateDetailViewController>();
    registerForm<TemplateColumnDetailViewController>();
    registerForm<ColorDetailViewController>();
    registerForm<GenericFilterDetailViewController>();
    registerForm<GenericSortDetailViewController>();
    registerForm<SearchColumnSelectorDetailViewController>();
    registerForm<OrderingDetailViewController>();
    registerForm<FilterDetailViewController>();
    registerForm<SortDetailViewController>();
}
