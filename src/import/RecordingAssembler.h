#pragma once

#include "import/Importer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cellsonify {

// Traces of every ROI of a source, read in blocks of ROIs so that no more of
// a trace is held than the block being worked on.
class TraceMatrix {
public:
    virtual ~TraceMatrix() = default;
    virtual std::size_t rois() const = 0;
    virtual std::size_t frames() const = 0;
    // Copies frames [first, first + count) (0-based) of ROIs [roi, roi + n)
    // into `out`, ROI by ROI (out[i * count + f]). Called from one thread at a
    // time; throws ImportError naming the file when it cannot be read.
    virtual void readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count, double* out) const = 0;
    // ROIs a block should hold (or a multiple of) for reads to follow how the
    // source stores them, such as the ROI width of its chunks; 1: any.
    virtual std::size_t roiGrain() const { return 1; }
};

// Traces held in memory as doubles, ROI-major (roi * frames + frame) or
// frame-major (frame * rois + roi): for small sources and tests.
class DenseTraceMatrix : public TraceMatrix {
public:
    DenseTraceMatrix(std::vector<double> values, std::size_t rois, std::size_t frames, bool frameMajor)
        : values_(std::move(values)), rois_(rois), frames_(frames), frameMajor_(frameMajor) {}
    std::size_t rois() const override { return rois_; }
    std::size_t frames() const override { return frames_; }
    void readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count, double* out) const override;

private:
    std::vector<double> values_;
    std::size_t rois_, frames_;
    bool frameMajor_;
};

// An accepted ROI: its position in the source's ROI order, the number the
// source gives it, and its centre in image pixels (row and column from 0).
struct AcceptedRoi {
    std::size_t index = 0;
    long long number = 0;
    double row = 0;
    double column = 0;
};

// What the reader found, beyond the traces.
struct SourceLayout {
    std::string path;            // what the user pointed at (DataFile)
    std::string name;            // folder or file name for the caption
    std::string format;          // "suite2p", "nwb", "caiman"
    std::string trace;           // trace read, as ImportSource::trace
    std::string label;           // caption's description, e.g. "suite2p spks"
    std::vector<AcceptedRoi> accepted;  // in source order
    std::vector<int> planes;     // per accepted ROI its plane's number, for a folder of planes; else empty
    double imageRows = 0;        // rows of the field of view
    double frameRate = 0;        // frames per second the source states; 0 (or not a rate): not known
    std::vector<std::string> warnings;  // as ImportSource::warnings
    std::vector<std::string> notes;     // as ImportSource::notes
};

// Applies the import rules to the traces of the accepted ROIs: the frame
// window, event onsets at the threshold and each event's strength, positions,
// level 1, the frame rate and the caption. Every accepted ROI becomes a cell.
// The traces are read block by block within `kTraceBlockBytes` of doubles.
// Throws ImportError (naming layout.name) for a frame window outside the
// recording or a failed read (also when memory runs out, saying what was
// being read), ImportCancelled when cancelled.
inline constexpr std::size_t kTraceBlockBytes = std::size_t{32} << 20;

ImportResult assembleRecording(const TraceMatrix& traces, const SourceLayout& layout, const ImportOptions& options,
                               const ImportProgress& progress);

}  // namespace cellsonify
