#pragma once

#include "import/Importer.h"

#include <string>

namespace cellsonify {

class Hdf5File;

// Reads the experiment around an NWB recording into result.model.Context:
// its frame times from the imaging series at `imagingSeries` (the kept
// frames of it), every TimeIntervals table under /intervals, /stimulus and
// the processing modules, and the behaviour series (TimeSeries,
// SpatialSeries, alone or in their containers) under /acquisition and every
// processing module but ophys. Whatever cannot be used is left out with a
// warning in result.source naming it; this never refuses the recording.
void readNwbContext(const Hdf5File& file, const std::string& imagingSeries, ImportResult& result);

}  // namespace cellsonify
