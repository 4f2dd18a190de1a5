#include "import/RecordingAssembler.h"

#include "import/EventOnsets.h"
#include "import/ImportError.h"
#include "model/CellPositions.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <numeric>
#include <thread>
#include <unistd.h>

namespace cellsonify {

void DenseTraceMatrix::readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count,
                                double* out) const {
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t f = 0; f < count; ++f)
            out[i * count + f] = frameMajor_ ? values_[(first + f) * rois_ + roi + i]
                                             : values_[(roi + i) * frames_ + first + f];
}

namespace {

struct FrameWindow {
    std::size_t first = 0;  // 0-based
    std::size_t count = 0;
};

FrameWindow chooseFrames(std::size_t total, const ImportOptions& o, const std::string& name, std::vector<std::string>& notes) {
    if (o.firstFrame == 0 && o.lastFrame == 0) return {0, total};
    const std::string asked = "frames " + std::to_string(o.firstFrame) + ":" + std::to_string(o.lastFrame);
    if (o.firstFrame < 1 || o.lastFrame < o.firstFrame || static_cast<unsigned long long>(o.lastFrame) > total)
        throw ImportError(name, asked + " do not lie within the recording's frames 1.." + std::to_string(total));
    if (o.firstFrame != 1 || static_cast<unsigned long long>(o.lastFrame) != total)
        notes.push_back("kept frames " + std::to_string(o.firstFrame) + ".." + std::to_string(o.lastFrame) + " of " +
                        std::to_string(total) + ", renumbered from 1");
    return {static_cast<std::size_t>(o.firstFrame - 1), static_cast<std::size_t>(o.lastFrame - o.firstFrame + 1)};
}

// Frames of one ROI the reading can hold: a read holds a block in two
// buffers, the onset search a copy and a source may need one more to turn
// it, all as doubles, within half of this machine's memory. A damaged or
// hostile file can declare any length; it gets a message, not an allocation.
std::size_t mostFramesPerRoi() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 26;
    return static_cast<std::size_t>(pages) / 2 * static_cast<std::size_t>(pageSize) / (4 * sizeof(double));
}

bool cancelled(const ImportProgress& p) { return p.cancel && p.cancel->load(std::memory_order_relaxed); }

// Onsets (and their peak z) of every accepted ROI.
struct DetectedEvents {
    std::vector<std::vector<int32_t>> onsets;
    std::vector<std::vector<float>> peaks;
};

// Accepted ROIs read together: positions [begin, end) of the accepted list,
// whose source ROIs all lie within [firstRoi, firstRoi + span).
struct RoiBlock {
    std::size_t begin = 0, end = 0;
    std::size_t firstRoi = 0, span = 0;
};

// Groups the accepted ROIs (ascending) into blocks whose traces fit in
// `kTraceBlockBytes` as doubles, aligned to the source's grain when that fits.
std::vector<RoiBlock> roiBlocks(const std::vector<AcceptedRoi>& rois, std::size_t frames, std::size_t grain) {
    std::size_t most = std::max<std::size_t>(1, kTraceBlockBytes / sizeof(double) / std::max<std::size_t>(frames, 1));
    if (grain > 1 && most >= grain) most -= most % grain;
    std::vector<RoiBlock> blocks;
    for (std::size_t i = 0; i < rois.size();) {
        RoiBlock b{i, i, rois[i].index, 0};
        if (grain > 1 && most >= grain) b.firstRoi -= b.firstRoi % grain;
        while (b.end < rois.size() && rois[b.end].index - b.firstRoi < most) ++b.end;
        b.span = rois[b.end - 1].index - b.firstRoi + 1;
        blocks.push_back(b);
        i = b.end;
    }
    return blocks;
}

// Onsets of every accepted ROI within the window. The caller's thread reads
// the next block while up to three threads find the onsets of the current one.
DetectedEvents detectEvents(const TraceMatrix& traces, const std::vector<AcceptedRoi>& rois, FrameWindow window,
                            double k, const ImportProgress& progress) {
    DetectedEvents found;
    found.onsets.resize(rois.size());
    found.peaks.resize(rois.size());
    const std::vector<RoiBlock> blocks = roiBlocks(rois, window.count, traces.roiGrain());
    std::size_t largest = 0;
    for (const RoiBlock& b : blocks) largest = std::max(largest, b.span);
    std::vector<double> buffers[2];
    for (auto& b : buffers) b.resize(largest * window.count);
    auto read = [&](std::size_t block) {
        const RoiBlock& b = blocks[block];
        traces.readRois(b.firstRoi, b.span, window.first, window.count, buffers[block % 2].data());
    };
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::clamp<std::size_t>(hardware, 1, 3);
    if (!blocks.empty()) read(0);
    for (std::size_t block = 0; block < blocks.size(); ++block) {
        if (cancelled(progress)) throw ImportCancelled();
        const RoiBlock& b = blocks[block];
        const double* const values = buffers[block % 2].data();
        std::atomic<std::size_t> next{b.begin};
        std::atomic<bool> failed{false};
        auto work = [&] {
            try {
                std::vector<double> scratch;
                scratch.reserve(window.count);
                for (std::size_t i; (i = next.fetch_add(1)) < b.end && !failed;) {
                    const double* row = values + (rois[i].index - b.firstRoi) * window.count;
                    eventOnsets(std::span<const double>(row, window.count), k, scratch, found.onsets[i],
                                &found.peaks[i]);
                    found.onsets[i].shrink_to_fit();
                    found.peaks[i].shrink_to_fit();
                }
            } catch (...) {
                failed = true;  // only allocation can fail here
            }
        };
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < std::min(workers, b.end - b.begin); ++t) threads.emplace_back(work);
        std::exception_ptr readFailure;
        try {
            if (block + 1 < blocks.size()) read(block + 1);
        } catch (...) {
            readFailure = std::current_exception();
        }
        for (auto& t : threads) t.join();
        if (readFailure) std::rethrow_exception(readFailure);
        if (failed) throw std::bad_alloc();
        if (progress.report) progress.report(static_cast<double>(b.end) / static_cast<double>(rois.size()));
    }
    if (cancelled(progress)) throw ImportCancelled();
    return found;
}

