#pragma once

#include "import/Importer.h"

namespace cellsonify {

class Hdf5File;

// Reads an NWB 2.x file: one RoiResponseSeries under /processing/*/ (the one
// `options.trace` names, else the preferred one) and the PlaneSegmentation its
// rois point at, for mask-weighted centres and the iscell column.
ImportResult importNwb(const std::string& path, const ImportOptions& options, const ImportProgress& progress);
// The same from a file already open; `path` becomes the model's DataFile.
ImportResult importNwb(const Hdf5File& file, const std::string& path, const ImportOptions& options,
                         const ImportProgress& progress);

}  // namespace cellsonify
