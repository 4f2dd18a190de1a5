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

namespace cellsonify {

void DenseTraceMatrix::copyRow(std::size_t roi, std::size_t first, std::size_t count, double* out) const {
    if (!frameMajor_) {
        std::copy_n(values_.begin() + static_cast<std::ptrdiff_t>(roi * frames_ + first), count, out);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) out[i] = values_[(first + i) * rois_ + roi];
}

namespace {

struct FrameWindow {
    std::size_t first = 0;  // 0-based
    std::size_t count = 0;
};

FrameWindow chooseFrames(std::size_t total, const ImportOptions& o, const std::string& name, std::vector<std::string>& notes) {
    if (o.firstFrame == 0 && o.lastFrame == 0) {
        const std::size_t count = std::min<std::size_t>(total, kMaxFrameIndex);
        if (count < total)
            notes.push_back("kept frames 1.." + std::to_string(count) + " of " + std::to_string(total));
        return {0, count};
    }
    const std::string asked = "frames " + std::to_string(o.firstFrame) + ":" + std::to_string(o.lastFrame);
    if (o.firstFrame < 1 || o.lastFrame < o.firstFrame || static_cast<unsigned long long>(o.lastFrame) > total)
        throw ImportError(name, asked + " do not lie within the recording's frames 1.." + std::to_string(total));
    if (o.lastFrame - o.firstFrame + 1 > kMaxFrameIndex)
        throw ImportError(name, asked + " are more than 100000 frames");
    if (o.firstFrame != 1 || static_cast<unsigned long long>(o.lastFrame) != total)
        notes.push_back("kept frames " + std::to_string(o.firstFrame) + ".." + std::to_string(o.lastFrame) + " of " +
                        std::to_string(total) + ", renumbered from 1");
    return {static_cast<std::size_t>(o.firstFrame - 1), static_cast<std::size_t>(o.lastFrame - o.firstFrame + 1)};
}

bool cancelled(const ImportProgress& p) { return p.cancel && p.cancel->load(std::memory_order_relaxed); }

// Onsets (and their peak z) of every accepted ROI.
struct DetectedEvents {
    std::vector<std::vector<int32_t>> onsets;
    std::vector<std::vector<float>> peaks;
};

// Onsets of every accepted ROI within the window, on up to two threads
// besides the caller, which also reports progress.
DetectedEvents detectEvents(const TraceMatrix& traces, const std::vector<AcceptedRoi>& rois, FrameWindow window,
                            double k, const ImportProgress& progress) {
    DetectedEvents found;
    found.onsets.resize(rois.size());
    found.peaks.resize(rois.size());
    auto& events = found.onsets;
    auto& peaks = found.peaks;
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    auto work = [&] {
        std::vector<double> row(window.count), scratch;
        scratch.reserve(window.count);
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= rois.size() || stop.load(std::memory_order_relaxed)) return;
            traces.copyRow(rois[i].index, window.first, window.count, row.data());
            eventOnsets(row, k, scratch, events[i], &peaks[i]);
            events[i].shrink_to_fit();
            peaks[i].shrink_to_fit();
            done.fetch_add(1);
        }
    };
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min<std::size_t>({hardware - 1, 3, rois.size() / 8});
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) threads.emplace_back([&] {
        try {
            work();
        } catch (...) {
            stop = true;
        }
    });
    // The caller works too, between progress reports.
    try {
        std::vector<double> row(window.count), scratch;
        scratch.reserve(window.count);
        for (;;) {
            if (cancelled(progress)) {
                stop = true;
                break;
            }
            const std::size_t i = next.fetch_add(1);
            if (i >= rois.size() || stop) break;
            traces.copyRow(rois[i].index, window.first, window.count, row.data());
            eventOnsets(row, k, scratch, events[i], &peaks[i]);
            events[i].shrink_to_fit();
            peaks[i].shrink_to_fit();
            done.fetch_add(1);
            if (progress.report && !rois.empty()) progress.report(static_cast<double>(done.load()) / rois.size());
        }
    } catch (...) {
        failure = std::current_exception();
        stop = true;
    }
    for (auto& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
    if (cancelled(progress)) throw ImportCancelled();
    if (done.load() != rois.size()) throw std::bad_alloc();  // a helper failed; only allocation can
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
    source.firstFrame = static_cast<long long>(window.first) + 1;
    DetectedEvents detected = detectEvents(traces, layout.accepted, window, options.threshold, progress);
    const std::vector<std::vector<int32_t>>& events = detected.onsets;

    // The 1500 ROIs with the most events (ties: the lower index), in ROI order.
    std::vector<std::size_t> kept(layout.accepted.size());
    std::iota(kept.begin(), kept.end(), std::size_t{0});
    if (kept.size() > static_cast<std::size_t>(kMaxCellIndex)) {
        std::stable_sort(kept.begin(), kept.end(),
                         [&](std::size_t a, std::size_t b) { return events[a].size() > events[b].size(); });
        kept.resize(kMaxCellIndex);
        std::sort(kept.begin(), kept.end());
        source.notes.push_back("kept the " + std::to_string(kMaxCellIndex) + " of " +
                               std::to_string(layout.accepted.size()) + " accepted ROIs with the most events");
    }

    CellModel& model = result.model;
    model.DataFile = layout.path;
    model.CellCount = static_cast<int16_t>(kept.size());
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
    if (kept.size() < layout.accepted.size()) caption += ", the most active";
    if (window.count < traces.frames())
        caption += ", frames " + std::to_string(window.first + 1) + "-" + std::to_string(window.first + window.count);
    caption += ", events at " + formatThreshold(options.threshold) + " SD)";
    for (const std::string& warning : layout.warnings) caption += " - " + warning;
    return result;
}

}  // namespace cellsonify
