#pragma once

#include "import/Importer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cellsonify {

// Traces of every ROI of a source, ROI by ROI.
class TraceMatrix {
public:
    virtual ~TraceMatrix() = default;
    virtual std::size_t rois() const = 0;
    virtual std::size_t frames() const = 0;
    // Copies frames [first, first + count) (0-based) of ROI `roi` into `out`.
    // Called from several threads at once; must not throw.
    virtual void copyRow(std::size_t roi, std::size_t first, std::size_t count, double* out) const = 0;
};

// Traces held in memory as doubles, ROI-major (roi * frames + frame) or
// frame-major (frame * rois + roi).
class DenseTraceMatrix : public TraceMatrix {
public:
    DenseTraceMatrix(std::vector<double> values, std::size_t rois, std::size_t frames, bool frameMajor)
        : values_(std::move(values)), rois_(rois), frames_(frames), frameMajor_(frameMajor) {}
    std::size_t rois() const override { return rois_; }
    std::size_t frames() const override { return frames_; }
    void copyRow(std::size_t roi, std::size_t first, std::size_t count, double* out) const override;

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
    double imageRows = 0;        // rows of the field of view
    double frameRate = 0;        // frames per second the source states; 0 (or not a rate): not known
    std::vector<std::string> warnings;  // as ImportSource::warnings
    std::vector<std::string> notes;     // as ImportSource::notes
};

// Applies the import rules to the traces of the accepted ROIs: the frame
// window, event onsets at the threshold and each event's strength, the
// 1500-cell cut, positions, level 1, the frame rate and the caption. Throws ImportError (naming layout.name) for a frame window
// outside the recording, ImportCancelled when cancelled.
ImportResult assembleRecording(const TraceMatrix& traces, const SourceLayout& layout, const ImportOptions& options,
                               const ImportProgress& progress);

}  // namespace cellsonify
