#pragma once

#include "import/Importer.h"

#include <string>

namespace cellsonify {

// Reads a suite2p plane folder (`path` is the folder or any .npy file in it):
// spks.npy (or F.npy for trace "F"), iscell.npy (all accepted when missing),
// stat.npy for each ROI's 'med' (row, column) and ops.npy's Ly when present.
ImportResult importSuite2p(const std::string& path, const ImportOptions& options, const ImportProgress& progress);

}  // namespace cellsonify
