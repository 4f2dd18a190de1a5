#pragma once

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

namespace cellsonify {

// The cell map's dot centres (in widget pixels) sorted into square buckets,
// so that the dots near the pointer or inside a dragged rectangle are found
// by looking at a few buckets rather than at every cell: hovering and
// picking stay quick with tens of thousands of cells.
class MapDotIndex {
public:
    // Buckets this many pixels wide and high.
    static constexpr double kBucket = 8.0;

    MapDotIndex() = default;
    // `centres[cell]` for cells 1..centres.size() - 1 ([0] belongs to no cell).
    explicit MapDotIndex(std::vector<QPointF> centres);

    // The cell whose centre lies nearest to `p` within `reach` pixels; of
    // equally near ones the highest numbered; 0 when none is that near.
    int nearest(QPointF p, double reach) const;
    // Cells (ascending) whose centre `area` contains.
    std::vector<int> inside(const QRectF& area) const;
    const QPointF& centre(int cell) const { return centres_[static_cast<std::size_t>(cell)]; }

private:
    // Calls visit(cell) for each cell in the buckets that meet `area`.
    template <class Visit>
    void forEachNear(const QRectF& area, Visit&& visit) const;

    std::vector<QPointF> centres_;
    double left_ = 0, top_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<uint32_t> start_;  // bucket b's cells: cells_[start_[b] .. start_[b + 1])
    std::vector<int> cells_;
    std::vector<int> faraway_;     // centres not finite: checked one by one
};

}  // namespace cellsonify
