// SPDX-License-Identifier: MIT
// The network list as a virtual list view: the entries stay in the model's list box and the
// view asks for the few it draws, so 65,536 entries cost no more to show than ten. In list mode
// the view lays the entries out top to bottom in three columns and scrolls sideways.
#pragma once

#include "platform/windows/windows_api.h"

#include <string>

#include "window/controls.h"

namespace sabrota::win32 {

class NetworkList : public ListBoxObserver {
  public:
    NetworkList(HWND view, ListBox& list);
    ~NetworkList() override;
    NetworkList(const NetworkList&) = delete;
    NetworkList& operator=(const NetworkList&) = delete;

    HWND view() const { return view_; }
    // Three columns across the view's width.
    void fitColumns();
    // Highlights the entry and brings it into view; -1 highlights none.
    void select(int row);
    int selected() const;
    void setColors(COLORREF back, COLORREF fore);
    // The view's WM_NOTIFY: the text of an entry it draws. True when handled.
    bool notify(NMHDR* header, LRESULT& result);

    void aboutToReset() override {}
    void reset() override { updateCount(); }
    void aboutToAppend(int) override {}
    void appended() override { updateCount(); }

  private:
    void updateCount();
    HWND view_;
    ListBox& list_;
    std::wstring text_;  // the entry last handed out, valid until the next request
};

}  // namespace sabrota::win32
