#include "model/CellModel.h"

#include <atomic>
#include <cmath>
#include <tuple>

namespace cellsonify {

uint64_t newModelRevision() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

bool CellModel::operator==(const CellModel& o) const {
    return std::tie(CellCount, FrameCount, CurrentFrame, Activity, CellPos, DataFile, Strength, FrameRate, Rows,
                    Selection, Context) ==
           std::tie(o.CellCount, o.FrameCount, o.CurrentFrame, o.Activity, o.CellPos, o.DataFile, o.Strength,
                    o.FrameRate, o.Rows, o.Selection, o.Context);
}

int noteOfCell(int cellCount, int cell) {
    const double spread = 127.0 - cellCount;
    return static_cast<int>(std::floor(spread / 2.0 + cell));
}

}  // namespace cellsonify
