#include "gui/network_list.h"

#include <algorithm>

#include "gui/qtext.h"

namespace sabrota::qt {

NetworkListModel::NetworkListModel(ListBox& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
    list_.setObserver(this);
}

NetworkListModel::~NetworkListModel() {
    list_.setObserver(nullptr);
}

int NetworkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.ListCount();
}

QVariant NetworkListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_.ListCount())
        return {};
    return qs(list_.List(index.row()));
}

NetworkListView::NetworkListView(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setUniformItemSizes(true);
    setResizeMode(QListView::Fixed);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
}

void NetworkListView::resizeEvent(QResizeEvent* e) {
    QListView::resizeEvent(e);
    fitGrid();
}

void NetworkListView::fitGrid() {
    const QSize grid(std::max(1, viewport()->width() / 3), fontMetrics().height());
    if (gridSize() != grid)
        setGridSize(grid);
}

}  // namespace sabrota::qt