std::string formatThreshold(double k) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", k);
    return buf;
}

}  // namespace

ImportResult assembleRecording(const TraceMatrix& traces, const SourceLayout& layout, const ImportOptions& options,
                               const ImportProgress& progress) {
    if (!std::isfinite(options.threshold))
        throw ImportError(layout.name, "the event threshold must be a finite number");
    ImportResult result;
    ImportSource& source = result.source;
    source.format = layout.format;
    source.trace = layout.trace;
    source.threshold = options.threshold;
    source.rois = static_cast<long long>(traces.rois());
    source.acceptedRois = static_cast<long long>(layout.accepted.size());
    source.sourceFrames = static_cast<long long>(traces.frames());
    source.warnings = layout.warnings;
    source.notes = layout.notes;

    const FrameWindow window = chooseFrames(traces.frames(), options, layout.name, source.notes);
    if (window.count > mostFramesPerRoi())
        throw ImportError(layout.name, layout.trace + " declares " + std::to_string(window.count) +
                                           " frames per ROI, more than this machine's memory holds for one ROI; "
                                           "choose a part with --frames FIRST:LAST");
    // Frames are numbered as 32-bit whole numbers from 1.
    constexpr std::size_t kMostFrames = INT32_MAX - 1;
    if (window.count > kMostFrames)
        throw ImportError(layout.name, "has " + std::to_string(window.count) + " frames, more than " +
                                           std::to_string(kMostFrames) + "; choose a part with --frames FIRST:LAST");
    source.firstFrame = static_cast<long long>(window.first) + 1;
    DetectedEvents detected = [&] {
        try {
            return detectEvents(traces, layout.accepted, window, options.threshold, progress);
        } catch (const std::bad_alloc&) {
            throw ImportError(layout.name, "ran out of memory reading the trace " + layout.trace + " (" +
                                               std::to_string(traces.rois()) + " ROIs x " +
                                               std::to_string(window.count) + " frames)");
        }
    }();
    const std::vector<std::vector<int32_t>>& events = detected.onsets;

    // Every accepted ROI is a cell, in ROI order.
    std::vector<std::size_t> kept(layout.accepted.size());
    std::iota(kept.begin(), kept.end(), std::size_t{0});

    CellModel& model = result.model;
    model.DataFile = layout.path;
    model.CellCount = static_cast<int32_t>(kept.size());
    model.FrameCount = static_cast<int32_t>(window.count);
    ActivityBuilder activity;
    for (std::size_t i : kept) {
        const AcceptedRoi& roi = layout.accepted[i];
        if (!(roi.row >= 0 && roi.column >= 0 && roi.row < layout.imageRows && roi.column < 1e9))
            throw ImportError(layout.name, "ROI " + std::to_string(roi.number) + " has its centre outside the image");
        activity.beginCell(1);
        for (int32_t f : events[i]) activity.addFrame(f);
        const CellPosition file{roi.column + 1, layout.imageRows - roi.row};
        model.CellPos.push_back(file);
        source.filePositions.push_back(file);
        source.cellRoi.push_back(roi.number);
    }
    model.SourceRoi = source.cellRoi;
    source.imageRows = layout.imageRows;
    if (!layout.planes.empty()) {
        source.cellPlane.assign(1, -1);
        source.cellPlane.insert(source.cellPlane.end(), layout.planes.begin(), layout.planes.end());
        model.SourcePlane = source.cellPlane;
    }
    model.Activity = activity.finish();
    // Onsets come ascending and distinct, so the table keeps each cell's in
    // the order they were found and the strengths line up with them.
    model.Strength.threshold = options.threshold;
    model.Strength.peakZ.reserve(model.Activity.eventCount());
    for (std::size_t i : kept) {
        model.Strength.peakZ.insert(model.Strength.peakZ.end(), detected.peaks[i].begin(), detected.peaks[i].end());
        std::vector<float>().swap(detected.peaks[i]);
    }
    if (model.Strength.peakZ.size() != model.Activity.eventCount()) model.Strength = {};
    if (std::isfinite(layout.frameRate) && layout.frameRate > 0) model.FrameRate = layout.frameRate;
    normaliseCellPositions(model);

    std::string& caption = result.caption;
    caption = " " + layout.name + " (" + layout.label + ", " + std::to_string(kept.size()) + " of " +
              std::to_string(traces.rois()) + " ROIs";
    if (window.count < traces.frames())
        caption += ", frames " + std::to_string(window.first + 1) + "-" + std::to_string(window.first + window.count);
    caption += ", events at " + formatThreshold(options.threshold) + " SD)";
    for (const std::string& warning : layout.warnings) caption += " - " + warning;
    return result;
}

}  // namespace cellsonify
