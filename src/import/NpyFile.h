#pragma once

#include "import/NpyReader.h"

#include <cstddef>
#include <string>

namespace cellsonify {

// A numeric 2-D .npy file read in parts straight from the disk: only the
// header is held, and each read converts just the rows and columns asked for.
class NpyFile {
public:
    // Opens a regular file and reads its header. Refuses object arrays and a
    // shape that needs more bytes than the file has, before reading any data.
    // Errors name the file by its base name.
    explicit NpyFile(const std::string& path);
    ~NpyFile();
    NpyFile(const NpyFile&) = delete;
    NpyFile& operator=(const NpyFile&) = delete;

    const NpyHeader& header() const { return header_; }
    std::size_t rows() const { return header_.shape.empty() ? 0 : header_.shape[0]; }
    std::size_t columns() const { return header_.shape.size() < 2 ? 1 : header_.shape[1]; }
    const std::string& name() const { return name_; }

    // Copies columns [first, first + count) of rows [row, row + n) into `out`,
    // row by row (out[i * count + j]). Throws ImportError naming the file when
    // the bytes cannot be read (a file cut short since it was opened).
    void readRows(std::size_t row, std::size_t n, std::size_t first, std::size_t count, double* out) const;

private:
    void readBytes(char* into, std::size_t bytes, std::size_t offset) const;
    int fd_ = -1;
    std::string name_;
    NpyHeader header_;
};

}  // namespace cellsonify
