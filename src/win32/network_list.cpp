// SPDX-License-Identifier: MIT
#include "win32/network_list.h"

#include <commctrl.h>

#include "platform/ansi_text_writer.h"
#include "platform/windows/wide.h"

namespace sabrota::win32 {

NetworkList::NetworkList(HWND view, ListBox& list) : view_(view), list_(list) {
    list_.setObserver(this);
    fitColumns();
    updateCount();
}

NetworkList::~NetworkList() {
    list_.setObserver(nullptr);
}

void NetworkList::fitColumns() {
    RECT r;
    GetClientRect(view_, &r);
    ListView_SetColumnWidth(view_, 0, r.right / 3 > 1 ? r.right / 3 : 1);
}

void NetworkList::updateCount() {
    ListView_SetItemCountEx(view_, list_.ListCount(), 0);
    InvalidateRect(view_, nullptr, TRUE);
}

void NetworkList::select(int row) {
    ListView_SetItemState(view_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0 && row < list_.ListCount()) {
        ListView_SetItemState(view_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(view_, row, FALSE);
    } else if (list_.ListCount() > 0) {
        ListView_EnsureVisible(view_, 0, FALSE);
    }
}

int NetworkList::selected() const {
    return ListView_GetNextItem(view_, -1, LVNI_SELECTED);
}

void NetworkList::setColors(COLORREF back, COLORREF fore) {
    ListView_SetBkColor(view_, back);
    ListView_SetTextBkColor(view_, back);
    ListView_SetTextColor(view_, fore);
    InvalidateRect(view_, nullptr, TRUE);
}

bool NetworkList::notify(NMHDR* header, LRESULT& result) {
    if (header->hwndFrom != view_ || header->code != LVN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if (info->item.mask & LVIF_TEXT) {
        const std::string_view entry = list_.List(info->item.iItem);
        // Entries are digits and dots, but for the one that says why there is no list.
        if (platform::isAscii(entry))
            text_.assign(entry.begin(), entry.end());
        else
            text_ = platform::widen(entry);
        info->item.pszText = text_.data();
    }
    result = 0;
    return true;
}

}  // namespace sabrota::win32
