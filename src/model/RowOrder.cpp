#include "model/RowOrder.h"

#include <stdexcept>

namespace cellsonify {

namespace {
constexpr std::string_view kNames[] = {"file", "position", "activity", "similarity"};
}

std::string_view rowOrderName(RowOrderKind kind) { return kNames[static_cast<int>(kind)]; }

std::optional<RowOrderKind> parseRowOrder(std::string_view name) {
    for (int k = 0; k < 4; ++k)
        if (kNames[k] == name) return static_cast<RowOrderKind>(k);
    return std::nullopt;
}

RowOrder::RowOrder(const std::vector<int32_t>& cellAtPlace) {
    const std::size_t n = cellAtPlace.size();
    placeOf_.assign(n + 1, 0);
    cellAt_.assign(n + 1, 0);
    bool moved = false;
    for (std::size_t p = 1; p <= n; ++p) {
        const int cell = cellAtPlace[p - 1];
        if (cell < 1 || cell > static_cast<int>(n) || placeOf_[cell] != 0)
            throw std::invalid_argument("a row order must hold each cell once");
        placeOf_[cell] = static_cast<int32_t>(p);
        cellAt_[p] = static_cast<int32_t>(cell);
        moved = moved || cell != static_cast<int>(p);
    }
    if (!moved) placeOf_.clear(), cellAt_.clear();
}

}  // namespace cellsonify
