#include "forms/ResponseRowDetailViewController.h"

#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTextElement.h"
#include "grid/BaseDataController.h"
#include "grid/GridData.h"
#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "platform/ui/View.h"
#include "style/Theme.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFontMetricsF>

namespace {

QString trimmedValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    QString text = value.toString();
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (start < end && blank(text.at(start)))
        ++start;
    while (end > start && blank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

} // namespace

ResponseRowDetailViewController::ResponseRowDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

ResponseRowDetailViewController::~ResponseRowDetailViewController() = default;

std::shared_ptr<FormRootElement> ResponseRowDetailViewController::createResponseRowDetailWithTitle(
    const QString& title, const QList<ResponseColumn>& columns, const ResponseRow& row,
    BaseViewController* parentController)
{
    auto form = std::make_shared<FormRootElement>();
    form->setGrouped(true);
    form->setControllerName(QStringLiteral("ResponseRowDetailViewController"));
    form->setTitle(title.isNull() ? LocalizedStrings::Detail() : title);
    const QVariantMap values = row.ToDictionary(columns);
    Theme* style = parentController ? parentController->currentStyle() : Theme::current();
    const QFontMetricsF metrics(style ? style->DetailRowLabelFont() : QFont());
    const double room = (parentController && parentController->isViewLoaded()
                                ? parentController->view()->bounds().width()
                                : 0)
        - LineMargin;
    auto section = std::make_shared<FormSection>();
    for (const ResponseColumn& column : columns) {
        if (column.isImageColumn() || column.Hide != QLatin1String("N"))
            continue;
        const QString text = trimmedValue(values.value(column.Name));
        if (metrics.horizontalAdvance(column.Header) + metrics.horizontalAdvance(text) > room) {
            section->addElement(FormLabelElement::initWithTitle(column.Header, QString()));
            section->addElement(FormTextElement::initWithText(text));
        } else {
            section->addElement(FormLabelElement::initWithTitle(column.Header, text));
        }
    }
    form->addSection(section);
    return form;
}

std::shared_ptr<FormRootElement> ResponseRowDetailViewController::createFormWithTitle(
    const QString& title)
{
    auto form = std::make_shared<FormRootElement>();
    form->setGrouped(true);
    form->setControllerName(QStringLiteral("ResponseRowDetailViewController"));
    form->setTitle(title.isEmpty() ? LocalizedStrings::Detail() : title);
    return form;
}

void ResponseRowDetailViewController::loadData(const QVariant& record)
{
    std::shared_ptr<ResponseRow> row = RowObject::record<ResponseRow>(record);
    if (!row)
        if (const auto item = RowObject::record<GridData>(record))
            row = RowObject::record<ResponseRow>(item->Data);
    BaseDataController* controller = callingDataController();
    FormRootElement* form = root();
    if (row && form && controller && controller->table()) {
        const auto built = createResponseRowDetailWithTitle(
            form->title(), controller->table()->Columns, *row, callingScreen());
        form->removeAllSections();
        for (const auto& section : built->sections())
            form->addSection(section);
        if (FormTableView* table = formTableView())
            table->reloadData();
    }
    setCurrentRow(record);
}
