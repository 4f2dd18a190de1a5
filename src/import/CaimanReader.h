#pragma once

#include "import/Importer.h"

namespace cellsonify {

class Hdf5File;

// Reads a CaImAn result saved to HDF5: /estimates/S (else C, or the one
// `options.trace` names), /estimates/A for weighted centres (rows from /dims)
// and /estimates/idx_components for the accepted set. A dataset holding the
// text 'NoneType' counts as absent.
ImportResult importCaiman(const std::string& path, const ImportOptions& options, const ImportProgress& progress);
// The same from a file already open; `path` becomes the model's DataFile.
ImportResult importCaiman(const Hdf5File& file, const std::string& path, const ImportOptions& options,
                         const ImportProgress& progress);

}  // namespace cellsonify
