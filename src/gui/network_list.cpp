// SPDX-License-Identifier: MIT
#include "gui/network_list.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
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

int NetworkListView::count() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int NetworkListView::rowsPerColumn() const {
    return std::max(1, viewport()->height() / std::max(1, gridSize().height()));
}

// The scroll bar counts columns.
int NetworkListView::firstColumn() const {
    return horizontalScrollBar()->value();
}

// The whole columns the viewport holds; the sliver of one more that it may show is not counted.
int NetworkListView::columnsShown() const {
    return std::max(1, viewport()->width() / std::max(1, gridSize().width()));
}

// The first and last row with a cell in the viewport, the sliver included.
std::pair<int, int> NetworkListView::rowsInView() const {
    const int perColumn = rowsPerColumn();
    const int first = firstColumn() * perColumn;
    return {first, std::min(count(), first + (columnsShown() + 1) * perColumn) - 1};
}

QRect NetworkListView::cellOf(int row) const {
    const QSize grid = gridSize();
    const int perColumn = rowsPerColumn();
    return {(row / perColumn - firstColumn()) * grid.width(), row % perColumn * grid.height(),
            grid.width(), grid.height()};
}

QRect NetworkListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model() || index.row() >= count())
        return {};
    return cellOf(index.row());
}

QModelIndex NetworkListView::indexAt(const QPoint& p) const {
    const QSize grid = gridSize();
    if (p.x() < 0 || p.y() < 0 || grid.width() <= 0 || grid.height() <= 0 || !model())
        return {};
    const int line = p.y() / grid.height();
    if (line >= rowsPerColumn())
        return {};
    const int row = (firstColumn() + p.x() / grid.width()) * rowsPerColumn() + line;
    return row < count() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

void NetworkListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    executeDelayedItemsLayout();  // the scroll bar's range must know the entries
    if (!index.isValid() || index.row() >= count())
        return;
    const int column = index.row() / rowsPerColumn();
    const int shown = columnsShown();
    int first = firstColumn();
    switch (hint) {
        case EnsureVisible:
            if (column < first)
                first = column;
            else if (column >= first + shown)
                first = column - shown + 1;
            break;
        case PositionAtTop:
            first = column;
            break;
        case PositionAtBottom:
            first = column - shown + 1;
            break;
        case PositionAtCenter:
            first = column - (shown - 1) / 2;
            break;
    }
    horizontalScrollBar()->setValue(first);
}

// Nothing to lay out: the grid places every entry. What is left is the scroll bar's range.
void NetworkListView::doItemsLayout() {
    fitGrid();
    // QListView's own layout walks every row; the grid makes it needless.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::doItemsLayout();
}

void NetworkListView::reset() {
    texts_.clear();
    QListView::reset();
    fitGrid();
}

void NetworkListView::updateGeometries() {
    const int perColumn = rowsPerColumn();
    const int columns = (count() + perColumn - 1) / perColumn;
    const int shown = columnsShown();
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, columns - shown));
    bar->setPageStep(shown);
    bar->setSingleStep(1);
    // QListView's version reads the layout this view does not make.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::updateGeometries();
}

int NetworkListView::horizontalOffset() const {
    return firstColumn() * gridSize().width();
}

int NetworkListView::verticalOffset() const {
    return 0;
}

// The scroll bar moves by columns; the viewport by their width.
void NetworkListView::scrollContentsBy(int dx, int dy) {
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::scrollContentsBy(dx * gridSize().width(), dy);
}

// Up and down go through the entries in order, left and right to the same line of the next
// column, Page Up and Page Down to the top and bottom of the column, Home and End to the ends.
QModelIndex NetworkListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int n = count();
    if (n == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    const int row = current.row();
    const int perColumn = rowsPerColumn();
    const int top = row / perColumn * perColumn;
    const int to = [&] {
        switch (action) {
            case MoveUp:
            case MovePrevious:
                return row - 1;
            case MoveDown:
            case MoveNext:
                return row + 1;
            case MoveLeft:
                return row >= perColumn ? row - perColumn : row;
            case MoveRight:
                return top + perColumn < n ? std::min(row + perColumn, n - 1) : row;
            case MovePageUp:
                return top;
            case MovePageDown:
                return std::min(top + perColumn - 1, n - 1);
            case MoveHome:
                return 0;
            case MoveEnd:
                return n - 1;
        }
        return row;
    }();
    return model()->index(std::clamp(to, 0, n - 1), 0, rootIndex());
}

void NetworkListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QSize grid = gridSize();
    const QRect r = rect.normalized().intersected(viewport()->rect());
    QItemSelection chosen;
    if (!r.isEmpty() && grid.width() > 0 && grid.height() > 0 && model()) {
        const int perColumn = rowsPerColumn();
        const int firstLine = r.top() / grid.height();
        const int lastLine = std::min(r.bottom() / grid.height(), perColumn - 1);
        for (int c = r.left() / grid.width(); c <= r.right() / grid.width(); ++c) {
            const int top = (firstColumn() + c) * perColumn;
            const int from = top + firstLine;
            const int to = std::min(top + lastLine, count() - 1);
            if (from <= to)
                chosen.select(model()->index(from, 0, rootIndex()),
                              model()->index(to, 0, rootIndex()));
        }
    }
    selectionModel()->select(chosen, command);
}

QRegion NetworkListView::visualRegionForSelection(const QItemSelection& selection) const {
    const auto [firstShown, lastShown] = rowsInView();
    QRegion region;
    for (const QItemSelectionRange& range : selection)
        for (int row = std::max(range.top(), firstShown);
             row <= std::min(range.bottom(), lastShown); ++row)
            region += cellOf(row);
    return region;
}

int NetworkListView::textMargin() const {
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

const QStaticText& NetworkListView::textOf(int row) {
    auto found = texts_.constFind(row);
    if (found != texts_.cend())
        return *found;
    if (texts_.size() > 4096)
        texts_.clear();
    QString text = model()->index(row, 0, rootIndex()).data().toString();
    const int room = gridSize().width() - 2 * textMargin();
    if (fontMetrics().horizontalAdvance(text) > room)
        text = fontMetrics().elidedText(text, textElideMode(), room);
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    return *texts_.insert(row, laidOut);
}

// Only the entries in view are drawn: the background of the selected one, the text and the
// focus frame, each in the list's own colours.
void NetworkListView::paintEvent(QPaintEvent* e) {
    if (!model() || count() == 0)
        return;
    QPainter painter(viewport());
    painter.setFont(font());
    const bool focused = hasFocus() || viewport()->hasFocus();
    const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                       : isActiveWindow() ? QPalette::Active
                                                          : QPalette::Inactive;
    const auto [first, last] = rowsInView();
    const QModelIndex current = currentIndex();
    const int lineHeight = fontMetrics().height();
    for (int row = first; row <= last; ++row) {
        const QRect cell = cellOf(row);
        if (!e->rect().intersects(cell))
            continue;
        const bool selected = selectionModel()->isRowSelected(row, rootIndex());
        if (selected)
            painter.fillRect(cell, palette().brush(group, QPalette::Highlight));
        painter.setPen(
            palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawStaticText(cell.left() + textMargin(),
                               cell.top() + (cell.height() - lineHeight) / 2, textOf(row));
        if (focused && current.row() == row) {
            // Drawn as Qt's own item delegate draws it.
            QStyleOptionFocusRect frame;
            frame.initFrom(this);
            frame.rect = cell;
            frame.state |=
                QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus | QStyle::State_Item;
            frame.backgroundColor =
                palette().color(group, selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
        }
    }
}

// The scroll bar comes and goes with the entries, and the columns' length with it; the current
// entry stays in view.
void NetworkListView::resizeEvent(QResizeEvent* e) {
    QListView::resizeEvent(e);
    fitGrid();
    updateGeometries();
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

bool NetworkListView::isCut(const QModelIndex& index) const {
    return fontMetrics().horizontalAdvance(index.data().toString()) >
           visualRect(index).width() - 2 * textMargin();
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

void NetworkListView::announce(QAccessible::Event type, int row) {
    if (!accessibilityListening())
        return;
    QAccessibleEvent event(this, type);
    event.setChild(row);
    sendAccessibilityEvent(event);
}

// A screen reader hears of the selection as Qt's list tells it, by the entry's row.
void NetworkListView::selectionChanged(const QItemSelection& selected,
                                       const QItemSelection& deselected) {
    if (const QModelIndex on = selected.indexes().value(0); on.isValid())
        announce(QAccessible::SelectionAdd, on.row());
    if (const QModelIndex off = deselected.indexes().value(0); off.isValid())
        announce(QAccessible::SelectionRemove, off.row());
    // QListView's version finds the row through the layout this view does not make.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::selectionChanged(selected, deselected);
}

// Qt's list tells a screen reader that its new current entry has the focus, whether the list
// has it or not. Filling the list after 計算 would then move the reader's idea of the focus
// into the list while the focus stays on the button; so only a focused list tells it.
void NetworkListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus() && current.isValid())
        announce(QAccessible::Focus, current.row());
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
    if (hasFocus() && current.isValid())
        announce(QAccessible::Focus, current.row());
}

void NetworkListView::fitGrid() {
    // The line's height loads the list's font; an empty list, as at start-up, draws no line and
    // waits for its entries.
    if (count() == 0)
        return;
    const QSize grid(std::max(1, viewport()->width() / 3), fontMetrics().height());
    if (gridSize() != grid) {
        texts_.clear();
        setGridSize(grid);
    }
}

}  // namespace sabrota::qt
