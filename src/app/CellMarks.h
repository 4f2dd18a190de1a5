#pragma once

#include <QWidget>

#include <functional>

namespace cellsonify {

class CanvasView;
struct CellModel;

// Colour of the marks on picked cells: a navy no playback colour uses.
inline constexpr QRgb kPickedCellRgb = 0xFF000080;

// Rings around the picked cells' dots, drawn over the cell map's client area
// by a transparent child of the map; the map's own pixels (and so playback's
// colours) stay as they are, and presses pass through to the map.
class MapMarks : public QWidget {
public:
    MapMarks(CanvasView& map, std::function<const CellModel&()> model);
    static constexpr int kRingRadius = 5;  // pixels

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CanvasView& map_;
    std::function<const CellModel&()> model_;
};

// A narrow strip just left of the raster with a bar beside each picked
// cell's row, wherever the row order puts it.
class RowMarks : public QWidget {
public:
    RowMarks(CanvasView& raster, std::function<const CellModel&()> model);
    static constexpr int kWidth = 5;  // pixels; the gap left of the raster is wider

    // Follows the raster's place and height.
    void place();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CanvasView& raster_;
    std::function<const CellModel&()> model_;
};

}  // namespace cellsonify
