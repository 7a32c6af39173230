// SPDX-License-Identifier: MIT
// The controls of the window model: plain data that handlers read and write by name, as the
// window shows it. The Qt window draws them; nothing here knows about a toolkit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "window/design.h"

namespace sabrota {

namespace platform {
class TimerDriver;
}

struct Control {
    std::string Caption;  // labels and buttons
    std::string Text;     // text boxes and the combo box
    Color BackColor = colors::kButtonFace;
    Color ForeColor = colors::kButtonText;
    bool Enabled = true;
    bool Visible = true;
};

// One of the eight arrays of eight bit cells; index 1 is the rightmost, least significant cell.
class CellArray {
  public:
    Control& operator()(int index) { return cells_[index - 1]; }
    const Control& operator()(int index) const { return cells_[index - 1]; }

  private:
    Control cells_[8];
};

class ComboBox : public Control {
  public:
    std::vector<std::string> items;
    int ListIndex() const { return listIndex_; }
    // Selecting an item puts it into the text field.
    void setListIndex(int index);
    // What the user types: no item is selected any more unless the text is one.
    void typeText(std::string_view text);

  private:
    int listIndex_ = -1;
};

// Told of every change to a list box's entries, before and after it is made, so a view can
// follow the entries in place.
class ListBoxObserver {
  public:
    virtual ~ListBoxObserver() = default;
    // Every entry may change: Clear, or a whole update (ListBox::Update).
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
    // One entry is appended at index row.
    virtual void aboutToAppend(int row) = 0;
    virtual void appended() = 0;
};

class ListBox : public Control {
  public:
    class Filler;

    ListBox() = default;
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    void Clear();
    void AddItem(std::string_view entry);
    int ListCount() const { return static_cast<int>(count_); }
    // An index past the end reads as the empty string. The text stays valid until the next
    // change of the entries.
    std::string_view List(long long index) const {
        if (index < 0 || index >= ListCount())
            return {};
        const auto i = static_cast<std::size_t>(index);
        return {chars_.get() + starts_[i], starts_[i + 1] - starts_[i]};
    }
    // A copy of every entry, in order.
    std::vector<std::string> entries() const;
    // The text of all entries one after another, with nothing between them.
    std::string_view text() const { return {chars_.get(), starts_[count_]}; }
    // Makes room for this many entries of this many characters in all, so that a long list is
    // filled without moving what it holds.
    void reserve(std::size_t count, std::size_t chars);
    // The highlighted entry, -1 for none.
    int ListIndex = -1;
    // Grows with every change of the entries, so a view knows when to read them again.
    std::uint64_t revision() const { return revision_; }

    // The view that follows the entries, or none.
    void setObserver(ListBoxObserver* observer) { observer_ = observer; }

    // Many changes announced as one: the observer hears of a reset when the update begins and
    // when it ends, and nothing of the single changes between. Filling thousands of entries
    // this way costs a view one new reading instead of one per entry.
    class Update {
      public:
        explicit Update(ListBox& list) : list_(list), told_(list.announcing()) {
            if (told_)
                list_.observer_->aboutToReset();
            ++list_.updating_;
        }
        ~Update() {
            --list_.updating_;
            if (told_)
                list_.observer_->reset();
        }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

      private:
        ListBox& list_;
        bool told_;
    };

  private:
    // Room for `count` entries and `chars` characters more than the first `held` entries hold.
    void makeRoom(std::size_t held, std::size_t count, std::size_t chars);
    // The entries one after another in one buffer, and where each begins: entry i is the text
    // from starts_[i] to starts_[i + 1]. A list of 65,536 entries is two allocations, not
    // 65,536 strings. Clearing keeps the room for the next list.
    std::unique_ptr<char[]> chars_;
    std::size_t charsRoom_ = 0;
    std::unique_ptr<std::uint32_t[]> starts_ = std::make_unique<std::uint32_t[]>(1);
    std::size_t startsRoom_ = 1;  // entries + 1
    std::size_t count_ = 0;
    std::uint64_t revision_ = 0;
    ListBoxObserver* observer_ = nullptr;
    int updating_ = 0;
    bool announcing() const { return observer_ && updating_ == 0; }
};

// Appends many entries in a row, each written straight into the list's storage, and keeps the
// end of the text and the count in its own hands until it is done: a long list then costs little
// more than writing its text. The list box holds the new entries once the filler is done (or
// destroyed, also by an exception); until then nothing else may read or change it. The filler is
// one update (ListBox::Update): the observer hears of one reset for all its entries, when it
// begins and when it is destroyed.
class ListBox::Filler {
  public:
    explicit Filler(ListBox& list)
        : update_(list), list_(list), count_(list.count_), used_(list.starts_[list.count_]) {
        refresh();
    }
    ~Filler() { done(); }
    Filler(const Filler&) = delete;
    Filler& operator=(const Filler&) = delete;

    // The entries of the list with those added so far.
    int count() const { return static_cast<int>(count_); }
    // Adds an entry: write gets room for at most `most` characters and returns the end of the
    // text it put there.
    template <typename Write>
    void add(std::size_t most, Write write) {
        if (charsRoom_ - used_ < most || startsRoom_ - count_ < 2) [[unlikely]] {
            list_.makeRoom(count_, 1, most);
            refresh();
        }
        used_ = static_cast<std::size_t>(write(chars_ + used_) - chars_);
        starts_[++count_] = static_cast<std::uint32_t>(used_);
    }
    // The entry added last; there must be one.
    std::string_view last() const {
        const std::uint32_t begin = starts_[count_ - 1];
        return {chars_ + begin, used_ - begin};
    }
    void done() {
        if (count_ != list_.count_) {
            list_.count_ = count_;
            ++list_.revision_;
        }
    }

  private:
    // The list's storage as the filler last found it. Held here rather than read through the
    // list after every entry: the entries' characters are written through a char pointer, which
    // as far as the compiler knows may have changed anything in memory.
    void refresh() {
        chars_ = list_.chars_.get();
        starts_ = list_.starts_.get();
        charsRoom_ = list_.charsRoom_;
        startsRoom_ = list_.startsRoom_;
    }

    const Update update_;
    ListBox& list_;
    std::size_t count_;
    std::size_t used_;
    char* chars_ = nullptr;
    std::uint32_t* starts_ = nullptr;
    std::size_t charsRoom_ = 0;
    std::size_t startsRoom_ = 0;
};

class Timer {
  public:
    int Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    void setInterval(int ms);
    void setEnabled(bool on);
    // A stage timer is armed with 30 ms and disarmed by switching it off.
    void arm() {
        setInterval(30);
        setEnabled(true);
    }
    void disarm() { setEnabled(false); }
    bool armed() const { return enabled_ && interval_ > 0; }

  private:
    friend class Form1;
    int number_ = 0;
    platform::TimerDriver* driver_ = nullptr;
    int interval_ = 0;  // design time: no interval, so the timer never fires
    bool enabled_ = true;
};

}  // namespace sabrota
