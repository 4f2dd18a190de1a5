#include "app/MapDotIndex.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {
// Buckets across and down are capped so that far-flung positions cannot ask for a huge table.
constexpr int kMostBuckets = 4096;
}  // namespace

MapDotIndex::MapDotIndex(std::vector<QPointF> centres) : centres_(std::move(centres)) {
    double right = 0, bottom = 0;
    bool any = false;
    for (std::size_t c = 1; c < centres_.size(); ++c) {
        const QPointF& p = centres_[c];
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
        if (!any) left_ = right = p.x(), top_ = bottom = p.y(), any = true;
        left_ = std::min(left_, p.x()), right = std::max(right, p.x());
        top_ = std::min(top_, p.y()), bottom = std::max(bottom, p.y());
    }
    columns_ = std::clamp(static_cast<int>((right - left_) / kBucket) + 1, 1, kMostBuckets);
    rows_ = std::clamp(static_cast<int>((bottom - top_) / kBucket) + 1, 1, kMostBuckets);
    const auto bucketOf = [&](const QPointF& p) {
        const int i = std::clamp(static_cast<int>((p.x() - left_) / kBucket), 0, columns_ - 1);
        const int j = std::clamp(static_cast<int>((p.y() - top_) / kBucket), 0, rows_ - 1);
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(i);
    };
    start_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_) + 1, 0);
    for (std::size_t c = 1; c < centres_.size(); ++c) {
        const QPointF& p = centres_[c];
        if (std::isfinite(p.x()) && std::isfinite(p.y())) ++start_[bucketOf(p) + 1];
        else faraway_.push_back(static_cast<int>(c));
    }
    for (std::size_t b = 1; b < start_.size(); ++b) start_[b] += start_[b - 1];
    cells_.resize(start_.back());
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t c = 1; c < centres_.size(); ++c) {
        const QPointF& p = centres_[c];
        if (std::isfinite(p.x()) && std::isfinite(p.y())) cells_[next[bucketOf(p)]++] = static_cast<int>(c);
    }
}

template <class Visit>
void MapDotIndex::forEachNear(const QRectF& area, Visit&& visit) const {
    for (int cell : faraway_) visit(cell);
    if (cells_.empty()) return;
    const auto index = [](double v, double origin, int count) {
        return static_cast<int>(std::clamp(std::floor((v - origin) / kBucket), 0.0, double(count - 1)));
    };
    const int i0 = index(area.left(), left_, columns_), i1 = index(area.right(), left_, columns_);
    const int j0 = index(area.top(), top_, rows_), j1 = index(area.bottom(), top_, rows_);
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) {
            const std::size_t b = static_cast<std::size_t>(j) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(i);
            for (uint32_t k = start_[b]; k < start_[b + 1]; ++k) visit(cells_[k]);
        }
}

int MapDotIndex::nearest(QPointF p, double reach) const {
    int found = 0;
    double best = reach * reach;
    forEachNear(QRectF(p.x() - reach, p.y() - reach, 2 * reach, 2 * reach), [&](int cell) {
        const QPointF d = centres_[static_cast<std::size_t>(cell)] - p;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance < best || (distance == best && cell > found)) best = distance, found = cell;
    });
    return found;
}

std::vector<int> MapDotIndex::inside(const QRectF& area) const {
    std::vector<int> cells;
    forEachNear(area, [&](int cell) {
        if (area.contains(centres_[static_cast<std::size_t>(cell)])) cells.push_back(cell);
    });
    std::sort(cells.begin(), cells.end());
    return cells;
}

}  // namespace cellsonify
