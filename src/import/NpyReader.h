#pragma once

#include "model/BigAllocator.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

// Element type of a .npy array.
struct NpyType {
    char kind = 'f';        // 'f' float, 'i' signed, 'u' unsigned, 'b' bool, 'O' Python objects
    int size = 4;           // bytes per element (1, 2, 4 or 8; 8 for objects)
    bool bigEndian = false;
};

// What a .npy header says.
struct NpyHeader {
    NpyType type;
    bool fortranOrder = false;
    std::vector<std::size_t> shape;
    std::size_t dataOffset = 0;  // where the data (or, for objects, the pickle) starts
    std::size_t elementCount() const;
};

// Reads the header of the .npy bytes. `name` names the file in errors.
// Throws ImportError for a bad magic, version, header text or type.
NpyHeader parseNpyHeader(std::string_view bytes, const std::string& name);

// Parses an element type string such as "<f4", "|b1", ">i8" or "|O".
// Throws ImportError naming `name` for any other.
NpyType parseNpyType(std::string_view descr, const std::string& name);

// Value of element `index` of raw data of type `type` (no bounds check).
double npyElement(const char* data, const NpyType& type, std::size_t index);

// A numeric .npy array held in memory.
class NpyArray {
public:
    // Parses the whole file's bytes (copied). Refuses object arrays and data
    // shorter than the shape needs.
    static NpyArray fromBytes(std::string_view bytes, const std::string& name);
    // Reads and parses the file at `path` (named by its base name in errors).
    static NpyArray fromFile(const std::string& path);

    const NpyHeader& header() const { return header_; }
    const std::vector<std::size_t>& shape() const { return header_.shape; }
    // Element (row, column) of a 2-D array, or (index) of a 1-D one when column is 0.
    double at(std::size_t row, std::size_t column) const;
    // Copies columns [first, first + count) of `row` of a 2-D array into `out`.
    void copyRow(std::size_t row, std::size_t first, std::size_t count, double* out) const;

private:
    void check(const std::string& name) const;
    std::vector<char, BigAllocator<char>> bytes_;
    NpyHeader header_;
};

// Reads a regular file into memory (its first `most` bytes); throws
// ImportError naming it, also for a FIFO or device, which is never opened.
std::vector<char, BigAllocator<char>> readWholeFile(const std::string& path, std::size_t most = SIZE_MAX);

}  // namespace cellsonify
