#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

// Ways of ordering the raster's rows (and, where pitch follows rows, the notes).
enum class RowOrderKind {
    File,        // cell 1 first, as the recording lists them
    Position,    // top to bottom of the field of view
    Activity,    // most events first
    Similarity,  // cells that fire together sit together
};

// "file", "position", "activity", "similarity".
std::string_view rowOrderName(RowOrderKind kind);
// The kind `name` names (lower case as above), or none.
std::optional<RowOrderKind> parseRowOrder(std::string_view name);

// Which place (1..n) each cell takes, and which cell sits at each place: place
// p is the row and note cell p has in file order (1 = the bottom row and the
// lowest rows note). An empty order is file order: every cell in
// its own place, at no cost.
class RowOrder {
public:
    RowOrder() = default;
    // `cellAtPlace[p - 1]` is the cell in place p: a permutation of 1..n.
    explicit RowOrder(const std::vector<int32_t>& cellAtPlace);

    // The place of `cell`; a cell the order does not hold keeps its own number.
    int placeOf(int cell) const {
        return cell >= 1 && cell < static_cast<int>(placeOf_.size()) ? placeOf_[cell] : cell;
    }
    // The cell at `place`; a place the order does not hold holds its own number.
    int cellAt(int place) const {
        return place >= 1 && place < static_cast<int>(cellAt_.size()) ? cellAt_[place] : place;
    }
    // True for file order (nothing moved).
    bool isFileOrder() const { return placeOf_.empty(); }

    bool operator==(const RowOrder&) const = default;

private:
    std::vector<int32_t> placeOf_;  // index = cell, [0] unused
    std::vector<int32_t> cellAt_;   // index = place, [0] unused
};

}  // namespace cellsonify
