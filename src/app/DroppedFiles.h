#pragma once

#include <QStringList>

#include <optional>

namespace cellsonify {

// The file a drop asks to open: the first dropped name when its last three
// characters are exactly "txt" (case matters), when it ends in .npy, .nwb,
// .hdf5 or .h5 (any case) for an import, or when it is a file of another name
// whose first bytes are an import's (recognisedByFirstBytes), or a folder; nullopt
// otherwise, and for an empty list. Later names never count.
std::optional<QString> dataFileFromDrop(const QStringList& names);

}  // namespace cellsonify
