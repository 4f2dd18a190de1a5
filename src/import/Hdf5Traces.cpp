#include "import/Hdf5Traces.h"

#include <vector>

namespace cellsonify {

Hdf5TraceMatrix::Hdf5TraceMatrix(const Hdf5File& file, std::string dataset, std::size_t rois, std::size_t frames,
                                 bool frameMajor)
    : file_(file), dataset_(std::move(dataset)), rois_(rois), frames_(frames), frameMajor_(frameMajor),
      oneDimension_(file.shape(dataset_).size() == 1) {
    const std::vector<std::size_t> chunk = file.chunkShape(dataset_);
    if (chunk.size() == 2) grain_ = std::max<std::size_t>(1, chunk[frameMajor ? 1 : 0]);
}

void Hdf5TraceMatrix::readRois(std::size_t roi, std::size_t n, std::size_t first, std::size_t count,
                               double* out) const {
    if (oneDimension_) {
        file_.readBlock(dataset_, {first}, {count}, out);
        return;
    }
    if (!frameMajor_) {
        file_.readBlock(dataset_, {roi, first}, {n, count}, out);
        return;
    }
    std::vector<double> byFrame(n * count);
    file_.readBlock(dataset_, {first, roi}, {count, n}, byFrame.data());
    for (std::size_t f = 0; f < count; ++f)
        for (std::size_t i = 0; i < n; ++i) out[i * count + f] = byFrame[f * n + i];
}

}  // namespace cellsonify
