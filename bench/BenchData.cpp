#include "BenchData.h"

#include "files/SafeOutput.h"
#include "model/RecordingGenerator.h"

#include <filesystem>
#include <unistd.h>

namespace benchdata {

const std::string& largeRecordingPath() {
    static const std::string path = [] {
        auto p = std::filesystem::temp_directory_path() /
                 ("cellsonify-bench-" + std::to_string(::getpid()) + ".txt");
        cellsonify::GeneratorSettings s;
        s.cells = 1500;
        s.frames = 100000;
        s.activity = 0.05;
        s.silentShare = 0;
        s.seed = 11;
        cellsonify::writeFileSafely(p.string(), cellsonify::generateRecording(s));
        std::atexit([] { std::filesystem::remove(largeRecordingPath()); });
        return p.string();
    }();
    return path;
}

}  // namespace benchdata
