#pragma once

#include "app/MapDotIndex.h"
#include "face/UserScale.h"
#include "model/CellSelection.h"

#include <QObject>
#include <QPoint>
#include <QSize>

#include <optional>
#include <string>
#include <vector>

class QRubberBand;

namespace cellsonify {

class MainWindow;
class MapMarks;
class RowMarks;

// Picking cells on a main window and choosing which of them sound. On the
// cell map a click on a dot picks that cell alone, Shift+click adds or
// removes it, a drag picks the dots inside its rectangle (with Shift, adds
// them) and a click away from every dot (without Shift) picks none. Picked
// cells are ringed on the map and marked beside their raster rows. Hovering a
// dot or a raster row shows what cellTipText tells. The pick lives in the
// playback model, so it ends when another recording is opened. Presses on
// the raster and the frame strip stay seeks; nothing here sees them.
class CellChooser : public QObject {
    Q_OBJECT
public:
    explicit CellChooser(MainWindow& window);  // a child of `window`

    const CellSelection& selection() const;
    // Picks exactly `cells` (numbers outside the recording are left out).
    void pick(const std::vector<int>& cells);
    // Picks the cells `text` lists ("1,5,9-20"), or for an import the cells of
    // the source ROIs it lists after "roi" ("roi 12, 40-45"); the reason when
    // it cannot be read.
    std::optional<std::string> pickNumbers(const std::string& text);
    // Picks the `n` cells with most events (ties: lower numbers first).
    void pickMostActive(int n);
    void pickNone() { pick({}); }
    void setHearMode(HearMode mode);

    // The cell whose dot lies nearest to `mapPoint` (map widget pixels),
    // within a few pixels; the cell of the raster row under `rasterPoint`.
    std::optional<int> cellAtMap(QPoint mapPoint) const;
    std::optional<int> cellAtRaster(QPoint rasterPoint) const;

    // Repaints the marks (after a load or a new row order).
    void refreshMarks();

signals:
    // The cells picked, or which of them sound, changed.
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(const CellSelection& selection);
    bool mapMouse(QEvent* event);
    bool showTip(QObject* watched, QEvent* event);
    // Cells whose dot centre lies inside `rect` (map widget pixels).
    std::vector<int> cellsInside(const QRect& rect) const;
    QPointF dotCentre(int cell) const;
    // The dots of the recording shown, indexed afresh when it, the map's size or its scale changed.
    const MapDotIndex& dots() const;

    MainWindow& window_;
    MapMarks* mapMarks_;
    RowMarks* rowMarks_;
    QRubberBand* band_;
    std::optional<QPoint> pressedAt_;  // where the left button went down on the map
    bool dragging_ = false;
    mutable MapDotIndex dots_;
    mutable struct {
        uint64_t revision = 0;
        QSize size;
        UserScale scale;
    } dotsOf_;  // what dots_ was built for
    mutable bool dotsBuilt_ = false;
};

}  // namespace cellsonify
