#pragma once

#include "face/FaceLayout.h"

#include <cstddef>
#include <span>
#include <vector>

namespace cellsonify {

class StripView;
struct CellModel;

// The strips the face may show beside the raster, in one list: each is its
// painter (one StripView class, the same for the window and the pictures)
// and its place. A recording with nothing for a strip leaves it out and its
// room unused, so the face is then exactly as it is without strips.
struct FaceStrip {
    const StripView& view;
    const char* name;  // the widget's objectName
    TwipsRect twips;   // its rectangle in the layout, moved down like any control by the strips above it
    int movesFrom;     // controls whose top lies at or below this y (twips) move down when it shows ...
    int room;          // ... by this many twips, and the window grows by as much
};

// The interval bands just above the raster, then the behaviour line under the frame strip.
std::span<const FaceStrip> faceStrips();

// Which of faceStrips() show, one flag each.
using StripsShown = std::vector<bool>;
// The strips `model` has anything for.
StripsShown stripsShownFor(const CellModel& model);
// No strip shown: the face as it is without context.
StripsShown noStrips();

// `twips` moved down by the room of every shown strip above it.
TwipsRect placedTwips(const TwipsRect& twips, const StripsShown& shown);
// The rectangle of strip `index` among those shown.
TwipsRect stripTwips(std::size_t index, const StripsShown& shown);
// Twips the raster (and its axis ticks) moved down by the strips shown above it.
int rasterDownTwips(const StripsShown& shown);
// Twips the face grows by for the strips shown.
int stripsRoom(const StripsShown& shown);

}  // namespace cellsonify
