// SPDX-License-Identifier: MIT
#include "window/controls.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include "platform/services.h"

namespace sabrota {

namespace {
// Room that is written before it is read: not filled with zeros first. (libc++ 13, the
// WebAssembly build's, lacks make_unique_for_overwrite.)
template <typename T>
std::unique_ptr<T[]> uninitialised(std::size_t n) {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
    return std::make_unique_for_overwrite<T[]>(n);
#else
    return std::unique_ptr<T[]>(
        new T[n]);  // NOLINT(cppcoreguidelines-owning-memory): handed to unique_ptr at once
#endif
}
}  // namespace

void ComboBox::setListIndex(int index) {
    listIndex_ = index;
    if (index >= 0 && index < static_cast<int>(items.size()))
        Text = items[static_cast<std::size_t>(index)];
}

void ComboBox::typeText(std::string_view text) {
    Text = std::string(text);
    listIndex_ = -1;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == Text)
            listIndex_ = static_cast<int>(i);
}

void ListBox::Clear() {
    const bool tell = announcing();
    if (tell)
        observer_->aboutToReset();
    count_ = 0;
    ListIndex = -1;
    ++revision_;
    if (tell)
        observer_->reset();
}

void ListBox::AddItem(std::string_view entry) {
    // Room first: a list too long to grow is left as it was, and the observer hears nothing.
    makeRoom(count_, 1, entry.size());
    const bool tell = announcing();
    if (tell)
        observer_->aboutToAppend(ListCount());
    const std::size_t used = starts_[count_];
    if (!entry.empty())
        std::memcpy(chars_.get() + used, entry.data(), entry.size());
    starts_[++count_] = static_cast<std::uint32_t>(used + entry.size());
    ++revision_;
    if (tell)
        observer_->appended();
}

std::vector<std::string> ListBox::entries() const {
    std::vector<std::string> out;
    out.reserve(count_);
    for (int i = 0; i < ListCount(); ++i)
        out.emplace_back(List(i));
    return out;
}

void ListBox::reserve(std::size_t count, std::size_t chars) {
    makeRoom(count_, count, chars);
}

// What the first `held` entries hold is moved over; the room at least doubles, so filling
// stays linear.
void ListBox::makeRoom(std::size_t held, std::size_t count, std::size_t chars) {
    const std::size_t used = starts_[held];
    // Entries begin at 32-bit offsets and are counted in an int.
    if (chars > std::numeric_limits<std::uint32_t>::max() - used ||
        count > static_cast<std::size_t>(std::numeric_limits<int>::max()) - held)
        throw std::length_error("list box too long");
    if (charsRoom_ - used < chars) {
        const std::size_t room = std::max(used + chars, 2 * charsRoom_);
        auto more = uninitialised<char>(room);
        if (used != 0)
            std::memcpy(more.get(), chars_.get(), used);
        chars_ = std::move(more);
        charsRoom_ = room;
    }
    if (startsRoom_ - (held + 1) < count) {
        const std::size_t room = std::max(held + 1 + count, 2 * startsRoom_);
        auto more = uninitialised<std::uint32_t>(room);
        std::memcpy(more.get(), starts_.get(), (held + 1) * sizeof(std::uint32_t));
        starts_ = std::move(more);
        startsRoom_ = room;
    }
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    if (driver_)
        driver_->timerChanged(number_, interval_, enabled_);
}

void Timer::setEnabled(bool on) {
    enabled_ = on;
    if (driver_)
        driver_->timerChanged(number_, interval_, enabled_);
}

}  // namespace sabrota
