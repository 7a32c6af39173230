// The controls of the window model: plain data that handlers read and write by name, as the
// window shows it. The Qt window draws them; nothing here knows about a toolkit.
#pragma once

#include <cstdint>
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
    ListBox() = default;
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    void Clear();
    void AddItem(std::string entry);
    int ListCount() const { return static_cast<int>(entries_.size()); }
    // An index past the end reads as the empty string.
    const std::string& List(long long index) const;
    const std::vector<std::string>& entries() const { return entries_; }
    // The highlighted entry, -1 for none.
    int ListIndex = -1;
    // Grows with every change of the entries.
    std::uint64_t revision() const { return revision_; }

    // The view that follows the entries, or none.
    void setObserver(ListBoxObserver* observer) { observer_ = observer; }

    // Many changes announced as one: the observer hears of a reset when the update begins and
    // when it ends, and nothing of the single changes between. Filling thousands of entries
    // this way costs a view one new reading instead of one per entry.
    class Update {
      public:
        explicit Update(ListBox& list);
        ~Update();
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

      private:
        ListBox& list_;
        bool told_;
    };

  private:
    std::vector<std::string> entries_;
    std::uint64_t revision_ = 0;
    ListBoxObserver* observer_ = nullptr;
    int updating_ = 0;
    bool announcing() const { return observer_ && updating_ == 0; }
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
