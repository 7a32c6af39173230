// SPDX-License-Identifier: MIT
// The network list on the screen: a Qt model that reads the model's list box in place and
// hears of every change as it is made, and the three-column view.
#pragma once

#include <QAbstractListModel>
#include <QAccessible>
#include <QHash>
#include <QListView>
#include <QStaticText>
#include <QTimer>
#include <utility>

#include "window/controls.h"

namespace sabrota::qt {

// No copy of the entries and no widget per entry: rows are read from the list box itself.
class NetworkListModel : public QAbstractListModel, private ListBoxObserver {
  public:
    explicit NetworkListModel(ListBox& list, QObject* parent = nullptr);
    ~NetworkListModel() override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    void aboutToReset() override { beginResetModel(); }
    void reset() override { endResetModel(); }
    void aboutToAppend(int row) override { beginInsertRows({}, row, row); }
    void appended() override { endInsertRows(); }

    ListBox& list_;
};

// Three columns filled top to bottom, then left to right, scrolling sideways a column at a
// time. Every entry has the same size, so where an entry stands follows from its row alone: the
// view keeps no per-entry layout, and filling it with 65,536 entries costs what four cost. Only
// the visible entries are painted, each from text laid out once and kept until the entries or
// the column width change. It stays a QListView so that screen readers see a list of entries.
class NetworkListView : public QListView {
  public:
    explicit NetworkListView(QWidget* parent);
    // Whether the column is too narrow for the whole entry, which is then drawn cut.
    bool isCut(const QModelIndex& index) const;

    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& p) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;
    void reset() override;

  protected:
    void resizeEvent(QResizeEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* e) override;

  private:
    int count() const;
    int rowsPerColumn() const;
    int firstColumn() const;
    int columnsShown() const;
    std::pair<int, int> rowsInView() const;
    QRect cellOf(int row) const;  // in the viewport
    int textMargin() const;
    const QStaticText& textOf(int row);
    void fitGrid();
    void announce(QAccessible::Event type, int row);
    void announceCurrent();

    QHash<int, QStaticText> texts_;  // the entries painted lately, laid out and cut to fit
    QTimer announceLater_;           // one shot, right after the focus has been announced
};

}  // namespace sabrota::qt
