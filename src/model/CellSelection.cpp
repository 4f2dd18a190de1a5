#include "model/CellSelection.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace cellsonify {

void CellSelection::select(int cell, bool on) {
    if (cell < 1) return;
    if (cell >= static_cast<int>(picked_.size())) {
        if (!on) return;
        picked_.resize(static_cast<std::size_t>(cell) + 1, false);
    }
    if (picked_[cell] == on) return;
    picked_[cell] = on;
    count_ += on ? 1 : -1;
}

std::vector<int> CellSelection::cells() const {
    std::vector<int> out;
    for (std::size_t c = 1; c < picked_.size(); ++c)
        if (picked_[c]) out.push_back(static_cast<int>(c));
    return out;
}

namespace {

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

int cellNumber(const std::string& part, const std::string& item, int cellCount) {
    const std::string t = trimmed(part);
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        throw CellNumbersError("\"" + item + "\" is not a cell number or a range such as 9-20");
    if (value < 1 || value > cellCount)
        throw CellNumbersError("cell " + t + " does not exist: the recording has cells 1 to " +
                               std::to_string(cellCount));
    return value;
}

}  // namespace

std::vector<int> parseCellNumbers(const std::string& text, int cellCount) {
    std::vector<int> cells;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = trimmed(text.substr(start, comma - start));
        start = comma + 1;
        if (item.empty()) throw CellNumbersError("expected cell numbers such as 1,5,9-20, got \"" + text + "\"");
        const std::size_t dash = item.find('-', 1);
        if (dash == std::string::npos) {
            cells.push_back(cellNumber(item, item, cellCount));
            continue;
        }
        const int first = cellNumber(item.substr(0, dash), item, cellCount);
        const int last = cellNumber(item.substr(dash + 1), item, cellCount);
        if (last < first) throw CellNumbersError("the range \"" + item + "\" runs backwards");
        for (int c = first; c <= last; ++c) cells.push_back(c);
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

}  // namespace cellsonify
