// SPDX-License-Identifier: MIT
// Each front end's widgets by the control and index of their design row: the one lookup every
// window and the binder make, whatever a widget is in their toolkit (a QWidget*, an HWND, a
// copy of what a widget shows).
#pragma once

#include <utility>
#include <vector>

#include "window/design.h"

namespace sabrota::frontend {

template <typename Widget>
class Registry {
  public:
    struct Entry {
        const ControlDesign* design;
        Widget widget;
    };

    void reserve(std::size_t n) { entries_.reserve(n); }
    Entry& add(const ControlDesign& design, Widget widget) {
        return entries_.push_back(Entry{&design, std::move(widget)}), entries_.back();
    }
    // The entry of a control (a bit cell by its index 1 … 8), nullptr when it has none.
    Entry* find(ControlId id, int index = 0) {
        for (Entry& e : entries_)
            if (e.design->id == id && e.design->index == index)
                return &e;
        return nullptr;
    }
    const Entry* find(ControlId id, int index = 0) const {
        return const_cast<Registry*>(this)->find(id, index);
    }
    // The widget of a control, or a widget made of nothing ({}: nullptr for a pointer).
    Widget widget(ControlId id, int index = 0) const {
        const Entry* e = find(id, index);
        return e ? e->widget : Widget{};
    }

    std::size_t size() const { return entries_.size(); }
    Entry& operator[](std::size_t i) { return entries_[i]; }
    const Entry& operator[](std::size_t i) const { return entries_[i]; }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

  private:
    std::vector<Entry> entries_;
};

}  // namespace sabrota::frontend
