#pragma once

namespace platform::ui {

// What editing offers on a row of a table view.
enum class TableViewCellEditingStyle { None = 0, Delete = 1 };

} // namespace platform::ui
