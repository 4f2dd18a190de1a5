#include "EveryCellStepper.h"

#include "model/CellModel.h"
#include "playback/PlaybackSteps.h"
#include "playback/NumberText.h"
#include "playback/PlaybackHost.h"
#include "playback/SpeedText.h"
#include "drawing/Canvas.h"
#include "drawing/KeyGeometry.h"

namespace playbacktest {

using namespace cellsonify;

void StepFrameEveryCell(CellModel& model, const KeyRect& keys, PlaybackHost& host) {
    const int trail = trailLengthFor(host.speedText());
    model.CurrentFrame += 1.0;
    host.moveCursors(static_cast<float>(model.CurrentFrame));
    const int n = model.CellCount;
    for (int a = 1; a <= n; ++a) {
        const float row = static_cast<float>(n - a);
        const CellPosition pos = model.CellPos.at(a);
        const int q = noteOfCell(model.CellCount, a);

        host.cellMap().setFillColour(7);
        host.cellMap().setForeColour(7);
        const double d = model.CurrentFrame - trail;
        if (d > 0) {
            const auto i = static_cast<long long>(roundHalfEven(d));
            if (model.Activity.active(a, i)) {
                host.cellMap().circle(static_cast<float>(pos.X), static_cast<float>(pos.Y), 0.01f);
                host.raster().line(static_cast<float>(d), row, static_cast<float>(d), row + 1, 9);
                if (q >= 0 && q <= 127) {
                    const KeyRectRow& k = keys(q);
                    host.keyboard().filledBox(k.left, k.top, k.right, k.bottom, KeyRect::isBlack(k) ? 0 : 15);
                }
            }
        }

        host.cellMap().setFillColour(12);
        host.cellMap().setForeColour(12);
        const auto j = static_cast<long long>(roundHalfEven(model.CurrentFrame));
        if (model.Activity.active(a, j)) {
            const float x = static_cast<float>(model.CurrentFrame);
            host.raster().line(x, row, x, row + 1, 12);
            host.cellMap().circle(static_cast<float>(pos.X), static_cast<float>(pos.Y), 0.01f);
            if (q >= 0 && q <= 127) {
                const KeyRectRow& k = keys(q);
                host.keyboard().filledBox(k.left, k.top, k.right, k.bottom, 12);
                host.playNote(q);
            }
        }
    }
    if (model.CurrentFrame > model.FrameCount - 1.0) {
        host.setTimerInterval(0);
        RestartPlayback(model, host);
    }
}

}  // namespace playbacktest
