#include "window/controls.h"

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
    const bool tell = announcing();
    if (tell)
        observer_->aboutToReset();
    entries_.clear();
    ListIndex = -1;
    ++revision_;
    if (tell)
        observer_->reset();
}

void ListBox::AddItem(std::string entry) {
    const bool tell = announcing();
    if (tell)
        observer_->aboutToAppend(ListCount());
    entries_.push_back(std::move(entry));
    ++revision_;
    if (tell)
        observer_->appended();
}

ListBox::Update::Update(ListBox& list) : list_(list), told_(list.announcing()) {
    if (told_)
        list_.observer_->aboutToReset();
    ++list_.updating_;
}

ListBox::Update::~Update() {
    --list_.updating_;
    if (told_)
        list_.observer_->reset();
}

const std::string& ListBox::List(long long index) const {
    static const std::string empty;
    if (index < 0 || index >= static_cast<long long>(entries_.size()))
        return empty;
    return entries_[static_cast<std::size_t>(index)];
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
