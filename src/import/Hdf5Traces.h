#pragma once

#include "import/Hdf5File.h"
#include "import/RecordingAssembler.h"

#include <string>

namespace cellsonify {

// A trace dataset of an HDF5 file read block by block through hyperslabs:
// ROIs x frames, frames x ROIs (`frameMajor`), or 1-D frames of one ROI.
class Hdf5TraceMatrix : public TraceMatrix {
public:
    // `file` must outlive the matrix.
    Hdf5TraceMatrix(const Hdf5File& file, std::string dataset, std::size_t rois, std::size_t frames, bool frameMajor);
    std::size_t rois() const override { return rois_; }
    std::size_t frames() const override { return frames_; }
    void readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count, double* out) const override;
    std::size_t roiGrain() const override { return grain_; }

private:
    const Hdf5File& file_;
    std::string dataset_;
    std::size_t rois_, frames_;
    bool frameMajor_;
    bool oneDimension_;
    std::size_t grain_ = 1;
};

}  // namespace cellsonify
