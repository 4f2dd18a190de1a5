#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace cellsonify {

// Which cells sound, given the selection.
enum class HearMode {
    All,           // every cell, whatever is selected
    SelectedOnly,  // only the selected cells
    MuteSelected,  // every cell but the selected ones
};

// The cells the user picked and what that does to the sound. Cells are
// numbered 1..n; a default selection holds none and lets every cell sound.
class CellSelection {
public:
    bool selected(int cell) const {
        return cell >= 0 && cell < static_cast<int>(picked_.size()) && picked_[cell];
    }
    // Whether `cell` sounds under the hear mode.
    bool heard(int cell) const {
        switch (hear) {
            case HearMode::SelectedOnly: return selected(cell);
            case HearMode::MuteSelected: return !selected(cell);
            case HearMode::All: break;
        }
        return true;
    }
    // True when every cell sounds (so nothing needs to be filtered).
    bool hearsEveryCell() const { return hear == HearMode::All || (hear == HearMode::MuteSelected && count_ == 0); }

    void select(int cell, bool on);
    void toggle(int cell) { select(cell, !selected(cell)); }
    void clear() { picked_.clear(), count_ = 0; }
    int count() const { return count_; }
    // The selected cells, ascending.
    std::vector<int> cells() const;

    HearMode hear = HearMode::All;

    bool operator==(const CellSelection& o) const { return hear == o.hear && cells() == o.cells(); }

private:
    std::vector<bool> picked_;  // index = cell
    int count_ = 0;
};

// Cell numbers typed by a user, or given on the command line, that cannot be
// read; what() says which part and why.
class CellNumbersError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The cells `text` lists as numbers and ranges separated by commas
// ("1,5,9-20"; spaces allowed), ascending without repeats. Throws
// CellNumbersError for anything else, for a range upside down, or for a cell
// outside 1..cellCount.
std::vector<int> parseCellNumbers(const std::string& text, int cellCount);

}  // namespace cellsonify
