#include "app/DataFileSource.h"

#include "import/RecordingFormats.h"

#include <QFileInfo>

#include <exception>

namespace cellsonify {

std::optional<QString> dataFileFromDrop(const QStringList& names) {
    if (names.isEmpty()) return std::nullopt;
    const QString& first = names.front();
    const std::string name = first.toStdString();
    // A recording under a name of its own (an NWB file saved as .dat) is
    // taken for what its first bytes say; other names never open a file here.
    // A folder opens as on the command line (a suite2p plane or run folder).
    if (takesDroppedName(name) || QFileInfo(first).isDir() || recognisedByFirstBytes(name).read) return first;
    return std::nullopt;
}

std::optional<std::string> replaceModel(CellModel& model, const std::string& path, const LoadFunction& load) {
    CellModel fresh;
    try {
        fresh = load(path);
    } catch (const std::exception& e) {
        // A data file never ends the program, whatever went wrong reading it.
        return std::string(e.what());
    }
    model = std::move(fresh);
    return std::nullopt;
}

}  // namespace cellsonify
