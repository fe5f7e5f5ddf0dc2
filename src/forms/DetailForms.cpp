#include "forms/DetailForms.h"

#include "forms/DatabaseDetailViewController.h"
#include "forms/DirectoryDetailViewController.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormRootElement.h"
#include "forms/GenericTemplateDetailViewController.h"
#include "forms/ResponseRowDetailViewController.h"
#include "forms/RowDetailViewController.h"
#include "grid/DetailFormRegistry.h"

namespace {

// The form's root may be built on any thread; its screen only on the main thread.
template<class Form> void registerForm()
{
    FormClassRegistry::registerClass<Form>();
    DetailFormRegistry::FormClass entry;
    entry.createForm
        = [](const QString&) -> std::shared_ptr<QObject> { return Form::createForm(); };
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
    registerForm<DirectoryDetailViewController>();
    FormClassRegistry::registerClass<ResponseRowDetailViewController>();
}
