#include "sound/ReportingOutput.h"

namespace cellsonify {

std::string lastErrorOf(const MidiOutput& output) {
    const auto* reporting = dynamic_cast<const ReportingOutput*>(&output);
    return reporting != nullptr ? reporting->lastError() : std::string();
}

}  // namespace cellsonify
