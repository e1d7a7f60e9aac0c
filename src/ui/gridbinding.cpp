#include "ui/gridbinding.h"

#include "store/gridmodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>

namespace ui {

void bindGrid(QTableView *view, store::GridModel *model, std::function<void()> onPicked)
{
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One stop in the Tab order: Tab leaves the grid, the arrow keys move within it. Walking the
    // cells by Tab would change the current row (and a voucher's payee) under the clerk's hands.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setHighlightSections(false);

    auto following = std::make_shared<bool>(false);
    QPointer<QTableView> guardedView(view);
    auto follow = [guardedView, model, following] {
        if (!guardedView)
            return;
        *following = true;
        const QModelIndex current = model->currentIndex();
        if (current.isValid()) {
            guardedView->selectionModel()->setCurrentIndex(
                current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            guardedView->scrollTo(current);
        } else {
            guardedView->selectionModel()->clearSelection();
        }
        *following = false;
    };
    QObject::connect(model, &store::GridModel::currentRowChanged, view, follow);
    QObject::connect(model, &QAbstractItemModel::modelReset, view, follow);
    // The press of a click moves the current row; its release must not hand the row over twice.
    auto moved = std::make_shared<bool>(false);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                     [model, following, moved, onPicked](const QModelIndex &index) {
                         if (*following || !index.isValid())
                             return;
                         model->setCurrentIndex(index);
                         *moved = true;
                         if (onPicked)
                             onPicked();
                     });
    // A click on the row that is already current hands it over again.
    QObject::connect(view, &QAbstractItemView::clicked, view, [model, following, moved, onPicked](const QModelIndex &index) {
        const bool justMoved = *moved;
        *moved = false;
        if (justMoved || *following || !index.isValid())
            return;
        model->setCurrentIndex(index);
        if (onPicked)
            onPicked();
    });
    follow();
}

void confirmOnActivation(QTableView *view, std::function<void()> confirm)
{
    // Enter on the current row, or a double click (the first click has made the row current).
    QObject::connect(view, &QAbstractItemView::activated, view, [confirm](const QModelIndex &index) {
        if (index.isValid() && confirm)
            confirm();
    });
}

} // namespace ui
