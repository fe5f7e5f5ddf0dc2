#pragma once

#include "forms/QuickDetailViewController.h"

#include <QList>

#include <memory>

class ResponseColumn;
class ResponseRow;

// The read-only display of one row of a desktop-server table: each visible column's header
// and value, on one line when they fit beside each other, else a caption row over a
// wrapping text row. Image columns and hidden columns are left out; a column without a
// value in the row shows an empty value.
class ResponseRowDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ResponseRowDetailViewController(QObject* parent = nullptr);
    ~ResponseRowDetailViewController() override;

    // What a line leaves of the opening screen's width.
    static constexpr double LineMargin = 60;

    // The form's root (titled "Detail" when no title is given), measured against the
    // opening screen's width and style.
    static std::shared_ptr<FormRootElement> createResponseRowDetailWithTitle(const QString& title,
        const QList<ResponseColumn>& columns, const ResponseRow& row,
        BaseViewController* parentController);

    // The row opened by name: a server row (or a grid item holding one) of the calling
    // screen's table, laid out as the class method does.
    void loadData(const QVariant& record) override;
    // The root a screen opens by name, filled when the row is loaded.
    static std::shared_ptr<FormRootElement> createFormWithTitle(const QString& title);
};
