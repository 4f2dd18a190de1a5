#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace benchdata {

// Starts the graphical application the window's face needs, once;
// offscreen unless a platform is chosen.
void ensureGuiApplication();

// Path of a generated recording of 1500 cells x 100000 frames at 5 % activity
// (about 7.5 million events), written once per run into the temp folder.
const std::string& largeRecordingPath();

// Writes the header of a version 1.0 .npy file: dtype `descr` ("<f4"), C
// order, `shape` as Python writes it ("(3, 4)").
void writeNpyHeader(std::ofstream& out, const std::string& descr, const std::string& shape);

// Writes an .npy object array of `shape` ("(1000,)", "()") as numpy saves
// it: a pickle whose array state opens with `pickledShape` (the pickle
// opcodes of the state's version and shape) and holds the pickled `items`.
// False when the file cannot be written.
bool writeObjectNpy(const std::filesystem::path& path, const std::string& shape, const std::string& pickledShape,
                    const std::string& items);

}  // namespace benchdata
