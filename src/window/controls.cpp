#include "window/controls.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "platform/services.h"

namespace sabrota {

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
    count_ = 0;
    ListIndex = -1;
    ++revision_;
}

void ListBox::AddItem(std::string_view entry) {
    Filler f(*this);
    f.add(entry.size(), [entry](char* room) {
        if (!entry.empty())
            std::memcpy(room, entry.data(), entry.size());
        return room + entry.size();
    });
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
    // Entries begin at 32-bit offsets.
    if (chars > std::numeric_limits<std::uint32_t>::max() - used)
        throw std::length_error("list box text too long");
    if (charsRoom_ - used < chars) {
        const std::size_t room = std::max(used + chars, 2 * charsRoom_);
        auto more = std::make_unique_for_overwrite<char[]>(room);
        if (used != 0)
            std::memcpy(more.get(), chars_.get(), used);
        chars_ = std::move(more);
        charsRoom_ = room;
    }
    if (startsRoom_ - (held + 1) < count) {
        const std::size_t room = std::max(held + 1 + count, 2 * startsRoom_);
        auto more = std::make_unique_for_overwrite<std::uint32_t[]>(room);
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
