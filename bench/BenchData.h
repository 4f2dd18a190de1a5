#pragma once

#include <string>

namespace benchdata {

// Path of a generated recording of 1500 cells x 100000 frames at 5 % activity
// (about 7.5 million events), written once per run into the temp folder.
const std::string& largeRecordingPath();

}  // namespace benchdata
