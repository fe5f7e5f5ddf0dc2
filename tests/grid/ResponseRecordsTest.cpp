#include "grid/BridgeResponse.h"
#include "grid/MatrixResponse.h"
#include "grid/ResponseTable.h"

#include <gtest/gtest.h>

namespace {

// Columns whose order differs from their position in the list, as the server sends them.
QList<ResponseColumn> columns()
{
    return { ResponseColumn { "Size", "File size", 8, 2, "N" },
        ResponseColumn { "Name", "File name", 20, 0, "N" },
        ResponseColumn { "QDGUDPIcon", "", 0, 1, "N" } };
}

ResponseRow row()
{
    ResponseRow made;
    made.Columns = { ResponseRowColumn { 0, "report.pdf" }, ResponseRowColumn { 2, 2048 },
        ResponseRowColumn { 7, "orphan" } };
    return made;
}

} // namespace

TEST(ResponseRecords, AColumnValueIsFoundThroughTheColumnsOrder)
{
    EXPECT_EQ(row().GetColumnValue("Name", columns()).toString(), "report.pdf");
    EXPECT_EQ(row().GetColumnValue("Size", columns()).toInt(), 2048);
    // A column without a cell, an unknown column, no columns at all.
    EXPECT_FALSE(row().GetColumnValue("QDGUDPIcon", columns()).isValid());
    EXPECT_FALSE(row().GetColumnValue("Owner", columns()).isValid());
    EXPECT_FALSE(row().GetColumnValue("Name", {}).isValid());
}

TEST(ResponseRecords, ToDictionaryKeysEveryCellThatHasAColumnByName)
{
    const QVariantMap values = row().ToDictionary(columns());
    EXPECT_EQ(values, (QVariantMap { { "Name", "report.pdf" }, { "Size", 2048 } }));
    EXPECT_TRUE(ResponseRow().ToDictionary(columns()).isEmpty());
}

TEST(ResponseRecords, ColumnForHeaderNamesTheFirstColumnWithThatHeader)
{
    ResponseTable table;
    table.Columns = columns();
    table.Columns.append(ResponseColumn { "Other", "File name", 5, 3, "Y" });
    EXPECT_EQ(table.columnForHeader("File name"), "Name");
    EXPECT_TRUE(table.columnForHeader("Missing").isNull());
    EXPECT_TRUE(table.Columns[2].isImageColumn());
    EXPECT_FALSE(table.Columns[0].isImageColumn());
}

TEST(ResponseRecords, AMatrixReplyIsASingleReplyWithTables)
{
    auto matrix = std::make_shared<MatrixResponse>();
    matrix->Success = true;
    matrix->Id = "result-7";
    matrix->Tables.append(std::make_shared<ResponseTable>());
    std::shared_ptr<SingleResponse> single = matrix;
    EXPECT_EQ(std::dynamic_pointer_cast<MatrixResponse>(single)->Tables.size(), 1);

    BridgeResponse response;
    EXPECT_TRUE(response.error.isNull());
    response.matrixResponse = matrix;
    EXPECT_EQ(response.matrixResponse->Id, "result-7");
}
