#pragma once

#include <cstdint>
#include <string>

namespace cellsonify {

// Settings of a synthetic recording.
struct GeneratorSettings {
    int cells = 100;              // records written (1..1500)
    int frames = 2000;            // declared frame count (1..100000)
    double activity = 0.02;       // mean share of frames in which a cell is active (0..1)
    double burstShare = 0.4;      // share of the activity that comes from network bursts (0..1)
    double silentShare = 0.05;    // share of cells written with level 0 (never active)
    uint32_t seed = 1;            // same seed, same file
};

// Writes a data file of a plausible calcium-imaging recording: cells scattered
// over a 512 x 512 imaging field, spontaneous activity plus network bursts that
// recruit many cells within a few frames of each other. Each record is one line
// "id x y level" followed by one line with the cell's frames.
std::string generateRecording(const GeneratorSettings& settings);

}  // namespace cellsonify
