#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

// A read-only HDF5 file seen through paths ("/estimates/S"). Every failure
// throws ImportError naming the file and the object.
class Hdf5File {
public:
    // `name` names the file in errors.
    Hdf5File(const std::string& path, const std::string& name);
    // The file whose bytes are `image` (copied), held in memory: for reading
    // untrusted bytes without touching the disk, as the fuzzing does.
    static Hdf5File fromImage(std::string_view image, const std::string& name);
    ~Hdf5File();
    Hdf5File(const Hdf5File&) = delete;
    Hdf5File& operator=(const Hdf5File&) = delete;
    Hdf5File(Hdf5File&& other) noexcept : file_(other.file_), name_(std::move(other.name_)) { other.file_ = -1; }

    const std::string& name() const { return name_; }
    bool isGroup(const std::string& path) const;
    bool isDataset(const std::string& path) const;
    // Names of the members of a group, in the file's name order.
    std::vector<std::string> members(const std::string& group) const;
    std::vector<std::size_t> shape(const std::string& dataset) const;
    // The whole numeric dataset, converted to double.
    std::vector<double> readNumbers(const std::string& dataset) const;
    // The part [offset, offset + count) of a numeric dataset (one entry per
    // dimension), converted to double into `out` in row-major order. Only the
    // chunks holding that part are read; a dataset whose chunks are too large
    // to unpack in memory is refused.
    void readBlock(const std::string& dataset, const std::vector<std::size_t>& offset,
                   const std::vector<std::size_t>& count, double* out) const;
    // The shape of the dataset's chunks; empty when it is not chunked.
    std::vector<std::size_t> chunkShape(const std::string& dataset) const;
    // Field `field` of every element of a compound dataset, as double.
    std::vector<double> readField(const std::string& dataset, const std::string& field) const;
    // Whether a compound dataset has field `field`.
    bool hasField(const std::string& dataset, const std::string& field) const;
    // The dataset's text when it holds a single string, else nothing.
    std::optional<std::string> readText(const std::string& dataset) const;
    // Every string of a 1-D string dataset, in order; nothing when it holds no strings.
    std::optional<std::vector<std::string>> readTexts(const std::string& dataset) const;
    // Whether an object has an attribute of that name, whatever it holds.
    bool hasAttribute(const std::string& object, const std::string& attribute) const;
    // A string attribute of an object, or nothing when absent or not a string.
    std::optional<std::string> textAttribute(const std::string& object, const std::string& attribute) const;
    // A numeric attribute holding one number, or nothing when absent or not that.
    std::optional<double> numberAttribute(const std::string& object, const std::string& attribute) const;
    // The path of the object an object-reference attribute points at.
    std::string referencedPath(const std::string& object, const std::string& attribute) const;

private:
    explicit Hdf5File(std::string name) : name_(std::move(name)) {}
    [[noreturn]] void fail(const std::string& problem) const;
    // The type of the object at `path` (H5O_TYPE_UNKNOWN when absent); fails
    // at a link to another file rather than following it.
    int typeOf(const std::string& path) const;
    // An open dataset id; fails when it is absent, behind a link to another
    // file, or keeps its data outside the file (external storage, virtual).
    long long openDataset(const std::string& dataset) const;
    long long file_ = -1;
    std::string name_;
};

}  // namespace cellsonify
