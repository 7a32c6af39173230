// SPDX-License-Identifier: MIT
// The network list's view lays out nothing per entry and paints only the entries in view, each
// laid out once: what it reads of the model does not grow with the list.
#include <gtest/gtest.h>

#include <QAbstractListModel>
#include <QScrollBar>
#include <QTest>

#include "gui/network_list.h"

namespace {

// n entries that count how often the view reads their text.
class CountingModel : public QAbstractListModel {
  public:
    explicit CountingModel(int n) : n_(n) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : n_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        ++reads;
        return QStringLiteral("10.%1.%2.0").arg(index.row() / 256).arg(index.row() % 256);
    }
    mutable int reads = 0;

  private:
    int n_;
};

struct Length {
    const char* name;
    int entries;
};
const Length kLengths[] = {
    {"four", 4}, {"one screen and a bit", 40}, {"16,384", 16384}, {"65,536", 65536}};

TEST(NetworkListView, ReadsOnlyTheEntriesInViewAndEachOnce) {
    for (const Length& l : kLengths) {
        SCOPED_TRACE(l.name);
        CountingModel model(l.entries);
        sabrota::qt::NetworkListView view(nullptr);
        view.resize(312, 160);
        view.setModel(&model);
        model.reads = 0;
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const QSize grid = view.gridSize();
        const int perColumn = view.viewport()->height() / grid.height();
        const int inView = (view.viewport()->width() / grid.width() + 1) * perColumn;
        ASSERT_GT(perColumn, 0);

        view.viewport()->grab();
        EXPECT_GT(model.reads, 0);
        EXPECT_LE(model.reads, std::min(inView, l.entries));
        model.reads = 0;
        view.viewport()->grab();
        EXPECT_EQ(model.reads, 0) << "a second paint laid the entries out again";

        // At the far end the last entry is in view, and only the entries there were read.
        model.reads = 0;
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        view.viewport()->grab();
        EXPECT_LE(model.reads, inView);
        const QModelIndex last = model.index(l.entries - 1);
        EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(last)));
        EXPECT_EQ(view.indexAt(view.visualRect(last).center()), last);
    }
}

}  // namespace
