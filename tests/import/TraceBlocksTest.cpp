#include "import/RecordingAssembler.h"

#include <gtest/gtest.h>

#include <set>

using namespace cellsonify;

namespace {

// A long recording made up on demand, never held whole: ROI r spikes to 100
// at every 0-based frame f with f % (1000 + r) == r. Every read is logged.
class MadeUpTraces : public TraceMatrix {
public:
    struct Read {
        std::size_t roi, n, first, count;
    };
    MadeUpTraces(std::size_t rois, std::size_t frames, std::size_t grain) : rois_(rois), frames_(frames), grain_(grain) {}
    std::size_t rois() const override { return rois_; }
    std::size_t frames() const override { return frames_; }
    std::size_t roiGrain() const override { return grain_; }
    void readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count, double* out) const override {
        reads.push_back({roi, n, first, count});
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t f = 0; f < count; ++f)
                out[i * count + f] = (first + f) % (1000 + roi + i) == roi + i ? 100 : 0;
    }
    mutable std::vector<Read> reads;

private:
    std::size_t rois_, frames_, grain_;
};

SourceLayout layoutOf(std::size_t rois) {
    SourceLayout layout;
    layout.name = "made-up";
    layout.label = "made up";
    layout.imageRows = 100;
    for (std::size_t r = 0; r < rois; ++r)
        if (r % 5 != 3) layout.accepted.push_back({r, static_cast<long long>(r), 1, static_cast<double>(r)});
    return layout;
}

}  // namespace

TEST(TraceBlocks, ReadsBoundedBlocksOfTheWindowAndFindsEveryRoisOnsets) {
    constexpr std::size_t kRois = 24, kFrames = 600000;
    const SourceLayout layout = layoutOf(kRois);
    for (const bool window : {false, true}) {
        MadeUpTraces traces(kRois, kFrames, 4);
        ImportOptions options;
        if (window) options.firstFrame = 250001, options.lastFrame = 252000;
        const std::size_t first = window ? 250000 : 0, count = window ? 2000 : kFrames;
        const ImportResult r = assembleRecording(traces, layout, options, {});
        ASSERT_EQ(r.model.CellCount, static_cast<int>(layout.accepted.size()));
        EXPECT_EQ(r.model.FrameCount, static_cast<int32_t>(count));

        std::set<std::size_t> read;
        for (const MadeUpTraces::Read& b : traces.reads) {
            EXPECT_LE(b.n * b.count * sizeof(double), kTraceBlockBytes);
            EXPECT_EQ(b.first, first);
            EXPECT_EQ(b.count, count);
            for (std::size_t i = 0; i < b.n; ++i) EXPECT_TRUE(read.insert(b.roi + i).second) << "ROI read twice";
        }
        EXPECT_GT(traces.reads.size(), window ? 0u : 3u);  // the whole recording does not fit in one block
        for (int cell = 1; cell <= r.model.CellCount; ++cell) {
            const std::size_t roi = layout.accepted[static_cast<std::size_t>(cell - 1)].index;
            EXPECT_TRUE(read.count(roi));
            std::vector<int32_t> expected;
            for (std::size_t f = first; f < first + count; ++f)
                if (f % (1000 + roi) == roi) expected.push_back(static_cast<int32_t>(f - first + 1));
            const auto got = r.model.Activity.framesOf(cell);
            ASSERT_EQ(std::vector<int32_t>(got.begin(), got.end()), expected) << "ROI " << roi;
        }
    }
}
