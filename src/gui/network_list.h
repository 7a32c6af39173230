// SPDX-License-Identifier: MIT
// The network list on the screen: a Qt model that reads the model's list box in place and
// hears of every change as it is made, and the three-column view.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QTimer>

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

// Three columns filled top to bottom, then left to right, scrolling sideways.
class NetworkListView : public QListView {
  public:
    explicit NetworkListView(QWidget* parent);
    // Whether the column is too narrow for the whole entry, which is then drawn cut.
    bool isCut(const QModelIndex& index) const;

  protected:
    void resizeEvent(QResizeEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* e) override;

  private:
    void fitGrid();
    void announceCurrent();
    QTimer announceLater_;  // one shot, right after the focus has been announced
};

}  // namespace sabrota::qt
