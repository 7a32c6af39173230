// SPDX-License-Identifier: MIT
#include "gui/network_list.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "gui/accessibility.h"
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
// cuts an entry that is wider than its column. The reader also hears where the entry stands
// ("4 件中 3 件目"), which it does not say of its own accord.
QVariant NetworkListModel::data(const QModelIndex& index, int role) const {
    const bool wanted = role == Qt::DisplayRole || role == Qt::ToolTipRole ||
                        role == Qt::AccessibleTextRole || role == Qt::AccessibleDescriptionRole;
    if (!wanted || !index.isValid() || index.row() >= list_.ListCount())
        return {};
    if (role == Qt::AccessibleDescriptionRole)
        return QStringLiteral("%1 件中 %2 件目").arg(list_.ListCount()).arg(index.row() + 1);
    return qs(list_.List(index.row()));
}

NetworkListView::NetworkListView(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setUniformItemSizes(true);
    setResizeMode(QListView::Fixed);
    setMovement(QListView::Static);
    announceLater_.setSingleShot(true);
    announceLater_.setInterval(0);
    connect(&announceLater_, &QTimer::timeout, this, [this] { announceCurrent(); });
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

// Qt's list tells a screen reader that its new current entry has the focus, whether the list
// has it or not. Filling the list after 計算 would then move the reader's idea of the focus
// into the list while the focus stays on the button.
void NetworkListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus())
        QListView::currentChanged(current, previous);
    else
        // QListView's own version is the one that announces; skipping it is the point.
        // NOLINTNEXTLINE(bugprone-parent-virtual-call)
        QAbstractItemView::currentChanged(current, previous);
}

// Coming into the list, the reader hears the highlighted entry (the address's own network) and
// its place. The list itself is announced as focused right after this handler; the entry is
// told after that, so that the reader ends on it.
void NetworkListView::focusInEvent(QFocusEvent* e) {
    QListView::focusInEvent(e);
    announceLater_.start();
}

void NetworkListView::announceCurrent() {
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || !accessibilityListening())
        return;
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(current.row());
    sendAccessibilityEvent(focused);
}

void NetworkListView::fitGrid() {
    const QSize grid(std::max(1, viewport()->width() / 3), fontMetrics().height());
    if (gridSize() != grid)
        setGridSize(grid);
}

}  // namespace sabrota::qt
