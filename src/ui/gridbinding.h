#pragma once
// Binds a grid (QTableView) to a data source's model: the grid follows the current row, and a
// click or a keyboard move in the grid makes that row current.

#include <functional>

class QTableView;

namespace store { class GridModel; }

namespace ui {

// onPicked runs after the user made a row current (click, arrow keys), not after moves in code.
void bindGrid(QTableView *view, store::GridModel *model, std::function<void()> onPicked = {});

} // namespace ui
