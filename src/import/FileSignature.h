#pragma once

#include <string>

namespace cellsonify {

// What a file's first bytes say it is, before any reader looks further.
enum class FileSignature {
    None,   // no signature known here: plain text, or anything else
    Hdf5,   // "\x89HDF\r\n\x1a\n" at 0, 512, 1024, 2048, ... (after a user block)
    NumPy,  // "\x93NUMPY" at 0
};

// The signature of the file at `path`. Only a regular file is opened (a FIFO
// or a device is told apart by stat first, so this never blocks), and only a
// few bytes are read; None for whatever is not a readable regular file.
FileSignature fileSignatureOf(const std::string& path);

}  // namespace cellsonify
