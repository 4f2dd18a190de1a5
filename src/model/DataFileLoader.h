#pragma once

// The data file, the program's own text format: read by LoadDataFile and
// written by writeDataFile, which writes what the other reads back.

#include "model/CellModel.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

// A data file that could not be loaded. what() is a message a user can act on:
// "<file name>, line <n>: <what was wrong>" (or "<file name>: <why>" when no
// line applies, such as an unreadable file).
class DataFileError : public std::runtime_error {
public:
    DataFileError(std::string fileName, int line, const std::string& problem);
    const std::string& fileName() const { return fileName_; }
    int line() const { return line_; }  // 0 when no line applies

private:
    std::string fileName_;
    int line_;
};

// Reads the data file at `path` into a new model (CurrentFrame 0, DataFile =
// path; its caption is captionFor(path)). Throws DataFileError for any file it refuses, folders,
// pipes and devices included (without waiting on them); never touches any
// other model, so a refused file loses nothing.
CellModel LoadDataFile(const std::string& path);

// The same from the file's bytes already in memory; `path` is taken as its
// DataFile and names it in error messages. UTF-16 text (told by its byte-order mark) is
// refused rather than read as a file of zeros.
CellModel LoadDataFileFromBytes(std::string_view bytes, const std::string& path);

// Writes `model` as a data file that loads back into the same cells, levels,
// frames and normalised positions. `filePositions` (index = cell) are the
// positions in file units that normalise into model.CellPos, such as an
// import's file positions; they are written in the shortest form that reads
// back exactly. The file is written beside `path` under a temporary name and
// renamed at the end, so a failed write leaves nothing behind. Throws
// std::runtime_error naming the file when it cannot be written, and
// std::invalid_argument when the positions do not normalise into the model's
// or a cell's X is 0 (which would end the data).
void writeDataFile(const CellModel& model, const std::vector<CellPosition>& filePositions, const std::string& path);

// The text after the last '/' or '\' of `path` (the whole path if it has none).
std::string baseName(const std::string& path);

// The caption of the data file at `path`, as the window and inspect show it:
// " <base name> (non-active cells are omitted)".
std::string captionFor(const std::string& path);

}  // namespace cellsonify
