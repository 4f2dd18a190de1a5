#include "app/DroppedFiles.h"

#include "import/RecordingFormats.h"

#include <QFileInfo>

namespace cellsonify {

std::optional<QString> dataFileFromDrop(const QStringList& names) {
    if (names.isEmpty()) return std::nullopt;
    const QString& first = names.front();
    const std::string name = first.toStdString();
    // A recording under a name of its own (an NWB file saved as .dat) is
    // taken for what its first bytes say; other names never open a file here.
    // A folder opens as on the command line (a suite2p plane or run folder).
    if (takesDroppedName(name) || QFileInfo(first).isDir() || recognisedByFirstBytes(name).readsTraces) return first;
    return std::nullopt;
}

}  // namespace cellsonify
