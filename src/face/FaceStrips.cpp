#include "face/FaceStrips.h"

#include "drawing/BehaviourStrip.h"
#include "drawing/IntervalStrip.h"

#include <array>

namespace cellsonify {

namespace {

const IntervalStrip kIntervals;
const BehaviourStrip kBehaviour;

// The interval strip takes the raster's old top and everything moves down
// under it (the cell count beside the raster too); the behaviour strip sits
// 4 pixels under the frame strip and moves what lies below it.
const std::array<FaceStrip, 2> kStrips{{
    {kIntervals, "IntervalStrip", {360, 120, 7455, 195}, 0, 255},
    {kBehaviour, "BehaviourStrip", {360, 3195, 7455, 375}, 3136, 435},
}};

}  // namespace

std::span<const FaceStrip> faceStrips() { return kStrips; }

StripsShown stripsShownFor(const CellModel& model) {
    StripsShown shown;
    for (const FaceStrip& s : kStrips) shown.push_back(s.view.shows(model));
    return shown;
}

StripsShown noStrips() { return StripsShown(kStrips.size(), false); }

namespace {
int roomAbove(int top, const StripsShown& shown, std::size_t except) {
    int room = 0;
    for (std::size_t i = 0; i < kStrips.size() && i < shown.size(); ++i)
        if (shown[i] && i != except && kStrips[i].movesFrom <= top) room += kStrips[i].room;
    return room;
}
}  // namespace

TwipsRect placedTwips(const TwipsRect& twips, const StripsShown& shown) {
    TwipsRect placed = twips;
    placed.top += roomAbove(twips.top, shown, kStrips.size());
    return placed;
}

TwipsRect stripTwips(std::size_t index, const StripsShown& shown) {
    TwipsRect placed = kStrips.at(index).twips;
    placed.top += roomAbove(placed.top, shown, index);
    return placed;
}

int rasterDownTwips(const StripsShown& shown) { return roomAbove(layout::kRaster.twips.top, shown, kStrips.size()); }

int stripsRoom(const StripsShown& shown) {
    int room = 0;
    for (std::size_t i = 0; i < kStrips.size() && i < shown.size(); ++i)
        if (shown[i]) room += kStrips[i].room;
    return room;
}

}  // namespace cellsonify
