#pragma once
// Binds a grid (QTableView) to a data source's model: the grid follows the current row, and a
// click or a keyboard move in the grid makes that row current.

#include <functional>

class QTableView;

namespace store { class GridModel; }

namespace ui {

// onPicked runs after the user made a row current (click, arrow keys), not after moves in code.
// The grid is one stop in the Tab order; the arrow keys move within it.
void bindGrid(QTableView *view, store::GridModel *model, std::function<void()> onPicked = {});

// A picker's grid: Enter on a row or a double click on it confirms the choice, as the confirm
// button does.
void confirmOnActivation(QTableView *view, std::function<void()> confirm);

} // namespace ui
