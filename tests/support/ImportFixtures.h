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

// Writes a suite2p plane folder (created if missing): spks.npy of `rois` x
// `frames` float32 zeros with 100 at each frame listed in spikes[r] (0-based),
// iscell.npy when `iscell` is given (rois x 2), and stat.npy pickled as NumPy
// writes it, ROI r's med being (2 r, 3 r + 1).
void writeSuite2pPlane(const std::filesystem::path& folder, std::size_t rois, std::size_t frames,
                       const std::vector<std::vector<std::size_t>>& spikes, const std::vector<double>& iscell = {});
// Only stat.npy of the above, for `rois` ROIs.
void writeSuite2pStat(const std::filesystem::path& folder, std::size_t rois);

// Builds an HDF5 file through the library.
class Hdf5Writer {
public:
    // A new file, or with `existing` the file as it is, to change.
    explicit Hdf5Writer(const std::filesystem::path& file, bool existing = false);
    void remove(const std::string& path);  // unlinks the object at `path`
    ~Hdf5Writer();
    void group(const std::string& path);
    // A dataset of doubles (or 64-bit integers when `integers`).
    void numbers(const std::string& path, const std::vector<std::size_t>& shape, const std::vector<double>& values,
                 bool integers = false);
    // A boolean dataset as h5py writes NumPy's bool: an enum of FALSE and TRUE.
    void booleans(const std::string& path, const std::vector<bool>& values);
    // A soft link at `path` to the object at `target`, as pynwb writes links.
    void softLink(const std::string& path, const std::string& target);
    // A chunked dataset of that shape with nothing written: any size, a tiny file.
    void declaredOnly(const std::string& path, const std::vector<std::size_t>& shape);
    void text(const std::string& path, const std::string& value);  // variable-length string dataset
    void textAttribute(const std::string& object, const std::string& name, const std::string& value);
    void numberAttribute(const std::string& object, const std::string& name, double value);  // a scalar double
    void referenceAttribute(const std::string& object, const std::string& name, const std::string& target);
    // A pixel_mask compound dataset of (x, y, weight) triples.
    void pixelMask(const std::string& path, const std::vector<double>& xyw);

private:
    int64_t file_;
};

}  // namespace importfixtures
