#include "BridgeReplyFuzzHarness.h"

#include "bridge/BridgeWireFormat.h"
#include "grid/ColumnsRowViewController.h"
#include "grid/MatrixResponse.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/ServerTableCsv.h"
#include "grid/TableDataController.h"

#include <QByteArray>
#include <QString>

void readBridgeReplyFuzzInput(const uint8_t* data, size_t size)
{
    const QByteArray body
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QString failure;
    const std::shared_ptr<MatrixResponse> reply
        = BridgeWireFormat::parseMatrixReply(body, &failure);
    if (!reply)
        return;
    ServerTableCsv::text(ServerTableCsv::snapshot(*reply));
    // Matches numbers in their exponent form and texts alike.
    const auto search = TableDataController::getTableSearchBlock(QStringLiteral("1E"));
    TableDataController controller;
    for (const std::shared_ptr<ResponseTable>& table : reply->Tables) {
        controller.setTable(table);
        ColumnsRowViewController::getColumnWidths(&controller);
        // A tile is titled by its key column; the column view takes a row's values by name.
        const QString key = table->Columns.isEmpty() ? QString() : table->Columns.first().Name;
        for (const std::shared_ptr<ResponseRow>& row : table->Rows) {
            ServerTableCsv::valueText(row->GetColumnValue(key, table->Columns));
            row->ToDictionary(table->Columns);
            search(RowObject::fromRecord(row));
        }
    }
}
