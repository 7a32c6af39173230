#include "gui/network_list.h"

#include <QHelpEvent>
#include <QToolTip>
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

// The whole entry also serves as the tool tip and as what a screen reader reads: the view
// cuts an entry that is wider than its column.
QVariant NetworkListModel::data(const QModelIndex& index, int role) const {
    const bool wanted =
        role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole;
    if (!wanted || !index.isValid() || index.row() >= list_.ListCount())
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

bool NetworkListView::isCut(const QModelIndex& index) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegateForIndex(index)->sizeHint(option, index).width() > visualRect(index).width();
}

// The tool tip comes up only for an entry the column cuts; one shown in full needs none.
bool NetworkListView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const QModelIndex index = indexAt(static_cast<QHelpEvent*>(e)->pos());
        if (index.isValid() && !isCut(index)) {
            QToolTip::hideText();
            e->accept();
            return true;
        }
    }
    return QListView::viewportEvent(e);
}

void NetworkListView::fitGrid() {
    const QSize grid(std::max(1, viewport()->width() / 3), fontMetrics().height());
    if (gridSize() != grid)
        setGridSize(grid);
}

}  // namespace sabrota::qt
