#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace importfixtures {

// Writes a .npy file of `values` with element type `descr` ("<f4", ">f8",
// "<i4", "|b1", ...) and `shape`; `fortran` stores the values (given in C
// order) column by column.
void writeNpy(const std::filesystem::path& file, const std::string& descr, const std::vector<std::size_t>& shape,
              const std::vector<double>& values, bool fortran = false);

// Builds an HDF5 file through the library.
class Hdf5Writer {
public:
    explicit Hdf5Writer(const std::filesystem::path& file);
    ~Hdf5Writer();
    void group(const std::string& path);
    // A dataset of doubles (or 64-bit integers when `integers`).
    void numbers(const std::string& path, const std::vector<std::size_t>& shape, const std::vector<double>& values,
                 bool integers = false);
    void text(const std::string& path, const std::string& value);  // variable-length string dataset
    void textAttribute(const std::string& object, const std::string& name, const std::string& value);
    void referenceAttribute(const std::string& object, const std::string& name, const std::string& target);
    // A pixel_mask compound dataset of (x, y, weight) triples.
    void pixelMask(const std::string& path, const std::vector<double>& xyw);

private:
    int64_t file_;
};

}  // namespace importfixtures
