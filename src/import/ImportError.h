#pragma once

#include <stdexcept>
#include <string>

namespace cellsonify {

// A recording that could not be imported. what() is "<file name>: <what was
// wrong>", e.g. "stat.npy: ROI 12 has no 'med'".
class ImportError : public std::runtime_error {
public:
    ImportError(const std::string& fileName, const std::string& problem)
        : std::runtime_error(fileName + ": " + problem), fileName_(fileName) {}
    const std::string& fileName() const { return fileName_; }

private:
    std::string fileName_;
};

// The user cancelled the import; nothing was produced.
class ImportCancelled : public std::runtime_error {
public:
    ImportCancelled() : std::runtime_error("import cancelled") {}
};

}  // namespace cellsonify
