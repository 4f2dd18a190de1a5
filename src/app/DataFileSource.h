#pragma once

#include "model/CellModel.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <string>

namespace cellsonify {

// Reads a data file into a new model or throws (DataFileError for a file it refuses).
using LoadFunction = std::function<CellModel(const std::string& path)>;

// The file a drop asks to open: the first dropped name when its last three
// characters are exactly "txt" (case matters), when it ends in .npy, .nwb,
// .hdf5 or .h5 (any case) for an import, or when it is a file of another name
// whose first bytes are an import's (recognisedByFirstBytes), or a folder; nullopt
// otherwise, and for an empty list. Later names never count.
std::optional<QString> dataFileFromDrop(const QStringList& names);

// Loads `path` with `load` and, only if that succeeds, moves the result into
// `model`. Returns the message to show when the file is refused (or cannot be
// read at all); `model` is then untouched.
std::optional<std::string> replaceModel(CellModel& model, const std::string& path, const LoadFunction& load);

}  // namespace cellsonify
