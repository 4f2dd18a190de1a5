#include "app/DataFileSource.h"

#include "import/RecordingFormats.h"

#include <exception>

namespace cellsonify {

std::optional<QString> dataFileFromDrop(const QStringList& names) {
    if (names.isEmpty()) return std::nullopt;
    const QString& first = names.front();
    if (takesDroppedName(first.toStdString())) return first;
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
