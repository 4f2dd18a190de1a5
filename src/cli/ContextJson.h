#pragma once

#include "model/RecordingContext.h"

#include <string>

namespace cellsonify::cli {

// What inspect says of a recording's context: `, "context": {"tables": [...],
// "behaviour": [...]}` with each table's name, interval count, group column
// and groups (name, intervals), and each stream's name, how it was derived,
// source rate (samples per second; 0: given per frame), range and whether it
// sounds. Empty for a recording without context.
std::string contextJsonFields(const RecordingContext& context);

}  // namespace cellsonify::cli
